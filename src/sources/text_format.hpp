#pragma once
// Small formatting tools shared by the text writers: fixed-width numeric fields and repeated
// characters.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace compattatore::text {

// The decimal number right-aligned in a field of the given width, filled with blanks on the
// left. A number wider than the field is written whole.
std::string right(std::int32_t value, std::size_t width);
std::string right(std::string_view text, std::size_t width);

// The text followed by blanks up to the given width (text longer than the width is kept whole).
std::string left(std::string_view text, std::size_t width);

std::string repeat(char c, std::size_t count);

}  // namespace compattatore::text
