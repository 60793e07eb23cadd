#include "toolkit/plot_drawing.hpp"

#include <algorithm>
#include <cmath>

#include "ground/kilometres.hpp"
#include "ground/roles.hpp"
#include "ground/units.hpp"
#include "toolkit/printf_text.hpp"
#include "toolkit/view_data.hpp"

namespace compattatore {

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
    return printf_text(std::fabs(km - std::round(km)) < 1e-9 ? "%.0f km" : "%.1f km", km);
}

svg_element triangle_marker(double x, double y, ink fill) {
    svg_element e = svg_path(path_data().move_to(x, y).relative("l-5 10 h10").close());
    e.attr("fill", colour(fill));
    return e;
}

double text_width(std::string_view utf8, double font_size) {
    const auto characters = std::count_if(utf8.begin(), utf8.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    });
    const auto shown =
        std::min<std::size_t>(static_cast<std::size_t>(characters), max_label_characters);
    return static_cast<double>(shown) * 0.64 * font_size;
}

bool label_space::free(const box& b) const {
    if (b.x0 < area_.x0 || b.y0 < area_.y0 || b.x1 > area_.x1 || b.y1 > area_.y1) return false;
    return std::none_of(taken_.begin(), taken_.end(), [&](const box& t) {
        return b.x0 < t.x1 && b.x1 > t.x0 && b.y0 < t.y1 && b.y1 > t.y0;
    });
}

bool label_space::claim(const box& b) {
    if (!free(b)) return false;
    take(b);
    return true;
}

namespace {

// The stretches of one railway offset: [from, to) with the offset in force.
struct reckoning_stretch {
    std::int64_t from, to, offset;
};

std::vector<reckoning_stretch> stretches(const station_table_t* table, std::int64_t from,
                                         std::int64_t to) {
    std::vector<std::int64_t> cuts{from};
    if (table != nullptr) {
        for (const int slot : station_slot::progressives) {
            const auto p = progressive(*table, slot);
            if ((p.start() != 0 || p.offset() != 0) && p.start() > from && p.start() < to) {
                cuts.push_back(p.start());
            }
        }
    }
    std::sort(cuts.begin(), cuts.end());
    std::vector<reckoning_stretch> out;
    for (std::size_t i = 0; i < cuts.size(); ++i) {
        const std::int64_t end = i + 1 < cuts.size() ? cuts[i + 1] : to;
        const auto at = static_cast<std::int32_t>(cuts[i]);
        const std::int64_t offset = table != nullptr ? progressive_metres(*table, at) - at : 0;
        if (end > cuts[i]) out.push_back({cuts[i], end, offset});
    }
    return out;
}

}  // namespace

std::vector<railway_tick> railway_ticks(const station_table_t* table, std::int64_t from,
                                        std::int64_t to, double ticks) {
    const double step = nice_step(static_cast<double>(to - from), ticks);
    std::vector<railway_tick> out;
    for (const reckoning_stretch& s : stretches(table, from, to)) {
        const double first = std::ceil(static_cast<double>(s.from + s.offset) / step) * step;
        for (double k = first; k < static_cast<double>(s.to + s.offset) + 0.5; k += step) {
            const auto km = static_cast<std::int64_t>(std::llround(k));
            const std::string label = step >= 1000 ? std::to_string(km / 1000)
                                                   : kilometres_text(static_cast<std::int32_t>(km));
            out.push_back({km - s.offset, label});
        }
    }
    return out;
}

std::int64_t line_end_metres(const station_table_t* table, std::int64_t route_metres) {
    if (table != nullptr && train_and_line(*table).line_length() > 0) {
        return train_and_line(*table).line_length();
    }
    return std::max<std::int64_t>(0, route_metres - route_run_on_m);
}

std::string board_label(std::string_view utf8) {
    std::string label;
    for (const std::string& line : board_text_lines(utf8)) {
        if (!label.empty()) label += " / ";
        label += line;
    }
    return label;
}

}  // namespace compattatore
