#include "toolkit/scenario_files.hpp"

#include <cstdio>

namespace compattatore {

std::optional<binary_file_kind> classify_binary_file(const std::filesystem::path& path) {
    const std::string name = path.filename().string();
    if (name.ends_with("_linea.dat")) return binary_file_kind::line_profile;
    if (name.ends_with(".dat")) return binary_file_kind::route_grid;
    if (name.ends_with(".sim")) return binary_file_kind::station_table;
    return std::nullopt;
}

namespace {

bool holds_only_a_name(const station_entry& e) {
    station_entry bare;
    bare.name = e.name;
    return !e.name.empty() && e == bare;
}

}  // namespace

int lowest_board_entry(const station_table_t& table) {
    int entry = station_slot::first_board;
    while (entry >= 1 && holds_only_a_name(table[static_cast<std::size_t>(entry)])) --entry;
    return entry + 1;
}

bool is_station_entry(const station_table_t& table, int entry) {
    if (entry < 1 || entry >= lowest_board_entry(table)) return false;
    return table[static_cast<std::size_t>(entry)] != station_entry{};
}

std::string clock_text(std::int32_t seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", seconds / 3600, seconds / 60 % 60,
                  seconds % 60);
    return text;
}

int field_value(const route_cell& c, cell_field field) {
    switch (field) {
        case cell_field::gradient:
            return c.gradient;
        case cell_field::speed_limit:
            return c.speed_limit;
        case cell_field::adhesion:
            return c.adhesion;
        case cell_field::mountain_type:
            return c.mountain_type;
        case cell_field::approach_mark:
            return c.approach_mark;
    }
    return 0;
}

std::vector<cell_run> runs_of(const route_grid_t& grid, cell_field field) {
    std::vector<cell_run> runs;
    for (std::size_t i = 0; i < grid.size(); ++i) {
        const int v = field_value(grid[i], field);
        const auto cell = static_cast<std::int32_t>(i);
        if (!runs.empty() && runs.back().value == v && runs.back().last_cell == cell - 1) {
            runs.back().last_cell = cell;
        } else {
            runs.push_back({cell, cell, v});
        }
    }
    return runs;
}

}  // namespace compattatore
