#include "toolkit/diagnostic_render.hpp"

#include <algorithm>
#include <utility>

#include "ground/code_page_850.hpp"

namespace compattatore {

source_lines::source_lines(std::string text, bool utf8) : text_(std::move(text)), utf8_(utf8) {
    if (text_.empty()) return;
    starts_.push_back(0);
    for (std::size_t i = 0; i + 1 < text_.size(); ++i) {
        if (text_[i] == '\n') starts_.push_back(i + 1);
    }
}

std::string_view source_lines::line(std::int32_t number) const {
    if (!has(number)) return {};
    const std::size_t begin = starts_[static_cast<std::size_t>(number) - 1];
    std::size_t end = text_.find('\n', begin);
    if (end == std::string::npos) end = text_.size();
    if (end > begin && text_[end - 1] == '\r') --end;
    return std::string_view(text_).substr(begin, end - begin);
}

namespace {

namespace ansi {
constexpr const char* bold = "\033[1m";
constexpr const char* red = "\033[1;31m";
constexpr const char* magenta = "\033[1;35m";
constexpr const char* cyan = "\033[1;36m";
constexpr const char* green = "\033[1;32m";
constexpr const char* reset = "\033[0m";
}  // namespace ansi

struct painter {
    bool color;
    std::string operator()(const char* code, const std::string& text) const {
        if (!color) return text;
        std::string out(code);
        out.append(text).append(ansi::reset);
        return out;
    }
};

// The line as the characters a terminal shows, each in UTF-8. A control character would move the
// terminal's cursor: shown as a space. A tab stays, and the underline copies it, so the caret
// lines up whatever the terminal's tab width.
std::vector<std::string> characters(std::string_view text, bool utf8) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < text.size();) {
        std::size_t n = 1;
        if (utf8) {
            const auto lead = static_cast<unsigned char>(text[i]);
            n = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
            n = std::min(n, text.size() - i);
        }
        std::string c(text.substr(i, n));
        const auto u = static_cast<unsigned char>(c[0]);
        if (u != '\t' && (u < 0x20 || u == 0x7F)) c.assign(1, ' ');
        out.push_back(utf8 ? c : cp850_to_utf8(c));
        i += n;
    }
    return out;
}

// "   53 | source" and "      | ^~~~~": the underline starts under the column'th character.
std::string excerpt(const std::vector<std::string>& text, const source_location& where,
                    std::int32_t length, std::size_t gutter, const painter& paint) {
    const std::string number = std::to_string(where.line);
    std::string out(gutter + 1 - number.size(), ' ');
    out.append(number).append(" | ");
    for (const std::string& c : text) out.append(c);
    out.append("\n");
    const std::size_t start =
        std::min<std::size_t>(static_cast<std::size_t>(std::max(where.column, 1)) - 1, text.size());
    const std::size_t left = text.size() - start;
    const std::size_t wide = std::max<std::size_t>(
        1, std::min<std::size_t>(static_cast<std::size_t>(std::max(length, 1)), left));
    std::string pad;
    for (std::size_t i = 0; i < start; ++i) pad += text[i] == "\t" ? '\t' : ' ';
    out.append(gutter + 1, ' ').append(" | ").append(pad);
    out.append(paint(ansi::green, std::string(1, '^').append(wide - 1, '~'))).append("\n");
    return out;
}

std::size_t gutter_width(const diagnostic& d) {
    std::int32_t widest = d.where.line;
    for (const diagnostic_note& n : d.notes) widest = std::max(widest, n.where.line);
    return std::max<std::size_t>(4, std::to_string(widest).size());
}

// The excerpt of a place, or nothing when its text or line is not at hand.
std::string excerpt_of(const diagnostic_sources& sources, const source_location& where,
                       std::int32_t length, std::size_t gutter, const painter& paint) {
    const source_lines* lines = sources.of(where.file);
    if (lines == nullptr || where.line <= 0 || !lines->has(where.line)) return {};
    return excerpt(characters(lines->line(where.line), lines->utf8()), where, length, gutter,
                   paint);
}

}  // namespace

std::string render_diagnostic(const diagnostic& d, const diagnostic_files& files,
                              const diagnostic_sources& sources, const station_table_t& table,
                              render_style style) {
    const painter paint{style.color};
    const bool error = d.level == severity::error;
    const std::size_t gutter = gutter_width(d);
    std::string out = paint(ansi::bold, diagnostic_place(files, d.where)) + " " +
                      paint(error ? ansi::red : ansi::magenta, error ? "error:" : "warning:") +
                      " " + paint(ansi::bold, diagnostic_statement(d, table)) + "\n";
    out += excerpt_of(sources, d.where, d.length, gutter, paint);
    if (!d.help.empty()) {
        out += std::string(gutter + 1, ' ') + " = " + paint(ansi::bold, "help:") + " " +
               cp850_to_utf8(d.help) + "\n";
    }
    for (const diagnostic_note& n : d.notes) {
        out += paint(ansi::bold, diagnostic_place(files, n.where)) + " " +
               paint(ansi::cyan, "note:") + " " + cp850_to_utf8(n.message) + "\n";
        out += excerpt_of(sources, n.where, n.length, gutter, paint);
    }
    return out;
}

}  // namespace compattatore
