#pragma once
// JSON the commands print. JSON text is UTF-8, but what goes into it is not always: paths and
// file names are whatever bytes the system holds (a name given in code page 850, a path typed in
// another encoding). Such a value never stops the output: it is shown with U+FFFD for each byte
// that is not UTF-8, and its exact bytes are given beside it in hexadecimal.

#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

namespace compattatore {

bool is_utf8(std::string_view bytes);

// Lower-case hexadecimal, two digits to a byte: "43697474855f" for "Citt\x85_".
std::string hex_digits(std::string_view bytes);

// Sets j[key] to bytes; when they are not UTF-8, also j[key + "_bytes"] to their hex_digits.
void put_bytes(nlohmann::ordered_json& j, const std::string& key, std::string_view bytes);

// The document indented by two, with a line end; any byte that is not UTF-8 left in it comes
// out as U+FFFD instead of failing.
std::string json_document(const nlohmann::ordered_json& j);

}  // namespace compattatore
