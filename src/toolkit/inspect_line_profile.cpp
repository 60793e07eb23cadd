// inspect of a line profile: how many values of each type, the extent of the plan, the first and
// last computed points and, on request, a selection of points.

#include <algorithm>
#include <array>
#include <utility>
#include <variant>

#include "toolkit/inspect_views.hpp"
#include "toolkit/printf_text.hpp"

namespace compattatore::inspect {

namespace {

using tag = tagged_value::tag;
using tag_count = std::pair<tag, std::size_t>;

struct profile_summary {
    // Values of each type, in the order the JSON lists them.
    std::array<tag_count, 4> tags{
        {{tag::empty, 0}, {tag::int16, 0}, {tag::int32, 0}, {tag::float64, 0}}};
    std::optional<std::size_t> first_computed, last_computed;
    double min_x = 0, max_x = 0, min_y = 0, max_y = 0;
    bool any = false;

    void add(const tagged_value& v) {
        ++std::ranges::find(tags, v.type(), &tag_count::first)->second;
    }
    std::size_t count(tag t) const { return std::ranges::find(tags, t, &tag_count::first)->second; }
};

void widen_extent(profile_summary& s, double x, double y) {
    if (!s.any) {
        s.min_x = s.max_x = x;
        s.min_y = s.max_y = y;
        s.any = true;
    }
    s.min_x = std::min(s.min_x, x);
    s.max_x = std::max(s.max_x, x);
    s.min_y = std::min(s.min_y, y);
    s.max_y = std::max(s.max_y, y);
}

profile_summary summarise(const line_profile_t& p) {
    profile_summary s;
    for (std::size_t i = 0; i < p.points(); ++i) {
        s.add(p.x(i));
        s.add(p.y(i));
        if (p.x(i).is_empty() || p.y(i).is_empty()) continue;
        widen_extent(s, p.x(i).as_double(), p.y(i).as_double());
        if (p.x(i).type() == tag::float64) {
            if (!s.first_computed) s.first_computed = i;
            s.last_computed = i;
        }
    }
    return s;
}

json value_json(const tagged_value& v) {
    return v.visit([](auto value) -> json {
        if constexpr (std::is_same_v<decltype(value), std::monostate>) {
            return nullptr;
        } else {
            return value;
        }
    });
}

json point_json(const line_profile_t& p, std::size_t i) {
    return {{"point", i},
            {"x", value_json(p.x(i))},
            {"y", value_json(p.y(i))},
            {"x_tag", std::string(tag_name(p.x(i).type()))},
            {"y_tag", std::string(tag_name(p.y(i).type()))}};
}

template <class F>
void for_selected_points(const line_profile_t& p, const point_selection& sel, F&& f) {
    if (p.points() == 0) return;
    const std::size_t last = std::min(sel.last.value_or(p.points() - 1), p.points() - 1);
    for (std::size_t i = sel.first; i <= last; i += sel.step) f(i);
}

std::string fixed3(double v) {
    return printf_text("%.3f", v);
}

std::string coordinate_text(const tagged_value& v) {
    return v.is_empty() ? "empty" : fixed3(v.as_double());
}

void print_summary(const line_profile_t& p, const profile_summary& s, std::ostream& out) {
    out << "points: " << p.points() << " (0 to " << (p.points() == 0 ? 0 : p.points() - 1) << ")\n";
    out << "values:";
    for (const tag t : {tag::int16, tag::int32, tag::float64, tag::empty}) {
        out << (t == tag::int16 ? " " : ", ") << s.count(t) << " " << tag_name(t);
    }
    out << "\n";
    if (s.any) {
        out << "extent: x " << fixed3(s.min_x) << " to " << fixed3(s.max_x) << " m, y "
            << fixed3(s.min_y) << " to " << fixed3(s.max_y) << " m\n";
    }
}

}  // namespace

void write_line_profile_json(const line_profile_t& p, const std::optional<point_selection>& sel,
                             json_writer& w) {
    const profile_summary s = summarise(p);
    json tags = json::object();
    for (const auto& [t, n] : s.tags) tags[std::string(tag_name(t))] = n;
    w.member("points", p.points());
    w.member("tags", tags);
    if (s.any) {
        w.member("extent",
                 {{"min_x", s.min_x}, {"max_x", s.max_x}, {"min_y", s.min_y}, {"max_y", s.max_y}});
    }
    if (s.first_computed) w.member("first_computed", point_json(p, *s.first_computed));
    if (s.last_computed) w.member("last_computed", point_json(p, *s.last_computed));
    if (!sel) return;
    w.key("selected");
    w.open_array();
    for_selected_points(p, *sel, [&](std::size_t i) { w.value(point_json(p, i)); });
    w.close();
}

void print_line_profile(const line_profile_t& p, const std::optional<point_selection>& sel,
                        std::ostream& out) {
    const profile_summary s = summarise(p);
    print_summary(p, s, out);
    const auto show = [&](const char* what, std::size_t i) {
        out << what << " " << i << ": (" << coordinate_text(p.x(i)) << ", "
            << coordinate_text(p.y(i)) << ")\n";
    };
    if (s.first_computed) show("first computed point", *s.first_computed);
    if (s.last_computed) show("last computed point", *s.last_computed);
    if (!sel) return;
    out << "point         x              y\n";
    for_selected_points(p, *sel, [&](std::size_t i) {
        out << printf_text("%7zu  %14s  %14s\n", i, coordinate_text(p.x(i)).c_str(),
                           coordinate_text(p.y(i)).c_str());
    });
}

}  // namespace compattatore::inspect
