#include "compiler/memorizza_dati.hpp"

#include <algorithm>
#include <exception>

#include "compiler/compile_context.hpp"
#include "compiler/text_match.hpp"
#include "ground/files.hpp"
#include "ground/record_keywords.hpp"
#include "ground/result_codes.hpp"
#include "ground/rounding.hpp"

namespace compattatore {

void compile_context::note_code(std::int32_t code, text_location where,
                                std::optional<std::int32_t> position) {
    if (report == nullptr) return;
    diagnostic d;
    d.level = severity::error;
    d.where = {reading, where.line, where.column};
    d.code = code;
    const result_code_info* info = find_result_code(code);
    if (info != nullptr && info->has_position && position.has_value()) {
        d.has_position = true;
        d.position = *position;
    }
    report->diagnostics.push_back(std::move(d));
}

namespace {

// A field lost to the hyphen skip was meant as a record when it carries a record's family word
// (case ignored). The hyphens are taken out first: "pend-enza" was meant as a gradient all the
// same.
bool names_a_record(description_kind file, std::string_view field) {
    std::string bare(field);
    std::erase(bare, '-');
    const auto has = [&](const record_keyword& k) { return contains_any_case(bare, k.words[0]); };
    return file == description_kind::line ? std::ranges::any_of(line_keyword::all, has)
                                          : std::ranges::any_of(train_keyword::all, has);
}

bool blank(std::string_view field) {
    return field.find_first_not_of(" \t") == std::string_view::npos;
}

}  // namespace

void compile_context::note_warning(reader_event event, std::string_view field,
                                   text_location where) {
    std::string message;
    std::string quoted;
    quoted.reserve(field.size() + 2);
    quoted.append(1, '"').append(field).append(1, '"');
    switch (event) {
        case reader_event::keyword_matches_nothing:
            // Blank lines and section headers are meant to match nothing.
            if (blank(field) || (contains(field, "[") && contains(field, "]"))) return;
            if (warned_file_ == reading && warned_line_ == where.line) return;
            message = "field " + quoted + " matches no record and is dropped";
            break;
        case reader_event::field_lost_to_hyphen_skip:
            // Lines of hyphens are separators; a record keyword with a hyphen is a lost record.
            if (!names_a_record(reading, field)) return;
            message =
                "record " + quoted + " is lost: a keyword field containing \"-\" is skipped unread";
            break;
        case reader_event::curve_without_profile:
            message = "curve " + quoted + " is ignored: the line profile is off";
            break;
        case reader_event::out_of_order:
        case reader_event::overlapping_curve:
            message = std::string(field);
            break;
    }
    warned_file_ = reading;
    warned_line_ = where.line;
    diagnostic d;
    d.level = severity::warning;
    d.where = {reading, where.line, where.column};
    d.message = std::move(message);
    report->diagnostics.push_back(std::move(d));
}

void compile_context::discard_line() {
    if (line_text != text_state::open) return;
    line_text = text_state::discarded;  // before the call: a failing discard is never repeated
    files.discard_line_description();
}

void compile_context::discard_train() {
    if (train_text != text_state::open) return;
    train_text = text_state::discarded;
    files.discard_train_description();
}

namespace {

// The train text when the line description ended the compile before it was read: one that is
// there, readable or not, is removed with the rest, so no scratch text stays behind. Asking for it
// is the only way to learn whether it exists.
void discard_unread_train(compile_context& c) {
    if (c.train_text == text_state::not_read) {
        try {
            c.train_text = c.files.read_train_description().has_value() ? text_state::open
                                                                        : text_state::missing;
        } catch (const file_error&) {
            c.train_text = text_state::open;
        }
    }
    c.discard_train();
}

// Whatever went wrong, neither description text may stay behind. Every discard is tried; the
// first one that fails is handed back, since a text left on disk is no description problem.
std::exception_ptr failure_exit(compile_context& c, text_location where) {
    std::exception_ptr first;
    try {
        c.discard_line();
    } catch (const file_error&) {
        first = std::current_exception();
    }
    try {
        discard_unread_train(c);
    } catch (const file_error&) {
        if (!first) first = std::current_exception();
    }
    c.fail(result::compiler_failure, where);
    return first;
}

}  // namespace

void memorizza_dati(scenario_model& model, description_files& files, compile_report* report) {
    compile_context c(model, files, report);
    std::exception_ptr file_failure;
    try {
        if (read_line_description(c)) {
            read_train_description(c);
        } else {
            // The line description stopped the compile (or was missing): the train text is not
            // read, but it is not left behind either.
            discard_unread_train(c);
        }
    } catch (const description_error& e) {
        // Also a value that does not fit its field: the readers give it the value's place.
        file_failure = failure_exit(c, e.where());
    } catch (const file_error&) {
        // A text that cannot be read or deleted is the run's failure, not the description's:
        // clean up as for any failure, then let the run report it.
        file_failure = std::current_exception();
        failure_exit(c, {});
    }
    if (file_failure) std::rethrow_exception(file_failure);
}

}  // namespace compattatore
