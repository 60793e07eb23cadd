// The train description: general train values, the speed-limit and adhesion profiles, stations,
// slowdowns, signals and cab-code points.

#include <optional>
#include <string>

#include "compiler/compile_context.hpp"
#include "compiler/placement.hpp"
#include "compiler/record_reader.hpp"
#include "compiler/text_match.hpp"
#include "ground/record_keywords.hpp"
#include "ground/result_codes.hpp"
#include "ground/roles.hpp"
#include "ground/rounding.hpp"
#include "ground/units.hpp"

namespace compattatore {

namespace {

constexpr int hyphen_skips = 2;

// A station needs room for its area past its position: its room check takes 800 m, not 100.
constexpr std::int32_t station_room = 800;
// The least gap from the end of one station's area to the start of the next one's.
constexpr std::int32_t station_spacing = 350;
constexpr std::int32_t station_length_step = 100;
// A station shorter than this, like the first station, keeps no param_b.
constexpr std::int32_t short_station = 600;
// Kinds from this one on are stations without a stop: an entry, but no stop cell and no marks.
constexpr std::uint8_t first_kind_without_stop = 25;

std::uint8_t stored_speed(std::int32_t kmh) {
    return round8u(kmh / 5.0);
}
std::uint8_t stored_adhesion(std::int32_t level) {
    return low8(level);
}

class train_reader : record_reader {
  public:
    train_reader(compile_context& c, std::string_view text)
        : record_reader(c, text, description_kind::train) {}

    void run() {
        positioned([this] { read(); });
    }

  private:
    void read();
    flow record(std::string_view item);
    flow signal();
    flow slowdown();
    flow code_point();
    flow station();
    void read_station_values(station_entry& e);
    void set_station_area(station_entry& e, std::int32_t n, std::int32_t length);
    flow lay_stop_cell(const station_entry& e, std::int32_t n, std::int32_t p);
    flow placed(std::int32_t code, std::int32_t position);
    void end_step();

