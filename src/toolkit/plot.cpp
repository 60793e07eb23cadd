#include "toolkit/plot.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>
#include <vector>

#include "ground/code_page_850.hpp"
#include "ground/units.hpp"
#include "toolkit/scenario_files.hpp"

namespace compattatore {

namespace {

std::string num(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", v);
    return text;
}

std::string text_of(const std::string& cp850) {
    return xml_escape(cp850_to_utf8(cp850));
}

// Round step for an axis: 1, 2 or 5 times a power of ten, giving about `ticks` ticks over span.
double nice_step(double span, double ticks) {
    if (span <= 0) return 1;
    const double raw = span / ticks;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double m : {1.0, 2.0, 5.0, 10.0}) {
        if (m * power >= raw) return m * power;
    }
    return 10 * power;
}

std::string kilometre_label(double metres) {
    const double km = metres / 1000.0;
    char text[32];
    if (std::fabs(km - std::round(km)) < 1e-9) {
        std::snprintf(text, sizeof text, "%.0f km", km);
    } else {
        std::snprintf(text, sizeof text, "%.1f km", km);
    }
    return text;
}

class svg {
  public:
    svg(double width, double height) {
        out_ =
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
            num(width) + "\" height=\"" + num(height) + "\" viewBox=\"0 0 " + num(width) + " " +
            num(height) +
            "\" font-family=\"DejaVu Sans, Arial, sans-serif\">\n"
            "<rect x=\"0\" y=\"0\" width=\"" +
            num(width) + "\" height=\"" + num(height) + "\" fill=\"white\"/>\n";
    }
    void raw(const std::string& element) { out_ += element + "\n"; }
    void line(double x1, double y1, double x2, double y2, const std::string& style) {
        raw("<line x1=\"" + num(x1) + "\" y1=\"" + num(y1) + "\" x2=\"" + num(x2) + "\" y2=\"" +
            num(y2) + "\" " + style + "/>");
    }
    void rect(double x, double y, double w, double h, const std::string& style) {
        raw("<rect x=\"" + num(x) + "\" y=\"" + num(y) + "\" width=\"" + num(std::max(w, 0.5)) +
            "\" height=\"" + num(h) + "\" " + style + "/>");
    }
    void circle(double x, double y, double r, const std::string& style) {
        raw("<circle cx=\"" + num(x) + "\" cy=\"" + num(y) + "\" r=\"" + num(r) + "\" " + style +
            "/>");
    }
    // escaped: text already escaped for XML.
    void text(double x, double y, const std::string& escaped, const std::string& style) {
        raw("<text x=\"" + num(x) + "\" y=\"" + num(y) + "\" " + style + ">" + escaped + "</text>");
    }
    void path(const std::string& d, const std::string& style) {
        raw("<path d=\"" + d + "\" " + style + "/>");
    }
    std::string finish() { return out_ + "</svg>\n"; }

  private:
    std::string out_;
};

// ---- track plan -------------------------------------------------------------------------------

struct plan_point {
    double x, y;
};

std::optional<plan_point> point_at(const line_profile_t& p, std::int64_t i) {
    if (i < 0 || static_cast<std::size_t>(i) >= p.points()) return std::nullopt;
    const auto k = static_cast<std::size_t>(i);
    if (p.x(k).is_empty() || p.y(k).is_empty()) return std::nullopt;
    return plan_point{p.x(k).as_double(), p.y(k).as_double()};
}

struct plan_label {
    std::int64_t metre;
    std::string text;  // escaped
    bool board;
};

}  // namespace

