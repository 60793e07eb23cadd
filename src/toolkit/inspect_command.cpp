// compattatore inspect: the simulator's files, decoded and shown readably or as JSON.

#include <cmath>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <variant>

#include "formats/binary_layout.hpp"
#include "ground/files.hpp"
#include "toolkit/cell_values.hpp"
#include "toolkit/commands.hpp"
#include "toolkit/compile_diagnostics.hpp"
#include "toolkit/folders.hpp"
#include "toolkit/scenario_files.hpp"
#include "ground/code_page_850.hpp"
#include "ground/units.hpp"

namespace compattatore {

namespace {

namespace fs = std::filesystem;
using json = nlohmann::ordered_json;

struct decoded_file {
    fs::path path;
    std::size_t size = 0;
    std::variant<line_profile_t, station_table_t, route_grid_t> content;
};

std::string fixed3(double v) {
    char text[64];
    std::snprintf(text, sizeof text, "%.3f", v);
    return text;
}

std::string quoted(const std::string& text) {
    std::string out;
    out.reserve(text.size() + 2);
    return out.append(1, '"').append(text).append(1, '"');
}

// ---- station table ----------------------------------------------------------------------------

json entry_json(const station_entry& e) {
    return {{"kind", e.kind},         {"area_start", e.area_start},
            {"area_end", e.area_end}, {"position", e.position},
            {"param_a", e.param_a},   {"name", cp850_to_utf8(e.name)},
            {"group_a1", e.group_a1}, {"group_a2", e.group_a2},
            {"group_b1", e.group_b1}, {"group_b2", e.group_b2},
            {"group_b3", e.group_b3}, {"group_a3", e.group_a3},
            {"param_c", e.param_c},   {"end_extension", e.end_extension},
            {"param_b", e.param_b},   {"timetable_time", e.timetable_time}};
}

std::string entry_role(const station_table_t& t, int i) {
    if (i >= station_slot::progressive_three && i <= station_slot::progressive_one) {
        return "kilometre progressive";
    }
    if (i == station_slot::train_and_line) return "train and line values";
    if (i == station_slot::line_header) return "line header";
    if (i == station_slot::train_header) return "train header";
    if (i >= lowest_board_entry(t) && i <= station_slot::first_board) return "board text";
    if (is_station_entry(t, i)) return "station";
    return "unused";
}

json station_table_json(const station_table_t& t) {
    json entries = json::array();
    for (int i = 0; i < station_slot::count; ++i) {
        json e = entry_json(t[static_cast<std::size_t>(i)]);
        e["entry"] = i;
        e["role"] = entry_role(t, i);
        entries.push_back(std::move(e));
    }
    const station_entry& h84 = t[station_slot::train_and_line];
    const station_entry& h85 = t[station_slot::line_header];
    const station_entry& h86 = t[station_slot::train_header];
    json header = {
        {"braked_mass_percentage", h84.area_start},
        {"line_length", h84.area_end},
        {"coach_count", h84.position},
        {"line_name", cp850_to_utf8(h85.name)},
        {"background_one", h85.area_start},
        {"background_two", h85.position},
        {"background_three", h85.area_end},
        {"stamp", h85.group_a1},
        {"weighted_checksum", h85.timetable_time},
        {"train_number", cp850_to_utf8(h86.name)},
        {"repetition_start", h86.area_start},
        {"repetition_end", h86.area_end},
        {"repetition_codes", h86.position},
        {"sand_supply", h86.group_a1},
        {"start_clock", clock_text(h86.group_b1 * 3600 + h86.group_b2 * 60 + h86.group_b3)},
    };
    return {{"entries", std::move(entries)}, {"header", std::move(header)}};
}

void print_station_table(const station_table_t& t, std::ostream& out) {
    const int boards = lowest_board_entry(t);
    out << "stations:\n";
    for (int i = 1; i < boards; ++i) {
        if (!is_station_entry(t, i)) continue;
        const station_entry& e = t[static_cast<std::size_t>(i)];
        char line[256];
        std::snprintf(line, sizeof line,
                      "  %2d  %-24s kind %3d  at %7d m  area %7d to %7d m  time %s", i,
                      quoted(cp850_to_utf8(e.name)).c_str(), e.kind, e.position, e.area_start,
                      e.area_end, clock_text(e.timetable_time).c_str());
        out << line << "  values " << int(e.param_a) << "," << int(e.param_b) << ","
            << int(e.end_extension) << " a " << e.group_a1 << "," << e.group_a2 << ","
            << int(e.group_a3) << " b " << e.group_b1 << "," << e.group_b2 << "," << e.group_b3
            << " c " << int(e.param_c) << "\n";
    }
    out << "board texts:\n";
    for (int i = station_slot::first_board; i >= boards; --i) {
        out << "  " << i << "  \"" << cp850_to_utf8(t[static_cast<std::size_t>(i)].name) << "\"\n";
    }
    out << "kilometre progressives:\n";
    for (int i = station_slot::progressive_three; i <= station_slot::progressive_one; ++i) {
        const station_entry& e = t[static_cast<std::size_t>(i)];
        out << "  " << i << "  start " << e.area_start << " m, offset " << e.area_end << " m, flag "
            << e.position << "\n";
    }
    const station_entry& h84 = t[station_slot::train_and_line];
    const station_entry& h85 = t[station_slot::line_header];
    const station_entry& h86 = t[station_slot::train_header];
    out << "  84  braked mass " << h84.area_start << " %, line length " << h84.area_end
        << " m, coaches " << h84.position << "\n";
    out << "  85  line \"" << cp850_to_utf8(h85.name) << "\", backgrounds " << h85.area_start
        << " (one), " << h85.position << " (two), " << h85.area_end << " (three), stamp "
        << h85.group_a1 << ", weighted checksum " << h85.timetable_time << "\n";
    out << "  86  train \"" << cp850_to_utf8(h86.name) << "\", repetition " << h86.area_start
        << " to " << h86.area_end << " m with " << h86.position << " codes, sand " << h86.group_a1
        << ", start clock " << clock_text(h86.group_b1 * 3600 + h86.group_b2 * 60 + h86.group_b3)
        << "\n";
}

// ---- route grid -------------------------------------------------------------------------------



bool worth_listing(const route_cell& c) {
    return c.kind != 0 || c.value_a != 0 || c.value_b != 0 || c.value_c != 0 || c.value_d != 0 ||
           c.signal_delay != 0;
}

json cell_json(const route_cell& c, std::size_t i, const station_table_t* names) {
    return {{"cell", i},
            {"position", static_cast<std::int64_t>(i) * cell_length_m},
            {"kind", c.kind},
            {"kind_name", cell_kind_name(c.kind)},
            {"value_a", c.value_a},
            {"value_b", c.value_b},
            {"value_c", c.value_c},
            {"value_d", c.value_d},
            {"signal_delay", c.signal_delay},
            {"text", describe_cell(c, names)}};
}

struct field_info {
    cell_field field;
    const char* name;
};
constexpr field_info per_cell_fields[] = {
    {cell_field::gradient, "gradient"},           {cell_field::speed_limit, "speed_limit"},
    {cell_field::adhesion, "adhesion"},           {cell_field::mountain_type, "mountain_type"},
    {cell_field::approach_mark, "approach_mark"},
};

json route_grid_json(const route_grid_t& g, const station_table_t* names) {
    json objects = json::array();
    for (std::size_t i = 0; i < g.size(); ++i) {
        if (worth_listing(g[i])) objects.push_back(cell_json(g[i], i, names));
    }
    json runs = json::object();
    for (const field_info& f : per_cell_fields) {
        json list = json::array();
        for (const cell_run& r : runs_of(g, f.field)) {
            list.push_back({{"first_cell", r.first_cell},
                            {"last_cell", r.last_cell},
                            {"from", r.first_cell * cell_length_m},
                            {"value", r.value}});
        }
        runs[f.name] = std::move(list);
    }
    json j = {{"cells", g.size()},
              {"last_cell", static_cast<std::int64_t>(g.size()) - 1},
              {"objects", std::move(objects)},
              {"runs", std::move(runs)}};
    if (g.size() > 1) {
        j["stamp"] = g[1].value_a;
        j["plain_checksum"] = g[1].value_b;
    }
    return j;
}

std::string field_text(cell_field f, int v) {
    switch (f) {
        case cell_field::gradient:
            return std::string(v > 100 ? "+" : "")
                .append(std::to_string(v - 100))
                .append(" per mille");
        case cell_field::speed_limit:
            return std::to_string(v * 5) + " km/h";
        default:
            return std::to_string(v);
    }
}

void print_route_grid(const route_grid_t& g, const station_table_t* names, std::ostream& out) {
    if (g.size() > 1) {
        out << "cell 1: stamp " << g[1].value_a << ", plain checksum " << g[1].value_b << "\n";
    }
    out << "objects:\n";
    for (std::size_t i = 0; i < g.size(); ++i) {
        if (g[i].kind == 0) continue;
        char head[64];
        std::snprintf(head, sizeof head, "  cell %5zu  at %7zu m  ", i, i * cell_length_m);
        out << head << describe_cell(g[i], names) << "\n";
    }
    for (const field_info& f : per_cell_fields) {
        if (f.field == cell_field::approach_mark) continue;
        out << f.name << ":\n";
        for (const cell_run& r : runs_of(g, f.field)) {
            if (f.field == cell_field::mountain_type && r.value == 0) continue;
            char line[128];
            std::snprintf(line, sizeof line, "  cells %5d-%-5d  from %7d m  ", r.first_cell,
                          r.last_cell, r.first_cell * cell_length_m);
            out << line << field_text(f.field, r.value) << "\n";
        }
    }
    out << "approach marks (cell:mark):";
    int shown = 0;
    for (std::size_t i = 0; i < g.size(); ++i) {
        if (g[i].approach_mark == 0) continue;
        out << (shown++ % 12 == 0 ? "\n  " : " ") << i << ":" << int(g[i].approach_mark);
    }
    out << "\n";
}

// ---- line profile -----------------------------------------------------------------------------

struct profile_summary {
    std::size_t empty = 0, int16 = 0, int32 = 0, float64 = 0;
    std::optional<std::size_t> first_computed, last_computed;
    double min_x = 0, max_x = 0, min_y = 0, max_y = 0;
    bool any = false;
};

profile_summary summarise(const line_profile_t& p) {
    profile_summary s;
    const auto count = [&](const tagged_value& v) {
        switch (v.type()) {
            case tagged_value::tag::empty:
                ++s.empty;
                break;
            case tagged_value::tag::int16:
                ++s.int16;
                break;
            case tagged_value::tag::int32:
                ++s.int32;
                break;
            case tagged_value::tag::float64:
                ++s.float64;
                break;
        }
    };
    for (std::size_t i = 0; i < p.points(); ++i) {
        count(p.x(i));
        count(p.y(i));
        if (p.x(i).is_empty() || p.y(i).is_empty()) continue;
        const double x = p.x(i).as_double(), y = p.y(i).as_double();
        if (!s.any) {
            s.min_x = s.max_x = x;
            s.min_y = s.max_y = y;
            s.any = true;
        }
        s.min_x = std::min(s.min_x, x);
        s.max_x = std::max(s.max_x, x);
        s.min_y = std::min(s.min_y, y);
        s.max_y = std::max(s.max_y, y);
        if (p.x(i).type() == tagged_value::tag::float64) {
            if (!s.first_computed) s.first_computed = i;
            s.last_computed = i;
        }
    }
    return s;
}

json value_json(const tagged_value& v) {
    switch (v.type()) {
        case tagged_value::tag::empty:
            return nullptr;
        case tagged_value::tag::int16:
            return v.as_int16();
        case tagged_value::tag::int32:
            return v.as_int32();
        case tagged_value::tag::float64:
            return v.as_double();
    }
    return nullptr;
}

template <class F>
void for_selected_points(const line_profile_t& p, const point_selection& sel, F&& f) {
    if (p.points() == 0) return;
    const std::size_t last = std::min(sel.last.value_or(p.points() - 1), p.points() - 1);
    for (std::size_t i = sel.first; i <= last; i += sel.step) f(i);
}

json line_profile_json(const line_profile_t& p, const std::optional<point_selection>& sel) {
    const profile_summary s = summarise(p);
    json j = {
        {"points", p.points()},
        {"tags",
         {{"empty", s.empty}, {"int16", s.int16}, {"int32", s.int32}, {"double", s.float64}}}};
    if (s.any) {
        j["extent"] = {
            {"min_x", s.min_x}, {"max_x", s.max_x}, {"min_y", s.min_y}, {"max_y", s.max_y}};
    }
    const auto point = [&](std::size_t i) {
        return json{{"point", i},
                    {"x", value_json(p.x(i))},
                    {"y", value_json(p.y(i))},
                    {"x_tag", std::string(tag_name(p.x(i).type()))},
                    {"y_tag", std::string(tag_name(p.y(i).type()))}};
    };
    if (s.first_computed) j["first_computed"] = point(*s.first_computed);
    if (s.last_computed) j["last_computed"] = point(*s.last_computed);
    if (sel) {
        json list = json::array();
        for_selected_points(p, *sel, [&](std::size_t i) { list.push_back(point(i)); });
        j["selected"] = std::move(list);
    }
    return j;
}

std::string coordinate_text(const tagged_value& v) {
    return v.is_empty() ? "empty" : fixed3(v.as_double());
}

void print_line_profile(const line_profile_t& p, const std::optional<point_selection>& sel,
                        std::ostream& out) {
    const profile_summary s = summarise(p);
    out << "points: " << p.points() << " (0 to " << (p.points() == 0 ? 0 : p.points() - 1) << ")\n";
    out << "values: " << s.int16 << " int16, " << s.int32 << " int32, " << s.float64 << " double, "
        << s.empty << " empty\n";
    if (s.any) {
        out << "extent: x " << fixed3(s.min_x) << " to " << fixed3(s.max_x) << " m, y "
            << fixed3(s.min_y) << " to " << fixed3(s.max_y) << " m\n";
    }
    const auto show = [&](const char* what, std::size_t i) {
        out << what << " " << i << ": (" << coordinate_text(p.x(i)) << ", "
            << coordinate_text(p.y(i)) << ")\n";
    };
    if (s.first_computed) show("first computed point", *s.first_computed);
    if (s.last_computed) show("last computed point", *s.last_computed);
    if (sel) {
        out << "point         x              y\n";
        for_selected_points(p, *sel, [&](std::size_t i) {
            char line[128];
            std::snprintf(line, sizeof line, "%7zu  %14s  %14s\n", i,
                          coordinate_text(p.x(i)).c_str(), coordinate_text(p.y(i)).c_str());
            out << line;
        });
    }
}

const char* kind_title(binary_file_kind k) {
    switch (k) {
        case binary_file_kind::line_profile:
            return "line profile";
        case binary_file_kind::station_table:
            return "station table";
        case binary_file_kind::route_grid:
            return "route grid";
    }
    return "";
}

}  // namespace

std::optional<point_selection> parse_point_selection(const std::string& text) {
    std::vector<std::size_t> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t colon = text.find(':', start);
        const std::string part = text.substr(start, colon - start);
        if (part.empty() || part.find_first_not_of("0123456789") != std::string::npos ||
            part.size() > 9) {
            return std::nullopt;
        }
        parts.push_back(std::stoul(part));
        if (colon == std::string::npos) break;
        start = colon + 1;
    }
    point_selection s;
    if (parts.size() == 1) {
        if (parts[0] == 0) return std::nullopt;
        s.step = parts[0];
    } else if (parts.size() == 2 || parts.size() == 3) {
        if (parts[1] < parts[0]) return std::nullopt;
        s.first = parts[0];
        s.last = parts[1];
        if (parts.size() == 3) {
            if (parts[2] == 0) return std::nullopt;
            s.step = parts[2];
        }
    } else {
        return std::nullopt;
    }
    return s;
}

