#include "toolkit/check_author.hpp"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <utility>

#include "ground/code_page_850.hpp"
#include "ground/diagnostic_kinds.hpp"
#include "ground/result_codes.hpp"
#include "toolkit/check_pass.hpp"

namespace compattatore {

std::size_t author_check::count(severity level) const {
    return static_cast<std::size_t>(
        std::ranges::count_if(diagnostics, [&](const diagnostic& d) { return d.level == level; }));
}

namespace {

// The length of the UTF-8 sequence a lead byte starts, 0 for a byte no sequence starts with.
std::size_t sequence_length(unsigned char lead) {
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;
}

// Whether the whole text is UTF-8 with at least one character beyond ASCII.
bool is_utf8_beyond_ascii(std::string_view text) {
    bool beyond = false;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t n = sequence_length(static_cast<unsigned char>(text[i]));
        if (n == 0 || i + n > text.size()) return false;
        for (std::size_t k = 1; k < n; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
        }
        beyond = beyond || n > 1;
        i += n;
    }
    return beyond;
}

struct place {
    std::int32_t line = 1;
    std::int32_t column = 1;
};

place place_of(std::string_view text, std::size_t offset) {
    place p;
    for (std::size_t i = 0; i < offset; ++i) {
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n'))) {
            ++p.line;
            p.column = 1;
        } else if (text[i] != '\r') {
            ++p.column;
        }
    }
    return p;
}

// "U+20AC": a character named without its bytes, which no code page 850 message can hold.
std::string code_point_name(std::string_view character) {
    const auto lead = static_cast<unsigned char>(character[0]);
    std::uint32_t value = character.size() == 1   ? lead
                          : character.size() == 2 ? lead & 0x1Fu
                          : character.size() == 3 ? lead & 0x0Fu
                                                  : lead & 0x07u;
    for (std::size_t k = 1; k < character.size(); ++k) {
        value = (value << 6) | (static_cast<unsigned char>(character[k]) & 0x3Fu);
    }
    char text[16];
    std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(value));
    return text;
}

// The character in code page 850 between backquotes, or its code point when the page lacks it.
std::string meant_in_cp850(std::string_view character) {
    try {
        std::string quoted_character = "`";
        quoted_character += utf8_to_cp850(character);
        quoted_character += '`';
        return quoted_character;
    } catch (const std::invalid_argument&) {
        return code_point_name(character);
    }
}

void note_utf8(check_state& s, description_kind file, std::string_view text) {
    if (!is_utf8_beyond_ascii(text)) return;
    std::size_t at = 0;
    while (static_cast<unsigned char>(text[at]) < 0x80) ++at;
    const std::size_t n = sequence_length(static_cast<unsigned char>(text[at]));
    const std::string_view character = text.substr(at, n);
    const place p = place_of(text, at);
    // Messages quote description bytes in code page 850: the character meant is written so, and
    // the bytes as they stand show what the simulator will show.
    s.warning(problem::utf8_text, {file, p.line, p.column}, static_cast<std::int32_t>(n),
              "the text is UTF-8, not code page 850: " + meant_in_cp850(character) + " shows as `" +
                  std::string(character) + "` in the simulator")
        .help = "save the file in code page 850, or check it with `--input-encoding utf-8`";
}

// The text in code page 850; a character the page lacks is an error at its place and becomes
// `?` so the rest can still be checked.
std::string from_utf8(check_state& s, description_kind file, std::string_view text) {
    try {
        return utf8_to_cp850(text);
    } catch (const std::invalid_argument&) {
    }
    std::string out;
    place p;
    for (std::size_t i = 0; i < text.size();) {
        std::size_t n =
            std::max<std::size_t>(1, sequence_length(static_cast<unsigned char>(text[i])));
        n = std::min(n, text.size() - i);
        const std::string_view character = text.substr(i, n);
        try {
            out += utf8_to_cp850(character);
        } catch (const std::invalid_argument&) {
            s.error(0, problem::not_in_code_page, {file, p.line, p.column}, 1,
                    code_point_name(character) + " has no character in code page 850")
                .help = "write it with a letter code page 850 has";
            out += '?';
        }
        const bool ends_line =
            text[i] == '\n' || (text[i] == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n'));
        if (ends_line) {
            ++p.line;
            p.column = 1;
        } else if (text[i] != '\r') {
            ++p.column;
        }
        i += n;
    }
    return out;
}

}  // namespace

std::vector<diagnostic> merged_diagnostics(check_state& s, const std::vector<diagnostic>& compile);

author_check check_author_sources(author_sources sources, const check_options& options) {
    check_state s;
    s.profile = sources.profile;
    const std::pair<std::optional<std::string>*, description_kind> texts[] = {
        {&sources.line_text, description_kind::line},
        {&sources.train_text, description_kind::train},
    };
    for (const auto& [text, file] : texts) {
        if (!text->has_value()) continue;
        if (options.encoding == input_encoding::utf8) {
            **text = from_utf8(s, file, **text);
        } else {
            note_utf8(s, file, **text);
        }
        try {
            check_text(s, file, **text);
        } catch (const std::exception&) {
            // A value the pass cannot work with ends the pass over this text; the compile's own
            // diagnostics still come through.
        }
    }
    check_texts_end(s, sources.line_text.has_value(), sources.train_text.has_value());
    author_check r;
    r.compile = compile_author_sources(std::move(sources));
    r.diagnostics = merged_diagnostics(s, r.compile.report.diagnostics);
    for (const auto& [cell, o] : s.cells) r.places.cells.emplace(cell, o.where);
    for (const station_seen& st : s.stations) r.places.stations.emplace_back(st.name, st.where);
    return r;
}

}  // namespace compattatore
