#pragma once
// What the track plan and the route chart draw alike: round axis steps, kilometre labels in the
// railway reckoning, the triangle that marks a board or a warning, and the bookkeeping that
// keeps a label off every other.

#include <cstdint>
#include <string>
#include <vector>

#include "ground/model.hpp"
#include "toolkit/plot_palette.hpp"
#include "toolkit/svg_document.hpp"

namespace compattatore {

// Round step for an axis: 1, 2 or 5 times a power of ten, giving about `ticks` ticks over span.
double nice_step(double span, double ticks);

// "12 km", "2.5 km".
std::string kilometre_label(double metres);

// A small triangle pointing up, its apex at (x, y).
svg_element triangle_marker(double x, double y, ink fill);

// About how wide a text is drawn in DejaVu Sans at this size: wide enough that two labels kept
// apart by it do not touch.
double text_width(std::string_view utf8, double font_size);

struct box {
    double x0, y0, x1, y1;
};

// Boxes already taken by labels and marks; a new label goes where it meets none of them and
// stays inside the picture's free area.
class label_space {
  public:
    explicit label_space(box area) : area_(area) {}
    bool free(const box& b) const;
    void take(const box& b) { taken_.push_back(b); }
    // Takes and returns true when b is free.
    bool claim(const box& b);

  private:
    box area_;
    std::vector<box> taken_;
};

// A tick of the railway kilometre axis: where it stands along the route and what it reads.
struct railway_tick {
    std::int64_t route_metres;
    std::string label;  // "40", or "40+500" for steps under a kilometre
};
// Round railway kilometres between two route positions, about `ticks` of them. The reckoning
// starts again at a progressive, so each stretch between progressives gets its own ticks.
std::vector<railway_tick> railway_ticks(const station_table_t* table, std::int64_t from,
                                        std::int64_t to, double ticks);

// Where the route runs on past the line's end: the line length the table gives, or the route's
// extent less the run-on every line has.
std::int64_t line_end_metres(const station_table_t* table, std::int64_t route_metres);

// A board's text as one label: its groups joined by " / ".
std::string board_label(std::string_view utf8);

}  // namespace compattatore
