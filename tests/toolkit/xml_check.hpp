#pragma once
// A small well-formedness check for the SVG the toolkit writes: one root element, tags that nest
// and close, quoted attributes, only the five named entities and numeric references, no raw '<'
// or '&' in text. Returns the first fault found, or an empty string.

#include <cctype>
#include <string>
#include <string_view>
#include <vector>

namespace compattatore::testing {

inline std::string xml_fault(std::string_view x) {
    std::vector<std::string> open;
    std::size_t i = 0;
    int roots = 0;
    const auto at = [&](std::size_t p) { return " at byte " + std::to_string(p); };
    const auto name_char = [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' || c == ':' ||
               c == '.';
    };
    const auto check_entities = [&](std::string_view text, std::size_t base) -> std::string {
        for (std::size_t k = 0; k < text.size(); ++k) {
            if (text[k] == '<') return "raw '<'" + at(base + k);
            if (text[k] != '&') continue;
            const std::size_t semi = text.find(';', k);
            if (semi == std::string_view::npos) return "unterminated entity" + at(base + k);
            const std::string_view e = text.substr(k + 1, semi - k - 1);
            const bool named = e == "amp" || e == "lt" || e == "gt" || e == "quot" || e == "apos";
            const bool numeric = e.size() > 1 && e[0] == '#';
            if (!named && !numeric) return "unknown entity &" + std::string(e) + ";" + at(base + k);
            k = semi;
        }
        return "";
    };
    while (i < x.size()) {
        if (x[i] != '<') {
            const std::size_t next = x.find('<', i);
            const std::string_view text = x.substr(i, next - i);
            if (open.empty() && text.find_first_not_of(" \t\r\n") != std::string_view::npos) {
                return "text outside the root" + at(i);
            }
            if (auto f = check_entities(text, i); !f.empty()) return f;
            i = next == std::string_view::npos ? x.size() : next;
            continue;
        }
        if (x.substr(i, 5) == "<?xml") {
            if (i != 0) return "declaration not at the start" + at(i);
            const std::size_t end = x.find("?>", i);
            if (end == std::string_view::npos) return "unterminated declaration";
            i = end + 2;
            continue;
        }
        if (x.substr(i, 4) == "<!--") {
            const std::size_t end = x.find("-->", i);
            if (end == std::string_view::npos) return "unterminated comment" + at(i);
            i = end + 3;
            continue;
        }
        const bool closing = i + 1 < x.size() && x[i + 1] == '/';
        std::size_t p = i + (closing ? 2 : 1);
        const std::size_t name_start = p;
        while (p < x.size() && name_char(x[p])) ++p;
        const std::string name(x.substr(name_start, p - name_start));
        if (name.empty()) return "tag without a name" + at(i);
        if (closing) {
            while (p < x.size() && std::isspace(static_cast<unsigned char>(x[p]))) ++p;
            if (p >= x.size() || x[p] != '>') return "bad end tag" + at(i);
            if (open.empty() || open.back() != name)
                return "end tag </" + name + "> not open" + at(i);
            open.pop_back();
            i = p + 1;
            continue;
        }
        // Attributes: name="value" or name='value', each name once.
        std::vector<std::string> seen;
        for (;;) {
            while (p < x.size() && std::isspace(static_cast<unsigned char>(x[p]))) ++p;
            if (p >= x.size()) return "unterminated tag <" + name + at(i);
            if (x[p] == '>' || x.substr(p, 2) == "/>") break;
            const std::size_t a = p;
            while (p < x.size() && name_char(x[p])) ++p;
            const std::string attribute(x.substr(a, p - a));
            if (attribute.empty() || p >= x.size() || x[p] != '=') return "bad attribute" + at(a);
            for (const auto& s : seen) {
                if (s == attribute) return "attribute " + attribute + " twice" + at(a);
            }
            seen.push_back(attribute);
            ++p;
            if (p >= x.size() || (x[p] != '"' && x[p] != '\'')) return "unquoted attribute" + at(a);
            const char q = x[p];
            const std::size_t end = x.find(q, p + 1);
            if (end == std::string_view::npos) return "unterminated attribute" + at(a);
            if (auto f = check_entities(x.substr(p + 1, end - p - 1), p + 1); !f.empty()) return f;
            p = end + 1;
        }
        const bool self_closing = x[p] == '/';
        if (open.empty()) {
            if (++roots > 1) return "second root element" + at(i);
        }
        if (!self_closing) open.push_back(name);
        i = p + (self_closing ? 2 : 1);
    }
    if (!open.empty()) return "<" + open.back() + "> never closed";
    if (roots != 1) return "no root element";
    return "";
}

}  // namespace compattatore::testing
