#pragma once
// The simulator's three files as an author's tools read them: which file a name is, how one is
// loaded, the roles of the station table's entries, and the profiles the route grid carries cell
// by cell.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "ground/model.hpp"

namespace compattatore {

enum class binary_file_kind { line_profile, station_table, route_grid };

// By the name's ending: "_linea.dat" is the line profile (tested before ".dat"), ".dat" the route
// grid, ".sim" the station table.
std::optional<binary_file_kind> classify_binary_file(const std::filesystem::path& path);

// "line profile", "station table", "route grid": what messages call the kind.
std::string_view kind_title(binary_file_kind kind);

// A file a command cannot use; what() is the one line to show after "compattatore: ".
struct unusable_file : std::runtime_error {
    using std::runtime_error::runtime_error;
};

using simulator_table = std::variant<line_profile_t, station_table_t, route_grid_t>;

struct loaded_file {
    std::size_t bytes = 0;
    simulator_table content;
};

// Reads the file and decodes it as kind, whatever its name says. Throws unusable_file with the
// read failure, "<path>: no such file" or "<path>: corrupt <kind> at byte <n>: <detail>"; a file
// larger than its kind can be gets the last before it is read.
loaded_file load_simulator_file(const std::filesystem::path& path, binary_file_kind kind);

// Board texts fill the table from entry 80 downward and carry nothing but their text; stations
// fill it from entry 1 upward. The lowest board-text entry, or 81 when there is none.
int lowest_board_entry(const station_table_t& table);
bool is_station_entry(const station_table_t& table, int entry);

std::string clock_text(std::int32_t seconds);  // "11:49:00"

// A per-cell field of the route grid and how its stored byte reads: the gradient is stored as
// per mille + 100, the speed limit in steps of 5 km/h. The unit of the reading is the one of the
// description value it is read from (field of record, in the record table).
struct cell_profile {
    std::uint8_t route_cell::*member;
    int (*reading)(int stored);
    std::string_view record;  // the line or train record the cells take the value from
    std::string_view field;
    bool signed_reading;  // readings above zero show their sign
    bool zero_is_none;    // 0 means there is nothing there (no mountain, no mark)
};
inline constexpr cell_profile gradient_profile{
    &route_cell::gradient, [](int v) { return v - 100; }, "gradient", "gradient", true, false};
inline constexpr cell_profile speed_limit_profile{
    &route_cell::speed_limit, [](int v) { return v * 5; }, "speed limit", "speed", false, false};
inline constexpr cell_profile adhesion_profile{
    &route_cell::adhesion, [](int v) { return v; }, "adhesion", "level", false, false};
inline constexpr cell_profile mountain_type_profile{
    &route_cell::mountain_type, [](int v) { return v; }, "", "", false, true};
inline constexpr cell_profile approach_mark_profile{
    &route_cell::approach_mark, [](int v) { return v; }, "", "", false, true};

// The unit of a profile's reading; empty for a plain number.
std::string_view profile_unit(const cell_profile& profile);

// Every per-cell profile, in the order listings show them.
inline constexpr const cell_profile* cell_profiles[] = {&gradient_profile, &speed_limit_profile,
                                                        &adhesion_profile, &mountain_type_profile,
                                                        &approach_mark_profile};

// "+5 per mille", "100 km/h", "3".
std::string reading_text(const cell_profile& profile, int stored);

// A stretch of cells that share one value of a per-cell field.
struct cell_run {
    std::int32_t first_cell = 0;
    std::int32_t last_cell = 0;
    int value = 0;  // as stored
};
std::vector<cell_run> runs_of(const route_grid_t& grid, std::uint8_t route_cell::*member);

}  // namespace compattatore
