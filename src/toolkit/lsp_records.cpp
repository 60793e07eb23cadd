#include "toolkit/lsp_records.hpp"

#include <charconv>
#include <optional>
#include <string_view>

#include "ground/code_page_850.hpp"
#include "ground/keyword_match.hpp"
#include "ground/kilometres.hpp"
#include "ground/record_keywords.hpp"
#include "ground/record_schema.hpp"

namespace compattatore::lsp {

using nlohmann::json;

namespace {

// The route position a record starts with: its first value after the keyword.
std::optional<std::int32_t> first_value(std::string_view line) {
    const std::size_t comma = line.find(',');
    if (comma == std::string_view::npos) return std::nullopt;
    const std::string_view rest = trim_blanks(line.substr(comma + 1));
    std::int32_t v = 0;
    const auto [end, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), v);
    if (ec != std::errc{} || end == rest.data()) return std::nullopt;
    return v;
}

struct outline_entry {
    std::string name;
    int kind;  // the protocol's symbol kind
};

constexpr int kind_namespace = 3, kind_class = 5, kind_enum = 10, kind_constant = 14,
              kind_number = 16, kind_event = 24;

std::optional<outline_entry> outline_of(std::string_view line, description_kind file) {
    const std::string_view keyword = trim_blanks(line.substr(0, line.find(',')));
    const std::optional<std::int32_t> at = first_value(line);
    if (keyword.empty() || !at) return std::nullopt;
    const std::string where = " at " + std::to_string(*at) + " m";
    if (file == description_kind::train) {
        if (names(train_keyword::station, keyword)) {
            const std::size_t last = line.rfind(',');
            return outline_entry{std::string(trim_blanks(line.substr(last + 1))) + where,
                                 kind_class};
        }
        if (names(train_keyword::signal, keyword))
            return outline_entry{"signal" + where, kind_event};
        if (names(train_keyword::slowdown, keyword)) {
            return outline_entry{"slowdown" + where, kind_enum};
        }
        return std::nullopt;
    }
    if (names(line_keyword::speed_board, keyword)) {
        return outline_entry{"speed board" + where, kind_constant};
    }
    if (names(line_keyword::direction_board, keyword)) {
        return outline_entry{"direction board" + where, kind_constant};
    }
    if (names(line_keyword::curve, keyword)) {
        return outline_entry{"curve " + folded(keyword.substr(5)) + where, kind_number};
    }
    return std::nullopt;
}

json line_range(const line_index& lines, std::size_t l, std::size_t from, std::size_t to,
                position_encoding e) {
    return {{"start", {{"line", l}, {"character", lines.column(l, from, e)}}},
            {"end", {{"line", l}, {"character", lines.column(l, to, e)}}}};
}

std::size_t characters_in(std::string_view utf8) {
    std::size_t n = 0;
    for (const char c : utf8) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return n;
}

}  // namespace

json document_symbols(const open_document& d, position_encoding e) {
    const line_index lines(d.text);
    json out = json::array();
    json* section = nullptr;
    for (std::size_t l = 0; l < lines.count(); ++l) {
        const std::string_view text = lines.line(l);
        const std::size_t length = characters_in(text);
        const json range = line_range(lines, l, 0, length, e);
        if (trim_blanks(text).starts_with('[')) {
            out.push_back({{"name", std::string(trim_blanks(text))},
                           {"kind", kind_namespace},
                           {"range", range},
                           {"selectionRange", range},
                           {"children", json::array()}});
            section = &out.back();
            continue;
        }
        std::optional<outline_entry> entry = outline_of(text, d.kind);
        if (!entry) continue;
        json symbol = {{"name", entry->name},
                       {"kind", entry->kind},
                       {"range", range},
                       {"selectionRange", range}};
        if (const std::optional<std::int32_t> at = first_value(text); at && d.stations) {
            symbol["detail"] = "km " + kilometres_text(progressive_metres(*d.stations, *at));
        }
        if (section != nullptr) {
            (*section)["range"]["end"] = range["end"];
            (*section)["children"].push_back(std::move(symbol));
        } else {
            out.push_back(std::move(symbol));
        }
    }
    return out;
}

