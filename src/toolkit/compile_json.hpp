#pragma once
// compile --json: the whole outcome of an author's compile as one JSON object.

#include <cstdint>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "toolkit/compile_author.hpp"
#include "toolkit/compile_diagnostics.hpp"

namespace compattatore {

struct written_file {
    std::string name;  // code page 850, as the scenario's names make it
    std::filesystem::path path;
    std::uintmax_t size = 0;
};

// result_code, error_position (the model's: null only when there is no code), errors, warnings,
// diagnostics and files. Texts from the
// descriptions are turned from code page 850 into UTF-8; paths and file names are given with
// put_bytes.
// all: the diagnostics to list (the check's, the compile's among them).
nlohmann::ordered_json compile_json(const author_compile& c, const std::vector<diagnostic>& all,
                                    const diagnostic_files& names,
                                    const std::vector<written_file>& files);

// One diagnostic: its place and extent (end_column is the column after the field), severity,
// code, kind, message, help and notes; where it has a route position, the raw metres with their
// decoded forms beside them (position_m, km).
nlohmann::ordered_json diagnostic_json(const diagnostic& d, const diagnostic_files& names,
                                       const station_table_t& table);

}  // namespace compattatore