    // A record's speed fill stops before the last cell; the end step's may still write it.
    profile_fill speed_{"speed limit", &route_cell::speed_limit, stored_speed};
    profile_fill adhesion_{"adhesion", &route_cell::adhesion, stored_adhesion};
    std::int32_t station_counter_ = 1;
};

void train_reader::read() {
    cur_.skip_separators();
    while (!cur_.at_end()) {
        if (contains_any_case(keyword(), section::general)) break;
    }
    if (read_records(hyphen_skips, [this](std::string_view item) { return record(item); })) {
        end_step();
    }
}

flow train_reader::record(std::string_view item) {
    record_tests tests(c_, item);
    const auto train = train_and_line(m_.station_table);
    const auto header = train_header(m_.station_table);
    tests.apply(train_keyword::braked_mass, [&] { train.braked_mass_percentage() = number(); });
    tests.apply(train_keyword::coach_count, [&] { train.coach_count() = number(); });
    tests.apply(train_keyword::speed_limit, [&] { return profile_record(speed_, m_.last_cell); });
    tests.apply(train_keyword::adhesion,
                [&] { return profile_record(adhesion_, m_.last_cell + 1); });
    tests.apply(train_keyword::clock, [&] {
        header.clock_hours() = number<std::int16_t>();
        header.clock_minutes() = number<std::int16_t>();
        header.clock_seconds() = number<std::int16_t>();
    });
    tests.apply(train_keyword::sand, [&] { header.sand_supply() = number<std::int16_t>(); });
    tests.apply(train_keyword::signal, [&] { return signal(); });
    tests.apply(train_keyword::slowdown, [&] { return slowdown(); });
    tests.apply(train_keyword::code_point, [&] { return code_point(); });
    tests.apply(train_keyword::station, [&] { return station(); });
    return tests.outcome();
}

// Out-of-grid codes end the records like a failed room check; any other code, and a code left by
// the line description, ends the read at once.
flow train_reader::placed(std::int32_t code, std::int32_t position) {
    if (code == result::beyond_route_grid || code == result::before_route_grid) {
        c_.placed_with_code(code, position);
        return flow::to_end;
    }
    if (code > 0) {
        c_.discard_train();
        c_.placed_with_code(code, position);
        return flow::stop;
    }
    if (m_.result_code > 0) {
        c_.discard_train();
        m_.error_position = position;
        return flow::stop;
    }
    return flow::go_on;
}

flow train_reader::signal() {
    const auto r = numbers<signal_record>();
    if (beyond_grid(m_, r.position)) return beyond_end(r.position);
    return placed(memo_segnale(m_, r), r.position);
}

flow train_reader::slowdown() {
    const auto r = numbers<slowdown_record>();
    if (beyond_grid(m_, r.start)) return beyond_end(r.start);
    return placed(memo_rallentamento(m_, r), r.start);
}

flow train_reader::code_point() {
    const std::int32_t p = number();
    const std::int32_t k = number();
    if (beyond_grid(m_, p)) return beyond_end(p);
    const std::int32_t i = round32(in_cells(p));
    if (i < 0) return outside_grid(result::before_route_grid, p);
    route_cell& point = cell(i);
    if (!is_free(point)) return stop(result::code_point_cell_taken, p);
    // The kind first: a code that does not fit its 16 bits leaves the kind laid.
    if (k >= 1) {
        point.kind = cell_kind::code_point;
        cab_code_of(point) = fit<std::int16_t>(k);
    } else {
        point.kind = cell_kind::code_off_point;
    }
    return flow::go_on;
}

// Each value is stored as it is read, so the values before a failing check stay.
flow train_reader::station() {
    const std::int32_t n = station_counter_;
    // Stations and board texts share entries 1 to 80 from both ends.
    if (n >= c_.board_counter) return stop(result::station_table_full);
    station_entry& e = m_.station_table[static_cast<std::size_t>(n)];

    const std::int32_t p = number();
    e.position = p;
    if (beyond_grid(m_, p, station_room)) return beyond_end(p);
    if (p % cell_length_m != 0) return stop(result::station_position_not_multiple_of_50, p);
    e.kind = number<std::uint8_t>();
    const std::int32_t length = number();
    if (length % station_length_step != 0) {
        return stop(result::station_length_not_multiple_of_100, p);
    }
    read_station_values(e);
    set_station_area(e, n, length);
    if (e.kind < first_kind_without_stop) {
        if (const flow f = lay_stop_cell(e, n, p); f != flow::go_on) return f;
    }

    if (n > 1 && sub32(e.area_start, station_spacing) <
                     m_.station_table[static_cast<std::size_t>(n - 1)].area_end) {
        return stop(result::stations_too_close, p);
    }
    station_counter_ = n + 1;
    if (n + 1 >= c_.board_counter) return stop(result::station_table_full);
    return flow::go_on;
}

// The values after the kind and the length, in file order, then the timetable time.
void train_reader::read_station_values(station_entry& e) {
    e.param_a = number<std::uint8_t>();
    e.param_b = number<std::uint8_t>();
    e.end_extension = number<std::uint8_t>();
    e.group_a1 = number<std::int16_t>();
    e.group_a2 = number<std::int16_t>();
    e.group_a3 = number<std::uint8_t>();
    e.group_b1 = number<std::int16_t>();
    e.group_b2 = number<std::int16_t>();
    e.group_b3 = number<std::int16_t>();
    e.param_c = number<std::uint8_t>();
    const std::int32_t hour = number();
    const std::int32_t minute = number();
    const std::int32_t second = number();
    e.name = fitting_name(cur_.read_text_item());
    e.timetable_time = add32(mul32(add32(mul32(hour, 60), minute), 60), second);
}

// Where the area lies about the position P, by kind: 5 and 6 reach back the length and 150 m
// ahead, 7 and 8 the length both ways, and every other kind is centred on P and ends 50 m further
// with an end extension. Kinds 5 to 8 keep no end extension.
void train_reader::set_station_area(station_entry& e, std::int32_t n, std::int32_t length) {
    const std::int32_t p = e.position;
    switch (e.kind) {
        case 5:
        case 6:
            e.area_start = sub32(p, length);
            e.area_end = add32(p, 150);
            e.end_extension = 0;
            break;
        case 7:
        case 8:
            e.area_start = sub32(p, length);
            e.area_end = add32(p, length);
            e.end_extension = 0;
            break;
        default:
            // length is a multiple of 100, so the halves are exact.
            e.area_start = sub32(p, length / 2);
            e.area_end = add32(p, length / 2);
            if (e.end_extension != 0) e.area_end = add32(e.area_end, 50);
            break;
    }
    if (length < short_station) e.param_b = 0;
    // After the area: a first station with the centred rule still got its 50 m.
    if (n == 1) {
        e.end_extension = 0;
        e.param_b = 0;
    }
}

// The stop cell is the cell before the area's end, laid whatever the cell holds; kinds other
// than 5 and 6 also get the approach marks 81 to 84 on the four cells before it.
flow train_reader::lay_stop_cell(const station_entry& e, std::int32_t n, std::int32_t p) {
    const double stop_at = in_cells(e.area_end) - 1;
    if (stop_at <= 1) return stop(result::stop_cell_before_cell_2);
    const std::int32_t stop_cell = round32(stop_at);
    // A long station may reach past the grid even though its position passed the room check.
    if (stop_cell > m_.last_cell) return beyond_end(p);
    if (e.kind != 5 && e.kind != 6) {
        for (int j = 1; j <= 4; ++j) {
            const double t = in_cells(e.area_end) - j - 1;
            if (t > 1) {
                const std::int32_t mark_cell = round32(t);
                if (mark_cell <= m_.last_cell) {
                    cell(mark_cell).approach_mark = static_cast<std::uint8_t>(80 + j);
                }
            }
        }
    }
    route_cell& stop_here = cell(stop_cell);
    stop_here.kind = cell_kind::station_stop;
    station_entry_of(stop_here) = static_cast<std::int16_t>(n);
    return flow::go_on;
}

// After the last record, or after a record beyond the grid: the profiles run on to the end of the
// grid, and the kilometre progressives are checked.
void train_reader::end_step() {
    c_.discard_train();
    fill_profile(speed_, m_.last_cell - 2, m_.last_cell + 1);
    fill_profile(adhesion_, m_.last_cell - 2, m_.last_cell + 1);
    for (const int slot : station_slot::progressives) {
        const auto p = progressive(m_.station_table, slot);
        if (p.start() % cell_length_m != 0 || p.offset() % cell_length_m != 0) {
            c_.fail_in_line_description(result::progressive_not_multiple_of_50);
            break;
        }
    }
}

}  // namespace

void read_train_description(compile_context& c) {
    c.reading = description_kind::train;
    // Open before the read: a text that is there but cannot be read is still to be removed.
    c.train_text = text_state::open;
    std::optional<std::string> text = c.files.read_train_description();
    if (!text.has_value()) {
        c.train_text = text_state::missing;
        throw compile_abort("the train description is missing", text_location{});
    }
    train_reader reader(c, *text);
    reader.run();
}

}  // namespace compattatore
