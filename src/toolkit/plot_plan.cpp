// The track plan: the line in x/y from the line profile, scaled to fit, north (+y) up.

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
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

// Past the line's end, over the track already drawn: the run-on, dashed in its own colour.
void draw_run_on(const line_profile_t& profile, const plan_geometry& g, svg_document& out) {
    const std::int64_t end = line_end_metres(nullptr, static_cast<std::int64_t>(g.last_computed));
    path_data d;
    for (const std::size_t i : g.drawn) {
        if (static_cast<std::int64_t>(i) < end) continue;
        const auto p = *point_at(profile, static_cast<std::int64_t>(i));
        if (d.str().empty()) {
            const auto from = point_at(profile, end).value_or(p);
            d.move_to(g.sx(from.x), g.sy(from.y));
        }
        d.line_to(g.sx(p.x), g.sy(p.y));
    }
    if (d.str().empty()) return;
    out.add(svg_path(d)
                .attr("fill", "none")
                .attr("stroke", colour(ink::run_on))
                .attr("stroke-width", "3")
                .attr("stroke-dasharray", "5 4"));
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
    draw_run_on(profile, g, out);

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
        // Boards are laid out with blanks and parentheses for the cab; the plan shows the words.
        const std::string name =
            entry >= 0 && entry < station_slot::count
                ? board_label(drawable_text({(*table)[static_cast<std::size_t>(entry)].name}))
                : "board";
        // A board stands one cell past the cell of its position.
        labels.push_back({cell_start_m(static_cast<std::int64_t>(c) - 1), name, true});
    }
    return labels;
}

void draw_mark(const plan_label& l, double x, double y, svg_document& out) {
    if (l.board) {
        out.add(
            svg_path(
                path_data().move_to(x, y - 6).line_to(x - 5, y + 4).line_to(x + 5, y + 4).close())
                .attr("fill", colour(ink::direction_board)));
    } else {
        out.add(station_circle(x, y));
    }
}

// Places round a mark, nearest first: right, left, above, below and the corners.
constexpr double label_places[][2] = {{1, 0},  {-1, 0},  {0, -1}, {0, 1},
                                      {1, -1}, {-1, -1}, {1, 1},  {-1, 1}};

// The first place round (x, y), nearest rings first, where a label of this size meets no
// other label or mark and stays inside the picture; nullopt when there is none, and the label
// is left out.
std::optional<box> place_label(label_space& space, double x, double y, double w, double h,
                               double gap) {
    for (const double ring : {0.0, 12.0, 24.0}) {
        for (const auto& [dx, dy] : label_places) {
            const double g = gap + ring;
            const double x0 = dx > 0 ? x + g : dx < 0 ? x - g - w : x - w / 2;
            const double y0 = dy > 0 ? y + g : dy < 0 ? y - g - h : y - h / 2;
            const box b{x0, y0, x0 + w, y0 + h};
            if (space.claim(b)) return b;
        }
    }
    return std::nullopt;
}

void draw_label_text(const plan_label& l, const box& b, svg_document& out) {
    svg_element t = svg_text(b.x0, b.y1 - 3);
    t.attr("font-size", l.board ? "11" : "12");
    if (l.board) {
        t.attr("font-style", "italic").attr("fill", colour(ink::direction_board));
    } else {
        t.attr("fill", colour(ink::axis));
    }
    out.add(t.text(l.text));
}

// Posts along the line in route kilometres, labelled where a label finds room.
void draw_kilometre_posts(const line_profile_t& profile, const plan_geometry& g, label_space& space,
                          svg_document& out) {
    const double km_step = nice_step(static_cast<double>(g.last_computed), 12);
    for (double m = km_step; m < static_cast<double>(g.last_computed); m += km_step) {
        const auto p = point_at(profile, static_cast<std::int64_t>(m));
        if (!p) continue;
        const double x = g.sx(p->x), y = g.sy(p->y);
        out.add(svg_circle(x, y, 2).attr("fill", colour(ink::kilometre_post)));
        const std::string text = kilometre_label(m);
        const auto b = place_label(space, x, y, text_width(text, 10), 13, 4);
        if (!b) continue;
        out.add(svg_text(b->x0, b->y1 - 3)
                    .attr("font-size", "10")
                    .attr("fill", colour(ink::kilometre_label))
                    .text(text));
    }
}

// Stations first, then boards, then the kilometre posts: each label goes to the first free
// place round its mark, so no label covers another label or a mark.
void draw_labels(const line_profile_t& profile, const plan_geometry& g,
                 const std::vector<plan_label>& labels, svg_document& out) {
    label_space space({4, 62, g.width - 4, g.height - 52});
    struct placed_mark {
        const plan_label* label;
        double x, y;
    };
    // The track itself is room no label may take.
    for (const std::size_t i : g.drawn) {
        const auto p = *point_at(profile, static_cast<std::int64_t>(i));
        space.take({g.sx(p.x) - 2, g.sy(p.y) - 2, g.sx(p.x) + 2, g.sy(p.y) + 2});
    }
    std::vector<placed_mark> marks;
    for (const plan_label& l : labels) {
        const auto p = point_at(profile, l.metre);
        if (!p) continue;
        marks.push_back({&l, g.sx(p->x), g.sy(p->y)});
        space.take({g.sx(p->x) - 6, g.sy(p->y) - 6, g.sx(p->x) + 6, g.sy(p->y) + 6});
    }
    for (const placed_mark& m : marks) draw_mark(*m.label, m.x, m.y, out);
    for (const placed_mark& m : marks) {
        const double size = m.label->board ? 11 : 12;
        const auto b = place_label(space, m.x, m.y, text_width(m.label->text, size), size + 4, 6);
        if (b) draw_label_text(*m.label, *b, out);
    }
    draw_kilometre_posts(profile, g, space, out);
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
