#pragma once
// A route grid alone, for the placement rules: the scenario's grid of cells 0 to 3900 (a
// 188000 m line), and what a placement changed in it.

#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

#include "ground/model.hpp"

namespace compattatore::testing {

inline constexpr std::int32_t int32_max = std::numeric_limits<std::int32_t>::max();

inline scenario_model grid_model(std::int32_t last_cell = 3900) {
    scenario_model m;
    m.last_cell = last_cell;
    m.route_grid.assign(static_cast<std::size_t>(last_cell) + 1, route_cell{});
    return m;
}

// Indices of the cells that differ between two grids of the same size.
inline std::vector<std::size_t> changed_cells(const route_grid_t& before,
                                              const route_grid_t& after) {
    std::vector<std::size_t> out;
    for (std::size_t i = 0; i < before.size(); ++i) {
        if (!(before[i] == after[i])) out.push_back(i);
    }
    return out;
}

inline route_cell with_kind(std::uint8_t kind) {
    route_cell c;
    c.kind = kind;
    return c;
}

}  // namespace compattatore::testing
