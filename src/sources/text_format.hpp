#pragma once
// Small formatting tools shared by the text writers: fixed-width numeric fields, repeated
// characters and the conversion of the few accented letters to their one-byte DOS form.

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

// The UTF-8 text with each accented letter the writers use (à è é ò ù) turned into its single
// code page 850 byte. Throws std::invalid_argument on any other non-ASCII character, so that a
// letter without a known byte can never reach a file as a multi-byte sequence.
std::string cp850(std::string_view utf8);

}  // namespace compattatore::text
