#include "toolkit/plot_drawing.hpp"

#include <cmath>

#include "toolkit/printf_text.hpp"

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

}  // namespace compattatore
