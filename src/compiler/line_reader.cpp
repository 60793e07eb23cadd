// The line description: general values, then the record section that lays gradients, the plan
// of the line, mountains and boards into the grid.

#include <array>
#include <optional>
#include <string>
#include <utility>

#include "compiler/compile_context.hpp"
#include "compiler/placement.hpp"
#include "compiler/text_match.hpp"
#include "ground/result_codes.hpp"
#include "ground/rounding.hpp"

namespace compattatore {

namespace {

enum class flow { go_on, to_completion, stop };

constexpr std::int32_t max_line_length = 1000000;
constexpr std::int32_t max_profile_counter = 1000000;
constexpr std::int32_t general_hyphen_skips = 10;
constexpr std::int32_t record_hyphen_skips = 2;

// Heading change per metre of the curve classes 1 to 6.
constexpr std::array<double, 6> curve_class_curvature{0.0001, 0.0002, 0.0004, 0.001, 0.002, 0.003};

bool opens_section(std::string_view field) {
    while (!field.empty() && (field.front() == ' ' || field.front() == '\t'))
        field.remove_prefix(1);
    return contains(field, "[") && contains(field, "]") && !field.starts_with('-');
}

class line_reader {
  public:
    line_reader(compile_context& c, std::string_view text) : c_(c), m_(c.m), cur_(text) {}

    bool run() {
        try {
            return read();
        } catch (const value_overflow&) {
            c_.failure_at = cur_.last_start();
            throw;
        }
    }

  private:
    std::string_view keyword() {
        const std::string_view field = cur_.read_field();
        c_.record_start = cur_.last_start();
        return field;
    }
    std::int32_t number() {
        const std::string_view field = cur_.read_field();
        return fit<std::int32_t>(parse_whole_number(field, cur_.last_start()));
    }

    // Stops the compile: the train description is not read.
    flow stop(std::int32_t code) {
        c_.discard_line();
        c_.fail(code, c_.record_start);
        return flow::stop;
    }
    flow stop(std::int32_t code, std::int32_t position) {
        c_.discard_line();
        c_.fail(code, position, c_.record_start);
        return flow::stop;
    }
    // A code a placement recorded: out-of-grid codes end the records like a failed room check,
    // every other one stops the compile.
    flow after_placement(std::int32_t code, std::int32_t position) {
        if (code == 0) return flow::go_on;
        c_.placed_with_code(code, position);
        if (code == result::beyond_route_grid || code == result::before_route_grid) {
            return flow::to_completion;
        }
        c_.discard_line();
        return flow::stop;
    }
    flow beyond_end(std::int32_t position) {
        c_.fail(result::beyond_route_grid, position, c_.record_start);
        return flow::to_completion;
    }

    bool read();
    flow general_record(std::string_view kw);
    flow line_length();
    flow repetition(std::string_view kw);
    void progressive(int slot);
    flow record(std::string_view kw);
    flow gradient();
    flow curve(std::string_view kw);
    flow mountain();
    flow speed_board();
    flow direction_board();
    void complete();

    void fill_gradient_until(std::int32_t end_cell);
    // Warnings for records the format takes in file order: a later record at a lower position
    // fills or draws from where the earlier one left off, not from its own position.
    void note_order(const char* what, std::int32_t p, std::optional<std::int32_t>& last) {
        if (c_.report != nullptr && last.has_value() && p < *last) {
            c_.note(reader_event::out_of_order,
                    std::string(what) + " at " + std::to_string(p) + " m comes after one at " +
                        std::to_string(*last) + " m: records out of ascending order",
                    c_.record_start);
        }
        last = p;
    }
    void note_curve_overlap(std::int32_t s, std::int32_t end) {
        if (c_.report != nullptr && last_curve_.has_value()) {
            const auto [start_before, end_before] = *last_curve_;
            if (s < start_before) {
                note_order("curve", s, last_curve_start_);
            } else if (s < end_before) {
                c_.note(reader_event::overlapping_curve,
                        "curve from " + std::to_string(s) + " m overlaps the curve from " +
                            std::to_string(start_before) + " m to " + std::to_string(end_before) +
                            " m: it is drawn only from " + std::to_string(end_before + 1) + " m",
                        c_.record_start);
            }
        }
        last_curve_ = std::pair{s, end};
        last_curve_start_ = s;
    }
    void straight_step(std::size_t p);
    void curved_step(std::size_t p, double k);

