#include "sources/text_format.hpp"


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

}  // namespace compattatore::text
