#pragma once
// Which line names and train numbers can name a scenario. Every output file name is built from
// them (ground/file_names.hpp), and the simulator's files travel between systems, so a name must
// make a plain file name on each of them: on Linux, where any byte but '/' goes, and on Windows,
// which refuses more characters and ignores case.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ground/files.hpp"

namespace compattatore {

// Why name (code page 850 bytes) cannot be a line name or train number, or nullopt when it can:
// it is empty, "." or "..", or holds a path separator ('/', '\'), a control character or a
// character Windows refuses in file names (< > : " | ? *).
std::optional<std::string> name_problem(std::string_view name);

// Why these names (code page 850 bytes) cannot all be files side by side in one folder, or
// nullopt when they can: one is longer than longest_file_name, or two are the same name once
// case is ignored as Windows ignores it. The reason quotes the names in UTF-8.
std::optional<std::string> file_names_problem(const std::vector<std::string>& names);

}  // namespace compattatore
