#include "sources/text_format.hpp"

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

std::string record(std::string line, std::span<const std::int32_t> values,
                   std::string_view separator) {
    for (const std::int32_t v : values) {
        line += ',';
        line += separator;
        line += std::to_string(v);
    }
    return line;
}

std::string record(std::string line, std::span<const std::int32_t> values,
                   std::span<const std::size_t> widths) {
    if (widths.size() != values.size()) {
        throw std::invalid_argument("a record needs one field width per value");
    }
    for (std::size_t i = 0; i < values.size(); ++i) {
        line += ',';
        line += right(values[i], widths[i]);
    }
    return line;
}

}  // namespace compattatore::text
