// The checker's reading of a text: the readers' own field splitting, keyword tests and hyphen
// skip, with every value checked against the record table and a fresh start at the next line
// after a record that cannot be read.

#include "toolkit/check_pass.hpp"

#include <string>

#include "compiler/text_cursor.hpp"
#include "ground/diagnostic_kinds.hpp"
#include "ground/keyword_match.hpp"
#include "ground/result_codes.hpp"
#include "ground/units.hpp"

namespace compattatore {

namespace {

constexpr int general_hyphen_skips = 10;
constexpr int record_hyphen_skips = 2;

std::string_view trimmed(std::string_view f) {
    while (!f.empty() && (f.back() == ' ' || f.back() == '\t')) f.remove_suffix(1);
    return f;
}

std::int32_t size32(std::string_view f) {
    return static_cast<std::int32_t>(f.size());
}

bool opens_section(std::string_view field) {
    while (!field.empty() && (field.front() == ' ' || field.front() == '\t')) {
        field.remove_prefix(1);
    }
    return contains(field, "[") && contains(field, "]") && !field.starts_with('-');
}

bool blank_or_header(std::string_view field) {
    return field.find_first_not_of(" \t") == std::string_view::npos ||
           (contains(field, "[") && contains(field, "]"));
}

// "`stazione` value 3 `length`"
std::string field_name(const record_schema& r, std::size_t i) {
    return quoted(r.keyword->written) + " value " + std::to_string(i + 1) + " " +
           quoted(r.fields[i].name);
}

enum class parsed { number, not_a_number, too_large };

parsed parse(std::string_view field, std::int64_t& value) {
    try {
        value = parse_whole_number(field, {});
        return parsed::number;
    } catch (const description_error&) {
        return parsed::not_a_number;
    } catch (const std::exception&) {
        return parsed::too_large;
    }
}

class text_pass {
  public:
    text_pass(check_state& s, description_kind file, std::string_view text)
        : s_(s), file_(file), text_(text), cur_(text) {}

    void run_line();
    void run_train();

  private:
    std::string_view keyword();
    std::optional<std::string_view> next_keyword(int skips, bool test_between);
    bool offer(std::string_view kw, bool general);
    bool read(const record_schema& r, std::string_view kw);
    std::optional<std::string_view> read_value(const record_schema& r, std::size_t i);
    bool take_number(const record_schema& r, std::size_t i, std::string_view v, read_record& rec);
    void rest_after_number(const record_schema& r, std::size_t i, std::string_view v);
    void too_few(const record_schema& r, std::size_t i, std::string_view found);
    void unknown(std::string_view kw, bool general);
    std::string lost_with(std::string_view kw, std::string_view meant) const;
    void lost_to_hyphen(std::string_view kw);
    source_location here() const {
        return {file_, cur_.last_start().line, cur_.last_start().column};
    }

