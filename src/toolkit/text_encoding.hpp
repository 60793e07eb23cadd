#pragma once
// Names and board texts are stored as code page 850 bytes; terminals, JSON and SVG want UTF-8.

#include <string>
#include <string_view>

namespace compattatore {

std::string cp850_to_utf8(std::string_view bytes);

// Text for XML character data and attribute values: markup characters escaped, and the control
// characters XML does not allow replaced by '?'. Takes UTF-8.
std::string xml_escape(std::string_view utf8);

}  // namespace compattatore
