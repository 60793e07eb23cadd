#pragma once
// The simulator's three files as an author's tools read them: which file a name is, the roles of
// the station table's entries, and the profiles the route grid carries cell by cell.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "ground/model.hpp"

namespace compattatore {

enum class binary_file_kind { line_profile, station_table, route_grid };

// By the name's ending: "_linea.dat" is the line profile (tested before ".dat"), ".dat" the route
// grid, ".sim" the station table.
std::optional<binary_file_kind> classify_binary_file(const std::filesystem::path& path);

// Board texts fill the table from entry 80 downward and carry nothing but their text; stations
// fill it from entry 1 upward. The lowest board-text entry, or 81 when there is none.
int lowest_board_entry(const station_table_t& table);
bool is_station_entry(const station_table_t& table, int entry);

std::string clock_text(std::int32_t seconds);  // "11:49:00"

// A stretch of cells that share one value of a per-cell field.
struct cell_run {
    std::int32_t first_cell = 0;
    std::int32_t last_cell = 0;
    int value = 0;
};
enum class cell_field { gradient, speed_limit, adhesion, mountain_type, approach_mark };
std::vector<cell_run> runs_of(const route_grid_t& grid, cell_field field);
int field_value(const route_cell& c, cell_field field);

}  // namespace compattatore
