#include "compiler/placement.hpp"

#include <algorithm>
#include <array>
#include <cstddef>

#include "ground/result_codes.hpp"
#include "ground/roles.hpp"
#include "ground/rounding.hpp"
#include "ground/units.hpp"

namespace compattatore {

namespace {

// Highest cell index that may be written. The grid is sized last_cell + 1; should the two ever
// disagree, the smaller one wins so that nothing is written outside the vector.
std::int64_t highest_cell(const scenario_model& m) {
    return std::min<std::int64_t>(m.last_cell, static_cast<std::int64_t>(m.route_grid.size()) - 1);
}

// 0 when cell lies inside the grid, otherwise the code that rejects the object.
std::int32_t outside_code(const scenario_model& m, std::int64_t cell) {
    if (cell < 0) return result::before_route_grid;
    if (cell > highest_cell(m)) return result::beyond_route_grid;
    return result::none;
}

route_cell& cell_at(scenario_model& m, std::int64_t cell) {
    return m.route_grid[static_cast<std::size_t>(cell)];
}

std::int32_t fail(scenario_model& m, std::int32_t code) {
    m.record(code);
    return code;
}

// 0 when an object may stand on the cell: inside the grid and free. Otherwise the code that
// refuses it: outside the grid, or taken_code.
std::int32_t refusal(const scenario_model& m, std::int64_t cell, std::int32_t taken_code) {
    if (const std::int32_t code = outside_code(m, cell)) return code;
    return is_free(m.route_grid[static_cast<std::size_t>(cell)]) ? result::none : taken_code;
}

struct kilometre_progressive {
    std::int32_t start = 0;
    std::int32_t offset = 0;
    std::int32_t flag = 0;
};

kilometre_progressive read_slot(const station_table_t& table, int slot) {
    const auto p = progressive(table, slot);
    return {p.start(), p.offset(), p.flag()};
}

// Slots 81, 82, 83 in that order; all zero unless one rule picks an order.
using progressive_order = std::array<kilometre_progressive, 3>;

// The sum only decides between the two rules; taken exactly so that large starts cannot wrap to
// a false zero.
progressive_order ordered(const kilometre_progressive& t, const kilometre_progressive& d,
                          const kilometre_progressive& u) {
    progressive_order out{};
    const std::int64_t sum = std::int64_t{t.start} + d.start + u.start;
    if (sum != 0) {
        if (t.start > d.start && t.start > u.start) {
            out = d.start > u.start ? progressive_order{t, d, u} : progressive_order{t, u, d};
        } else if (d.start > t.start && d.start > u.start) {
            out = t.start > u.start ? progressive_order{d, t, u} : progressive_order{d, u, t};
        } else if (u.start > t.start && u.start > d.start) {
            out = t.start > d.start ? progressive_order{u, t, d} : progressive_order{u, d, t};
        }
    } else {
        // Later cases replace earlier ones.
        if (t.offset > 0) out = {t, d, u};
        if (d.offset > 0) out = {d, t, u};
        if (u.offset > 0) out = {u, d, t};
    }
    return out;
}

}  // namespace

std::int32_t cell_after(std::int64_t metres) {
    return round32(in_cells(static_cast<double>(metres)) + 1.0);
}

std::int32_t raised_opening_delay(std::int32_t delay) {
    return delay >= 1 && delay <= 100 ? 101 : delay;
}

void progressive_ordina(station_table_t& table) {
    const progressive_order out = ordered(read_slot(table, station_slot::progressive_three),
                                          read_slot(table, station_slot::progressive_two),
                                          read_slot(table, station_slot::progressive_one));
    for (std::size_t i = 0; i < out.size(); ++i) {
        const auto slot = progressive(table, station_slot::progressives[i]);
        slot.start() = out[i].start;
        slot.offset() = out[i].offset;
        slot.flag() = out[i].flag;
    }
    // Adjusted slot by slot once all are stored: an offset that no longer fits leaves the order
    // stored and the slots before it adjusted.
    for (const int s : station_slot::progressives) {
        const auto slot = progressive(table, s);
        if (slot.flag() == 1) slot.offset() = add32(slot.offset(), 100);
    }
}

std::int32_t memo_montagna(scenario_model& m, const mountain_record& r) {
    if (m.mountain_count >= max_mountains) return fail(m, result::too_many_mountains);

    const std::int32_t first = round32(in_cells(r.start));
    const std::int32_t last = round32(in_cells(r.end) - 1.0);
    if (first <= last) {
        if (const std::int32_t code = outside_code(m, first)) return fail(m, code);
        if (const std::int32_t code = outside_code(m, last)) return fail(m, code);
    }

    const bool markers = r.type > 10;
    std::int32_t type = markers ? r.type - 10 : r.type;

    const std::int32_t n = ++m.mountain_count;
    m.mountain_starts[static_cast<std::size_t>(n)] = r.start;
    m.mountain_ends[static_cast<std::size_t>(n)] = r.end;
    // Measured against the mountain before it in file order, whatever its position; an overlap
    // (negative gap) joins too. Exact width so that far-apart values cannot wrap into a join.
    if (n > 1) {
        const std::int64_t gap =
            std::int64_t{r.start} - m.mountain_ends[static_cast<std::size_t>(n - 1)];
        if (gap <= 150) type = 3;
    }

    // The window's counter is the cell index and is left one past the last cell touched.
    m.line_counter = first;
    std::int32_t count = 0;
    for (std::int32_t c = first; c <= last; ++c) {
        route_cell& cell = cell_at(m, c);
        ++count;
        cell.mountain_type = low8(type);
        if (markers && count % 4 == 0 && cell.kind == cell_kind::empty) {
            cell.kind = cell_kind::mountain_marker;
        }
        m.line_counter = c + 1;
    }
    return result::none;
}

std::int32_t memo_indicatori_v_max(scenario_model& m, const speed_board_record& r) {
    const std::int32_t k = cell_after(r.position);
    if (const std::int32_t code = refusal(m, k, result::speed_board_cell_taken)) {
        return fail(m, code);
    }
    route_cell& cell = cell_at(m, k);

    // Each value is written as it is worked out, after the kind: a speed that does not fit
    // throws and leaves what was written before it, as every record does.
    const auto packed = [](std::int32_t first, std::int32_t second) {
        return round16(second / 5.0 + static_cast<double>(mul32(20, first)));
    };
    cell.kind = cell_kind::speed_board;
    const speed_board_cell<route_cell> board{cell};
    board.speeds_a() = packed(r.first_speed_a, r.second_speed_a);
    board.speeds_b() = packed(r.first_speed_b, r.second_speed_b);
    board.speeds_c() = packed(r.first_speed_c, r.second_speed_c);
    board.stripes() = low16(10 * std::int64_t{r.first_stripes} + r.second_stripes);
    return result::none;
}

std::int32_t memo_segnale(scenario_model& m, const signal_record& r) {
    const std::int32_t s = cell_after(r.position);
    if (const std::int32_t code = refusal(m, s, result::signal_cell_taken)) return fail(m, code);
    route_cell& cell = cell_at(m, s);

    // Each value keeps the low bits of its field.
    cell.kind = cell_kind::signal;
    const signal_cell<route_cell> signal{cell};
    signal.type() =
        low16(10 * std::int64_t{r.type_tens} + 3 * std::int64_t{r.first_type} + r.second_type);
    signal.aspects_1() = low16(10 * std::int64_t{r.first_aspect_1} + r.second_aspect_1);
    signal.aspects_2() = low16(10 * std::int64_t{r.first_aspect_2} + r.second_aspect_2);
    signal.aspects_3() = low16(10 * std::int64_t{r.first_aspect_3} + r.second_aspect_3);
    cell.signal_delay = r.first_type == 2 ? low8(raised_opening_delay(r.opening_delay)) : 0;

    // Marks that would fall before the first cell are dropped; the signal itself stands.
    const std::int64_t aspect = 10 * (3 * std::int64_t{r.first_type} + r.second_type);
    for (std::int32_t k = 1; k <= 4; ++k) {
        const std::int64_t mark_cell = std::int64_t{s} - 2 * k;
        if (mark_cell < 0) break;
        cell_at(m, mark_cell).approach_mark = low8(aspect + k);
    }
    return result::none;
}

namespace {

// The cells of one slowdown. A warning cell (and pre-warning cells) only beyond 1500 m.
struct slowdown_cells {
    bool warned;
    bool prewarned;
    std::int32_t warning;
    std::int32_t start;
    std::int32_t end;
    std::int32_t prewarning_base;  // the pre-warning cells are base, base - 1, ... base - 3
};

slowdown_cells cells_of(const slowdown_record& r) {
    slowdown_cells c{};
    c.warned = r.start > 1500;
    c.prewarned = c.warned && r.prewarnings != 0;
    // start > 1500 here, so start - 1200 cannot wrap.
    c.warning = c.warned ? cell_after(r.start - 1200) : 0;
    c.start = cell_after(r.start);
    c.end = cell_after(add32(r.start, r.length));
    c.prewarning_base = c.prewarned ? round32(in_cells(r.start - 1200)) : 0;
    return c;
}

// Every cell the slowdown may write is checked against the grid before anything is tested or
// written.
std::int32_t outside_code(const scenario_model& m, const slowdown_cells& c) {
    const struct {
        bool applies;
        std::int64_t cell;
    } cells[] = {
        {c.warned, c.warning},
        {true, c.start},
        {true, c.end},
        {c.prewarned, std::int64_t{c.prewarning_base} - 3},
        {c.prewarned, c.prewarning_base},
    };
    for (const auto& [applies, cell] : cells) {
        if (!applies) continue;
        if (const std::int32_t code = outside_code(m, cell)) return code;
    }
    return result::none;
}

void lay_prewarnings(scenario_model& m, const slowdown_cells& c, bool with_d_v) {
    for (std::int32_t i = 0; i <= 3; ++i) {
        route_cell& cell = cell_at(m, c.prewarning_base - i);
        cell.kind = cell_kind::slowdown_prewarning;
        const prewarning_cell<route_cell> pre{cell};
        pre.countdown() = static_cast<std::int16_t>(i + 1);
        if (with_d_v) pre.d_v_countdown() = static_cast<std::int16_t>(i + 1);
    }
}

}  // namespace

std::int32_t memo_rallentamento(scenario_model& m, const slowdown_record& r) {
    const slowdown_cells c = cells_of(r);
    if (const std::int32_t code = outside_code(m, c)) return fail(m, code);
    if (c.warned && !is_free(cell_at(m, c.warning))) return fail(m, result::warning_cell_taken);
    if (!is_free(cell_at(m, c.start))) return fail(m, result::start_cell_taken);
    if (!is_free(cell_at(m, c.end))) return fail(m, result::end_cell_taken);

    const std::int16_t speed = low16(r.speed_kmh);
    const std::int16_t d_v = low16(r.d_v);
    const std::int16_t f_tt = low16(r.f_tt);
    const bool with_d_v = r.d_v != 0;

    route_cell& end = cell_at(m, c.end);
    end.kind = cell_kind::slowdown_end;
    if (with_d_v) slowdown_cell<route_cell>{end}.d_v() = d_v;

    // A slowdown shorter than a cell has its start and end on one cell; the start is laid last
    // and wins.
    route_cell& start = cell_at(m, c.start);
    start.kind = cell_kind::slowdown_start;
    if (with_d_v) slowdown_cell<route_cell>{start}.d_v() = d_v;

    if (c.warned) {
        const slowdown_cell<route_cell> warning{cell_at(m, c.warning)};
        warning.cell.kind = cell_kind::slowdown_warning;
        if (with_d_v) warning.d_v() = d_v;
        warning.speed_kmh() = speed;
    }

    for (route_cell* cell : {&start, &end}) {
        const slowdown_cell<route_cell> s{*cell};
        s.speed_kmh() = speed;
        s.f_tt() = f_tt;
    }

    // The pre-warning cells are tested only now: when one is taken, the warning, start and end
    // cells stay written and only the pre-warnings are refused.
    if (!c.prewarned) return result::none;
    for (std::int32_t i = 0; i <= 3; ++i) {
        if (!is_free(cell_at(m, c.prewarning_base - i))) {
            return fail(m, result::prewarning_cells_taken);
        }
    }
    lay_prewarnings(m, c, with_d_v);
    return result::none;
}

}  // namespace compattatore
