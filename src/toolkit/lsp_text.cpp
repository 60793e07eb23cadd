#include "toolkit/lsp_text.hpp"

#include <stdexcept>

#include "ground/code_page_850.hpp"

namespace compattatore::lsp {

namespace {

// Bytes of the UTF-8 sequence a lead byte starts; a stray byte counts as one.
std::size_t sequence_length(unsigned char lead) {
    if (lead >= 0xF0 && lead < 0xF8) return 4;
    if (lead >= 0xE0) return lead < 0xF0 ? 3 : 1;
    if (lead >= 0xC0) return 2;
    return 1;
}

std::size_t units(std::size_t sequence, position_encoding e) {
    if (e == position_encoding::utf8) return sequence;
    return sequence == 4 ? 2 : 1;  // beyond the basic plane a character takes a surrogate pair
}

}  // namespace

line_index::line_index(std::string_view utf8) : text_(utf8) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        if (utf8[i] != '\r' && utf8[i] != '\n') continue;
        starts_.push_back(start);
        ends_.push_back(i);
        if (utf8[i] == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n') ++i;
        start = i + 1;
    }
    starts_.push_back(start);
    ends_.push_back(utf8.size());
}

std::string_view line_index::line(std::size_t i) const {
    if (i >= starts_.size()) return {};
    return text_.substr(starts_[i], ends_[i] - starts_[i]);
}

std::size_t line_index::characters(std::size_t line_number, std::size_t column,
                                   position_encoding e) const {
    const std::string_view l = line(line_number);
    std::size_t at = 0, counted = 0, n = 0;
    while (at < l.size()) {
        const std::size_t s = sequence_length(static_cast<unsigned char>(l[at]));
        if (counted + units(s, e) > column) break;
        counted += units(s, e);
        at += s;
        ++n;
    }
    return n;
}

std::size_t line_index::column(std::size_t line_number, std::size_t characters,
                               position_encoding e) const {
    const std::string_view l = line(line_number);
    std::size_t at = 0, counted = 0;
    for (std::size_t n = 0; n < characters && at < l.size(); ++n) {
        const std::size_t s = sequence_length(static_cast<unsigned char>(l[at]));
        counted += units(s, e);
        at += s;
    }
    return counted;
}

std::size_t line_index::end_column(std::size_t line_number, position_encoding e) const {
    return column(line_number, line(line_number).size(), e);
}

namespace {

// The slow way, for a text with characters the page lacks: one character at a time.
std::string map_each_character(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t at = 0; at < utf8.size();) {
        const std::size_t s = sequence_length(static_cast<unsigned char>(utf8[at]));
        const std::string_view c = utf8.substr(at, s);
        at += c.size();
        try {
            out += utf8_to_cp850(c);
        } catch (const std::invalid_argument&) {
            out.push_back('?');
        }
    }
    return out;
}

}  // namespace

std::string to_code_page(std::string_view utf8) {
    try {
        return utf8_to_cp850(utf8);
    } catch (const std::invalid_argument&) {
    }
    return map_each_character(utf8);
}

std::optional<std::filesystem::path> uri_path(std::string_view uri) {
    constexpr std::string_view scheme = "file://";
    if (!uri.starts_with(scheme)) return std::nullopt;
    uri.remove_prefix(scheme.size());
    std::string path;
    for (std::size_t i = 0; i < uri.size(); ++i) {
        const auto hex = [](char c) -> int {
            if (c >= '0' && c <= '9') return c - '0';
            if (c >= 'a' && c <= 'f') return c - 'a' + 10;
            if (c >= 'A' && c <= 'F') return c - 'A' + 10;
            return -1;
        };
        if (uri[i] == '%' && i + 2 < uri.size() && hex(uri[i + 1]) >= 0 && hex(uri[i + 2]) >= 0) {
            path.push_back(static_cast<char>(hex(uri[i + 1]) * 16 + hex(uri[i + 2])));
            i += 2;
        } else {
            path.push_back(uri[i]);
        }
    }
    return std::filesystem::path(path);
}

std::string path_uri(const std::filesystem::path& path) {
    constexpr std::string_view keep = "-._~/";
    constexpr char digits[] = "0123456789ABCDEF";
    std::string uri = "file://";
    for (const char ch : path.generic_string()) {
        const auto c = static_cast<unsigned char>(ch);
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || keep.find(ch) != std::string_view::npos;
        if (plain) {
            uri.push_back(ch);
        } else {
            uri += '%';
            uri += digits[c >> 4];
            uri += digits[c & 15];
        }
    }
    return uri;
}

}  // namespace compattatore::lsp
