#pragma once
// Units every room shares: the route grid's cell length and the longest text a stored name may
// have.

#include <cstddef>
#include <cstdint>

namespace compattatore {

// One route-grid cell per 50 m of route. Positions become cells by dividing by this as a double
// (and rounding half to even where the rules round), so the division is written once here.
inline constexpr std::int32_t cell_length_m = 50;

// A route position in metres measured in cells, unrounded.
constexpr double in_cells(double metres) {
    return metres / static_cast<double>(cell_length_m);
}

// The route position of a cell's start.
constexpr std::int64_t cell_start_m(std::int64_t cell) {
    return cell * cell_length_m;
}

// The route runs on this far past the line's end: the route's extent is the line length plus
// this, so the train can overrun the last station.
inline constexpr std::int32_t route_run_on_m = 7000;

// Longest board text or station name: the files carry it behind a 16-bit length that must read
// the same as signed or unsigned.
inline constexpr std::size_t max_name_length = 0x7FFF;

}  // namespace compattatore
