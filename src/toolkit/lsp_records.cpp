#include "toolkit/lsp_records.hpp"

#include <charconv>
#include <optional>
#include <string_view>

#include "ground/kilometres.hpp"
#include "ground/record_keywords.hpp"

namespace compattatore::lsp {

using nlohmann::json;

namespace {

std::string lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

bool names(const record_keyword& k, std::string_view field) {
    const std::string f = k.any_case ? lower(field) : std::string(field);
    for (const std::string_view w : k.words) {
        if (!w.empty() && f.find(w) == std::string::npos) return false;
    }
    return true;
}

// The route position a record starts with: its first value after the keyword.
std::optional<std::int32_t> first_value(std::string_view line) {
    const std::size_t comma = line.find(',');
    if (comma == std::string_view::npos) return std::nullopt;
    const std::string_view rest = trim(line.substr(comma + 1));
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
    const std::string_view keyword = trim(line.substr(0, line.find(',')));
    const std::optional<std::int32_t> at = first_value(line);
    if (keyword.empty() || !at) return std::nullopt;
    const std::string where = " at " + std::to_string(*at) + " m";
    if (file == description_kind::train) {
        if (names(train_keyword::station, keyword)) {
            const std::size_t last = line.rfind(',');
            return outline_entry{std::string(trim(line.substr(last + 1))) + where, kind_class};
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
        return outline_entry{"curve " + lower(keyword.substr(5)) + where, kind_number};
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
        if (trim(text).starts_with('[')) {
            out.push_back({{"name", std::string(trim(text))},
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

}  // namespace compattatore::lsp

namespace compattatore::lsp {
nlohmann::json hover_at(const open_document&, std::size_t, std::size_t, position_encoding) {
    return nullptr;
}
nlohmann::json completion_at(const open_document&, std::size_t, std::size_t, position_encoding) {
    return nlohmann::json::array();
}
}  // namespace compattatore::lsp
