#pragma once
// The procedure every text writer shares: a list of lines ended by a sentinel, written one line
// and CR LF at a time into a file that replaces any earlier one completely.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace compattatore {

inline constexpr std::string_view end_sentinel = "riferimento fine del file";
inline constexpr std::size_t line_list_capacity = 1001;

// The bytes of the file: every entry before the first one equal to the sentinel, each followed
// by CR LF. Throws std::length_error when the list holds more than line_list_capacity entries
// or has no sentinel.
std::string line_list_bytes(const std::vector<std::string>& list);

// Writes the list to path (see line_list_bytes) and returns the line counter, the index of the
// sentinel.
std::int32_t write_line_list(const std::filesystem::path& path,
                             const std::vector<std::string>& list);

}  // namespace compattatore