    compile_context& c_;
    scenario_model& m_;
    text_cursor cur_;
    std::int32_t gradient_cursor_ = 0;
    std::int32_t current_gradient_ = 0;
    std::int32_t profile_counter_ = 2;
    std::optional<std::int32_t> last_gradient_at_;
    std::optional<std::int32_t> last_curve_start_;
    std::optional<std::pair<std::int32_t, std::int32_t>> last_curve_;
};

bool line_reader::read() {
    std::string_view kw;
    do {
        kw = keyword();
        if (cur_.at_end()) {
            stop(result::no_general_section);
            return false;
        }
    } while (!contains_any_case(kw, "[generale]"));

    for (;;) {
        if (cur_.at_end()) break;
        kw = keyword();
        if (cur_.at_end()) break;
        for (int i = 0; i < general_hyphen_skips && contains(kw, "-"); ++i) {
            c_.note(reader_event::field_lost_to_hyphen_skip, kw, c_.record_start);
            kw = keyword();
        }
        if (general_record(kw) == flow::stop) return false;
        if (opens_section(kw)) break;
    }

    progressive_ordina(m_.station_table);
    m_.mountain_count = 0;
    c_.board_counter = station_slot::first_board;
    if (m_.profile_option != 0 && m_.line_profile.dimensioned()) {
        // The line starts at the origin heading +y, one metre per point.
        m_.line_profile.x(0) = tagged_value::of_int16(0);
        m_.line_profile.y(0) = tagged_value::of_int16(0);
        m_.line_profile.x(1) = tagged_value::of_int16(0);
        m_.line_profile.y(1) = tagged_value::of_int16(1);
    }

    while (const auto field =
               next_keyword(c_, cur_, record_hyphen_skips, [this] { return keyword(); })) {
        const flow f = record(*field);
        if (f == flow::stop) return false;
        if (f == flow::to_completion) break;
    }

    complete();
    return true;
}

flow line_reader::general_record(std::string_view kw) {
    bool matched = false;
    if (contains_any_case(kw, "percorso") && contains_any_case(kw, "lunghezza")) {
        matched = true;
        if (line_length() == flow::stop) return flow::stop;
    }
    if (contains(kw, "tre") && contains(kw, "progressiva")) {
        matched = true;
        progressive(station_slot::progressive_three);
    }
    if (contains(kw, "due") && contains(kw, "progressiva")) {
        matched = true;
        progressive(station_slot::progressive_two);
    }
    if (contains(kw, "uno") && contains(kw, "progressiva")) {
        matched = true;
        progressive(station_slot::progressive_one);
    }
    // The backgrounds go crossed: two into the position slot, three into the area end.
    station_entry& header = m_.station_table[station_slot::line_header];
    if (contains(kw, "sfondo") && contains(kw, "uno")) {
        matched = true;
        header.area_start = number();
    }
    if (contains(kw, "sfondo") && contains(kw, "due")) {
        matched = true;
        header.position = number();
    }
    if (contains(kw, "sfondo") && contains(kw, "tre")) {
        matched = true;
        header.area_end = number();
    }
    if (contains(kw, "segnali") && contains(kw, "ripetizione")) {
        matched = true;
        if (repetition(kw) == flow::stop) return flow::stop;
    }
    if (!matched) c_.note(reader_event::keyword_matches_nothing, kw, c_.record_start);
    return flow::go_on;
}

flow line_reader::line_length() {
    station_entry& e = m_.station_table[station_slot::train_and_line];
    e.area_end = number();
    if (e.area_end < 0 || e.area_end > max_line_length) {
        return stop(result::line_length_out_of_range);
    }
    m_.route_extent = e.area_end + 7000;
    m_.last_cell = round32(m_.route_extent / 50.0);
    m_.route_grid.assign(static_cast<std::size_t>(m_.last_cell) + 1, route_cell{});
    if (m_.profile_option != 0) m_.line_profile.dimension(m_.route_extent);
    return flow::go_on;
}

void line_reader::progressive(int slot) {
    station_entry& e = m_.station_table[static_cast<std::size_t>(slot)];
    e.area_start = number();
    e.area_end = number();
    e.position = number();
}

flow line_reader::repetition(std::string_view kw) {
    station_entry& e = m_.station_table[station_slot::train_header];
    e.area_start = number();
    e.area_end = number();
    if (e.area_start % 50 != 0) return stop(result::repetition_start_not_multiple_of_50);
    if (e.area_end % 50 != 0) return stop(result::repetition_end_not_multiple_of_50);
    std::int32_t codes = 0;
    if (contains(kw, "4")) {
        codes = 4;
    } else if (contains(kw, "9")) {
        codes = 9;
    } else {
        return stop(result::repetition_codes_missing);
    }
    e.position = e.area_end == 0 ? 0 : codes;
    return flow::go_on;
}

// Every rule is tried on the same keyword field; a keyword could name two records.
flow line_reader::record(std::string_view kw) {
    bool matched = false;
    flow f = flow::go_on;
    if (contains_any_case(kw, "pendenza")) {
        matched = true;
        if ((f = gradient()) != flow::go_on) return f;
    }
    // Without a profile a curve is no record: its fields come up as keywords and match nothing.
    if (m_.profile_option != 0 && contains_any_case(kw, "curva")) {
        matched = true;
        if ((f = curve(kw)) != flow::go_on) return f;
    } else if (contains_any_case(kw, "curva")) {
        c_.note(reader_event::curve_without_profile, kw, c_.record_start);
    }
    if (contains_any_case(kw, "montagna")) {
        matched = true;
        if ((f = mountain()) != flow::go_on) return f;
    }
    if (contains_any_case(kw, "indicatori_v")) {
        matched = true;
        if ((f = speed_board()) != flow::go_on) return f;
    }
    if (contains_any_case(kw, "indicat") && contains_any_case(kw, "cartello")) {
        matched = true;
        if ((f = direction_board()) != flow::go_on) return f;
    }
    if (!matched) c_.note(reader_event::keyword_matches_nothing, kw, c_.record_start);
    return flow::go_on;
}

// Cells from the cursor up to, not including, end_cell get the gradient in force; the body runs
// at least once. Never past the last cell.
void line_reader::fill_gradient_until(std::int32_t end_cell) {
    const std::uint8_t value = low8(add32(current_gradient_, 100));
    do {
        if (gradient_cursor_ > m_.last_cell) break;
        m_.route_grid[static_cast<std::size_t>(gradient_cursor_)].gradient = value;
        ++gradient_cursor_;
    } while (gradient_cursor_ < end_cell);
}

flow line_reader::gradient() {
    require_grid(c_);
    const std::int32_t p = number();
    const std::int32_t g = number();
    if (beyond_grid(m_, p)) return beyond_end(p);
    note_order("gradient", p, last_gradient_at_);
    const std::int32_t n = round32(p / 50.0);
    if (n > 0) fill_gradient_until(n);
    current_gradient_ = g;
    return flow::go_on;
}

// Each point continues the step from the two before it; a curved step turns it by k (positive:
// to the right). The step length is not renormalised, and the order of operations is fixed so
// every build computes the same plan.
void line_reader::straight_step(std::size_t p) {
    line_profile_t& lp = m_.line_profile;
    const double x1 = lp.x(p - 1).as_double();
    const double y1 = lp.y(p - 1).as_double();
    const double dx = x1 - lp.x(p - 2).as_double();
    const double dy = y1 - lp.y(p - 2).as_double();
    lp.x(p) = tagged_value::of_double(x1 + dx);
    lp.y(p) = tagged_value::of_double(y1 + dy);
}

void line_reader::curved_step(std::size_t p, double k) {
    line_profile_t& lp = m_.line_profile;
    const double x1 = lp.x(p - 1).as_double();
    const double y1 = lp.y(p - 1).as_double();
    const double dx = x1 - lp.x(p - 2).as_double();
    const double dy = y1 - lp.y(p - 2).as_double();
    lp.x(p) = tagged_value::of_double(x1 + (dx + k * dy));
    lp.y(p) = tagged_value::of_double(y1 + (dy - k * dx));
}

flow line_reader::curve(std::string_view kw) {
    require_grid(c_);
    const std::int32_t s = number();
    const std::int32_t len = number();
    if (beyond_grid(m_, s)) return beyond_end(s);
    // The last two points of the profile stay empty.
    const std::int32_t end = add32(s, len);
    if (end > m_.route_extent - 2) return beyond_end(s);

    double k = 0.0;
    bool classed = false;
    for (std::size_t d = 0; d < curve_class_curvature.size() && !classed; ++d) {
        const char digit[2] = {static_cast<char>('1' + d), '\0'};
        if (contains(kw, digit)) {
            k = curve_class_curvature[d];
            classed = true;
        }
    }
    if (!classed) return stop(result::bad_curve);
    if (contains_any_case(kw, "s")) k = -k;
    note_curve_overlap(s, end);

    while (profile_counter_ <= s) {
        straight_step(static_cast<std::size_t>(profile_counter_));
        if (++profile_counter_ > max_profile_counter) return stop(result::bad_curve);
    }
    while (profile_counter_ <= end) {
        curved_step(static_cast<std::size_t>(profile_counter_), k);
        if (++profile_counter_ > max_profile_counter) return stop(result::bad_curve);
    }
    return flow::go_on;
}

flow line_reader::mountain() {
    require_grid(c_);
    std::int32_t inizio = number();
    std::int32_t fine = number();
    std::int32_t tipo = number();
    if (beyond_grid(m_, inizio)) return beyond_end(inizio);
    const std::int32_t position = inizio;  // the rule takes it by reference
    return after_placement(memo_montagna(m_, inizio, fine, tipo), position);
}

flow line_reader::speed_board() {
    require_grid(c_);
    const std::int32_t posizione = number();
    std::int32_t vas = number(), vbs = number(), vcs = number(), strisces = number();
    std::int32_t vad = number(), vbd = number(), vcd = number(), strisced = number();
    if (beyond_grid(m_, posizione)) return beyond_end(posizione);
    return after_placement(
        memo_indicatori_v_max(m_, posizione, vas, vbs, vcs, strisces, vad, vbd, vcd, strisced),
        posizione);
}

flow line_reader::direction_board() {
    require_grid(c_);
    const std::int32_t p = number();
    const std::string text = fitting_name(cur_.read_line_text());
    if (beyond_grid(m_, p)) return beyond_end(p);
    // Boards stand one cell past the cell of their position.
    const std::int32_t cell = round32(p / 50.0 + 1);
    if (cell < 0) {
        c_.fail(result::before_route_grid, p, c_.record_start);
        return flow::to_completion;
    }
    if (cell > m_.last_cell) return beyond_end(p);
    // Board texts fill the station table down to entry 1.
    if (c_.board_counter < 1) return stop(result::too_many_direction_boards, p);
    route_cell& rc = m_.route_grid[static_cast<std::size_t>(cell)];
    if (!is_free(rc)) return stop(result::direction_board_cell_taken, p);
    rc.kind = cell_kind::direction_board;
    rc.value_a = static_cast<std::int16_t>(c_.board_counter);
    m_.station_table[static_cast<std::size_t>(c_.board_counter)].name = text;
    --c_.board_counter;
    return flow::go_on;
}

// End of the line description, whether its records ran out or one lay beyond the grid.
void line_reader::complete() {
    c_.discard_line();
    require_grid(c_);
    // The last three cells keep gradient 0 unless the cursor already stands there.
    fill_gradient_until(m_.last_cell - 2);
    if (m_.profile_option != 0) {
        while (profile_counter_ <= m_.route_extent - 2) {
            straight_step(static_cast<std::size_t>(profile_counter_));
            ++profile_counter_;
        }
    }
}

}  // namespace

bool read_line_description(compile_context& c) {
    scenario_model& m = c.m;
    m.station_table[station_slot::line_header].name = m.line_name;
    m.station_table[station_slot::train_header].name = m.train_number;
    // The description dimensions the grid and the profile afresh.
    m.route_grid.clear();
    m.line_profile.clear();
    m.route_extent = 0;
    m.last_cell = 0;

    c.reading = description_kind::line;
    // Open before the read: a text that is there but cannot be read is still to be removed.
    c.line_text = text_state::open;
    std::optional<std::string> text = c.files.read_line_description();
    if (!text.has_value()) {
        c.line_text = text_state::missing;
        c.fail(result::line_file_missing, text_location{});
        return false;
    }
    line_reader reader(c, *text);
    return reader.run();
}

}  // namespace compattatore
