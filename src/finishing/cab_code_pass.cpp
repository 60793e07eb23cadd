// The cab-code pass: code points (code 180) that make the continuous cab-signal repetition lower
// its code before and inside every slowdown.

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <type_traits>

#include "finishing/finishing.hpp"
#include "ground/result_codes.hpp"
#include "ground/roles.hpp"
#include "ground/rounding.hpp"
#include "ground/units.hpp"

namespace compattatore {

namespace {

constexpr std::int16_t placed_code = 180;
constexpr std::int16_t speed_threshold = 110;
constexpr int look_back = 20;
constexpr int lowest_look_back_cell = 3;
constexpr int spacing = 8;
constexpr int signal_search = 12;

// Distances before a slowdown start cell, one triple per code point, nearest candidate first.
constexpr std::array<std::array<int, 3>, 3> start_triples{{{5, 6, 7}, {11, 12, 13}, {18, 19, 20}}};

std::int16_t to_int16(const tagged_value& v) {
    return v.visit([](auto value) -> std::int16_t {
        using T = decltype(value);
        if constexpr (std::is_same_v<T, double>) {
            return round16(value);
        } else if constexpr (std::is_same_v<T, std::int32_t>) {
            return fit<std::int16_t>(value);
        } else if constexpr (std::is_same_v<T, std::int16_t>) {
            return value;
        } else {
            return 0;
        }
    });
}

class pass {
  public:
    explicit pass(scenario_model& m)
        : m_(m),
          grid_(m.route_grid),
          // The grid and the last cell always agree; taking the smaller keeps every access inside
          // the table even if they did not.
          last_(static_cast<int>(
              std::min<std::int64_t>(m.last_cell, static_cast<std::int64_t>(grid_.size()) - 1))) {}

    // Cell 0 and the last two cells are never visited. Each test sees the grid as the pass has
    // left it so far: a code point placed for one slowdown takes its cell for the next one.
    void run() {
        for (int c = 1; c <= last_ - 2; ++c) {
            if (kind(c) == cell_kind::slowdown_warning) signals_before_warning(c);
            if (kind(c) == cell_kind::slowdown_start) slowdown(c);
        }
    }

  private:
    std::uint8_t kind(int i) const { return grid_[static_cast<std::size_t>(i)].kind; }
    // Cells past the last one do not exist and so are never free.
    bool free(int i) const { return i <= last_ && is_free(grid_[static_cast<std::size_t>(i)]); }
    // Marking overwrites a mountain marker; no field but the kind and the code changes.
    void mark(int i) {
        auto& cell = grid_[static_cast<std::size_t>(i)];
        cell.kind = cell_kind::code_point;
        cab_code_of(cell) = placed_code;
    }
    // A code point already there keeps the lower of its code and the placed one (270 becomes
    // 180; 120 stays).
    void lower(int i) {
        std::int16_t& code = cab_code_of(grid_[static_cast<std::size_t>(i)]);
        code = to_int16(minimo(tagged_value::of_int16(placed_code), tagged_value::of_int16(code)));
    }

    // Every signal up to 20 cells before a warning cell, the nearest first, gets a code point
    // just before it. A free cell two before the signal is marked even when the cell just before
    // it already is a code point: an existing code point is lowered only when neither is free.
    void signals_before_warning(int c) {
        for (int k = 1; k <= look_back; ++k) {
            const int t = c - k;
            if (t < lowest_look_back_cell) break;
            if (kind(t) != cell_kind::signal) continue;
            if (free(t - 1)) {
                mark(t - 1);
            } else if (free(t - 2)) {
                mark(t - 2);
            } else if (kind(t - 1) == cell_kind::code_point) {
                lower(t - 1);
            } else if (kind(t - 2) == cell_kind::code_point) {
                lower(t - 2);
            } else {
                m_.record(result::no_cell_before_signal, t * cell_length_m);
            }
        }
    }

    void slowdown(int c) {
        // Each triple gives one code point on its first free cell; a triple with no free cell is
        // a conflict, and code points already in it are left as they are (not lowered).
        for (const auto& triple : start_triples) {
            if (c <= triple.back()) continue;
            const auto spot =
                std::find_if(triple.begin(), triple.end(), [&](int d) { return free(c - d); });
            if (spot != triple.end()) {
                mark(c - *spot);
            } else {
                m_.record(result::no_cell_before_slowdown, c * cell_length_m);
            }
        }

        // A fast slowdown gets no code points along it, but the signal after it is still looked
        // for from its own end cell. The speed compares as a signed 16-bit number.
        const slowdown_cell<const route_cell> start{grid_[static_cast<std::size_t>(c)]};
        const bool slow = start.speed_kmh() < speed_threshold;
        const std::optional<int> end = slow ? walk(c) : end_cell_after(c);
        if (!end) {
            m_.record(result::slowdown_without_end, c * cell_length_m);
            return;
        }
        before_next_signal(*end);
    }

    // Code points every 8 cells counted from the last one actually placed; returns the end cell,
    // or nothing when the grid ends first. The end test comes after the step's mark, so an 8th
    // step that lands on the end cell (never free) marks the cell before it or the one after.
    std::optional<int> walk(int c) {
        int w = c;
        int n = 0;
        for (;;) {
            ++w;
            ++n;
            if (n == spacing) {
                if (free(w)) {
                    mark(w);
                    n = 0;
                } else if (free(w - 1)) {
                    mark(w - 1);
                    n = 1;
                } else if (free(w + 1)) {
                    mark(w + 1);
                    n = -1;
                } else {
                    // n stays past 8: the rest of this slowdown gets no code points.
                    m_.record(result::no_cell_in_slowdown, w * cell_length_m);
                }
            }
            if (kind(w) == cell_kind::slowdown_end) return w;
            if (w >= last_) return std::nullopt;
        }
    }

    std::optional<int> end_cell_after(int c) const {
        for (int w = c + 1; w <= last_; ++w) {
            if (kind(w) == cell_kind::slowdown_end) return w;
        }
        return std::nullopt;
    }

    // The first signal within 12 cells after the end cell gets a code point just before it; a
    // conflict is placed at the end cell, not at the signal.
    void before_next_signal(int end) {
        const int upper = std::min(end + signal_search, last_);
        for (int s = end; s <= upper; ++s) {
            if (kind(s) != cell_kind::signal) continue;
            const int p = s - 1;
            if (free(p)) {
                mark(p);
            } else if (free(p - 1)) {
                mark(p - 1);
            } else {
                m_.record(result::no_cell_in_slowdown, end * cell_length_m);
            }
            return;
        }
    }

    scenario_model& m_;
    route_grid_t& grid_;
    int last_;
};

}  // namespace

tagged_value minimo(const tagged_value& x, const tagged_value& y) {
    // Compared by value whatever their types; an empty value counts as 0. Equal values give x.
    return x.as_double() > y.as_double() ? y : x;
}

void cab_code_pass(scenario_model& m) {
    pass(m).run();
}

}  // namespace compattatore
