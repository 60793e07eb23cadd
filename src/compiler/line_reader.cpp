// The line description: general values, then the record section that lays gradients, the plan
// of the line, mountains and boards into the grid.

#include <array>
#include <optional>
#include <string>
#include <utility>

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

constexpr std::int32_t max_line_length = 1000000;
constexpr std::int32_t route_margin_m = route_run_on_m;
constexpr std::int32_t max_profile_counter = 1000000;
constexpr int general_hyphen_skips = 10;
constexpr int record_hyphen_skips = 2;

// Heading change per metre of the curve classes 1 to 6.
constexpr std::array<double, 6> curve_class_curvature{0.0001, 0.0002, 0.0004, 0.001, 0.002, 0.003};

std::uint8_t stored_gradient(std::int32_t per_mille) {
    return low8(add32(per_mille, 100));
}

bool opens_section(std::string_view field) {
    while (!field.empty() && (field.front() == ' ' || field.front() == '\t'))
        field.remove_prefix(1);
    return contains(field, "[") && contains(field, "]") && !field.starts_with('-');
}

// The class is the lowest of the digits 1 to 6 found anywhere in the keyword, not the first one
// written: "curvad64" is class 4. An "s" anywhere, of either case, turns the curve left, even one
// that belongs to another word. nullopt for a keyword without a class.
std::optional<double> curvature_of(std::string_view kw) {
    for (std::size_t d = 0; d < curve_class_curvature.size(); ++d) {
        const char digit[2] = {static_cast<char>('1' + d), '\0'};
        if (!contains(kw, digit)) continue;
        const double k = curve_class_curvature[d];
        const char left[2] = {line_keyword::curve_left, '\0'};
        return contains_any_case(kw, left) ? -k : k;
    }
    return std::nullopt;
}

// The step from the point before the one before p to the point before p.
struct profile_step {
    double x1, y1, dx, dy;
};

profile_step step_before(const line_profile_t& lp, std::size_t p) {
    const double x1 = lp.x(p - 1).as_double();
    const double y1 = lp.y(p - 1).as_double();
    return {x1, y1, x1 - lp.x(p - 2).as_double(), y1 - lp.y(p - 2).as_double()};
}

class line_reader : record_reader {
  public:
    line_reader(compile_context& c, std::string_view text)
        : record_reader(c, text, description_kind::line) {}

    // False when the read stopped with a code.
    bool run() {
        return positioned([this] { return read(); });
    }

  private:
    bool read();
    bool find_general_section();
    bool read_general_section();
    void prepare_records();
    flow general_record(std::string_view kw);
    flow line_length();
    void kilometre_progressive(int slot);
    flow repetition(std::string_view kw);
    flow record(std::string_view kw);
    flow gradient();
    flow curve(std::string_view kw);
    flow draw_curve(std::int32_t s, std::int32_t len, double k);
    flow mountain();
    flow speed_board();
    flow direction_board();
    flow placed(std::int32_t code, std::int32_t position);
    void complete();

    void note_curve_overlap(std::int32_t s, std::int32_t end);
    void straight_step(std::size_t p);
    void curved_step(std::size_t p, double k);

    profile_fill gradient_{"gradient", &route_cell::gradient, stored_gradient};
    std::int32_t profile_counter_ = 2;
    std::optional<std::int32_t> last_curve_start_;
    std::optional<std::pair<std::int32_t, std::int32_t>> last_curve_;
};

bool line_reader::read() {
    if (!find_general_section() || !read_general_section()) return false;
    prepare_records();
    if (!read_records(record_hyphen_skips, [this](std::string_view kw) { return record(kw); })) {
        return false;
    }
    complete();
    return true;
}

// Everything before the first field with "[generale]" is passed over. A "[generale]" that ends
// the text counts as none.
bool line_reader::find_general_section() {
    for (;;) {
        const std::string_view kw = keyword();
        if (cur_.at_end()) {
            stop(result::no_general_section);
            return false;
        }
        if (contains_any_case(kw, section::general)) return true;
    }
}

