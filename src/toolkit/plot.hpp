#pragma once
// Pictures of a compiled scenario as SVG: the track plan from the line profile, and the route
// chart along the distance with one band per kind of object.

#include <cstddef>
#include <string>

#include "ground/model.hpp"

namespace compattatore {

// The plan is drawn through at most this many points; curves turn at most 0.003 rad per metre,
// so a point every few tens of metres draws them smoothly.
inline constexpr std::size_t plan_point_budget = 3000;

// The line in x/y, scaled to fit, north (+y) up. With a station table the stations are labelled
// at their positions; with the route grid as well, the direction boards at theirs.
std::string plan_svg(const line_profile_t& profile, const station_table_t* table,
                     const route_grid_t* grid);

// Aligned bands along the route: stations, gradient, speed limit, adhesion, signals, slowdowns,
// code points and boards over a kilometre axis. The table names the stations.
std::string route_svg(const route_grid_t& grid, const station_table_t* table);

}  // namespace compattatore
