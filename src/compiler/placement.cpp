#include "compiler/placement.hpp"

#include <algorithm>
#include <array>
#include <cstddef>

#include "ground/result_codes.hpp"
#include "ground/rounding.hpp"

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

// Positions map to the cell after the one they fall in.
std::int32_t cell_after(std::int64_t metres) {
    return round32(static_cast<double>(metres) / 50.0 + 1.0);
}

struct progressive {
    std::int32_t start = 0;
    std::int32_t offset = 0;
    std::int32_t flag = 0;
};

progressive read_slot(const station_entry& e) {
    return {e.area_start, e.area_end, e.position};
}

}  // namespace

void progressive_ordina(station_table_t& table) {
    const progressive t = read_slot(table[station_slot::progressive_three]);
    const progressive d = read_slot(table[station_slot::progressive_two]);
    const progressive u = read_slot(table[station_slot::progressive_one]);

    // Slots 81, 82, 83 in that order; all zero unless one rule below picks an order.
    std::array<progressive, 3> out{};

    // The sum only decides between the two rules; taken exactly so that large starts cannot
    // wrap to a false zero.
    const std::int64_t sum = std::int64_t{t.start} + d.start + u.start;
    if (sum != 0) {
        if (t.start > d.start && t.start > u.start) {
            out = d.start > u.start ? std::array{t, d, u} : std::array{t, u, d};
        } else if (d.start > t.start && d.start > u.start) {
            out = t.start > u.start ? std::array{d, t, u} : std::array{d, u, t};
        } else if (u.start > t.start && u.start > d.start) {
            out = t.start > d.start ? std::array{u, t, d} : std::array{u, d, t};
        }
    } else {
        // Later cases replace earlier ones.
        if (t.offset > 0) out = {t, d, u};
        if (d.offset > 0) out = {d, t, u};
        if (u.offset > 0) out = {u, d, t};
    }

    // Adjusted before anything is stored, so an offset that no longer fits leaves the table as
    // it was.
    for (progressive& p : out) {
        if (p.flag == 1) p.offset = add32(p.offset, 100);
    }

    const std::array slots{station_slot::progressive_three, station_slot::progressive_two,
                           station_slot::progressive_one};
    for (std::size_t i = 0; i < slots.size(); ++i) {
        station_entry& e = table[static_cast<std::size_t>(slots[i])];
        e.area_start = out[i].start;
        e.area_end = out[i].offset;
        e.position = out[i].flag;
    }
}

std::int32_t memo_montagna(scenario_model& m, std::int32_t& inizio, std::int32_t& fine,
                           std::int32_t& tipo) {
    if (m.mountain_count >= max_mountains) return fail(m, result::too_many_mountains);

    const std::int32_t first = round32(inizio / 50.0);
    const std::int32_t last = round32(fine / 50.0 - 1.0);
    if (first <= last) {
        if (const std::int32_t code = outside_code(m, first)) return fail(m, code);
        if (const std::int32_t code = outside_code(m, last)) return fail(m, code);
    }

    bool markers = false;
    if (tipo > 10) {
        tipo -= 10;
        markers = true;
    }

    const std::int32_t n = ++m.mountain_count;
    m.mountain_starts[static_cast<std::size_t>(n)] = inizio;
    m.mountain_ends[static_cast<std::size_t>(n)] = fine;
    // Measured against the mountain before it in file order, whatever its position; an overlap
    // (negative gap) joins too. Exact width so that far-apart values cannot wrap into a join.
    if (n > 1) {
        const std::int64_t gap =
            std::int64_t{inizio} - m.mountain_ends[static_cast<std::size_t>(n - 1)];
        if (gap <= 150) tipo = 3;
    }

    // The window's counter is the cell index and is left one past the last cell touched.
    m.line_counter = first;
    std::int32_t count = 0;
    for (std::int32_t c = first; c <= last; ++c) {
        route_cell& cell = cell_at(m, c);
        ++count;
        cell.mountain_type = low8(tipo);
        if (markers && count % 4 == 0 && cell.kind == cell_kind::empty) {
            cell.kind = cell_kind::mountain_marker;
        }
        m.line_counter = c + 1;
    }
    return result::none;
}

std::int32_t memo_indicatori_v_max(scenario_model& m, std::int32_t posizione, std::int32_t& vas,
                                   std::int32_t& vbs, std::int32_t& vcs, std::int32_t& strisces,
                                   std::int32_t& vad, std::int32_t& vbd, std::int32_t& vcd,
                                   std::int32_t& strisced) {
    const std::int32_t k = cell_after(posizione);
    if (const std::int32_t code = outside_code(m, k)) return fail(m, code);
    route_cell& cell = cell_at(m, k);
    if (!is_free(cell)) return fail(m, result::speed_board_cell_taken);

    // Every packed value is computed before the cell changes: a speed that does not fit throws
    // and must not leave half a board behind.
    const auto packed = [](std::int32_t s, std::int32_t d) {
        return round16(d / 5.0 + static_cast<double>(mul32(20, s)));
    };
    const std::int16_t a = packed(vas, vad);
    const std::int16_t b = packed(vbs, vbd);
    const std::int16_t c = packed(vcs, vcd);
    const std::int16_t stripes = low16(10 * std::int64_t{strisces} + strisced);

    cell.kind = cell_kind::speed_board;
    cell.value_a = a;
    cell.value_b = b;
    cell.value_c = c;
    cell.value_d = stripes;
    return result::none;
}

