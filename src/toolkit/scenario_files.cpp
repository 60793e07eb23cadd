#include "toolkit/scenario_files.hpp"

#include <algorithm>
#include <cstdint>

#include "formats/binary_layout.hpp"
#include "ground/files.hpp"
#include "ground/record_schema.hpp"
#include "ground/roles.hpp"
#include "toolkit/folders.hpp"
#include "toolkit/printf_text.hpp"

namespace compattatore {

std::optional<binary_file_kind> classify_binary_file(const std::filesystem::path& path) {
    const std::string name = path.filename().string();
    if (name.ends_with("_linea.dat")) return binary_file_kind::line_profile;
    if (name.ends_with(".dat")) return binary_file_kind::route_grid;
    if (name.ends_with(".sim")) return binary_file_kind::station_table;
    return std::nullopt;
}

std::string_view kind_title(binary_file_kind kind) {
    switch (kind) {
        case binary_file_kind::line_profile:
            return "line profile";
        case binary_file_kind::station_table:
            return "station table";
        case binary_file_kind::route_grid:
            return "route grid";
    }
    return "";
}

namespace {

void check_size(std::size_t bytes, binary_file_kind kind) {
    switch (kind) {
        case binary_file_kind::line_profile:
            return binary_layout::check_line_profile_size(bytes);
        case binary_file_kind::station_table:
            return binary_layout::check_station_table_size(bytes);
        case binary_file_kind::route_grid:
            break;
    }
    binary_layout::check_route_grid_size(bytes);
}

simulator_table decode(std::string_view bytes, binary_file_kind kind) {
    switch (kind) {
        case binary_file_kind::line_profile:
            return binary_layout::decode_line_profile(bytes);
        case binary_file_kind::station_table:
            return binary_layout::decode_station_table(bytes);
        case binary_file_kind::route_grid:
            break;
    }
    return binary_layout::decode_route_grid(bytes);
}

unusable_file corrupt(const std::filesystem::path& path, binary_file_kind kind,
                      const binary_layout::decode_error& e) {
    return unusable_file(path.string() + ": corrupt " + std::string(kind_title(kind)) +
                         " at byte " + std::to_string(e.offset()) + ": " + e.detail());
}

// A file larger than its kind can be is refused by its size, before a byte of it is read.
void refuse_oversized(const std::filesystem::path& path, binary_file_kind kind) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return;
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec) return;
    try {
        check_size(static_cast<std::size_t>(std::min<std::uintmax_t>(size, SIZE_MAX)), kind);
    } catch (const binary_layout::decode_error& e) {
        throw corrupt(path, kind, e);
    }
}

}  // namespace

loaded_file load_simulator_file(const std::filesystem::path& path, binary_file_kind kind) {
    refuse_oversized(path, kind);
    std::optional<std::string> bytes;
    try {
        bytes = read_input(path);
    } catch (const file_error& e) {
        throw unusable_file(e.what());
    }
    if (!bytes) throw unusable_file(path.string() + ": no such file");
    try {
        return {bytes->size(), decode(*bytes, kind)};
    } catch (const binary_layout::decode_error& e) {
        throw corrupt(path, kind, e);
    }
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
    if (role_of_slot(entry, lowest_board_entry(table)) != slot_role::station) return false;
    return table[static_cast<std::size_t>(entry)] != station_entry{};
}

std::string clock_text(std::int32_t seconds) {
    return printf_text("%02d:%02d:%02d", seconds / 3600, seconds / 60 % 60, seconds % 60);
}

std::string_view profile_unit(const cell_profile& profile) {
    for (const record_schema& r : all_records()) {
        if (r.name != profile.record) continue;
        for (const field_schema& f : r.fields) {
            if (f.name == profile.field) return f.unit;
        }
    }
    return {};
}

std::string reading_text(const cell_profile& profile, int stored) {
    const int reading = profile.reading(stored);
    std::string text = profile.signed_reading && reading > 0 ? "+" : "";
    text += std::to_string(reading);
    const std::string_view unit = profile_unit(profile);
    if (!unit.empty()) text.append(" ").append(unit);
    return text;
}

std::vector<cell_run> runs_of(const route_grid_t& grid, std::uint8_t route_cell::*member) {
    std::vector<cell_run> runs;
    for (std::size_t i = 0; i < grid.size(); ++i) {
        const int v = grid[i].*member;
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