int inspect_command(const inspect_options& o, std::ostream& out, std::ostream& err) {
    // Everything is read and decoded first: a bad file gives its one line and no partial listing.
    std::vector<decoded_file> files;
    const station_table_t* names = nullptr;
    for (const fs::path& path : o.files) {
        const auto kind = classify_binary_file(path);
        if (!kind) {
            err << "compattatore: " << path.string()
                << ": not a simulator file (names end in _linea.dat, .sim or .dat)\n";
            return toolkit_status::usage;
        }
        std::optional<std::string> bytes;
        try {
            bytes = read_input(path);
        } catch (const file_error& e) {
            err << "compattatore: " << e.what() << "\n";
            return toolkit_status::usage;
        }
        if (!bytes) {
            err << "compattatore: " << path.string() << ": no such file\n";
            return toolkit_status::usage;
        }
        try {
            decoded_file d{path, bytes->size(), {}};
            switch (*kind) {
                case binary_file_kind::line_profile:
                    d.content = binary_layout::decode_line_profile(*bytes);
                    break;
                case binary_file_kind::station_table:
                    d.content = binary_layout::decode_station_table(*bytes);
                    break;
                case binary_file_kind::route_grid:
                    d.content = binary_layout::decode_route_grid(*bytes);
                    break;
            }
            files.push_back(std::move(d));
        } catch (const binary_layout::decode_error& e) {
            err << "compattatore: " << path.string() << ": corrupt " << kind_title(*kind)
                << " at byte " << e.offset() << ": " << e.detail() << "\n";
            return toolkit_status::usage;
        }
    }
    for (const decoded_file& f : files) {
        if (const auto* t = std::get_if<station_table_t>(&f.content)) names = t;
    }

    if (o.json) {
        json list = json::array();
        for (const decoded_file& f : files) {
            json j = {{"file", f.path.string()}, {"bytes", f.size}};
            if (const auto* p = std::get_if<line_profile_t>(&f.content)) {
                j["type"] = "line_profile";
                j.update(line_profile_json(*p, o.points));
            } else if (const auto* t = std::get_if<station_table_t>(&f.content)) {
                j["type"] = "station_table";
                j.update(station_table_json(*t));
            } else {
                j["type"] = "route_grid";
                j.update(route_grid_json(std::get<route_grid_t>(f.content), names));
            }
            list.push_back(std::move(j));
        }
        out << json{{"files", std::move(list)}}.dump(2) << "\n";
        return toolkit_status::ok;
    }

    for (const decoded_file& f : files) {
        if (&f != &files.front()) out << "\n";
        if (const auto* p = std::get_if<line_profile_t>(&f.content)) {
            out << f.path.string() << ": line profile, " << f.size << " bytes\n";
            print_line_profile(*p, o.points, out);
        } else if (const auto* t = std::get_if<station_table_t>(&f.content)) {
            out << f.path.string() << ": station table, 87 entries, " << f.size << " bytes\n";
            print_station_table(*t, out);
        } else {
            const auto& g = std::get<route_grid_t>(f.content);
            out << f.path.string() << ": route grid, cells 0 to " << (g.empty() ? 0 : g.size() - 1)
                << " (50 m each), " << f.size << " bytes\n";
            print_route_grid(g, names, out);
        }
    }
    return toolkit_status::ok;
}

}  // namespace compattatore
