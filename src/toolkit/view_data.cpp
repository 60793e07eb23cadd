#include "toolkit/view_data.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>

#include "ground/code_page_850.hpp"
#include "ground/kilometres.hpp"
#include "ground/roles.hpp"
#include "ground/rounding.hpp"
#include "ground/units.hpp"
#include "toolkit/inspect_cell_values.hpp"
#include "toolkit/scenario_files.hpp"

namespace compattatore {

using json = nlohmann::json;

namespace {

std::string trimmed(std::string_view s) {
    const auto first = s.find_first_not_of(' ');
    if (first == std::string_view::npos) return "";
    return std::string(s.substr(first, s.find_last_not_of(' ') - first + 1));
}

}  // namespace

std::vector<std::string> board_text_lines(std::string_view utf8) {
    std::vector<std::string> lines;
    std::size_t at = 0;
    while ((at = utf8.find('(', at)) != std::string_view::npos) {
        const auto end = utf8.find(')', at);
        if (end == std::string_view::npos) break;
        std::string line = trimmed(utf8.substr(at + 1, end - at - 1));
        if (!line.empty()) lines.push_back(std::move(line));
        at = end + 1;
    }
    if (lines.empty() && !trimmed(utf8).empty()) lines.push_back(trimmed(utf8));
    return lines;
}

namespace {

std::string name_of(const station_table_t* table, int entry) {
    if (table == nullptr || entry < 0 || entry >= station_slot::count) return "";
    return cp850_to_utf8((*table)[static_cast<std::size_t>(entry)].name);
}

// The used progressives by start: the page turns route positions into railway kilometres with
// them as kilometres_text and progressive_metres do.
json progressives_json(const station_table_t* table) {
    json out = json::array();
    if (table == nullptr) return out;
    std::vector<std::pair<std::int32_t, std::int32_t>> used;
    for (const int slot : station_slot::progressives) {
        const auto p = progressive(*table, slot);
        if (p.start() == 0 && p.offset() == 0) continue;
        used.emplace_back(p.start(), p.offset());
    }
    std::ranges::stable_sort(used, {}, &std::pair<std::int32_t, std::int32_t>::first);
    for (const auto& [start, offset] : used) out.push_back({start, offset});
    return out;
}

double tenth(double v) {
    return round_half_even(v * 10) / 10;
}

// Heading change per kilometre between the chords before and after each drawn point: 1000 / R.
json curvature_json(const std::vector<double>& xs, const std::vector<double>& ys, double step) {
    json out = json::array();
    for (std::size_t i = 0; i < xs.size(); ++i) {
        if (i == 0 || i + 1 >= xs.size() || std::isnan(xs[i - 1]) || std::isnan(xs[i + 1]) ||
            std::isnan(xs[i])) {
            out.push_back(0);
            continue;
        }
        const double a = std::atan2(ys[i] - ys[i - 1], xs[i] - xs[i - 1]);
        double turn = std::atan2(ys[i + 1] - ys[i], xs[i + 1] - xs[i]) - a;
        if (turn > std::numbers::pi) turn -= 2 * std::numbers::pi;
        if (turn < -std::numbers::pi) turn += 2 * std::numbers::pi;
        out.push_back(round_half_even(turn / step * 1000 * 1000) / 1000);
    }
    return out;
}

json plan_json(const line_profile_t* profile) {
    if (profile == nullptr || profile->points() == 0) return nullptr;
    const std::size_t points = profile->points();
    const std::size_t step =
        std::max<std::size_t>(1, (points + view_plan_point_budget - 1) / view_plan_point_budget);
    std::vector<double> xs, ys;
    for (std::size_t p = 0; p < points; p += step) {
        const bool known = !profile->x(p).is_empty() && !profile->y(p).is_empty();
        xs.push_back(known ? profile->x(p).as_double() : NAN);
        ys.push_back(known ? profile->y(p).as_double() : NAN);
    }
    json x = json::array(), y = json::array();
    for (std::size_t i = 0; i < xs.size(); ++i) {
        x.push_back(std::isnan(xs[i]) ? json(nullptr) : json(tenth(xs[i])));
        y.push_back(std::isnan(ys[i]) ? json(nullptr) : json(tenth(ys[i])));
    }
    return {{"step", step},
            {"x", std::move(x)},
            {"y", std::move(y)},
            {"curvature", curvature_json(xs, ys, static_cast<double>(step))}};
}

// [first cell, last cell, reading] for each stretch of one value. The readers leave the last
// few cells unwritten (stored 0); that stretch is not line and is left out.
json runs_json(const route_grid_t& grid, const cell_profile& p) {
    std::vector<cell_run> runs = runs_of(grid, p.member);
    if (runs.size() > 1 && runs.back().value == 0 && !p.zero_is_none) runs.pop_back();
    json out = json::array();
    for (const cell_run& r : runs) out.push_back({r.first_cell, r.last_cell, p.reading(r.value)});
    return out;
}

}  // namespace

namespace {

std::string_view object_kind(std::uint8_t kind) {
    switch (kind) {
        case cell_kind::signal:
            return "signal";
        case cell_kind::slowdown_end:
            return "slowdown_end";
        case cell_kind::slowdown_start:
            return "slowdown_start";
        case cell_kind::slowdown_warning:
            return "slowdown_warning";
        case cell_kind::slowdown_prewarning:
            return "slowdown_prewarning";
        case cell_kind::speed_board:
            return "speed_board";
        case cell_kind::station_stop:
            return "station_stop";
        case cell_kind::code_point:
            return "code_point";
        case cell_kind::code_off_point:
            return "code_off_point";
        case cell_kind::direction_board:
            return "direction_board";
        default:
            return "other";
    }
}

// The values the page draws an object by, beside the words that describe it.
void add_drawn_values(const route_cell& c, const station_table_t* table, json& o) {
    switch (c.kind) {
        case cell_kind::signal:
            o["delayed"] = c.signal_delay != 0;
            break;
        case cell_kind::speed_board: {
            const speed_board_cell b{c};
            o["speeds"] = {unpack_speeds(b.speeds_a()).s_kmh, unpack_speeds(b.speeds_b()).s_kmh,
                           unpack_speeds(b.speeds_c()).s_kmh};
            break;
        }
        case cell_kind::slowdown_start:
        case cell_kind::slowdown_warning:
            o["speed"] = slowdown_cell{c}.speed_kmh();
            break;
        case cell_kind::station_stop:
            o["entry"] = station_entry_of(c);
            o["name"] = name_of(table, station_entry_of(c));
            break;
        case cell_kind::code_point:
            o["code"] = cab_code_of(c);
            break;
        case cell_kind::direction_board:
            o["lines"] = board_text_lines(name_of(table, board_text_entry_of(c)));
            break;
        default:
            break;
    }
}

// "FILE:LINE" of the record that made a thing, the file named as the diagnostics name it.
std::string source_text(const view_input& in, const source_location& where) {
    return in.files.of(where.file) + ":" + std::to_string(where.line);
}

void add_cell_source(const view_input& in, std::size_t cell, json& o) {
    if (in.places == nullptr) return;
    const auto it = in.places->cells.find(static_cast<std::int32_t>(cell));
    if (it != in.places->cells.end()) o["source"] = source_text(in, it->second);
}

// The station records in text order, matched to the table's entries by name: the table keeps
// the records' order, and a name written twice goes to each record in turn.
class station_sources {
  public:
    explicit station_sources(const view_input& in) : in_(in) {}
    std::optional<std::string> next(std::string_view name) {
        if (in_.places == nullptr) return std::nullopt;
        const auto& records = in_.places->stations;
        for (std::size_t i = at_; i < records.size(); ++i) {
            if (trimmed(records[i].first) != trimmed(name)) continue;
            at_ = i + 1;
            return source_text(in_, records[i].second);
        }
        return std::nullopt;
    }

