// Where a record's objects go: inside the grid, onto cells no earlier record took, a station far
// enough from the one before, and positions that land where they were written.

#include <string>

#include "compiler/placement.hpp"
#include "ground/diagnostic_kinds.hpp"
#include "ground/keyword_match.hpp"
#include "ground/result_codes.hpp"
#include "ground/rounding.hpp"
#include "ground/units.hpp"
#include "toolkit/check_pass.hpp"

namespace compattatore {

namespace {

namespace lw = line_keyword;
namespace tw = train_keyword;

std::string metres(std::int64_t m) {
    return std::to_string(m) + " m";
}

bool is(const read_record& r, const record_keyword& k) {
    return r.schema->keyword == &k;
}

std::int32_t value(const read_record& r, std::size_t i) {
    return static_cast<std::int32_t>(r.numbers[i]);
}

std::int32_t nearest_cell(std::int32_t p) {
    return round32(in_cells(p));
}

std::string line_of(const source_location& where) {
    return "line " + std::to_string(where.line);
}

class placement_check {
  public:
    placement_check(check_state& s, const read_record& r) : s_(s), r_(r) {}

    bool grid();
    bool inside(std::int32_t p, std::int32_t margin = 100);
    void moved(std::int32_t cell, std::int32_t offset);
    bool take(std::int32_t cell, std::int32_t code, const std::string& what);
    void slowdown();
    void station();
    void timetable(station_seen& st);
    void curve(std::string_view keyword);
    void clock();