// The section ends at a bracketed field not led by a hyphen. Its hyphen skip reads up to ten
// fields with no end-of-text test between them: a text that ends inside the skip reads past its
// end, which is the failure exit.
bool line_reader::read_general_section() {
    while (const auto kw = next_keyword(general_hyphen_skips, end_test::none_between_skips)) {
        if (general_record(*kw) == flow::stop) return false;
        if (opens_section(*kw)) break;
    }
    return true;
}

void line_reader::prepare_records() {
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
}

flow line_reader::general_record(std::string_view kw) {
    record_tests tests(c_, kw);
    tests.apply(line_keyword::line_length, [&] { return line_length(); });
    tests.apply(line_keyword::progressive_three,
                [&] { kilometre_progressive(station_slot::progressive_three); });
    tests.apply(line_keyword::progressive_two,
                [&] { kilometre_progressive(station_slot::progressive_two); });
    tests.apply(line_keyword::progressive_one,
                [&] { kilometre_progressive(station_slot::progressive_one); });
    // The backgrounds go crossed: two into the position slot, three into the area end.
    const auto header = line_header(m_.station_table);
    tests.apply(line_keyword::background_one, [&] { header.background_one() = number(); });
    tests.apply(line_keyword::background_two, [&] { header.background_two() = number(); });
    tests.apply(line_keyword::background_three, [&] { header.background_three() = number(); });
    tests.apply(line_keyword::repetition, [&] { return repetition(kw); });
    return tests.outcome();
}

flow line_reader::line_length() {
    const auto entry = train_and_line(m_.station_table);
    entry.line_length() = number();  // stored before the test
    const std::int32_t length = entry.line_length();
    if (length < 0 || length > max_line_length) return stop(result::line_length_out_of_range);
    m_.route_extent = length + route_margin_m;
    m_.last_cell = round32(in_cells(m_.route_extent));
    m_.route_grid.assign(static_cast<std::size_t>(m_.last_cell) + 1, route_cell{});
    if (m_.profile_option != 0) m_.line_profile.dimension(m_.route_extent);
    return flow::go_on;
}

void line_reader::kilometre_progressive(int slot) {
    const auto p = progressive(m_.station_table, slot);
    p.start() = number();
    p.offset() = number();
    p.flag() = number();
}

flow line_reader::repetition(std::string_view kw) {
    const auto header = train_header(m_.station_table);
    header.repetition_start() = number();
    header.repetition_end() = number();
    if (header.repetition_start() % cell_length_m != 0) {
        return stop(result::repetition_start_not_multiple_of_50);
    }
    if (header.repetition_end() % cell_length_m != 0) {
        return stop(result::repetition_end_not_multiple_of_50);
    }
    std::int32_t codes = 0;
    if (contains(kw, line_keyword::four_codes)) {
        codes = 4;
    } else if (contains(kw, line_keyword::nine_codes)) {
        codes = 9;
    } else {
        return stop(result::repetition_codes_missing);
    }
    header.repetition_codes() = header.repetition_end() == 0 ? 0 : codes;
    return flow::go_on;
}

flow line_reader::record(std::string_view kw) {
    record_tests tests(c_, kw);
    tests.apply(line_keyword::gradient, [&] { return gradient(); });
    if (m_.profile_option != 0) {
        tests.apply(line_keyword::curve, [&] { return curve(kw); });
    } else if (tests.open() && names(line_keyword::curve, kw)) {
        // Without a profile a curve is no record: its fields come up as keywords and match
        // nothing.
        c_.note(reader_event::curve_without_profile, kw, c_.record_start);
    }
    tests.apply(line_keyword::mountain, [&] { return mountain(); });
    tests.apply(line_keyword::speed_board, [&] { return speed_board(); });
    tests.apply(line_keyword::direction_board, [&] { return direction_board(); });
    return tests.outcome();
}

flow line_reader::gradient() {
    require_grid(c_);
    return profile_record(gradient_, m_.last_cell + 1);
}

flow line_reader::curve(std::string_view kw) {
    require_grid(c_);
    const std::int32_t s = number();
    const std::int32_t len = number();
    if (beyond_grid(m_, s)) return beyond_end(s);
    const std::optional<double> k = curvature_of(kw);
    if (!k.has_value()) return stop(result::bad_curve);
    return draw_curve(s, len, *k);
}

