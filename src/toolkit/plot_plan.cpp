// The track plan: the line in x/y from the line profile, scaled to fit, north (+y) up.

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "ground/roles.hpp"
#include "ground/units.hpp"
#include "toolkit/plot.hpp"
#include "toolkit/plot_drawing.hpp"
#include "toolkit/scenario_files.hpp"

namespace compattatore {

namespace {

struct plan_point {
    double x, y;
};

std::optional<plan_point> point_at(const line_profile_t& p, std::int64_t i) {
    if (i < 0 || static_cast<std::size_t>(i) >= p.points()) return std::nullopt;
    const auto k = static_cast<std::size_t>(i);
    if (p.x(k).is_empty() || p.y(k).is_empty()) return std::nullopt;
    return plan_point{p.x(k).as_double(), p.y(k).as_double()};
}

// Where the plan's points land on the canvas, and which of them are drawn.
struct plan_geometry {
    std::vector<std::size_t> drawn;  // indices of the points that are drawn
    std::size_t last_computed = 0;
    double min_x = 0, max_x = 0, min_y = 0, max_y = 0;
    double span_x = 0, scale = 0, width = 0, height = 0, offset_x = 0, offset_y = 0;

    double sx(double x) const { return offset_x + (x - min_x) * scale; }
    double sy(double y) const { return offset_y + (max_y - y) * scale; }
};

// The extent of the computed points; returns how many there are.
std::size_t measure(const line_profile_t& profile, plan_geometry& g) {
    std::size_t computed = 0;
    for (std::size_t i = 0; i < profile.points(); ++i) {
        const auto p = point_at(profile, static_cast<std::int64_t>(i));
        if (!p) continue;
        if (computed == 0) {
            g.min_x = g.max_x = p->x;
            g.min_y = g.max_y = p->y;
        }
        g.min_x = std::min(g.min_x, p->x);
        g.max_x = std::max(g.max_x, p->x);
        g.min_y = std::min(g.min_y, p->y);
        g.max_y = std::max(g.max_y, p->y);
        ++computed;
    }
    return computed;
}

// Every stride-th computed point within the budget, and always the last one.
void decimate(const line_profile_t& profile, std::size_t computed, plan_geometry& g) {
    const std::size_t stride =
        std::max<std::size_t>(1, (computed + plan_point_budget - 1) / plan_point_budget);
    std::size_t seen = 0;
    for (std::size_t i = 0; i < profile.points(); ++i) {
        if (!point_at(profile, static_cast<std::int64_t>(i))) continue;
        if (seen++ % stride == 0) g.drawn.push_back(i);
        g.last_computed = i;
    }
    if (computed > 0 && g.drawn.back() != g.last_computed) g.drawn.push_back(g.last_computed);
}

plan_geometry fit_plan(const line_profile_t& profile) {
    // The drawing fits in at most 1400 x 1000 and the canvas shrinks around it; the side margins
    // leave room for the labels.
    constexpr double max_width = 1400, max_height = 1000, side_margin = 190, margin = 40, top = 60,
                     bottom = 60, min_width = 640;
    plan_geometry g;
    decimate(profile, measure(profile, g), g);
    g.span_x = std::max(g.max_x - g.min_x, 1.0);
    const double span_y = std::max(g.max_y - g.min_y, 1.0);
    g.scale = std::min((max_width - 2 * side_margin) / g.span_x,
                       (max_height - top - bottom - 2 * margin) / span_y);
    g.width = std::max(min_width, g.span_x * g.scale + 2 * side_margin);
    g.height = span_y * g.scale + top + bottom + 2 * margin;
    g.offset_x = (g.width - g.span_x * g.scale) / 2;
    g.offset_y = top + margin;
    return g;
}

void draw_titles(const line_profile_t& profile, const plan_geometry& g,
                 const station_table_t* table, svg_document& out) {
    std::string title = "Track plan";
    if (table != nullptr && !line_header(*table).line_name().empty()) {
        title += ": " + drawable_text(file_text{line_header(*table).line_name()});
    }
    out.add(svg_text(20, 32).attr("font-size", "22").attr("font-weight", "bold").text(title));
    out.add(svg_text(20, 52)
                .attr("font-size", "13")
                .attr("fill", colour(ink::caption))
                .text(std::to_string(profile.points()) + " points, " +
                      std::to_string(g.drawn.size()) + " drawn; +y up"));
}

void draw_track(const line_profile_t& profile, const plan_geometry& g, svg_document& out) {
    if (g.drawn.empty()) return;
    path_data d;
    for (const std::size_t i : g.drawn) {
        const auto p = *point_at(profile, static_cast<std::int64_t>(i));
        if (d.str().empty()) {
            d.move_to(g.sx(p.x), g.sy(p.y));
        } else {
            d.line_to(g.sx(p.x), g.sy(p.y));
        }
    }
    out.add(svg_path(d)
                .attr("fill", "none")
                .attr("stroke", colour(ink::track))
                .attr("stroke-width", "2.5")
                .attr("stroke-linejoin", "round"));

    // Kilometre posts along the line.
    const double km_step = nice_step(static_cast<double>(g.last_computed), 12);
    for (double m = km_step; m < static_cast<double>(g.last_computed); m += km_step) {
        const auto p = point_at(profile, static_cast<std::int64_t>(m));
        if (!p) continue;
        out.add(svg_circle(g.sx(p->x), g.sy(p->y), 2).attr("fill", colour(ink::kilometre_post)));
        out.add(svg_text(g.sx(p->x) + 4, g.sy(p->y) + 12)
                    .attr("font-size", "10")
                    .attr("fill", colour(ink::kilometre_label))
                    .text(kilometre_label(m)));
    }
    const auto first = *point_at(profile, static_cast<std::int64_t>(g.drawn.front()));
    out.add(svg_circle(g.sx(first.x), g.sy(first.y), 5).attr("fill", colour(ink::track)));
}

svg_element station_circle(double x, double y) {
    svg_element e = svg_circle(x, y, 4);
    e.attr("fill", colour(ink::paper))
        .attr("stroke", colour(ink::station))
        .attr("stroke-width", "2");
    return e;
}

struct plan_label {
    std::int64_t metre;
    std::string text;  // UTF-8, as far as a label shows it
    bool board;
};

std::vector<plan_label> plan_labels(const station_table_t* table, const route_grid_t* grid) {
    std::vector<plan_label> labels;
    if (table == nullptr) return labels;
    for (int i = 1; i < station_slot::count; ++i) {
        if (!is_station_entry(*table, i)) continue;
        const station_entry& e = (*table)[static_cast<std::size_t>(i)];
        labels.push_back({e.position, drawable_text(file_text{e.name}), false});
    }
    if (grid == nullptr) return labels;
    for (std::size_t c = 0; c < grid->size(); ++c) {
        const route_cell& cell = (*grid)[c];
        if (cell.kind != cell_kind::direction_board) continue;
        const int entry = board_text_entry_of(cell);
        const std::string name =
            entry >= 0 && entry < station_slot::count
                ? drawable_text({(*table)[static_cast<std::size_t>(entry)].name})
                : "board";
        // A board stands one cell past the cell of its position.
        labels.push_back({cell_start_m(static_cast<std::int64_t>(c) - 1), name, true});
    }
    return labels;
}

void draw_label(const plan_label& l, double x, double y, double lx, double ly,
                std::string_view anchor, svg_document& out) {
    if (l.board) {
        out.add(
            svg_path(
                path_data().move_to(x, y - 6).line_to(x - 5, y + 4).line_to(x + 5, y + 4).close())
                .attr("fill", colour(ink::direction_board)));
        // Board texts are laid out with blanks; keep them.
        out.add(svg_text(lx, ly)
                    .attr("font-size", "11")
                    .attr("font-style", "italic")
                    .attr("fill", colour(ink::direction_board))
                    .attr("xml:space", "preserve")
                    .attr("style", "white-space: pre")
                    .attr("text-anchor", anchor)
                    .text(l.text));
    } else {
        out.add(station_circle(x, y));
        out.add(svg_text(lx, ly)
                    .attr("font-size", "12")
                    .attr("fill", colour(ink::axis))
                    .attr("text-anchor", anchor)
                    .text(l.text));
    }
}

void draw_labels(const line_profile_t& profile, const plan_geometry& g,
                 const std::vector<plan_label>& labels, svg_document& out) {
    int side = 1;
    for (const plan_label& l : labels) {
        const auto p = point_at(profile, l.metre);
        if (!p) continue;
        // Labels go off the line along its normal, alternating sides so neighbours part.
        const auto a = point_at(profile, l.metre - 200).value_or(*p);
        const auto b = point_at(profile, l.metre + 200).value_or(*p);
        double nx = -(g.sy(b.y) - g.sy(a.y)), ny = g.sx(b.x) - g.sx(a.x);
        const double len = std::hypot(nx, ny);
        if (len > 0) {
            nx /= len;
            ny /= len;
        } else {
            nx = 1;
            ny = 0;
        }
        side = -side;
        const double x = g.sx(p->x), y = g.sy(p->y);
        const double lx = x + side * nx * 14, ly = y + side * ny * 14 + 4;
        draw_label(l, x, y, lx, ly, side * nx >= 0 ? "start" : "end", out);
    }
}

// The scale bar and what the marks mean.
void draw_legend(const plan_geometry& g, svg_document& out) {
    const double height = g.height;
    const double bar_m = nice_step(g.span_x, 5);
    const double bar_px = bar_m * g.scale;
    out.add(svg_line(20, height - 30, 20 + bar_px, height - 30)
                .attr("stroke", colour(ink::axis))
                .attr("stroke-width", "3"));
    out.add(svg_text(20, height - 38).attr("font-size", "12").text(kilometre_label(bar_m)));
    const double lx = 20 + bar_px + 40;
    out.add(station_circle(lx, height - 34));
    out.add(svg_text(lx + 10, height - 30).attr("font-size", "12").text(meaning(ink::station)));
    out.add(triangle_marker(lx + 80, height - 40, ink::direction_board));
    out.add(
        svg_text(lx + 90, height - 30).attr("font-size", "12").text(meaning(ink::direction_board)));
    out.add(svg_circle(lx + 210, height - 34, 2).attr("fill", colour(ink::kilometre_post)));
    out.add(
        svg_text(lx + 218, height - 30).attr("font-size", "12").text(meaning(ink::kilometre_post)));
}

}  // namespace

std::string plan_svg(const line_profile_t& profile, const station_table_t* table,
                     const route_grid_t* grid) {
    const plan_geometry g = fit_plan(profile);
    svg_document out(g.width, g.height);
    draw_titles(profile, g, table, out);
    draw_track(profile, g, out);
    draw_labels(profile, g, plan_labels(table, grid), out);
    draw_legend(g, out);
    return std::move(out).finish();
}

}  // namespace compattatore
