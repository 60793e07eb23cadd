#pragma once
// What the track plan and the route chart draw alike: round axis steps, kilometre labels, and
// the triangle that marks a board or a warning.

#include <string>

#include "toolkit/plot_palette.hpp"
#include "toolkit/svg_document.hpp"

namespace compattatore {

// Round step for an axis: 1, 2 or 5 times a power of ten, giving about `ticks` ticks over span.
double nice_step(double span, double ticks);

// "12 km", "2.5 km".
std::string kilometre_label(double metres);

// A small triangle pointing up, its apex at (x, y).
svg_element triangle_marker(double x, double y, ink fill);

}  // namespace compattatore
