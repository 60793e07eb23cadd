// inspect of a route grid: the cells that hold an object one by one, the per-cell profiles as
// runs of equal values.

#include <cinttypes>

#include "ground/kilometres.hpp"
#include "ground/roles.hpp"
#include "ground/units.hpp"
#include "toolkit/inspect_cell_values.hpp"
#include "toolkit/inspect_views.hpp"
#include "toolkit/printf_text.hpp"
#include "toolkit/scenario_files.hpp"

namespace compattatore::inspect {

namespace {

using binary_layout::route_cell_fields;

// The per-cell profiles are listed as runs; every other field of a cell belongs to its object.
template <class Member>
bool is_profile(Member member) {
    for (const cell_profile* p : cell_profiles) {
        if (same_member(member, p->member)) return true;
    }
    return false;
}

bool holds_object(const route_cell& c) {
    bool any = false;
    binary_layout::for_each_field(route_cell_fields, [&](const auto& f) {
        if (!is_profile(f.member) && c.*(f.member) != 0) any = true;
    });
    return any;
}

json cell_json(const route_cell& c, std::size_t i, const station_table_t* names) {
    json j = {{"cell", i}, {"position", cell_start_m(static_cast<std::int64_t>(i))}};
    binary_layout::for_each_field(route_cell_fields, [&](const auto& f) {
        if (is_profile(f.member)) return;
        j[std::string(f.name)] = c.*(f.member);
        if (same_member(f.member, &route_cell::kind))
            j["kind_name"] = std::string(cell_kind_name(c.kind));
    });
    if (names != nullptr) {
        j["km"] = kilometres_text(progressive_metres(
            *names, static_cast<std::int32_t>(cell_start_m(static_cast<std::int64_t>(i)))));
    }
    j["text"] = describe_cell(c, names);
    return j;
}

std::string profile_name(const cell_profile& p) {
    return std::string(binary_layout::name_of(route_cell_fields, p.member));
}

void write_runs_json(const route_grid_t& g, json_writer& w) {
    w.open_object();
    for (const cell_profile* p : cell_profiles) {
        w.key(profile_name(*p));
        w.open_array();
        const std::string_view unit = profile_unit(*p);
        for (const cell_run& r : runs_of(g, p->member)) {
            json run = {{"first_cell", r.first_cell},
                        {"last_cell", r.last_cell},
                        {"from", cell_start_m(r.first_cell)},
                        {"value", r.value},
                        {"reading", p->reading(r.value)}};
            if (!unit.empty()) run["unit"] = std::string(unit);
            w.value(run);
        }
        w.close();
    }
    w.close();
}

void print_objects(const route_grid_t& g, const station_table_t* names, std::ostream& out) {
    out << "objects:\n";
    for (std::size_t i = 0; i < g.size(); ++i) {
        if (g[i].kind == cell_kind::empty) continue;
        out << printf_text("  cell %5zu  at %7" PRId64 " m  ", i,
                           cell_start_m(static_cast<std::int64_t>(i)))
            << describe_cell(g[i], names) << "\n";
    }
}

void print_runs(const route_grid_t& g, const cell_profile& p, std::ostream& out) {
    out << profile_name(p) << ":\n";
    for (const cell_run& r : runs_of(g, p.member)) {
        if (p.zero_is_none && r.value == 0) continue;
        out << printf_text("  cells %5d-%-5d  from %7" PRId64 " m  ", r.first_cell, r.last_cell,
                           cell_start_m(r.first_cell))
            << reading_text(p, r.value) << "\n";
    }
}

// Marks are few and single cells: listed as cell:mark, twelve to a line.
void print_marks(const route_grid_t& g, std::ostream& out) {
    out << "approach marks (cell:mark):";
    int shown = 0;
    for (std::size_t i = 0; i < g.size(); ++i) {
        const int mark = g[i].*approach_mark_profile.member;
        if (mark == 0) continue;
        out << (shown++ % 12 == 0 ? "\n  " : " ") << i << ":" << mark;
    }
    out << "\n";
}

}  // namespace

void write_route_grid_json(const route_grid_t& g, const station_table_t* names, json_writer& w) {
    w.member("cells", g.size());
    w.member("last_cell", static_cast<std::int64_t>(g.size()) - 1);
    w.key("objects");
    w.open_array();
    for (std::size_t i = 0; i < g.size(); ++i) {
        if (holds_object(g[i])) w.value(cell_json(g[i], i, names));
    }
    w.close();
    w.key("runs");
    write_runs_json(g, w);
    if (g.size() > stamp_cell) {
        const stamp_cell_fields s{g[stamp_cell]};
        w.member("stamp", s.stamp());
        w.member("plain_checksum", s.plain_checksum());
    }
}

void print_route_grid(const route_grid_t& g, const station_table_t* names, std::ostream& out) {
    if (g.size() > stamp_cell) {
        const stamp_cell_fields s{g[stamp_cell]};
        out << "cell " << stamp_cell << ": stamp " << s.stamp() << ", plain checksum "
            << s.plain_checksum() << "\n";
    }
    print_objects(g, names, out);
    for (const cell_profile* p : cell_profiles) {
        if (p != &approach_mark_profile) print_runs(g, *p, out);
    }
    print_marks(g, out);
}

}  // namespace compattatore::inspect