std::string plan_svg(const line_profile_t& profile, const station_table_t* table,
                     const route_grid_t* grid) {
    // The drawing fits in at most 1400 x 1000 and the canvas shrinks around it; the side margins
    // leave room for the labels.
    constexpr double max_width = 1400, max_height = 1000, side_margin = 190, margin = 40, top = 60,
                     bottom = 60, min_width = 640;

    std::vector<std::size_t> drawn;  // indices of the points that are drawn
    double min_x = 0, max_x = 0, min_y = 0, max_y = 0;
    std::size_t computed = 0;
    for (std::size_t i = 0; i < profile.points(); ++i) {
        const auto p = point_at(profile, static_cast<std::int64_t>(i));
        if (!p) continue;
        if (computed == 0) {
            min_x = max_x = p->x;
            min_y = max_y = p->y;
        }
        min_x = std::min(min_x, p->x);
        max_x = std::max(max_x, p->x);
        min_y = std::min(min_y, p->y);
        max_y = std::max(max_y, p->y);
        ++computed;
    }
    const std::size_t stride =
        std::max<std::size_t>(1, (computed + plan_point_budget - 1) / plan_point_budget);
    std::size_t seen = 0, last_computed = 0;
    for (std::size_t i = 0; i < profile.points(); ++i) {
        if (!point_at(profile, static_cast<std::int64_t>(i))) continue;
        if (seen++ % stride == 0) drawn.push_back(i);
        last_computed = i;
    }
    if (computed > 0 && drawn.back() != last_computed) drawn.push_back(last_computed);

    const double span_x = std::max(max_x - min_x, 1.0), span_y = std::max(max_y - min_y, 1.0);
    const double scale = std::min((max_width - 2 * side_margin) / span_x,
                                  (max_height - top - bottom - 2 * margin) / span_y);
    const double width = std::max(min_width, span_x * scale + 2 * side_margin);
    const double height = span_y * scale + top + bottom + 2 * margin;
    const double offset_x = (width - span_x * scale) / 2;
    const double offset_y = top + margin;
    const auto sx = [&](double x) { return offset_x + (x - min_x) * scale; };
    const auto sy = [&](double y) { return offset_y + (max_y - y) * scale; };

    svg out(width, height);
    std::string title = "Track plan";
    if (table != nullptr && !(*table)[station_slot::line_header].name.empty()) {
        title += ": " + text_of((*table)[station_slot::line_header].name);
    }
    out.text(20, 32, title, "font-size=\"22\" font-weight=\"bold\"");
    out.text(20, 52,
             xml_escape(std::to_string(profile.points()) + " points, " +
                        std::to_string(drawn.size()) + " drawn; +y up"),
             "font-size=\"13\" fill=\"#555\"");

    if (!drawn.empty()) {
        std::string d;
        for (std::size_t k = 0; k < drawn.size(); ++k) {
            const auto p = *point_at(profile, static_cast<std::int64_t>(drawn[k]));
            d += (k == 0 ? "M" : " L") + num(sx(p.x)) + " " + num(sy(p.y));
        }
        out.path(d,
                 "fill=\"none\" stroke=\"#1f3b73\" stroke-width=\"2.5\" "
                 "stroke-linejoin=\"round\"");

        // Kilometre ticks along the line.
        const double km_step = nice_step(static_cast<double>(last_computed), 12);
        for (double m = km_step; m < static_cast<double>(last_computed); m += km_step) {
            const auto p = point_at(profile, static_cast<std::int64_t>(m));
            if (!p) continue;
            out.circle(sx(p->x), sy(p->y), 2, "fill=\"#999\"");
            out.text(sx(p->x) + 4, sy(p->y) + 12, kilometre_label(m),
                     "font-size=\"10\" fill=\"#888\"");
        }
        const auto first = *point_at(profile, static_cast<std::int64_t>(drawn.front()));
        out.circle(sx(first.x), sy(first.y), 5, "fill=\"#1f3b73\"");
    }

    std::vector<plan_label> labels;
    if (table != nullptr) {
        for (int i = 1; i < station_slot::count; ++i) {
            if (!is_station_entry(*table, i)) continue;
            const station_entry& e = (*table)[static_cast<std::size_t>(i)];
            labels.push_back({e.position, text_of(e.name), false});
        }
        if (grid != nullptr) {
            for (std::size_t c = 0; c < grid->size(); ++c) {
                const route_cell& cell = (*grid)[c];
                if (cell.kind != cell_kind::direction_board) continue;
                const int entry = cell.value_a;
                const std::string name =
                    entry >= 0 && entry < station_slot::count
                        ? text_of((*table)[static_cast<std::size_t>(entry)].name)
                        : "board";
                // A board stands one cell past the cell of its position.
                labels.push_back({(static_cast<std::int64_t>(c) - 1) * 50, name, true});
            }
        }
    }
    int side = 1;
    for (const plan_label& l : labels) {
        const auto p = point_at(profile, l.metre);
        if (!p) continue;
        // Labels go off the line along its normal, alternating sides so neighbours part.
        const auto a = point_at(profile, l.metre - 200).value_or(*p);
        const auto b = point_at(profile, l.metre + 200).value_or(*p);
        double nx = -(sy(b.y) - sy(a.y)), ny = sx(b.x) - sx(a.x);
        const double len = std::hypot(nx, ny);
        if (len > 0) {
            nx /= len;
            ny /= len;
        } else {
            nx = 1;
            ny = 0;
        }
        side = -side;
        const double x = sx(p->x), y = sy(p->y);
        const double lx = x + side * nx * 14, ly = y + side * ny * 14 + 4;
        const std::string anchor = side * nx >= 0 ? "start" : "end";
        if (l.board) {
            out.raw("<path d=\"M" + num(x) + " " + num(y - 6) + " L" + num(x - 5) + " " +
                    num(y + 4) + " L" + num(x + 5) + " " + num(y + 4) + " Z\" fill=\"#8e44ad\"/>");
            // Board texts are laid out with blanks; keep them.
            out.text(lx, ly, l.text,
                     "font-size=\"11\" font-style=\"italic\" fill=\"#8e44ad\" "
                     "xml:space=\"preserve\" style=\"white-space: pre\" text-anchor=\"" +
                         anchor + "\"");
        } else {
            out.circle(x, y, 4, "fill=\"white\" stroke=\"#c0392b\" stroke-width=\"2\"");
            out.text(lx, ly, l.text,
                     "font-size=\"12\" fill=\"#222\" text-anchor=\"" + anchor + "\"");
        }
    }

    // Scale bar and legend.
    const double bar_m = nice_step(span_x, 5);
    const double bar_px = bar_m * scale;
    out.line(20, height - 30, 20 + bar_px, height - 30, "stroke=\"#222\" stroke-width=\"3\"");
    out.text(20, height - 38, kilometre_label(bar_m), "font-size=\"12\"");
    const double lx = 20 + bar_px + 40;
    out.circle(lx, height - 34, 4, "fill=\"white\" stroke=\"#c0392b\" stroke-width=\"2\"");
    out.text(lx + 10, height - 30, "station", "font-size=\"12\"");
    out.raw("<path d=\"M" + num(lx + 80) + " " + num(height - 40) +
            " l-5 10 h10 Z\" "
            "fill=\"#8e44ad\"/>");
    out.text(lx + 90, height - 30, "direction board", "font-size=\"12\"");
    out.circle(lx + 210, height - 34, 2, "fill=\"#999\"");
    out.text(lx + 218, height - 30, "route kilometres", "font-size=\"12\"");
    return out.finish();
}

