// The train description: general train values, the speed-limit and adhesion profiles, stations,
// slowdowns, signals and cab-code points.

#include <optional>
#include <string>

#include "compiler/compile_context.hpp"
#include "compiler/placement.hpp"
#include "compiler/text_match.hpp"
#include "ground/result_codes.hpp"
#include "ground/rounding.hpp"

namespace compattatore {

namespace {

enum class flow { go_on, to_end_step, stop };

constexpr int hyphen_skips = 2;
constexpr std::int32_t station_spacing = 350;
constexpr std::int32_t station_room = 800;  // a station needs room for its area past its position

class train_reader {
  public:
    train_reader(compile_context& c, std::string_view text)
        : c_(c), m_(c.m), g_(c.m.last_cell), cur_(text) {}

    void run() {
        try {
            read();
        } catch (const value_overflow&) {
            c_.failure_at = cur_.last_start();
            throw;
        }
    }

  private:
    std::string_view keyword() {
        const std::string_view item = cur_.read_text_item();
        c_.record_start = cur_.last_start();
        return item;
    }
    template <class Int = std::int32_t>
    Int number() {
        const std::string_view item = cur_.read_number_item();
        return fit<Int>(parse_whole_number(item, cur_.last_start()));
    }
    route_cell& cell(std::int32_t i) { return m_.route_grid[static_cast<std::size_t>(i)]; }

    flow stop(std::int32_t code) {
        c_.discard_train();
        c_.fail(code, c_.record_start);
        return flow::stop;
    }
    flow stop(std::int32_t code, std::int32_t position) {
        c_.discard_train();
        c_.fail(code, position, c_.record_start);
        return flow::stop;
    }
    flow beyond_end(std::int32_t position) {
        c_.fail(result::beyond_route_grid, position, c_.record_start);
        return flow::to_end_step;
    }
    flow after_placement(std::int32_t code, std::int32_t position);

    void read();
    flow record(std::string_view item);
    flow speed_limit();
    flow adhesion();
    flow signal();
    flow slowdown();
    flow code_point();
    flow station();
    void end_step();

    void fill_speed_until(std::int32_t end_cell, std::int32_t halt_at);
    void fill_adhesion_until(std::int32_t end_cell);
    // A profile record below the one before it fills from where that one left off: a warning.
    void note_order(const char* what, std::int32_t p, std::optional<std::int32_t>& last) {
        if (c_.report != nullptr && last.has_value() && p < *last) {
            c_.note(reader_event::out_of_order,
                    std::string(what) + " at " + std::to_string(p) + " m comes after one at " +
                        std::to_string(*last) + " m: records out of ascending order",
                    c_.record_start);
        }
        last = p;
    }

