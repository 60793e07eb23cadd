// The checks and stamps that close the route: the reserved slots must still be empty before the
// stamps and the checksums go into them.

#include <stdexcept>

#include "finishing/finishing.hpp"
#include "ground/result_codes.hpp"
#include "ground/roles.hpp"

namespace compattatore {

namespace {
constexpr std::int16_t line_header_stamp = 610;
constexpr std::int16_t route_stamp = 5121;
}  // namespace

std::int32_t closing_checks(scenario_model& m) {
    if (m.route_grid.size() < 2) {
        throw std::invalid_argument("closing checks need a route grid of at least two cells");
    }
    const auto header = line_header(m.station_table);
    const stamp_cell_fields<route_cell> cell{m.route_grid[stamp_cell]};

    if (header.stamp() != 0 || cell.stamp() != 0) return result::stamp_slots_taken;
    header.stamp() = line_header_stamp;
    cell.stamp() = route_stamp;

    if (header.weighted_checksum() != 0 || cell.plain_checksum() != 0) {
        return result::checksum_slots_taken;
    }
    header.weighted_checksum() = codice_gara_st(m).as_int32();
    cell.plain_checksum() = codice_gara_og(m).as_int16();
    return result::none;
}

}  // namespace compattatore