namespace {

// The section header in force on a line: the last one above it, lower case; empty before any.
std::string section_of(const line_index& lines, std::size_t line) {
    for (std::size_t l = std::min(line, lines.count()); l-- > 0;) {
        const std::string_view t = trim_blanks(lines.line(l));
        if (t.starts_with('[')) return folded(t.substr(0, t.find(']') + 1));
    }
    return "";
}

bool in_general(const line_index& lines, std::size_t line) {
    const std::string s = section_of(lines, line);
    return s.empty() || s == section::general;
}

std::string range_text(const value_range& r) {
    return std::to_string(r.min) + " to " + std::to_string(r.max);
}

// A value as the stored field keeps it: a field that keeps only its low bits wraps around.
std::string decoded(const field_schema& f, std::string_view written) {
    if (f.kind == value_kind::text) return "`" + std::string(trim_blanks(written)) + "`";
    const std::string_view w = trim_blanks(written);
    std::int64_t v = 0;
    const auto [end, ec] = std::from_chars(w.data(), w.data() + w.size(), v);
    if (ec != std::errc{} || end != w.data() + w.size())
        return "`" + std::string(w) + "`: not a number";
    std::string out = std::to_string(v);
    if (!f.unit.empty()) out += " " + std::string(f.unit);
    if (f.allowed.holds(v)) return out;
    if (f.kind != value_kind::wraps) return out + ": outside the allowed range, the compile stops";
    const std::int64_t span = f.allowed.max - f.allowed.min + 1;
    const std::int64_t kept = f.allowed.min + (((v - f.allowed.min) % span) + span) % span;
    return out + ": the field keeps " + std::to_string(kept);
}

std::string field_lines(const field_schema& f, std::size_t index, std::size_t count) {
    std::string t = "**" + std::string(f.name) + "** (value " + std::to_string(index + 1) + " of " +
                    std::to_string(count) + "): " + std::string(f.meaning) + "\n\n";
    if (!f.unit.empty()) t += "- unit: " + std::string(f.unit) + "\n";
    if (f.kind != value_kind::text) {
        t += "- allowed: " + range_text(f.allowed);
        if (f.multiple_of != 0) t += ", a multiple of " + std::to_string(f.multiple_of);
        t += "\n- the scenario keeps to: " + range_text(f.plausible) + "\n";
    }
    return t;
}

std::string position_line(const record_schema& r, std::string_view line, const open_document& d) {
    if (r.general || r.fields.empty() || r.fields[0].unit != "m") return "";
    const std::optional<std::int32_t> at = first_value(line);
    if (!at) return "";
    std::string t = "\nPosition: " + std::to_string(*at) + " m";
    if (d.stations) t += ", km " + kilometres_text(progressive_metres(*d.stations, *at));
    return t + "\n";
}

}  // namespace

json hover_at(const open_document& d, std::size_t line, std::size_t character,
              position_encoding e) {
    const line_index lines(d.text);
    if (line >= lines.count()) return nullptr;
    const std::string bytes = to_code_page(lines.line(line));
    const auto column = static_cast<std::int32_t>(lines.characters(line, character, e) + 1);
    const std::optional<field_at> f =
        field_under_column(d.kind, bytes, column, in_general(lines, line));
    if (!f || f->record == nullptr) return nullptr;
    const record_schema& r = *f->record;
    std::string text = "**" + std::string(r.name) + "** `" + r.keyword->written +
                       "`: " + std::string(r.meaning) + "\n\n";
    const std::string written = cp850_to_utf8(std::string_view(bytes).substr(
        static_cast<std::size_t>(f->column - 1), static_cast<std::size_t>(f->length)));
    if (f->value) {
        const field_schema& field = r.fields[*f->value];
        text += field_lines(field, *f->value, r.fields.size());
        text += "- value: " + decoded(field, written) + "\n";
    } else {
        text += "Values:";
        for (const field_schema& field : r.fields) text += " " + std::string(field.name) + ",";
        text.back() = '\n';
    }
    text += position_line(r, lines.line(line), d);
    const auto from = static_cast<std::size_t>(f->column - 1);
    return {
        {"contents", {{"kind", "markdown"}, {"value", text}}},
        {"range", line_range(lines, line, from, from + static_cast<std::size_t>(f->length), e)}};
}

namespace {

// The keyword and a snippet of the record's values, each a tab stop named for the value.
std::string snippet_of(const record_schema& r) {
    std::string s = r.keyword->written;
    int stop = 1;
    for (const field_schema& f : r.fields) {
        s += ", ${" + std::to_string(stop++) + ":" + std::string(f.name) + "}";
    }
    return s;
}

bool belongs(const record_schema& r, description_kind file, const std::string& section_name) {
    if (r.file != file) return false;
    if (section_name.empty()) return true;  // before any header: anything of this description
    if (file == description_kind::line && section_name == section::general) return r.general;
    return r.section == section_name;
}

json record_item(const record_schema& r, const json& edit_range) {
    std::string doc = std::string(r.meaning) + "\n\n";
    for (const field_schema& f : r.fields) {
        doc += "- " + std::string(f.name) +
               (f.unit.empty() ? "" : " (" + std::string(f.unit) + ")") + ": " +
               std::string(f.meaning) + "\n";
    }
    return {{"label", r.keyword->written},
            {"kind", 15},  // snippet
            {"detail", r.name},
            {"documentation", {{"kind", "markdown"}, {"value", doc}}},
            {"insertTextFormat", 2},
            {"textEdit", {{"range", edit_range}, {"newText", snippet_of(r)}}}};
}

}  // namespace

json completion_at(const open_document& d, std::size_t line, std::size_t character,
                   position_encoding e) {
    const line_index lines(d.text);
    json items = json::array();
    if (line >= lines.count()) return items;
    const std::size_t at = lines.characters(line, character, e);
    const std::string_view text = lines.line(line);
    const std::size_t blanks = text.find_first_not_of(" \t");
    const std::size_t start = blanks == std::string_view::npos ? 0 : blanks;
    // Records are offered only while the keyword is written: before the line's first comma.
    if (text.substr(0, lines.column(line, at, position_encoding::utf8)).find(',') !=
        std::string_view::npos) {
        return items;
    }
    const json range = line_range(lines, line, start, std::max(start, at), e);
    const std::string section_name = section_of(lines, line);
    for (const record_schema& r : all_records()) {
        if (belongs(r, d.kind, section_name)) items.push_back(record_item(r, range));
    }
    return items;
}

}  // namespace compattatore::lsp