    compile_context& c_;
    scenario_model& m_;
    const std::int32_t g_;  // the last cell
    text_cursor cur_;
    std::int32_t speed_cursor_ = 0;
    std::int32_t adhesion_cursor_ = 0;
    std::int32_t current_speed_ = 0;
    std::int32_t current_adhesion_ = 0;
    std::int32_t station_counter_ = 1;
    std::optional<std::int32_t> last_speed_at_;
    std::optional<std::int32_t> last_adhesion_at_;
};

void train_reader::read() {
    cur_.skip_separators();
    while (!cur_.at_end()) {
        if (contains_any_case(keyword(), "[generale]")) break;
    }
    while (const auto item = next_keyword(c_, cur_, hyphen_skips, [this] { return keyword(); })) {
        const flow f = record(*item);
        if (f == flow::stop) return;
        if (f == flow::to_end_step) break;
    }
    end_step();
}

// Each test is made on its own: an item naming two records is read as both, one after the other.
flow train_reader::record(std::string_view item) {
    bool matched = false;
    flow f = flow::go_on;
    station_entry& train_and_line = m_.station_table[station_slot::train_and_line];
    station_entry& header = m_.station_table[station_slot::train_header];
    if (contains_any_case(item, "frenata") && contains_any_case(item, "massa")) {
        matched = true;
        train_and_line.area_start = number();
    }
    if (contains_any_case(item, "vetture")) {
        matched = true;
        train_and_line.position = number();
    }
    if (contains_any_case(item, "velocit")) {
        matched = true;
        if ((f = speed_limit()) != flow::go_on) return f;
    }
    if (contains_any_case(item, "aderenza")) {
        matched = true;
        if ((f = adhesion()) != flow::go_on) return f;
    }
    if (contains_any_case(item, "orologio")) {
        matched = true;
        header.group_b1 = number<std::int16_t>();
        header.group_b2 = number<std::int16_t>();
        header.group_b3 = number<std::int16_t>();
    }
    if (contains_any_case(item, "sabbia")) {
        matched = true;
        header.group_a1 = number<std::int16_t>();
    }
    if (contains_any_case(item, "segnale")) {
        matched = true;
        if ((f = signal()) != flow::go_on) return f;
    }
    if (contains_any_case(item, "rallentamento")) {
        matched = true;
        if ((f = slowdown()) != flow::go_on) return f;
    }
    if (contains_any_case(item, "abbattimento")) {
        matched = true;
        if ((f = code_point()) != flow::go_on) return f;
    }
    if (contains_any_case(item, "stazione")) {
        matched = true;
        if ((f = station()) != flow::go_on) return f;
    }
    if (!matched) c_.note(reader_event::keyword_matches_nothing, item, c_.record_start);
    return flow::go_on;
}

// The body runs at least once. A record's fill stops before the last cell (halt_at = G); the
// end step's fill may still write the last cell, never beyond it (halt_at = G + 1).
void train_reader::fill_speed_until(std::int32_t end_cell, std::int32_t halt_at) {
    const std::uint8_t fifth = round8u(current_speed_ / 5.0);
    do {
        if (speed_cursor_ >= halt_at) break;
        cell(speed_cursor_).speed_limit = fifth;
        ++speed_cursor_;
    } while (speed_cursor_ < end_cell);
}

void train_reader::fill_adhesion_until(std::int32_t end_cell) {
    const std::uint8_t level = low8(current_adhesion_);
    do {
        if (adhesion_cursor_ > g_) break;
        cell(adhesion_cursor_).adhesion = level;
        ++adhesion_cursor_;
    } while (adhesion_cursor_ < end_cell);
}

flow train_reader::speed_limit() {
    const std::int32_t p = number();
    const std::int32_t s = number();
    if (beyond_grid(m_, p)) return beyond_end(p);
    note_order("speed limit", p, last_speed_at_);
    const std::int32_t n = round32(p / 50.0);
    if (n > 0) fill_speed_until(n, g_);
    current_speed_ = s;
    return flow::go_on;
}

flow train_reader::adhesion() {
    const std::int32_t p = number();
    const std::int32_t a = number();
    if (beyond_grid(m_, p)) return beyond_end(p);
    note_order("adhesion", p, last_adhesion_at_);
    const std::int32_t n = round32(p / 50.0);
    if (n > 0) fill_adhesion_until(n);
    current_adhesion_ = a;
    return flow::go_on;
}

// Out-of-grid codes end the records like a failed room check; any other code, and a code left by
// the line description, ends the read at once.
flow train_reader::after_placement(std::int32_t code, std::int32_t position) {
    if (code == result::beyond_route_grid || code == result::before_route_grid) {
        c_.placed_with_code(code, position);
        return flow::to_end_step;
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
    const std::int32_t posizione = number();
    std::int32_t sx = number(), s1 = number(), s2 = number(), s3 = number(), rapp = number();
    std::int32_t dx = number(), d1 = number(), d2 = number(), d3 = number(), tempo = number();
    if (beyond_grid(m_, posizione)) return beyond_end(posizione);
    return after_placement(memo_segnale(m_, posizione, sx, s1, s2, s3, rapp, dx, d1, d2, d3, tempo),
                           posizione);
}

flow train_reader::slowdown() {
    const std::int32_t x = number();
    std::int32_t v = number(), l = number(), f_tt = number();
    const std::int32_t f_ta = number();
    std::int32_t d_v = number();
    if (beyond_grid(m_, x)) return beyond_end(x);
    return after_placement(memo_rallentamento(m_, x, v, l, f_tt, f_ta, d_v), x);
}

flow train_reader::code_point() {
    const std::int32_t p = number();
    const std::int32_t k = number();
    if (beyond_grid(m_, p)) return beyond_end(p);
    const std::int32_t i = round32(p / 50.0);
    if (i < 0) {
        c_.fail(result::before_route_grid, p, c_.record_start);
        return flow::to_end_step;
    }
    route_cell& rc = cell(i);
    if (!is_free(rc)) return stop(result::code_point_cell_taken, p);
    if (k >= 1) {
        const std::int16_t code = fit<std::int16_t>(k);
        rc.kind = cell_kind::code_point;
        rc.value_a = code;
    } else {
        rc.kind = cell_kind::code_off_point;
    }
    return flow::go_on;
}

flow train_reader::station() {
    const std::int32_t n = station_counter_;
    // Stations and board texts share entries 1 to 80 from both ends.
    if (n >= c_.board_counter) return stop(result::station_table_full);
    station_entry& e = m_.station_table[static_cast<std::size_t>(n)];

    const std::int32_t p = number();
    e.position = p;
    if (beyond_grid(m_, p, station_room)) return beyond_end(p);
    if (p % 50 != 0) return stop(result::station_position_not_multiple_of_50, p);
    e.kind = number<std::uint8_t>();
    const std::int32_t length = number();
    if (length % 100 != 0) return stop(result::station_length_not_multiple_of_100, p);
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
            // Centred on the position; length is a multiple of 100, so the halves are exact.
            e.area_start = sub32(p, length / 2);
            e.area_end = add32(p, length / 2);
            if (e.end_extension != 0) e.area_end = add32(e.area_end, 50);
            break;
    }
    if (length < 600) e.param_b = 0;
    if (n == 1) {
        e.end_extension = 0;
        e.param_b = 0;
    }

    if (e.kind < 25) {
        const double stop_at = e.area_end / 50.0 - 1;
        if (stop_at <= 1) return stop(result::stop_cell_before_cell_2);
        const std::int32_t stop_cell = round32(stop_at);
        // A long station may reach past the grid even though its position passed the room check.
        if (stop_cell > g_) return beyond_end(p);
        if (e.kind != 5 && e.kind != 6) {
            for (int j = 1; j <= 4; ++j) {
                const double t = e.area_end / 50.0 - j - 1;
                if (t > 1) {
                    const std::int32_t mark_cell = round32(t);
                    if (mark_cell <= g_)
                        cell(mark_cell).approach_mark = static_cast<std::uint8_t>(80 + j);
                }
            }
        }
        route_cell& rc = cell(stop_cell);
        rc.kind = cell_kind::station_stop;
        rc.value_a = static_cast<std::int16_t>(n);
    }

    if (n > 1 && sub32(e.area_start, station_spacing) <
                     m_.station_table[static_cast<std::size_t>(n - 1)].area_end) {
        return stop(result::stations_too_close, p);
    }
    station_counter_ = n + 1;
    if (n + 1 >= c_.board_counter) return stop(result::station_table_full);
    return flow::go_on;
}

// After the last record, or after a record beyond the grid: the profiles run on to the end of the
// grid, and the kilometre progressives are checked.
void train_reader::end_step() {
    c_.discard_train();
    fill_speed_until(g_ - 2, g_ + 1);
    fill_adhesion_until(g_ - 2);
    for (int slot = station_slot::progressive_three; slot <= station_slot::progressive_one; ++slot) {
        const station_entry& e = m_.station_table[static_cast<std::size_t>(slot)];
        if (e.area_start % 50 != 0 || e.area_end % 50 != 0) {
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
