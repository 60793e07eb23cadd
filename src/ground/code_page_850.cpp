#include "ground/code_page_850.hpp"

#include <array>
#include <cstdint>
#include <stdexcept>

namespace compattatore {

namespace {

// Code points of the bytes 0x80 to 0xFF.
constexpr std::array<std::uint16_t, 128> upper_half{
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8, 0x00EF,
    0x00EE, 0x00EC, 0x00C4, 0x00C5, 0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,
    0x00FF, 0x00D6, 0x00DC, 0x00F8, 0x00A3, 0x00D8, 0x00D7, 0x0192, 0x00E1, 0x00ED, 0x00F3, 0x00FA,
    0x00F1, 0x00D1, 0x00AA, 0x00BA, 0x00BF, 0x00AE, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x00C1, 0x00C2, 0x00C0, 0x00A9, 0x2563, 0x2551, 0x2557,
    0x255D, 0x00A2, 0x00A5, 0x2510, 0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x00E3, 0x00C3,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x00A4, 0x00F0, 0x00D0, 0x00CA, 0x00CB,
    0x00C8, 0x0131, 0x00CD, 0x00CE, 0x00CF, 0x2518, 0x250C, 0x2588, 0x2584, 0x00A6, 0x00CC, 0x2580,
    0x00D3, 0x00DF, 0x00D4, 0x00D2, 0x00F5, 0x00D5, 0x00B5, 0x00FE, 0x00DE, 0x00DA, 0x00DB, 0x00D9,
    0x00FD, 0x00DD, 0x00AF, 0x00B4, 0x00AD, 0x00B1, 0x2017, 0x00BE, 0x00B6, 0x00A7, 0x00F7, 0x00B8,
    0x00B0, 0x00A8, 0x00B7, 0x00B9, 0x00B3, 0x00B2, 0x25A0, 0x00A0,
};

// Lower case derived from the page itself: a Latin-1 capital (U+00C0 to U+00DE, but not the
// multiplication sign) has its small letter 0x20 above it; the page holds both or only one.
constexpr std::array<unsigned char, 256> lower_table = [] {
    std::array<unsigned char, 256> t{};
    for (int b = 0; b < 256; ++b) t[b] = static_cast<unsigned char>(b);
    for (int b = 'A'; b <= 'Z'; ++b) t[b] = static_cast<unsigned char>(b - 'A' + 'a');
    for (std::size_t capital = 0; capital < upper_half.size(); ++capital) {
        const std::uint32_t cp = upper_half[capital];
        if (cp < 0x00C0 || cp > 0x00DE || cp == 0x00D7) continue;
        for (std::size_t small = 0; small < upper_half.size(); ++small) {
            if (upper_half[small] == cp + 0x20)
                t[0x80 + capital] = static_cast<unsigned char>(0x80 + small);
        }
    }
    return t;
}();
static_assert(lower_table[0xB7] == 0x85 && lower_table[0x90] == 0x82 && lower_table[0xE3] == 0x95);

// Decodes the UTF-8 sequence at i and moves i past it; 0xFFFFFFFF for bytes that are not one
// (a stray continuation byte, a cut or overlong sequence).
constexpr std::uint32_t malformed = 0xFFFFFFFF;
std::uint32_t next_code_point(std::string_view s, std::size_t& i) {
    const auto lead = static_cast<unsigned char>(s[i]);
    const std::size_t follow = lead < 0x80                   ? 0
                               : lead >= 0xC2 && lead < 0xE0 ? 1
                               : lead >= 0xE0 && lead < 0xF0 ? 2
                               : lead >= 0xF0 && lead < 0xF5 ? 3
                                                             : 4;
    if (follow == 4 || s.size() - i <= follow) return ++i, malformed;
    std::uint32_t cp = follow == 0 ? lead : lead & (0x3Fu >> follow);
    for (std::size_t k = 1; k <= follow; ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        if ((b & 0xC0) != 0x80) return ++i, malformed;
        cp = (cp << 6) | (b & 0x3Fu);
    }
    constexpr std::uint32_t least[] = {0, 0x80, 0x800, 0x10000};
    if (cp < least[follow] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return ++i, malformed;
    i += follow + 1;
    return cp;
}

// The byte of a code point, or -1 when the page has none.
int byte_of(std::uint32_t cp) {
    if (cp < 0x80) return static_cast<int>(cp);
    for (std::size_t k = 0; k < upper_half.size(); ++k) {
        if (upper_half[k] == cp) return static_cast<int>(0x80 + k);
    }
    return -1;
}

void append_utf8(std::string& out, std::uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

}  // namespace

std::string cp850_to_utf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        append_utf8(out, b < 0x80 ? b : upper_half[b - 0x80]);
    }
    return out;
}

std::string utf8_to_cp850(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        const std::size_t at = i;
        const std::uint32_t cp = next_code_point(utf8, i);
        const int byte = cp == malformed ? -1 : byte_of(cp);
        if (byte < 0) {
            throw std::invalid_argument("no code page 850 byte for the character at offset " +
                                        std::to_string(at) + " of \"" + std::string(utf8) + "\"");
        }
        out += static_cast<char>(byte);
    }
    return out;
}

unsigned char cp850_lower(unsigned char byte) {
    return lower_table[byte];
}

std::string xml_escape(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (const char c : utf8) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&apos;";
                break;
            default: {
                const auto b = static_cast<unsigned char>(c);
                out += (b < 0x20 && b != '\t' && b != '\n' && b != '\r') ? '?' : c;
            }
        }
    }
    return out;
}

}  // namespace compattatore
