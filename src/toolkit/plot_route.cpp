// The route chart: aligned bands along the route, one per kind of object, over the railway
// kilometre axis with the route position beneath it.

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>
#include <vector>

#include "ground/roles.hpp"
#include "ground/units.hpp"
#include "toolkit/plot.hpp"
#include "toolkit/plot_drawing.hpp"
#include "toolkit/printf_text.hpp"
#include "toolkit/scenario_files.hpp"

namespace compattatore {

namespace {

// What every band draws from: the grid, the table, and the scale from route metres to canvas x.
struct route_chart {
    static constexpr double width = 1600, left = 200, right = 30, title_height = 60;
    static constexpr double plot_width = width - left - right;

    const route_grid_t& grid;
    const station_table_t* table;
    double length;  // metres along the route, at least 1

    double xm(double metres) const { return left + metres / length * plot_width; }
    double xc(std::int64_t cell) const { return xm(static_cast<double>(cell_start_m(cell))); }
};

struct band_area {
    double top, height;
    double bottom() const { return top + height; }
};

using band_drawing = void (*)(const route_chart&, const band_area&, svg_document&);

// ---- stations ---------------------------------------------------------------------------------

// Upright names fit the band: a longer one is cut to what fits and ends in an ellipsis.
std::string fitted_name(const std::string& utf8, double room, double font_size) {
    if (text_width(utf8, font_size) <= room) return utf8;
    std::string cut;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const bool starts = (static_cast<unsigned char>(utf8[i]) & 0xC0) != 0x80;
        if (starts && text_width(cut + "\xE2\x80\xA6", font_size) + 0.64 * font_size > room) break;
        cut += utf8[i];
    }
    return cut + "\xE2\x80\xA6";
}

void draw_station_marks(const route_chart& c, const band_area& b, const station_entry& e,
                        svg_document& out) {
    out.add(svg_rect(c.xm(e.area_start), b.bottom() - 14, c.xm(e.area_end) - c.xm(e.area_start), 10)
                .attr("fill", colour(ink::station_area)));
    const double x = c.xm(e.position);
    out.add(svg_line(x, b.bottom() - 18, x, b.bottom())
                .attr("stroke", colour(ink::station))
                .attr("stroke-width", "2"));
}

// Their areas, a tick at the position, the name upright where it clears the last name drawn,
// and a mark at each stop.
void draw_stations(const route_chart& c, const band_area& b, svg_document& out) {
    constexpr double font_size = 11, name_gap = font_size + 2;
    if (c.table != nullptr) {
        double last_name_x = -1e9;
        for (int i = 1; i < station_slot::count; ++i) {
            if (!is_station_entry(*c.table, i)) continue;
            const station_entry& e = (*c.table)[static_cast<std::size_t>(i)];
            draw_station_marks(c, b, e, out);
            const double x = c.xm(e.position);
            if (x - last_name_x < name_gap) continue;
            last_name_x = x;
            const std::string name =
                fitted_name(drawable_text(file_text{e.name}), b.height - 26, font_size);
            out.add(svg_element("text")
                        .attr("transform", "translate(" + svg_number(x + 4) + " " +
                                               svg_number(b.bottom() - 20) + ") rotate(-90)")
                        .attr("font-size", "11")
                        .text(name));
        }
    }
    for (std::size_t i = 0; i < c.grid.size(); ++i) {
        if (c.grid[i].kind != cell_kind::station_stop) continue;
        const auto d = path_data().move_to(c.xc(i), b.bottom() - 4).relative("l-4 -8 h8").close();
        out.add(svg_path(d).attr("fill", colour(ink::stop)));
    }
}

// ---- step charts of the per-cell profiles -----------------------------------------------------

// A run list without the trailing run of zero the readers leave at the end of the grid.
std::vector<cell_run> data_runs(const route_grid_t& grid, std::uint8_t route_cell::*member) {
    std::vector<cell_run> runs = runs_of(grid, member);
    if (runs.size() > 1 && runs.back().value == 0) runs.pop_back();
    return runs;
}

// The vertical scale of a step chart: from lo to hi inside the band, 12 px in from each edge.
struct value_scale {
    double lo = 0, hi = 1;
    double y(const band_area& b, double v) const {
        const double pad = 12;
        return b.top + pad + (hi - v) / (hi - lo) * (b.height - 2 * pad);
    }
};

std::string number_text(double v) {
    return printf_text("%g", v);
}

// The zero line and round ticks with their unit, left of the band.
void draw_scale(const route_chart& c, const band_area& b, const value_scale& s,
                const cell_profile& p, svg_document& out) {
    out.add(svg_line(c.left, s.y(b, 0), c.left + c.plot_width, s.y(b, 0))
                .attr("stroke", colour(ink::zero_line))
                .attr("stroke-dasharray", "4 3"));
    const double step = nice_step(s.hi - s.lo, b.height >= 90 ? 4 : 2);
    const std::string_view stored_unit = profile_unit(p);
    const std::string unit = stored_unit == "per mille" ? "\xE2\x80\xB0" : std::string(stored_unit);
    for (double v = std::ceil(s.lo / step) * step; v <= s.hi + 1e-9; v += step) {
        const double y = s.y(b, v);
        out.add(svg_line(c.left - 4, y, c.left, y).attr("stroke", colour(ink::axis)));
        out.add(svg_text(c.left - 6, y + 3.5)
                    .attr("font-size", "10")
                    .attr("text-anchor", "end")
                    .attr("fill", colour(ink::caption))
                    .text(number_text(v) + (unit.empty() ? "" : " " + unit)));
    }
}

value_scale scale_of(const std::vector<cell_run>& runs, const cell_profile& p) {
    value_scale s;
    for (const cell_run& r : runs) {
        s.lo = std::min(s.lo, double(p.reading(r.value)));
        s.hi = std::max(s.hi, double(p.reading(r.value)));
    }
    if (p.signed_reading) s.hi = std::max(s.hi, 1.0), s.lo = std::min(s.lo, -1.0);
    return s;
}

void step_chart(const route_chart& c, const band_area& b, const cell_profile& p, ink colour_of,
                svg_document& out) {
    const std::vector<cell_run> runs = data_runs(c.grid, p.member);
    if (runs.empty()) return;
    const value_scale s = scale_of(runs, p);
    draw_scale(c, b, s, p, out);
    path_data line, fill;
    fill.move_to(c.xc(runs.front().first_cell), s.y(b, 0));
    for (const cell_run& r : runs) {
        const double x0 = c.xc(r.first_cell), x1 = c.xc(r.last_cell + 1);
        const double v = s.y(b, p.reading(r.value));
        if (line.str().empty()) {
            line.move_to(x0, v);
        } else {
            line.line_to(x0, v);
        }
        line.line_to(x1, v);
        fill.line_to(x0, v).line_to(x1, v);
        // Values on stretches wide enough to carry them.
        if (x1 - x0 > 36) {
            out.add(svg_text((x0 + x1) / 2, v - 3)
                        .attr("font-size", "9")
                        .attr("text-anchor", "middle")
                        .attr("fill", colour(colour_of))
                        .text(number_text(p.reading(r.value))));
        }
    }
    fill.line_to(c.xc(runs.back().last_cell + 1), s.y(b, 0)).close();
    out.add(svg_path(fill)
                .attr("fill", colour(colour_of))
                .attr("fill-opacity", "0.15")
                .attr("stroke", "none"));
    out.add(svg_path(line)
                .attr("fill", "none")
                .attr("stroke", colour(colour_of))
                .attr("stroke-width", "1.5"));
}

// ---- objects along the route ------------------------------------------------------------------

// Marks closer than this are drawn as one: nobody could tell them apart.
constexpr double mark_pitch_px = 1.5;

// Ticks across the band at cells, inset from its edges, at most one per pitch and colour.
class tick_row {
  public:
    tick_row(const route_chart& c, const band_area& b, double inset_top, double inset_bottom)
        : c_(c), y0_(b.top + inset_top), y1_(b.bottom() - inset_bottom) {}
    void add(std::size_t cell, ink stroke, std::string_view width, svg_document& out) {
        const double x = c_.xc(static_cast<std::int64_t>(cell));
        double& last = last_x_[static_cast<std::size_t>(stroke)];
        if (x - last < mark_pitch_px) return;
        last = x;
        out.add(
            svg_line(x, y0_, x, y1_).attr("stroke", colour(stroke)).attr("stroke-width", width));
    }