    check_state& s_;
    description_kind file_;
    std::string_view text_;
    text_cursor cur_;
    source_location record_start_;
    std::int32_t warned_line_ = 0;
};

std::string_view text_pass::keyword() {
    const std::string_view f =
        file_ == description_kind::line ? cur_.read_field() : cur_.read_text_item();
    record_start_ = here();
    return f;
}

std::optional<std::string_view> text_pass::next_keyword(int skips, bool test_between) {
    if (cur_.at_end()) return std::nullopt;
    std::string_view field = keyword();
    if (cur_.at_end()) return std::nullopt;
    for (int i = 0; i < skips && contains(field, "-"); ++i) {
        lost_to_hyphen(field);
        field = keyword();
        if (test_between && cur_.at_end()) return std::nullopt;
    }
    return field;
}

void text_pass::run_line() {
    try {
        for (;;) {
            const std::string_view kw = keyword();
            if (cur_.at_end()) return;
            if (contains_any_case(kw, section::general)) break;
        }
        while (const auto kw = next_keyword(general_hyphen_skips, false)) {
            if (!offer(*kw, true)) return;
            if (opens_section(*kw)) break;
        }
        while (const auto kw = next_keyword(record_hyphen_skips, true)) {
            if (!offer(*kw, false)) return;
        }
    } catch (const description_error&) {
        // A hyphen skip of the general section that reads past the end: the compile reports it.
    }
}

void text_pass::run_train() {
    cur_.skip_separators();
    while (!cur_.at_end()) {
        if (contains_any_case(keyword(), section::general)) break;
    }
    while (const auto kw = next_keyword(record_hyphen_skips, true)) {
        if (!offer(*kw, false)) return;
    }
}

// False when the text ended inside a record.
bool text_pass::offer(std::string_view kw, bool general) {
    std::vector<const record_schema*> named = records_named(file_, kw, general);
    if (file_ == description_kind::line && !s_.profile) {
        std::erase_if(named,
                      [](const record_schema* r) { return r->keyword == &line_keyword::curve; });
        // The compile warns about a curve without a profile; its values then match nothing.
        if (!general && names(line_keyword::curve, kw)) warned_line_ = record_start_.line;
    }
    if (named.empty()) {
        unknown(kw, general);
        return true;
    }
    for (const record_schema* r : named) {
        if (!read(*r, kw)) return false;
    }
    return true;
}

// False when the text ended inside the record: nothing after it can be read.
bool text_pass::read(const record_schema& r, std::string_view kw) {
    const std::string_view bare = trimmed(kw);
    if (const auto semi = bare.find(';'); semi != std::string_view::npos) {
        // The whole line is one keyword field: the values come from the lines after it.
        source_location at = record_start_;
        at.column += static_cast<std::int32_t>(semi);
        s_.error(result::compiler_failure, problem::wrong_separator, at, 1,
                 quoted(r.keyword->written) +
                     " record separates its values with `;`: its "
                     "values are read from the next line")
            .help = "separate the values with commas";
        cur_.skip_past_line(record_start_.line);
        return true;
    }
    read_record rec;
    rec.schema = &r;
    rec.where = record_start_;
    rec.keyword_length = size32(bare);
    for (std::size_t i = 0; i < r.fields.size(); ++i) {
        const auto v = read_value(r, i);
        if (!v.has_value()) return false;
        if (r.fields[i].kind == value_kind::text) {
            rec.text = std::string(*v);
            if (v->size() > max_name_length) {
                s_.error(result::compiler_failure, problem::out_of_range, here(), size32(*v),
                         field_name(r, i) + " is " + std::to_string(v->size()) +
                             " bytes long, more than the " + std::to_string(max_name_length) +
                             " its field holds");
                return true;
            }
        } else if (!take_number(r, i, *v, rec)) {
            cur_.skip_past_line(rec.at.empty() ? record_start_.line : here().line);
            return true;
        }
        rec.at.push_back(here());
        rec.lengths.push_back(size32(trimmed(*v)));
    }
    check_record(s_, rec, kw);
    return true;
}

std::optional<std::string_view> text_pass::read_value(const record_schema& r, std::size_t i) {
    const bool text = r.fields[i].kind == value_kind::text;
    try {
        if (file_ == description_kind::line)
            return text ? cur_.read_line_text() : cur_.read_field();
        return text ? cur_.read_text_item() : cur_.read_number_item();
    } catch (const description_error&) {
        s_.error(result::compiler_failure, problem::ends_in_record, record_start_,
                 size32(trimmed(r.keyword->written)),
                 "the text ends inside a " + quoted(r.keyword->written) + " record: " +
                     (i == 0 ? std::string("all its values are missing")
                             : "its " + field_name(r, i) + " is missing"))
            .help = "give the record its " + std::to_string(r.fields.size()) + " values";
        return std::nullopt;
    }
}

// False when the value cannot be read: the compile stops there, the checker goes on after it.
bool text_pass::take_number(const record_schema& r, std::size_t i, std::string_view v,
                            read_record& rec) {
    std::int64_t value = 0;
    const std::string_view shown = trimmed(v);
    switch (parse(v, value)) {
        case parsed::number:
            break;
        case parsed::not_a_number:
            if (i > 0 && here().line > rec.at.back().line) {
                too_few(r, i, shown);
                return false;
            }
            s_.error(result::compiler_failure, problem::not_a_number, here(), size32(shown),
                     field_name(r, i) + ": " + quoted(shown) + " is not a whole number")
                .help =
                "write the " + std::string(r.fields[i].name) + " as digits" +
                (r.fields[i].unit.empty() ? std::string() : " in " + std::string(r.fields[i].unit));
            return false;
        case parsed::too_large:
            s_.error(result::compiler_failure, problem::out_of_range, here(), size32(shown),
                     field_name(r, i) + ": " + quoted(shown) + " does not fit its field (" +
                         std::to_string(r.fields[i].allowed.min) + " to " +
                         std::to_string(r.fields[i].allowed.max) + ")");
            return false;
    }
    if (file_ == description_kind::train && r.keyword != &train_keyword::clock) {
        rest_after_number(r, i, v);
    }
    rec.numbers.push_back(value);
    return true;
}

// A blank ends a number of the train description: what follows on the line is the next item.
void text_pass::rest_after_number(const record_schema& r, std::size_t i, std::string_view v) {
    std::size_t at = static_cast<std::size_t>(v.data() - text_.data()) + v.size();
    while (at < text_.size() && (text_[at] == ' ' || text_[at] == '\t')) ++at;
    if (at >= text_.size() || text_[at] == ',' || text_[at] == '\r' || text_[at] == '\n') return;
    std::size_t end = at;
    while (end < text_.size() && text_[end] != ',' && text_[end] != '\r' && text_[end] != '\n') {
        ++end;
    }
    const std::string_view rest = trimmed(text_.substr(at, end - at));
    const std::string then = i + 1 < r.fields.size() ? "read as " + field_name(r, i + 1) +
                                                           ", and the values after "
                                                           "it shift"
                                                     : "read as a keyword and dropped";
    if (i + 1 == r.fields.size()) warned_line_ = here().line;
    s_.warning(problem::trailing_text, here(), size32(trimmed(v)),
               field_name(r, i) + " is read as " + quoted(trimmed(v)) + ": a blank ends it, and " +
                   quoted(rest) + " is " + then)
        .help = "write the number without blanks, or put a comma between the two";
}

// A record whose line ends before its last value: the reader takes the next line's first field
// in its place.
void text_pass::too_few(const record_schema& r, std::size_t i, std::string_view found) {
    s_.error(result::compiler_failure, problem::ends_in_record, record_start_,
             size32(trimmed(r.keyword->written)),
             "the " + quoted(r.keyword->written) + " record ends after " + std::to_string(i) +
                 " values: its value " + std::to_string(i + 1) + " " + quoted(r.fields[i].name) +
                 " is missing, and " + quoted(found) + " from the next line is read in its place")
        .help = "give the record its " + std::to_string(r.fields.size()) + " values";
}

// What a dropped line would have given, for a keyword meant as a record with a text.
std::string text_pass::lost_with(std::string_view kw, std::string_view meant) const {
    const auto r = std::ranges::find(all_records(), meant, [](const record_schema& x) {
        return std::string_view(x.keyword->written);
    });
    if (r == all_records().end() || r->fields.empty() ||
        r->fields.back().kind != value_kind::text) {
        return {};
    }
    const auto start = static_cast<std::size_t>(kw.data() - text_.data());
    const std::size_t end = text_.find_first_of("\r\n", start);
    const std::string_view line = text_.substr(start, end - start);
    const std::string_view name = trimmed(line.substr(line.rfind(',') + 1));
    const std::size_t lead = name.find_first_not_of(" \t");
    if (lead == std::string_view::npos) return {};
    return "; the " + std::string(r->name) + " " + quoted(name.substr(lead)) + " is lost";
}

void text_pass::unknown(std::string_view kw, bool general) {
    const std::string_view bare = trimmed(kw);
    const description_kind other =
        file_ == description_kind::line ? description_kind::train : description_kind::line;
    if (!records_named(other, bare, false).empty() || !records_named(other, bare, true).empty()) {
        (file_ == description_kind::line ? s_.train_keywords_in_line : s_.line_keywords_in_train)++;
    }
    if (blank_or_header(kw) || record_start_.line == warned_line_) return;
    warned_line_ = record_start_.line;
    diagnostic& d = s_.warning(problem::unknown_keyword, record_start_, size32(bare),
                               quoted(bare) + " names no record: the rest of its line is dropped");
    if (const auto near = nearest_keyword(file_, bare, general)) {
        d.help = "did you mean " + quoted(*near) + "?";
        d.message += lost_with(kw, *near);
    }
    if (s_.last_cell.has_value() || !general || file_ != description_kind::line) return;
    if (contains_any_case(bare, "lunghezza") || contains_any_case(bare, "percorso") ||
        (d.help.find("lunghezza") != std::string::npos)) {
        s_.line_length_typo = record_start_;
        s_.line_length_typo_length = size32(bare);
    }
}

void text_pass::lost_to_hyphen(std::string_view kw) {
    std::string bare(trimmed(kw));
    std::erase(bare, '-');
    const auto named = records_named(file_, bare, false);
    const auto named_general = records_named(file_, bare, true);
    const record_schema* r = !named.empty()           ? named.front()
                             : !named_general.empty() ? named_general.front()
                                                      : nullptr;
    if (r == nullptr) return;
    warned_line_ = record_start_.line;
    s_.warning(problem::hyphen_skip, record_start_, size32(trimmed(kw)),
               "the " + std::string(r->name) + " record " + quoted(trimmed(kw)) +
                   " is lost: a keyword field containing `-` is passed over unread")
        .help = "write the keyword " + quoted(r->keyword->written) + " without the hyphen";
}

}  // namespace

void check_text(check_state& s, description_kind file, std::string_view text) {
    text_pass pass(s, file, text);
    file == description_kind::line ? pass.run_line() : pass.run_train();
}

diagnostic& check_state::error(std::int32_t code, std::string_view kind, source_location where,
                               std::int32_t length, std::string message) {
    diagnostic& d = found.emplace_back();
    d.level = severity::error;
    d.code = code;
    d.kind = std::string(kind);
    d.where = where;
    d.length = length;
    d.message = std::move(message);
    return d;
}

diagnostic& check_state::warning(std::string_view kind, source_location where, std::int32_t length,
                                 std::string message) {
    diagnostic& d = error(0, kind, where, length, std::move(message));
    d.level = severity::warning;
    return d;
}

}  // namespace compattatore
