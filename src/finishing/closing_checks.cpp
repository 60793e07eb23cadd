// The checks and stamps that close the route: the reserved slots must still be empty before the
// stamps and the checksums go into them.

#include <stdexcept>

#include "finishing/finishing.hpp"
#include "ground/result_codes.hpp"

namespace compattatore {

namespace {
constexpr std::int16_t line_header_stamp = 610;
constexpr std::int16_t route_stamp = 5121;
}  // namespace

std::int32_t closing_checks(scenario_model& m) {
    if (m.route_grid.size() < 2) {
        throw std::invalid_argument("closing checks need a route grid of at least two cells");
    }
    auto& header = m.station_table[station_slot::line_header];
    auto& cell_1 = m.route_grid[1];

    if (header.group_a1 != 0 || cell_1.value_a != 0) return result::stamp_slots_taken;
    header.group_a1 = line_header_stamp;
    cell_1.value_a = route_stamp;

    if (header.timetable_time != 0 || cell_1.value_b != 0) return result::checksum_slots_taken;
    header.timetable_time = codice_gara_st(m).as_int32();
    cell_1.value_b = codice_gara_og(m).as_int16();
    return 0;
}

}  // namespace compattatore
