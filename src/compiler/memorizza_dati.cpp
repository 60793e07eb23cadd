#include "compiler/memorizza_dati.hpp"

#include "compiler/compile_context.hpp"
#include "run/files.hpp"
#include "run/result_codes.hpp"
#include "run/rounding.hpp"

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

// Whatever went wrong, neither description text may stay behind; a text that cannot be
// discarded now is beyond help, and the code recorded already says the compile failed.
void failure_exit(compile_context& c, text_location where) {
    try {
        c.discard_line();
    } catch (const file_error&) {
    }
    if (c.train_text == text_state::not_read) {
        // The line description failed first: the train text still lies there unread. One that
        // exists but cannot be read is still to be removed.
        try {
            c.train_text = c.files.read_train_description().has_value() ? text_state::open
                                                                        : text_state::missing;
        } catch (const file_error&) {
            c.train_text = text_state::open;
        }
    }
    try {
        c.discard_train();
    } catch (const file_error&) {
    }
    c.fail(result::compiler_failure, where);
}

}  // namespace

void memorizza_dati(scenario_model& model, description_files& files, compile_report* report) {
    compile_context c(model, files, report);
    try {
        if (read_line_description(c)) read_train_description(c);
    } catch (const description_error& e) {
        failure_exit(c, e.where());
    } catch (const value_overflow&) {
        failure_exit(c, c.failure_at);
    } catch (const file_error&) {
        failure_exit(c, {});
    }
}

}  // namespace compattatore