  private:
    const view_input& in_;
    std::size_t at_ = 0;
};

// A slowdown reaches to the first end cell at or after its start, or to the grid's end.
json objects_json(const view_input& in) {
    const route_grid_t& grid = *in.grid;
    const station_table_t* table = in.table;
    json out = json::array();
    std::size_t end = 0;
    for (std::size_t i = 0; i < grid.size(); ++i) {
        const route_cell& c = grid[i];
        if (c.kind == cell_kind::empty || c.kind == cell_kind::mountain_marker) continue;
        const auto cell = static_cast<std::int64_t>(i);
        json o = {{"kind", object_kind(c.kind)},
                  {"cell", cell},
                  {"m", cell_start_m(cell)},
                  {"text", describe_cell(c, table)}};
        add_drawn_values(c, table, o);
        add_cell_source(in, i, o);
        if (c.kind == cell_kind::slowdown_start) {
            end = std::max(end, i);
            while (end + 1 < grid.size() && grid[end].kind != cell_kind::slowdown_end) ++end;
            o["end_m"] = cell_start_m(static_cast<std::int64_t>(end) + 1);
        }
        out.push_back(std::move(o));
    }
    return out;
}

// The stop cell of each station, by entry.
std::vector<std::int64_t> stop_cells(const route_grid_t* grid) {
    std::vector<std::int64_t> stops(station_slot::count, -1);
    if (grid == nullptr) return stops;
    for (std::size_t i = 0; i < grid->size(); ++i) {
        const route_cell& c = (*grid)[i];
        const int entry = station_entry_of(c);
        if (c.kind != cell_kind::station_stop || entry < 0 || entry >= station_slot::count) {
            continue;
        }
        auto& stop = stops[static_cast<std::size_t>(entry)];
        if (stop < 0) stop = static_cast<std::int64_t>(i);
    }
    return stops;
}

json stations_json(const view_input& in) {
    const station_table_t* table = in.table;
    json out = json::array();
    if (table == nullptr) return out;
    const std::vector<std::int64_t> stops = stop_cells(in.grid);
    station_sources sources(in);
    for (int i = 1; i < station_slot::count; ++i) {
        if (!is_station_entry(*table, i)) continue;
        const station_entry& e = (*table)[static_cast<std::size_t>(i)];
        const std::int64_t stop = stops[static_cast<std::size_t>(i)];
        out.push_back(
            {{"entry", i},
             {"name", cp850_to_utf8(e.name)},
             {"kind", e.kind},
             {"position", e.position},
             {"area", {e.area_start, e.area_end}},
             {"stop_m", stop < 0 ? json(nullptr) : json(cell_start_m(stop))},
             {"time", e.timetable_time == 0 ? json(nullptr) : json(clock_text(e.timetable_time))}});
        if (const auto source = sources.next(e.name)) out.back()["source"] = *source;
    }
    return out;
}

json diagnostics_json(const view_input& in) {
    json out = json::array();
    if (in.diagnostics == nullptr) return out;
    const station_table_t empty_table{};
    const station_table_t& table = in.table != nullptr ? *in.table : empty_table;
    for (const diagnostic& d : *in.diagnostics) {
        out.push_back({{"level", d.level == severity::error ? "error" : "warning"},
                       {"file", in.files.of(d.where.file)},
                       {"line", d.where.line},
                       {"column", d.where.column},
                       {"code", d.code},
                       {"message", diagnostic_text(d)},
                       {"text", format_diagnostic(d, in.files, table)},
                       {"position", d.has_position ? json(d.position) : json(nullptr)}});
    }
    return out;
}

json header_json(const view_input& in) {
    json h = {{"source", in.source}, {"line", ""}, {"train", ""}, {"length", nullptr}};
    if (in.table != nullptr) {
        h["line"] = cp850_to_utf8(line_header(*in.table).line_name());
        h["train"] = cp850_to_utf8(train_header(*in.table).train_number());
        h["length"] = train_and_line(*in.table).line_length();
    }
    h["cell"] = cell_length_m;
    h["cells"] = in.grid != nullptr ? in.grid->size() : 0;
    return h;
}

}  // namespace

nlohmann::json view_data(const view_input& in) {
    json data = {{"header", header_json(in)},
                 {"progressives", progressives_json(in.table)},
                 {"plan", plan_json(in.profile)},
                 {"stations", stations_json(in)},
                 {"diagnostics", diagnostics_json(in)}};
    json runs = json::object();
    json objects = json::array();
    if (in.grid != nullptr) {
        runs["gradient"] = runs_json(*in.grid, gradient_profile);
        runs["speed"] = runs_json(*in.grid, speed_limit_profile);
        runs["adhesion"] = runs_json(*in.grid, adhesion_profile);
        runs["mountain"] = runs_json(*in.grid, mountain_type_profile);
        objects = objects_json(in);
    }
    data["runs"] = std::move(runs);
    data["objects"] = std::move(objects);
    return data;
}

}  // namespace compattatore
