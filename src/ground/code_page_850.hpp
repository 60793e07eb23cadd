#pragma once
// Code page 850: the 8-bit page of every text the simulator reads (descriptions, names, board
// texts). Terminals, JSON, SVG and the program's own fixed texts are UTF-8; this is the one
// place that maps between the two.

#include <string>
#include <string_view>

namespace compattatore {

// Every byte has a character, so this never fails.
std::string cp850_to_utf8(std::string_view bytes);

// Each character turned into its code page 850 byte. Throws std::invalid_argument on a
// character the page lacks or on bytes that are not UTF-8, so a letter without a byte can never
// reach a file as a multi-byte sequence.
std::string utf8_to_cp850(std::string_view utf8);

// Lower case within the page: ASCII A-Z and every accented capital whose small letter the page
// has; every other byte is itself.
unsigned char cp850_lower(unsigned char byte);

// Text for XML character data and attribute values: markup characters escaped, and the control
// characters XML does not allow replaced by '?'. Takes UTF-8.
std::string xml_escape(std::string_view utf8);

}  // namespace compattatore
