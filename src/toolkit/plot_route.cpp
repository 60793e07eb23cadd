// The route chart: aligned bands along the route, one per kind of object, over a kilometre axis.

#include <algorithm>
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
    static constexpr double width = 1600, left = 150, right = 30, title_height = 60;
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

// Their areas, a tick at the position, the name upright, and a mark at each stop.
void draw_stations(const route_chart& c, const band_area& b, svg_document& out) {
    if (c.table != nullptr) {
        for (int i = 1; i < station_slot::count; ++i) {
            if (!is_station_entry(*c.table, i)) continue;
            const station_entry& e = (*c.table)[static_cast<std::size_t>(i)];
            out.add(svg_rect(c.xm(e.area_start), b.bottom() - 14,
                             c.xm(e.area_end) - c.xm(e.area_start), 10)
                        .attr("fill", colour(ink::station_area)));
            const double x = c.xm(e.position);
            out.add(svg_line(x, b.bottom() - 18, x, b.bottom())
                        .attr("stroke", colour(ink::station))
                        .attr("stroke-width", "2"));
            out.add(svg_element("text")
                        .attr("transform", "translate(" + svg_number(x + 4) + " " +
                                               svg_number(b.bottom() - 20) + ") rotate(-90)")
                        .attr("font-size", "11")
                        .text(file_text{e.name}));
        }
    }
    for (std::size_t i = 0; i < c.grid.size(); ++i) {
        if (c.grid[i].kind != cell_kind::station_stop) continue;
        const auto d = path_data().move_to(c.xc(i), b.bottom() - 4).relative("l-4 -8 h8").close();
        out.add(svg_path(d).attr("fill", colour(ink::axis)));
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

void draw_scale(const route_chart& c, const band_area& b, const value_scale& s,
                const cell_profile& p, svg_document& out) {
    out.add(svg_line(c.left, s.y(b, 0), c.left + c.plot_width, s.y(b, 0))
                .attr("stroke", colour(ink::zero_line))
                .attr("stroke-dasharray", "4 3"));
    const auto label = [&](double y, double v) {
        out.add(svg_text(c.left + 4, y)
                    .attr("font-size", "10")
                    .attr("fill", colour(ink::caption))
                    .text(number_text(v) + " " + std::string(profile_unit(p))));
    };
    label(s.y(b, s.hi) - 2, s.hi);
    if (s.lo < 0) label(s.y(b, s.lo) + 10, s.lo);
}

void step_chart(const route_chart& c, const band_area& b, const cell_profile& p, ink colour_of,
                svg_document& out) {
    const std::vector<cell_run> runs = data_runs(c.grid, p.member);
    if (runs.empty()) return;
    const auto value_of = [&](const cell_run& r) { return double(p.reading(r.value)); };
    value_scale s;
    for (const cell_run& r : runs) {
        s.lo = std::min(s.lo, value_of(r));
        s.hi = std::max(s.hi, value_of(r));
    }
    if (p.signed_reading) s.hi = std::max(s.hi, 1.0), s.lo = std::min(s.lo, -1.0);
    draw_scale(c, b, s, p, out);
    path_data line, fill;
    fill.move_to(c.xc(runs.front().first_cell), s.y(b, 0));
    for (const cell_run& r : runs) {
        const double x0 = c.xc(r.first_cell), x1 = c.xc(r.last_cell + 1);
        const double v = s.y(b, value_of(r));
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
                        .text(number_text(value_of(r))));
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

// A mark across the band at a cell, inset from its edges.
void cell_tick(const route_chart& c, const band_area& b, std::size_t cell, double inset_top,
               double inset_bottom, ink stroke, std::string_view width, svg_document& out) {
    out.add(svg_line(c.xc(cell), b.top + inset_top, c.xc(cell), b.bottom() - inset_bottom)
                .attr("stroke", colour(stroke))
                .attr("stroke-width", width));
}

void draw_signals(const route_chart& c, const band_area& b, svg_document& out) {
    for (std::size_t i = 0; i < c.grid.size(); ++i) {
        const route_cell& cell = c.grid[i];
        if (cell.kind != cell_kind::signal) continue;
        if (cell.signal_delay != 0) {
            cell_tick(c, b, i, 6, 6, ink::caution, "2", out);
        } else {
            cell_tick(c, b, i, 6, 6, ink::signal, "1", out);
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
    if (code >= 270) return ink::code_270;
    return code == 180 ? ink::caution : ink::other_code;
}

void draw_code_points(const route_chart& c, const band_area& b, svg_document& out) {
    for (std::size_t i = 0; i < c.grid.size(); ++i) {
        const route_cell& cell = c.grid[i];
        if (cell.kind == cell_kind::code_point) {
            cell_tick(c, b, i, 6, 6, code_ink(cab_code_of(cell)), "1.5", out);
        } else if (cell.kind == cell_kind::code_off_point) {
            cell_tick(c, b, i, 4, 4, ink::code_off, "2", out);
        }
    }
}

void draw_boards_and_mountains(const route_chart& c, const band_area& b, svg_document& out) {
    for (const cell_run& r : runs_of(c.grid, mountain_type_profile.member)) {
        if (r.value == 0) continue;
        out.add(svg_rect(c.xc(r.first_cell), b.bottom() - 12,
                         c.xc(r.last_cell + 1) - c.xc(r.first_cell), 8)
                    .attr("fill", colour(ink::mountain)));
    }
    for (std::size_t i = 0; i < c.grid.size(); ++i) {
        const route_cell& cell = c.grid[i];
        if (cell.kind == cell_kind::speed_board) {
            cell_tick(c, b, i, 6, 16, ink::speed_board, "1.5", out);
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

constexpr ink route_legend[] = {ink::signal,   ink::caution,     ink::code_270,
                                ink::code_off, ink::speed_board, ink::direction_board,
                                ink::mountain, ink::slowdown};

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

// Band frames, titles and the kilometre grid that aligns them.
void draw_frames(const route_chart& c, const std::vector<band_area>& areas, double axis_y,
                 svg_document& out) {
    for (std::size_t i = 0; i < areas.size(); ++i) {
        const band_area& b = areas[i];
        out.add(svg_rect(c.left, b.top, c.plot_width, b.height)
                    .attr("fill", colour(ink::band_fill))
                    .attr("stroke", colour(ink::band_frame)));
        out.add(svg_text(c.left - 10, b.top + b.height / 2 + 4)
                    .attr("font-size", "13")
                    .attr("text-anchor", "end")
                    .attr("font-weight", "bold")
                    .text(route_bands[i].title));
    }
    const double km_step = nice_step(c.length, 15);
    for (double m = 0; m <= c.length; m += km_step) {
        out.add(svg_line(c.xm(m), c.title_height, c.xm(m), axis_y)
                    .attr("stroke", colour(ink::kilometre_grid)));
        out.add(svg_line(c.xm(m), axis_y, c.xm(m), axis_y + 6).attr("stroke", colour(ink::axis)));
        out.add(svg_text(c.xm(m), axis_y + 20)
                    .attr("font-size", "11")
                    .attr("text-anchor", "middle")
                    .text(kilometre_label(m)));
    }
    out.add(
        svg_line(c.left, axis_y, c.left + c.plot_width, axis_y).attr("stroke", colour(ink::axis)));
    out.add(svg_text(c.left + c.plot_width / 2, axis_y + 42)
                .attr("font-size", "12")
                .attr("text-anchor", "middle")
                .attr("fill", colour(ink::caption))
                .text("route position"));
}

// What the colours mean, under the axis.
void draw_legend(double height, svg_document& out) {
    const double ly = height - 10;
    double lx = route_chart::left;
    for (const ink i : route_legend) {
        out.add(svg_rect(lx, ly - 9, 10, 10).attr("fill", colour(i)));
        out.add(svg_text(lx + 14, ly).attr("font-size", "11").text(meaning(i)));
        lx += 28 + 7.0 * static_cast<double>(meaning(i).size());
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
    const double height = axis_y + 80;

    svg_document out(route_chart::width, height);
    draw_titles(c, out);
    draw_frames(c, areas, axis_y, out);
    for (std::size_t i = 0; i < areas.size(); ++i) route_bands[i].draw(c, areas[i], out);
    draw_legend(height, out);
    return std::move(out).finish();
}

}  // namespace compattatore
