#include "sources/text_format.hpp"

#include <array>
#include <stdexcept>

namespace compattatore::text {

std::string right(std::int32_t value, std::size_t width) {
    return right(std::to_string(value), width);
}

std::string right(std::string_view text, std::size_t width) {
    std::string out;
    if (text.size() < width) out.assign(width - text.size(), ' ');
    out += text;
    return out;
}

std::string left(std::string_view text, std::size_t width) {
    std::string out(text);
    if (out.size() < width) out.append(width - out.size(), ' ');
    return out;
}

std::string repeat(char c, std::size_t count) {
    return std::string(count, c);
}

namespace {

struct accented_letter {
    std::string_view utf8;
    char cp850;
};

constexpr std::array<accented_letter, 5> accented_letters{{
    {"\xC3\xA0", '\x85'},  // à
    {"\xC3\xA8", '\x8A'},  // è
    {"\xC3\xA9", '\x82'},  // é
    {"\xC3\xB2", '\x95'},  // ò
    {"\xC3\xB9", '\x97'},  // ù
}};

}  // namespace

std::string cp850(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        if (static_cast<unsigned char>(utf8[i]) < 0x80) {
            out += utf8[i++];
            continue;
        }
        bool known = false;
        for (const auto& letter : accented_letters) {
            if (utf8.substr(i, letter.utf8.size()) == letter.utf8) {
                out += letter.cp850;
                i += letter.utf8.size();
                known = true;
                break;
            }
        }
        if (!known) {
            throw std::invalid_argument("no code page 850 byte for the character at offset " +
                                        std::to_string(i) + " of \"" + std::string(utf8) + "\"");
        }
    }
    return out;
}

}  // namespace compattatore::text
