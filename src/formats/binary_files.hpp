#pragma once
// The three files the simulator loads: the line profile, the station table and the route grid,
// each a plain little-endian dump of one table.

#include <filesystem>
#include <string>

#include "ground/model.hpp"

namespace compattatore {

std::string encode_line_profile(const line_profile_t& profile);
std::string encode_station_table(const station_table_t& table);
std::string encode_route_grid(const route_grid_t& grid);

// Writes <line>_linea.dat (only when the profile option is non-zero), <line>_<train>.sim and
// <line>_<train>.dat into app_path, in that order. Throws file_error.
void write_binary_files(const std::filesystem::path& app_path, const scenario_model& m);

}  // namespace compattatore