// Straight up to the start, then curved up to the end, both from where the plan stands: a curve
// that starts before the counter is drawn only from there. The end is worked out only once the
// straight part is drawn; a curve may end on the profile's last point, and only one ending past
// it is refused.
flow line_reader::draw_curve(std::int32_t s, std::int32_t len, double k) {
    while (profile_counter_ <= s) {
        straight_step(static_cast<std::size_t>(profile_counter_));
        if (++profile_counter_ > max_profile_counter) return stop(result::bad_curve);
    }
    const std::int32_t end = add32(s, len);
    if (end > m_.route_extent) return beyond_end(s);
    note_curve_overlap(s, end);
    while (profile_counter_ <= end) {
        curved_step(static_cast<std::size_t>(profile_counter_), k);
        if (++profile_counter_ > max_profile_counter) return stop(result::bad_curve);
    }
    return flow::go_on;
}

void line_reader::note_curve_overlap(std::int32_t s, std::int32_t end) {
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

// Each point continues the step from the two before it; a curved step turns it by k (positive:
// to the right). The step length is not renormalised, and the order of operations is fixed so
// every build computes the same plan.
void line_reader::straight_step(std::size_t p) {
    const profile_step s = step_before(m_.line_profile, p);
    m_.line_profile.x(p) = tagged_value::of_double(s.x1 + s.dx);
    m_.line_profile.y(p) = tagged_value::of_double(s.y1 + s.dy);
}

void line_reader::curved_step(std::size_t p, double k) {
    const profile_step s = step_before(m_.line_profile, p);
    m_.line_profile.x(p) = tagged_value::of_double(s.x1 + (s.dx + k * s.dy));
    m_.line_profile.y(p) = tagged_value::of_double(s.y1 + (s.dy - k * s.dx));
}

flow line_reader::mountain() {
    require_grid(c_);
    const auto r = numbers<mountain_record>();
    if (beyond_grid(m_, r.start)) return beyond_end(r.start);
    return placed(memo_montagna(m_, r), r.start);
}

flow line_reader::speed_board() {
    require_grid(c_);
    const auto r = numbers<speed_board_record>();
    if (beyond_grid(m_, r.position)) return beyond_end(r.position);
    return placed(memo_indicatori_v_max(m_, r), r.position);
}

flow line_reader::direction_board() {
    require_grid(c_);
    const std::int32_t p = number();
    const std::string text = fitting_name(cur_.read_line_text());
    if (beyond_grid(m_, p)) return beyond_end(p);
    const std::int32_t c = cell_after(p);
    if (c < 0) return outside_grid(result::before_route_grid, p);
    if (c > m_.last_cell) return beyond_end(p);
    // Board texts fill the station table down to entry 1.
    if (c_.board_counter < 1) return stop(result::too_many_direction_boards, p);
    route_cell& board = cell(c);
    if (!is_free(board)) return stop(result::direction_board_cell_taken, p);
    board.kind = cell_kind::direction_board;
    board_text_entry_of(board) = static_cast<std::int16_t>(c_.board_counter);
    m_.station_table[static_cast<std::size_t>(c_.board_counter)].name = text;
    --c_.board_counter;
    return flow::go_on;
}

// A code a placement recorded: out-of-grid codes end the records like a failed room check,
// every other one stops the compile.
flow line_reader::placed(std::int32_t code, std::int32_t position) {
    if (code == result::none) return flow::go_on;
    c_.placed_with_code(code, position);
    if (code == result::beyond_route_grid || code == result::before_route_grid) {
        return flow::to_end;
    }
    c_.discard_line();
    return flow::stop;
}

// End of the line description, whether its records ran out or one lay beyond the grid.
void line_reader::complete() {
    c_.discard_line();
    require_grid(c_);
    // The last three cells keep gradient 0 unless the cursor already stands there.
    fill_profile(gradient_, m_.last_cell - 2, m_.last_cell + 1);
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
    line_header(m.station_table).line_name() = m.line_name;
    train_header(m.station_table).train_number() = m.train_number;
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