  private:
    diagnostic& at_record(std::int32_t code, std::string_view kind, std::string message) {
        diagnostic& d = s_.error(code, kind, r_.where, r_.keyword_length, std::move(message));
        d.has_position = true;
        d.position = value(r_, 0);
        return d;
    }
    check_state& s_;
    const read_record& r_;
};

// The grid exists once the line description gave its length.
bool placement_check::grid() {
    if (s_.last_cell.has_value()) return true;
    if (r_.where.file == description_kind::train || s_.grid_missing_reported) return false;
    s_.grid_missing_reported = r_.where;
    const source_location at = s_.line_length_typo.value_or(r_.where);
    diagnostic& d =
        s_.error(result::compiler_failure, problem::no_line_length, at,
                 s_.line_length_typo ? s_.line_length_typo_length : r_.keyword_length,
                 "the line description gives no " + quoted(lw::line_length.written) + " in its " +
                     std::string(section::general) + " section, and the " +
                     std::string(r_.schema->name) + " record needs the route grid it sizes");
    d.help = "add `" + std::string(lw::line_length.written) + ", <metres>` after " +
             std::string(section::general);
    if (s_.line_length_typo) d.notes.push_back({r_.where, 0, "the first record that needs it"});
    return false;
}

bool placement_check::inside(std::int32_t p, std::int32_t margin) {
    const double last = static_cast<double>(*s_.last_cell);
    if (!(last < in_cells(static_cast<double>(p) + margin))) return true;
    at_record(result::beyond_route_grid, problem::beyond_grid,
              "the " + std::string(r_.schema->name) + " at " + metres(p) +
                  " leaves no room before the end of the route grid at " +
                  metres(static_cast<std::int64_t>(*s_.last_cell) * cell_length_m))
        .help =
        "the grid runs 7000 m past the line length; the records' positions must lie "
        "inside it";
    return false;
}

// A position that is not on the 50 m grid goes to the nearest cell without a word.
void placement_check::moved(std::int32_t cell, std::int32_t offset) {
    const std::int32_t p = value(r_, 0);
    const std::int64_t placed = std::int64_t{cell - offset} * cell_length_m;
    if (placed == p) return;
    s_.warning(problem::moved_to_grid, r_.at[0], r_.lengths[0],
               "the " + std::string(r_.schema->name) + " at " + metres(p) + " is placed at " +
                   metres(placed) + ": positions go to the nearest 50 m cell")
        .help = "write " + std::to_string(placed) + " to say where it stands";
}

// False when an earlier record holds the cell.
bool placement_check::take(std::int32_t cell, std::int32_t code, const std::string& what) {
    if (cell < 0) {
        at_record(result::before_route_grid, problem::before_grid,
                  "the " + std::string(r_.schema->name) + " at " + metres(value(r_, 0)) +
                      " lies before the start of the route grid");
        return false;
    }
    const auto [it, fresh] = s_.cells.try_emplace(cell, occupant{"the " + what, r_.where});
    if (fresh) return true;
    diagnostic& d = at_record(code, problem::collision,
                              "the " + what + " needs cell " + std::to_string(cell) + ", which " +
                                  it->second.what + " already holds");
    d.notes.push_back({it->second.where, 0,
                       "the cell holds " + it->second.what + " from " + line_of(it->second.where)});
    return false;
}

// The warning cell 1200 m before the start (from 1500 m on), the start and end cells, then the
// four pre-warning cells, in the order the placement tests them.
void placement_check::slowdown() {
    const std::int32_t x = value(r_, 0);
    const std::string what = "slowdown at " + metres(x);
    if (x > 1500) {
        if (!take(cell_after(x - 1200), result::warning_cell_taken, what + " (its warning)")) {
            return;
        }
    }
    if (!take(cell_after(x), result::start_cell_taken, what + " (its start)")) return;
    const std::int32_t end = cell_after(std::int64_t{x} + value(r_, 2));
    if (end != cell_after(x) && !take(end, result::end_cell_taken, what + " (its end)")) return;
    if (x <= 1500 || value(r_, 4) == 0) return;
    const std::int32_t base = nearest_cell(x - 1200);
    for (std::int32_t i = 0; i <= 3; ++i) {
        if (!take(base - i, result::prewarning_cells_taken, what + " (its pre-warnings)")) return;
    }
}

// The area about the position by kind, the gap to the station before, and the stop cell, which
// is laid whatever the cell holds.
void placement_check::station() {
    const std::int32_t p = value(r_, 0);
    const std::int32_t kind = value(r_, 1);
    const std::int32_t length = value(r_, 2);
    station_seen st{r_.where, 0, 0, r_.text};
    std::int32_t area_start = p - length / 2;
    st.area_end = p + length / 2 + (value(r_, 5) != 0 ? 50 : 0);
    if (kind == 5 || kind == 6) {
        area_start = p - length;
        st.area_end = p + 150;
    } else if (kind == 7 || kind == 8) {
        area_start = p - length;
        st.area_end = p + length;
    }
    timetable(st);
    const bool too_close = !s_.stations.empty() && area_start - 350 < s_.stations.back().area_end;
    if (too_close) {
        diagnostic& d =
            at_record(result::stations_too_close, problem::stations_too_close,
                      "station " + quoted(r_.text) + ": its area starts at " + metres(area_start) +
                          ", less than 350 m after the area "
                          "of the station before ends at " +
                          metres(s_.stations.back().area_end));
        d.notes.push_back({s_.stations.back().where, 0,
                           "the station before, " + quoted(s_.stations.back().name)});
    }
    s_.stations.push_back(st);
    if (too_close || kind >= 25) return;
    const double stop_at = in_cells(st.area_end) - 1;
    if (stop_at <= 1) {
        at_record(result::stop_cell_before_cell_2, problem::result_code,
                  "station " + quoted(r_.text) + ": its stop cell falls before cell 2");
        return;
    }
    const std::int32_t stop = round32(stop_at);
    if (stop > *s_.last_cell) {
        inside(p, 1000000);
        return;
    }
    s_.cells.insert_or_assign(stop, occupant{"the stop of station " + quoted(r_.text), r_.where});
}

std::string clock_text(std::int32_t h, std::int32_t m, std::int32_t sec) {
    const auto two = [](std::int32_t v) {
        std::string out(v >= 0 && v < 10 ? 1 : 0, '0');
        return out.append(std::to_string(v));
    };
    return std::to_string(h) + ":" + two(m) + ":" + two(sec);
}

void placement_check::timetable(station_seen& st) {
    const std::int32_t h = value(r_, 13), m = value(r_, 14), sec = value(r_, 15);
    if (h == 0 && m == 0 && sec == 0) return;
    const std::int32_t length = r_.at[15].line == r_.at[13].line
                                    ? r_.at[15].column + r_.lengths[15] - r_.at[13].column
                                    : r_.lengths[13];
    if (h < 0 || h > 23 || m < 0 || m > 59 || sec < 0 || sec > 59) {
        s_.warning(problem::time_of_day, r_.at[13], length,
                   "station " + quoted(r_.text) + ": timetable time " + clock_text(h, m, sec) +
                       " is not a time of the day")
            .help = "hours go from 0 to 23, minutes and seconds from 0 to 59";
    }
    st.time = h * 3600 + m * 60 + sec;
    const auto before = std::find_if(s_.stations.rbegin(), s_.stations.rend(),
                                     [](const station_seen& b) { return b.time != 0; });
    if (before == s_.stations.rend() || st.time >= before->time) return;
    diagnostic& d = s_.warning(problem::timetable_backwards, r_.at[13], length,
                               "station " + quoted(r_.text) + " is timed " + clock_text(h, m, sec) +
                                   ", earlier than the station before it");
    d.notes.push_back(
        {before->where, 0,
         quoted(before->name) + " is timed " +
             clock_text(before->time / 3600, before->time / 60 % 60, before->time % 60)});
}

void placement_check::clock() {
    const std::int32_t h = value(r_, 0), m = value(r_, 1), sec = value(r_, 2);
    if (h >= 0 && h <= 23 && m >= 0 && m <= 59 && sec >= 0 && sec <= 59) return;
    s_.warning(problem::time_of_day, r_.at[0], 0,
               "start clock " + clock_text(h, m, sec) + " is not a time of the day")
        .help = "hours go from 0 to 23, minutes and seconds from 0 to 59";
}

// The class is the lowest digit 1 to 6 in the keyword and an `s` anywhere turns it left: every
// other letter is ignored, which hides typos.
void placement_check::curve(std::string_view keyword) {
    std::string rest;
    for (const char c : keyword) rest += fold_case(c);
    rest.erase(0, rest.find("curva") + 5);
    std::string ignored;
    std::string digits;
    bool sided = false;
    for (const char c : rest) {
        if (c >= '1' && c <= '6') {
            digits += c;
        } else if ((c == 's' || c == 'd') && !sided) {
            sided = true;
        } else if (c != ' ' && c != '\t') {
            ignored += c;
        }
    }
    if (digits.empty()) {
        at_record(result::bad_curve, problem::curve_class_missing,
                  quoted(keyword) + " carries no class digit 1 to 6")
            .help = "write the side and the class, e.g. `curvad4`";
        return;
    }
    if (ignored.empty() && digits.size() == 1) return;
    const bool left = contains_any_case(keyword, "s");
    s_.warning(problem::curve_letters, r_.where, static_cast<std::int32_t>(keyword.size()),
               quoted(keyword) + ": " +
                   (ignored.empty() ? std::string() : quoted(ignored) + " is ignored; ") +
                   "read as a " + (left ? "left" : "right") + " curve of class " +
                   std::string(1, *std::min_element(digits.begin(), digits.end())))
        .help = "write `curva`, `s` (left) or `d` (right), and one class digit";
}

}  // namespace

void check_placement(check_state& s, const read_record& r, std::string_view keyword) {
    placement_check c(s, r);
    if (is(r, lw::gradient)) s.gradient_seen = true;
    if (is(r, tw::adhesion)) s.adhesion_seen = true;
    if (is(r, tw::clock)) {
        c.clock();
        return;
    }
    if (r.schema->fields.empty() || r.schema->general) return;
    if (r.schema->fields[0].unit != "m" || is(r, tw::braked_mass)) return;
    if (!c.grid()) return;
    const std::int32_t p = value(r, 0);
    const std::string at = std::string(r.schema->name) + " at " + metres(p);
    if (is(r, lw::curve)) {
        if (c.inside(p)) c.curve(keyword);
        return;
    }
    if (is(r, tw::station)) {
        if (c.inside(p, 800)) c.station();
        return;
    }
    if (!c.inside(p)) return;
    if (is(r, lw::gradient) || is(r, tw::speed_limit) || is(r, tw::adhesion) ||
        is(r, tw::code_point)) {
        c.moved(nearest_cell(p), 0);
        if (is(r, tw::code_point)) c.take(nearest_cell(p), result::code_point_cell_taken, at);
        return;
    }
    if (is(r, lw::mountain)) return;
    c.moved(cell_after(p), 1);
    if (is(r, lw::speed_board)) c.take(cell_after(p), result::speed_board_cell_taken, at);
    if (is(r, lw::direction_board)) c.take(cell_after(p), result::direction_board_cell_taken, at);
    if (is(r, tw::signal)) c.take(cell_after(p), result::signal_cell_taken, at);
    if (is(r, tw::slowdown)) c.slowdown();
}

}  // namespace compattatore
