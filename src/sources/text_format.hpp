#pragma once
// Small formatting tools shared by the text writers: fixed-width numeric fields, repeated
// characters, and the two ways a description record sets its values after the keyword.

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <utility>

namespace compattatore::text {

// The decimal number right-aligned in a field of the given width, filled with blanks on the
// left. A number wider than the field is written whole.
std::string right(std::int32_t value, std::size_t width);
std::string right(std::string_view text, std::size_t width);

// The text followed by blanks up to the given width (text longer than the width is kept whole).
std::string left(std::string_view text, std::size_t width);

std::string repeat(char c, std::size_t count);

// The line followed by each value after a comma and the separator: "pendenza,  2450".
std::string record(std::string line, std::span<const std::int32_t> values,
                   std::string_view separator);
inline std::string record(std::string line, std::initializer_list<std::int32_t> values,
                          std::string_view separator) {
    return record(std::move(line), std::span(values.begin(), values.size()), separator);
}

// The line followed by each value right-aligned in its width after a comma; widths has one
// width per value.
std::string record(std::string line, std::span<const std::int32_t> values,
                   std::span<const std::size_t> widths);

}  // namespace compattatore::text
