#pragma once
// The scenario data model: everything one run knows, owned by Form1 from start-up to the end.
// The three tables are dumped field by field into the simulator's files, so every stored field
// has the exact width the files give it.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "ground/huge_page_allocator.hpp"
#include "ground/tagged_value.hpp"

namespace compattatore {

// Cell kinds of the route grid.
namespace cell_kind {
inline constexpr std::uint8_t empty = 0;
inline constexpr std::uint8_t signal = 1;
inline constexpr std::uint8_t slowdown_end = 2;
inline constexpr std::uint8_t slowdown_start = 3;
inline constexpr std::uint8_t slowdown_warning = 4;
inline constexpr std::uint8_t slowdown_prewarning = 5;
inline constexpr std::uint8_t speed_board = 6;
inline constexpr std::uint8_t station_stop = 10;
inline constexpr std::uint8_t mountain_marker = 11;
inline constexpr std::uint8_t code_point = 12;
inline constexpr std::uint8_t code_off_point = 13;
inline constexpr std::uint8_t direction_board = 14;
}  // namespace cell_kind

// One cell per 50 m of route.
struct route_cell {
    std::uint8_t kind = 0;
    std::int16_t value_a = 0;
    std::int16_t value_b = 0;
    std::int16_t value_c = 0;
    std::int16_t value_d = 0;
    std::uint8_t signal_delay = 0;
    std::uint8_t approach_mark = 0;
    std::uint8_t mountain_type = 0;
    std::uint8_t speed_limit = 0;
    std::uint8_t gradient = 0;
    std::uint8_t adhesion = 0;

    friend bool operator==(const route_cell&, const route_cell&) = default;
};

// Objects may only be placed on empty cells and on mountain markers.
inline bool is_free(const route_cell& c) {
    return c.kind == cell_kind::empty || c.kind == cell_kind::mountain_marker;
}

struct station_entry {
    std::uint8_t kind = 0;
    std::int32_t area_start = 0;
    std::int32_t area_end = 0;
    std::int32_t position = 0;
    std::uint8_t param_a = 0;
    std::string name;  // 8-bit code page bytes, any length
    std::int16_t group_a1 = 0;
    std::int16_t group_a2 = 0;
    std::int16_t group_b1 = 0;
    std::int16_t group_b2 = 0;
    std::int16_t group_b3 = 0;
    std::uint8_t group_a3 = 0;
    std::uint8_t param_c = 0;
    std::uint8_t end_extension = 0;
    std::uint8_t param_b = 0;
    std::int32_t timetable_time = 0;

    friend bool operator==(const station_entry&, const station_entry&) = default;
};

// Roles of the fixed station table entries.
namespace station_slot {
inline constexpr int count = 87;
inline constexpr int first_board = 80;  // board texts count down from here
// The three progressives (railway kilometre offsets), read from the line description's
// general section in this order.
inline constexpr int progressive_three = 81;
inline constexpr int progressive_two = 82;
inline constexpr int progressive_one = 83;
inline constexpr std::array<int, 3> progressives{progressive_three, progressive_two,
                                                 progressive_one};
inline constexpr int train_and_line = 84;
inline constexpr int line_header = 85;
inline constexpr int train_header = 86;
}  // namespace station_slot

using station_table_t = std::array<station_entry, station_slot::count>;
using route_grid_t = std::vector<route_cell>;

// The plan of the line, one point per metre. Stored with the point index running fastest
// (all x values, then all y values), which is also the order of the profile file.
class line_profile_t {
  public:
    void dimension(std::int32_t highest_point) {
        points_ = static_cast<std::size_t>(highest_point) + 1;
        values_.assign(2 * points_, tagged_value{});
    }
    void clear() {
        points_ = 0;
        values_.clear();
        values_.shrink_to_fit();
    }
    bool dimensioned() const { return points_ != 0; }
    std::size_t points() const { return points_; }

    tagged_value& x(std::size_t p) { return values_[p]; }
    tagged_value& y(std::size_t p) { return values_[points_ + p]; }
    const tagged_value& x(std::size_t p) const { return values_[p]; }
    const tagged_value& y(std::size_t p) const { return values_[points_ + p]; }
    using storage_type = std::vector<tagged_value, huge_page_allocator<tagged_value>>;
    const storage_type& storage() const { return values_; }

  private:
    std::size_t points_ = 0;
    storage_type values_;
};

inline constexpr int max_mountains = 80;

// Everything the run keeps in its window object.
struct scenario_model {
    line_profile_t line_profile;
    route_grid_t route_grid;  // empty until the line description dimensions it
    station_table_t station_table{};
    std::array<std::int32_t, max_mountains + 1> mountain_starts{};  // index 0 holds nothing
    std::array<std::int32_t, max_mountains + 1> mountain_ends{};
    std::int32_t mountain_count = 0;
    std::int32_t profile_option = 0;
    std::string train_number;
    std::string line_name;
    std::int32_t route_extent = 0;  // line length + 7000: highest profile point
    std::int32_t last_cell = 0;     // highest route_grid index
    std::int32_t result_code = 0;
    std::int32_t error_position = 0;
    std::int32_t line_counter = 0;  // working counter of the text writers

    // Records a compile or finishing problem; a later one replaces an earlier one.
    void record(std::int32_t code) { result_code = code; }
    void record(std::int32_t code, std::int32_t position) {
        result_code = code;
        error_position = position;
    }
};

}  // namespace compattatore