std::int32_t memo_segnale(scenario_model& m, std::int32_t posizione, std::int32_t& sx,
                          std::int32_t& s1, std::int32_t& s2, std::int32_t& s3, std::int32_t& rapp,
                          std::int32_t& dx, std::int32_t& d1, std::int32_t& d2, std::int32_t& d3,
                          std::int32_t& tempo) {
    const std::int32_t s = cell_after(posizione);
    if (const std::int32_t code = outside_code(m, s)) return fail(m, code);
    route_cell& cell = cell_at(m, s);
    if (!is_free(cell)) return fail(m, result::signal_cell_taken);

    // Each value keeps the low bits of its field.
    cell.kind = cell_kind::signal;
    cell.value_d = low16(10 * std::int64_t{rapp} + 3 * std::int64_t{sx} + dx);
    cell.value_a = low16(10 * std::int64_t{s1} + d1);
    cell.value_b = low16(10 * std::int64_t{s2} + d2);
    cell.value_c = low16(10 * std::int64_t{s3} + d3);

    // A delay of 1 to 100 is too short to mean anything to the simulator.
    if (tempo >= 1 && tempo <= 100) tempo = 101;
    cell.signal_delay = sx == 2 ? low8(tempo) : 0;

    // Marks that would fall before the first cell are dropped; the signal itself stands.
    const std::int64_t aspect = 10 * (3 * std::int64_t{sx} + dx);
    for (std::int32_t k = 1; k <= 4; ++k) {
        const std::int64_t mark_cell = std::int64_t{s} - 2 * k;
        if (mark_cell < 0) break;
        cell_at(m, mark_cell).approach_mark = low8(aspect + k);
    }
    return result::none;
}

std::int32_t memo_rallentamento(scenario_model& m, std::int32_t x, std::int32_t& v, std::int32_t& l,
                                std::int32_t& f_tt, std::int32_t f_ta, std::int32_t& d_v) {
    const bool warned = x > 1500;
    if (!warned) f_ta = 0;

    // x > 1500 here, so x - 1200 cannot wrap.
    const std::int32_t w = warned ? cell_after(x - 1200) : 0;
    const std::int32_t a = cell_after(x);
    const std::int32_t z = cell_after(add32(x, l));
    const std::int32_t base = f_ta != 0 ? round32((x - 1200) / 50.0) : 0;

    // Every cell the slowdown may write is checked against the grid before anything is tested
    // or written.
    if (warned) {
        if (const std::int32_t code = outside_code(m, w)) return fail(m, code);
    }
    if (const std::int32_t code = outside_code(m, a)) return fail(m, code);
    if (const std::int32_t code = outside_code(m, z)) return fail(m, code);
    if (f_ta != 0) {
        if (const std::int32_t code = outside_code(m, base - 3)) return fail(m, code);
        if (const std::int32_t code = outside_code(m, base)) return fail(m, code);
    }

    if (warned && !is_free(cell_at(m, w))) return fail(m, result::warning_cell_taken);
    if (!is_free(cell_at(m, a))) return fail(m, result::start_cell_taken);
    if (!is_free(cell_at(m, z))) return fail(m, result::end_cell_taken);

    const std::int16_t speed = low16(v);
    const std::int16_t code_value = low16(d_v);
    const std::int16_t train_value = low16(f_tt);

    route_cell& end = cell_at(m, z);
    end.kind = cell_kind::slowdown_end;
    if (d_v != 0) end.value_b = code_value;

    // A slowdown shorter than a cell has its start and end on one cell; the start is laid last
    // and wins.
    route_cell& start = cell_at(m, a);
    start.kind = cell_kind::slowdown_start;
    if (d_v != 0) start.value_b = code_value;

    if (warned) {
        route_cell& warning = cell_at(m, w);
        warning.kind = cell_kind::slowdown_warning;
        if (d_v != 0) warning.value_b = code_value;
        warning.value_a = speed;
    }

    for (route_cell* c : {&start, &end}) {
        c->value_a = speed;
        c->value_c = train_value;
    }

    if (f_ta != 0) {
        for (std::int32_t i = 0; i <= 3; ++i) {
            if (!is_free(cell_at(m, base - i))) return fail(m, result::prewarning_cells_taken);
        }
        for (std::int32_t i = 0; i <= 3; ++i) {
            route_cell& pre = cell_at(m, base - i);
            pre.kind = cell_kind::slowdown_prewarning;
            pre.value_a = static_cast<std::int16_t>(i + 1);
            if (d_v != 0) pre.value_b = static_cast<std::int16_t>(i + 1);
        }
    }
    return result::none;
}

}  // namespace compattatore