  private:
    const route_chart& c_;
    double y0_, y1_;
    std::vector<double> last_x_ = std::vector<double>(std::size(palette), -1e9);
};

void draw_signals(const route_chart& c, const band_area& b, svg_document& out) {
    tick_row ticks(c, b, 6, 6);
    for (std::size_t i = 0; i < c.grid.size(); ++i) {
        const route_cell& cell = c.grid[i];
        if (cell.kind != cell_kind::signal) continue;
        if (cell.signal_delay != 0) {
            ticks.add(i, ink::caution, "2", out);
        } else {
            ticks.add(i, ink::signal, "1", out);
        }
    }
}

// A slowdown from its start cell to the end cell after it; warnings as triangles, pre-warnings
// as dots.
void draw_slowdowns(const route_chart& c, const band_area& b, svg_document& out) {
    const route_grid_t& grid = c.grid;
    // The first end cell at or after a start (or the last cell) is the same for every start
    // before it, so one cursor that only moves forward finds it for all of them.
    std::size_t end = 0;
    for (std::size_t i = 0; i < grid.size(); ++i) {
        const route_cell& cell = grid[i];
        if (cell.kind == cell_kind::slowdown_start) {
            end = std::max(end, i);
            while (end + 1 < grid.size() && grid[end].kind != cell_kind::slowdown_end) ++end;
            out.add(svg_rect(c.xc(i), b.top + 20, c.xc(end + 1) - c.xc(i), b.height - 28)
                        .attr("fill", colour(ink::slowdown))
                        .attr("fill-opacity", "0.6")
                        .attr("stroke", colour(ink::slowdown_mark)));
            out.add(svg_text(c.xc(i), b.top + 15)
                        .attr("font-size", "11")
                        .attr("fill", colour(ink::slowdown_label))
                        .text(std::to_string(slowdown_cell{cell}.speed_kmh()) + " km/h"));
        } else if (cell.kind == cell_kind::slowdown_warning) {
            out.add(triangle_marker(c.xc(i), b.top + 22, ink::slowdown_mark));
        } else if (cell.kind == cell_kind::slowdown_prewarning) {
            out.add(
                svg_circle(c.xc(i), b.bottom() - 10, 2).attr("fill", colour(ink::slowdown_mark)));
        }
    }
}

ink code_ink(int code) {
    if (code == 270) return ink::code_270;
    return code == 180 ? ink::code_180 : ink::other_code;
}

// The code in force from each code point to the next code or code-off point, as coloured
// stretches: readable at any length. The points themselves are ticked above where they stand
// far enough apart to be told apart.
void draw_code_points(const route_chart& c, const band_area& b, svg_document& out) {
    std::optional<std::pair<std::size_t, int>> open;  // the cell and code of the point in force
    const auto close = [&](std::size_t cell) {
        if (!open) return;
        const double x0 = c.xc(static_cast<std::int64_t>(open->first));
        out.add(svg_rect(x0, b.top + 14, c.xc(static_cast<std::int64_t>(cell)) - x0, b.height - 20)
                    .attr("fill", colour(code_ink(open->second))));
        open.reset();
    };
    tick_row ticks(c, b, 3, b.height - 12);
    for (std::size_t i = 0; i < c.grid.size(); ++i) {
        const route_cell& cell = c.grid[i];
        if (cell.kind == cell_kind::code_point) {
            if (!open || open->second != cab_code_of(cell)) {
                close(i);
                open = std::pair<std::size_t, int>(i, cab_code_of(cell));
            }
            ticks.add(i, ink::axis, "1", out);
        } else if (cell.kind == cell_kind::code_off_point) {
            close(i);
            ticks.add(i, ink::code_off, "2", out);
        }
    }
    close(c.grid.size());
}

void draw_boards_and_mountains(const route_chart& c, const band_area& b, svg_document& out) {
    for (const cell_run& r : runs_of(c.grid, mountain_type_profile.member)) {
        if (r.value == 0) continue;
        out.add(svg_rect(c.xc(r.first_cell), b.bottom() - 12,
                         c.xc(r.last_cell + 1) - c.xc(r.first_cell), 8)
                    .attr("fill", colour(ink::mountain)));
    }
    tick_row ticks(c, b, 6, 16);
    for (std::size_t i = 0; i < c.grid.size(); ++i) {
        const route_cell& cell = c.grid[i];
        if (cell.kind == cell_kind::speed_board) {
            ticks.add(i, ink::speed_board, "1.5", out);
        } else if (cell.kind == cell_kind::direction_board) {
            out.add(triangle_marker(c.xc(i), b.top + 4, ink::direction_board));
        }
    }
}

// ---- the chart --------------------------------------------------------------------------------

struct route_band {
    std::string_view title;
    double height;
    band_drawing draw;
};

// Top to bottom, 10 px apart.
constexpr route_band route_bands[] = {
    {"stations", 170, draw_stations},
    {"gradient", 100,
     [](const route_chart& c, const band_area& b, svg_document& out) {
         step_chart(c, b, gradient_profile, ink::gradient, out);
     }},
    {"speed limit", 100,
     [](const route_chart& c, const band_area& b, svg_document& out) {
         step_chart(c, b, speed_limit_profile, ink::speed_limit, out);
     }},
    {"adhesion", 70,
     [](const route_chart& c, const band_area& b, svg_document& out) {
         step_chart(c, b, adhesion_profile, ink::adhesion, out);
     }},
    {"signals", 40, draw_signals},
    {"slowdowns", 60, draw_slowdowns},
    {"code points", 40, draw_code_points},
    {"boards, mountains", 40, draw_boards_and_mountains},
};

// Every mark the bands draw whose colour says what it is; the charts' lines are named by their
// band.
constexpr ink route_legend[] = {
    ink::station,         ink::station_area, ink::stop,       ink::signal,        ink::caution,
    ink::code_270,        ink::code_180,     ink::other_code, ink::code_off,      ink::speed_board,
    ink::direction_board, ink::mountain,     ink::slowdown,   ink::slowdown_mark, ink::run_on};

void draw_titles(const route_chart& c, svg_document& out) {
    std::string title = "Route chart";
    if (c.table != nullptr) {
        title += ": " + drawable_text(file_text{line_header(*c.table).line_name()}) + ", train " +
                 drawable_text(file_text{train_header(*c.table).train_number()});
    }
    out.add(svg_text(20, 32).attr("font-size", "22").attr("font-weight", "bold").text(title));
    out.add(svg_text(20, 52)
                .attr("font-size", "13")
                .attr("fill", colour(ink::caption))
                .text("cells 0 to " + std::to_string(c.grid.empty() ? 0 : c.grid.size() - 1) +
                      ", " + std::to_string(cell_length_m) + " m each"));
}

// Band frames and titles.
void draw_frames(const route_chart& c, const std::vector<band_area>& areas, svg_document& out) {
    for (std::size_t i = 0; i < areas.size(); ++i) {
        const band_area& b = areas[i];
        out.add(svg_rect(c.left, b.top, c.plot_width, b.height)
                    .attr("fill", colour(ink::band_fill))
                    .attr("stroke", colour(ink::band_frame)));
        out.add(svg_text(10, b.top + 16)
                    .attr("font-size", "13")
                    .attr("font-weight", "bold")
                    .text(route_bands[i].title));
    }
}

void axis_caption(double y, std::string_view text, svg_document& out) {
    out.add(svg_text(10, y).attr("font-size", "12").attr("font-weight", "bold").text(text));
}

// The railway kilometres under the bands, with grid lines through them, and the route
// position under those.
void draw_axes(const route_chart& c, double axis_y, svg_document& out) {
    const auto length = static_cast<std::int64_t>(c.length);
    for (const railway_tick& t : railway_ticks(c.table, 0, length, 15)) {
        const double x = c.xm(static_cast<double>(t.route_metres));
        out.add(svg_line(x, c.title_height, x, axis_y).attr("stroke", colour(ink::kilometre_grid)));
        out.add(svg_line(x, axis_y, x, axis_y + 6).attr("stroke", colour(ink::axis)));
        out.add(svg_text(x, axis_y + 19)
                    .attr("font-size", "11")
                    .attr("text-anchor", "middle")
                    .text(t.label));
    }
    out.add(
        svg_line(c.left, axis_y, c.left + c.plot_width, axis_y).attr("stroke", colour(ink::axis)));
    axis_caption(axis_y + 19, "railway km", out);
    const double step = nice_step(c.length, 15), route_y = axis_y + 30;
    for (double m = 0; m <= c.length; m += step) {
        out.add(
            svg_line(c.xm(m), route_y, c.xm(m), route_y + 4).attr("stroke", colour(ink::caption)));
        out.add(svg_text(c.xm(m), route_y + 16)
                    .attr("font-size", "10")
                    .attr("text-anchor", "middle")
                    .attr("fill", colour(ink::caption))
                    .text(kilometre_label(m)));
    }
    axis_caption(route_y + 16, "route position", out);
}

// Past the line's end the route runs on; shaded over every band and named, so it is not taken
// for line.
void draw_run_on(const route_chart& c, double top, double bottom, svg_document& out) {
    const double end =
        static_cast<double>(line_end_metres(c.table, static_cast<std::int64_t>(c.length)));
    if (end >= c.length) return;
    const double x0 = c.xm(end), x1 = c.left + c.plot_width;
    out.add(svg_rect(x0, top, x1 - x0, bottom - top)
                .attr("fill", colour(ink::run_on))
                .attr("fill-opacity", "0.3"));
    out.add(svg_line(x0, top, x0, bottom)
                .attr("stroke", colour(ink::run_on))
                .attr("stroke-width", "2")
                .attr("stroke-dasharray", "6 3"));
    out.add(svg_element("text")
                .attr("transform", "translate(" + svg_number((x0 + x1) / 2 + 4) + " " +
                                       svg_number(bottom - 8) + ") rotate(-90)")
                .attr("font-size", "11")
                .attr("fill", colour(ink::caption))
                .text("run-on"));
}

// What the colours mean, under the axes, on as many rows as it takes.
double legend_height(double width) {
    double lx = 0, rows = 1;
    for (const ink i : route_legend) {
        const double w = 24 + text_width(meaning(i), 11);
        if (lx + w > width) lx = 0, ++rows;
        lx += w;
    }
    return rows * 18;
}

void draw_legend(double top, svg_document& out) {
    double lx = route_chart::left, ly = top + 12;
    for (const ink i : route_legend) {
        const double w = 24 + text_width(meaning(i), 11);
        if (lx + w > route_chart::width - route_chart::right) lx = route_chart::left, ly += 18;
        out.add(svg_rect(lx, ly - 9, 10, 10).attr("fill", colour(i)));
        out.add(svg_text(lx + 14, ly).attr("font-size", "11").text(meaning(i)));
        lx += w;
    }
}

}  // namespace

std::string route_svg(const route_grid_t& grid, const station_table_t* table) {
    const route_chart c{
        grid, table,
        std::max(1.0, static_cast<double>(cell_start_m(static_cast<std::int64_t>(grid.size()))))};
    std::vector<band_area> areas;
    double y = route_chart::title_height;
    for (const route_band& band : route_bands) {
        areas.push_back({y, band.height});
        y += band.height + 10;
    }
    const double axis_y = y;
    const double legend_top = axis_y + 56;
    const double height = legend_top + legend_height(route_chart::plot_width) + 10;

    svg_document out(route_chart::width, height);
    draw_titles(c, out);
    draw_frames(c, areas, out);
    draw_axes(c, axis_y, out);
    for (std::size_t i = 0; i < areas.size(); ++i) route_bands[i].draw(c, areas[i], out);
    draw_run_on(c, route_chart::title_height, axis_y - 10, out);
    draw_legend(legend_top, out);
    return std::move(out).finish();
}

}  // namespace compattatore