// ---- route chart ------------------------------------------------------------------------------

namespace {

// A run list without the trailing run of zero the readers leave at the end of the grid.
std::vector<cell_run> data_runs(const route_grid_t& grid, std::uint8_t route_cell::*field) {
    std::vector<cell_run> runs = runs_of(grid, field);
    if (runs.size() > 1 && runs.back().value == 0) runs.pop_back();
    return runs;
}

struct band {
    double top, height;
};

}  // namespace

std::string route_svg(const route_grid_t& grid, const station_table_t* table) {
    constexpr double width = 1600, left = 150, right = 30, title_h = 60;
    const double plot_w = width - left - right;
    const double length = std::max(1.0, static_cast<double>(grid.size()) * cell_length_m);
    const auto xm = [&](double metres) { return left + metres / length * plot_w; };
    const auto xc = [&](std::size_t cell) { return xm(static_cast<double>(cell) * cell_length_m); };

    struct band_spec {
        const char* title;
        double height;
    };
    const band_spec specs[] = {{"stations", 170},   {"gradient", 100},        {"speed limit", 100},
                               {"adhesion", 70},    {"signals", 40},          {"slowdowns", 60},
                               {"code points", 40}, {"boards, mountains", 40}};
    std::vector<band> bands;
    double y = title_h;
    for (const band_spec& s : specs) {
        bands.push_back({y, s.height});
        y += s.height + 10;
    }
    const double axis_y = y;
    const double height = axis_y + 80;

    svg out(width, height);
    std::string title = "Route chart";
    if (table != nullptr) {
        title += ": " + text_of((*table)[station_slot::line_header].name) + ", train " +
                 text_of((*table)[station_slot::train_header].name);
    }
    out.text(20, 32, title, "font-size=\"22\" font-weight=\"bold\"");
    out.text(20, 52,
             xml_escape("cells 0 to " + std::to_string(grid.empty() ? 0 : grid.size() - 1) +
                        ", 50 m each"),
             "font-size=\"13\" fill=\"#555\"");

    // Band frames, titles and the kilometre grid that aligns them.
    const double km_step = nice_step(length, 15);
    for (std::size_t i = 0; i < bands.size(); ++i) {
        out.rect(left, bands[i].top, plot_w, bands[i].height, "fill=\"#fafafa\" stroke=\"#ccc\"");
        out.text(left - 10, bands[i].top + bands[i].height / 2 + 4, specs[i].title,
                 "font-size=\"13\" text-anchor=\"end\" font-weight=\"bold\"");
    }
    for (double m = 0; m <= length; m += km_step) {
        out.line(xm(m), title_h, xm(m), axis_y, "stroke=\"#e3e3e3\"");
        out.line(xm(m), axis_y, xm(m), axis_y + 6, "stroke=\"#222\"");
        out.text(xm(m), axis_y + 20, kilometre_label(m), "font-size=\"11\" text-anchor=\"middle\"");
    }
    out.line(left, axis_y, left + plot_w, axis_y, "stroke=\"#222\"");
    out.text(left + plot_w / 2, axis_y + 42, "route position",
             "font-size=\"12\" "
             "text-anchor=\"middle\" fill=\"#555\"");

    // Stations: their areas, a tick at the position and the name upright.
    {
        const band& b = bands[0];
        if (table != nullptr) {
            for (int i = 1; i < station_slot::count; ++i) {
                if (!is_station_entry(*table, i)) continue;
                const station_entry& e = (*table)[static_cast<std::size_t>(i)];
                out.rect(xm(e.area_start), b.top + b.height - 14, xm(e.area_end) - xm(e.area_start),
                         10, "fill=\"#f5b7b1\"");
                const double x = xm(e.position);
                out.line(x, b.top + b.height - 18, x, b.top + b.height,
                         "stroke=\"#c0392b\" "
                         "stroke-width=\"2\"");
                out.raw("<text transform=\"translate(" + num(x + 4) + " " +
                        num(b.top + b.height - 20) + ") rotate(-90)\" font-size=\"11\">" +
                        text_of(e.name) + "</text>");
            }
        }
        for (std::size_t c = 0; c < grid.size(); ++c) {
            if (grid[c].kind != cell_kind::station_stop) continue;
            out.raw("<path d=\"M" + num(xc(c)) + " " + num(b.top + b.height - 4) +
                    " l-4 -8 h8 "
                    "Z\" fill=\"#222\"/>");
        }
    }

    // Step charts of the per-cell profiles.
    const auto step_chart = [&](const band& b, std::uint8_t route_cell::*field, auto value_of,
                                const char* unit, const std::string& colour, bool signed_axis) {
        const std::vector<cell_run> runs = data_runs(grid, field);
        if (runs.empty()) return;
        double lo = 0, hi = 1;
        for (const cell_run& r : runs) {
            lo = std::min(lo, value_of(r.value));
            hi = std::max(hi, value_of(r.value));
        }
        if (signed_axis) hi = std::max(hi, 1.0), lo = std::min(lo, -1.0);
        const double pad = 12;
        const auto ym = [&](double v) {
            return b.top + pad + (hi - v) / (hi - lo) * (b.height - 2 * pad);
        };
        out.line(left, ym(0), left + plot_w, ym(0), "stroke=\"#999\" stroke-dasharray=\"4 3\"");
        char label[48];
        std::snprintf(label, sizeof label, "%g %s", hi, unit);
        out.text(left + 4, ym(hi) - 2, xml_escape(label), "font-size=\"10\" fill=\"#555\"");
        if (lo < 0) {
            std::snprintf(label, sizeof label, "%g %s", lo, unit);
            out.text(left + 4, ym(lo) + 10, xml_escape(label), "font-size=\"10\" fill=\"#555\"");
        }
        std::string d;
        std::string fill = "M" + num(xc(runs.front().first_cell)) + " " + num(ym(0));
        for (std::size_t k = 0; k < runs.size(); ++k) {
            const double x0 = xc(runs[k].first_cell), x1 = xc(runs[k].last_cell + 1);
            const double v = ym(value_of(runs[k].value));
            d += (k == 0 ? "M" : " L") + num(x0) + " " + num(v) + " L" + num(x1) + " " + num(v);
            fill += " L" + num(x0) + " " + num(v) + " L" + num(x1) + " " + num(v);
            // Values on stretches wide enough to carry them.
            if (x1 - x0 > 36) {
                std::snprintf(label, sizeof label, "%g", value_of(runs[k].value));
                out.text((x0 + x1) / 2, v - 3, xml_escape(label),
                         "font-size=\"9\" text-anchor=\"middle\" fill=\"" + colour + "\"");
            }
        }
        fill += " L" + num(xc(runs.back().last_cell + 1)) + " " + num(ym(0)) + " Z";
        out.path(fill, "fill=\"" + colour + "\" fill-opacity=\"0.15\" stroke=\"none\"");
        out.path(d, "fill=\"none\" stroke=\"" + colour + "\" stroke-width=\"1.5\"");
    };
    step_chart(
        bands[1], &route_cell::gradient, [](int v) { return double(v - 100); }, "per mille",
        "#7d5a2b", true);
    step_chart(
        bands[2], &route_cell::speed_limit, [](int v) { return double(v * 5); }, "km/h", "#1f6fb2",
        false);
    step_chart(
        bands[3], &route_cell::adhesion, [](int v) { return double(v); }, "", "#2e8b57", false);

    // Signals: delayed ones in orange.
    for (std::size_t c = 0; c < grid.size(); ++c) {
        const route_cell& cell = grid[c];
        const band& b = bands[4];
        if (cell.kind == cell_kind::signal) {
            out.line(xc(c), b.top + 6, xc(c), b.top + b.height - 6,
                     cell.signal_delay != 0 ? "stroke=\"#e67e22\" stroke-width=\"2\""
                                            : "stroke=\"#333\" stroke-width=\"1\"");
        }
    }
    // Slowdowns: from the start cell to the end cell after it, warnings as triangles.
    {
        const band& b = bands[5];
        for (std::size_t c = 0; c < grid.size(); ++c) {
            const route_cell& cell = grid[c];
            if (cell.kind == cell_kind::slowdown_start) {
                std::size_t end = c;
                while (end + 1 < grid.size() && grid[end].kind != cell_kind::slowdown_end) ++end;
                out.rect(xc(c), b.top + 20, xc(end + 1) - xc(c), b.height - 28,
                         "fill=\"#f39c12\" fill-opacity=\"0.6\" stroke=\"#d35400\"");
                out.text(xc(c), b.top + 15, xml_escape(std::to_string(cell.value_a) + " km/h"),
                         "font-size=\"11\" fill=\"#a04000\"");
            } else if (cell.kind == cell_kind::slowdown_warning) {
                out.raw("<path d=\"M" + num(xc(c)) + " " + num(b.top + 22) +
                        " l-5 10 h10 Z\" "
                        "fill=\"#d35400\"/>");
            } else if (cell.kind == cell_kind::slowdown_prewarning) {
                out.circle(xc(c), b.top + b.height - 10, 2, "fill=\"#d35400\"");
            }
        }
    }
    // Code points: 270 green, 180 orange, others grey; code-off points red.
    for (std::size_t c = 0; c < grid.size(); ++c) {
        const route_cell& cell = grid[c];
        const band& b = bands[6];
        if (cell.kind == cell_kind::code_point) {
            const char* colour = cell.value_a >= 270   ? "#27ae60"
                                 : cell.value_a == 180 ? "#e67e22"
                                                       : "#7f8c8d";
            out.line(xc(c), b.top + 6, xc(c), b.top + b.height - 6,
                     std::string("stroke=\"") + colour + "\" stroke-width=\"1.5\"");
        } else if (cell.kind == cell_kind::code_off_point) {
            out.line(xc(c), b.top + 4, xc(c), b.top + b.height - 4,
                     "stroke=\"#c0392b\" stroke-width=\"2\"");
        }
    }
    // Boards and mountains.
    {
        const band& b = bands[7];
        for (const cell_run& r : runs_of(grid, &route_cell::mountain_type)) {
            if (r.value == 0) continue;
            out.rect(xc(r.first_cell), b.top + b.height - 12,
                     xc(r.last_cell + 1) - xc(r.first_cell), 8, "fill=\"#a0522d\"");
        }
        for (std::size_t c = 0; c < grid.size(); ++c) {
            const route_cell& cell = grid[c];
            if (cell.kind == cell_kind::speed_board) {
                out.line(xc(c), b.top + 6, xc(c), b.top + b.height - 16,
                         "stroke=\"#1f6fb2\" stroke-width=\"1.5\"");
            } else if (cell.kind == cell_kind::direction_board) {
                out.raw("<path d=\"M" + num(xc(c)) + " " + num(b.top + 4) +
                        " l-5 10 h10 Z\" "
                        "fill=\"#8e44ad\"/>");
            }
        }
    }
    // What the colours mean, under the axis.
    const double ly = height - 10;
    const struct {
        const char* colour;
        const char* text;
    } legend[] = {{"#333", "signal"},         {"#e67e22", "delayed signal / code 180"},
                  {"#27ae60", "code 270"},    {"#c0392b", "code-off point"},
                  {"#1f6fb2", "speed board"}, {"#8e44ad", "direction board"},
                  {"#a0522d", "mountain"},    {"#f39c12", "slowdown"}};
    double lx = left;
    for (const auto& l : legend) {
        out.rect(lx, ly - 9, 10, 10, std::string("fill=\"") + l.colour + "\"");
        out.text(lx + 14, ly, l.text, "font-size=\"11\"");
        lx += 28 + 7.0 * static_cast<double>(std::string_view(l.text).size());
    }
    return out.finish();
}

}  // namespace compattatore
