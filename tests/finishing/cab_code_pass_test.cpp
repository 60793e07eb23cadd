#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "finishing/finishing.hpp"
#include "ground/model.hpp"
#include "ground/result_codes.hpp"

namespace compattatore {
namespace {

constexpr std::uint8_t SIG = cell_kind::signal;
constexpr std::uint8_t END = cell_kind::slowdown_end;
constexpr std::uint8_t START = cell_kind::slowdown_start;
constexpr std::uint8_t WARN = cell_kind::slowdown_warning;
constexpr std::uint8_t BOARD =
    cell_kind::speed_board;  // any non-free kind that is not special here
constexpr std::uint8_t MOUNT = cell_kind::mountain_marker;
constexpr std::uint8_t CODE = cell_kind::code_point;

struct cell_spec {
    int index;
    std::uint8_t kind;
    std::int16_t value_a = 0;
};

cell_spec mark(int i) {
    return {i, CODE, 180};
}

// A grid whose cells all carry distinct values in the fields the pass must never touch, so that
// comparing whole grids also catches a stray write. The vector may be longer than last_cell:
// cells past the last one must then stay out of the pass's reach.
scenario_model grid_model(int last_cell, int cells, const std::vector<cell_spec>& specs) {
    scenario_model m;
    m.last_cell = last_cell;
    m.route_grid.resize(static_cast<std::size_t>(cells));
    for (std::size_t i = 0; i < m.route_grid.size(); ++i) {
        auto& c = m.route_grid[i];
        c.value_b = static_cast<std::int16_t>(i);
        c.approach_mark = static_cast<std::uint8_t>(i % 7);
        c.mountain_type = static_cast<std::uint8_t>(i % 3);
        c.gradient = 100;
        c.speed_limit = 20;
    }
    for (const auto& s : specs) {
        m.route_grid[static_cast<std::size_t>(s.index)].kind = s.kind;
        m.route_grid[static_cast<std::size_t>(s.index)].value_a = s.value_a;
    }
    return m;
}

struct pass_case {
    const char* name;
    std::vector<cell_spec> before;
    std::vector<cell_spec> changed;  // cells whose kind and value_a differ after the pass
    std::int32_t code = 0;
    std::int32_t position = 0;
    int last_cell = 100;
    int cells = 0;  // 0: exactly last_cell + 1
};

void PrintTo(const pass_case& c, std::ostream* os) {
    *os << c.name;
}

class CabCodePass : public ::testing::TestWithParam<pass_case> {};

TEST_P(CabCodePass, PlacesExactlyTheExpectedCodePoints) {
    const pass_case& tc = GetParam();
    const int cells = tc.cells != 0 ? tc.cells : tc.last_cell + 1;
    scenario_model m = grid_model(tc.last_cell, cells, tc.before);
    scenario_model expected = grid_model(tc.last_cell, cells, tc.before);
    for (const auto& s : tc.changed) {
        expected.route_grid[static_cast<std::size_t>(s.index)].kind = s.kind;
        expected.route_grid[static_cast<std::size_t>(s.index)].value_a = s.value_a;
    }

    cab_code_pass(m);

    for (std::size_t i = 0; i < m.route_grid.size(); ++i) {
        EXPECT_EQ(m.route_grid[i], expected.route_grid[i])
            << "cell " << i << ": kind " << int(m.route_grid[i].kind) << " value_a "
            << m.route_grid[i].value_a << ", expected kind " << int(expected.route_grid[i].kind)
            << " value_a " << expected.route_grid[i].value_a;
    }
    EXPECT_EQ(m.result_code, tc.code);
    EXPECT_EQ(m.error_position, tc.position);
}

// Signals looked for before a slowdown warning cell.
INSTANTIATE_TEST_SUITE_P(
    SignalsBeforeWarning, CabCodePass,
    ::testing::Values(
        pass_case{"warning at 3 looks at nothing", {{2, SIG}, {3, WARN}}, {}},
        // Cell 2 is not examined: were it, its code point would land on cell 0.
        pass_case{"warning at 10 examines 9 down to 3",
                  {{2, SIG}, {3, SIG}, {9, SIG}, {10, WARN}},
                  {mark(8), mark(1)}},
        pass_case{"signal 20 cells back is handled", {{20, SIG}, {40, WARN}}, {mark(19)}},
        pass_case{"signal 21 cells back is not", {{19, SIG}, {40, WARN}}, {}},
        // Nearer first: 35 takes 33, then 34 finds 33 taken and takes 32. The other order
        // would give 34 cell 33 and leave 35 only a lowering.
        pass_case{"nearer signal first", {{34, SIG}, {35, SIG}, {40, WARN}}, {mark(33), mark(32)}},
        pass_case{"mountain marker is free and overwritten",
                  {{34, MOUNT}, {35, SIG}, {40, WARN}},
                  {mark(34)}},
        pass_case{"code point before signal: t-2 free gets a second one",
                  {{34, CODE, 270}, {35, SIG}, {40, WARN}},
                  {mark(33)}},
        pass_case{"code point 270 at t-1 lowered when t-2 taken",
                  {{33, BOARD}, {34, CODE, 270}, {35, SIG}, {40, WARN}},
                  {{34, CODE, 180}}},
        pass_case{"code point 270 at t-2 lowered when t-1 taken",
                  {{33, CODE, 270}, {34, BOARD}, {35, SIG}, {40, WARN}},
                  {{33, CODE, 180}}},
        pass_case{"code point 75 kept", {{33, BOARD}, {34, CODE, 75}, {35, SIG}, {40, WARN}}, {}},
        // The pass goes on after the code: the signal at 30 still gets its code point.
        pass_case{"both cells taken: code 11 at the signal",
                  {{30, SIG}, {33, BOARD}, {34, BOARD}, {35, SIG}, {40, WARN}},
                  {mark(29)},
                  result::no_cell_before_signal,
                  35 * 50}));

// Three code points before a slowdown start cell. These slowdowns are fast (no walk) and have no
// signal after them, so only the triples show.
INSTANTIATE_TEST_SUITE_P(
    TriplesBeforeStart, CabCodePass,
    ::testing::Values(
        pass_case{"start at 7 gets none", {{7, START, 150}, {30, END}}, {}},
        pass_case{"start at 8 gets the first triple", {{8, START, 150}, {30, END}}, {mark(3)}},
        pass_case{"start at 13 gets the first triple", {{13, START, 150}, {30, END}}, {mark(8)}},
        pass_case{"start at 14 gets two", {{14, START, 150}, {30, END}}, {mark(9), mark(3)}},
        pass_case{"start at 20 gets two", {{20, START, 150}, {30, END}}, {mark(15), mark(9)}},
        pass_case{
            "start at 21 gets three", {{21, START, 150}, {30, END}}, {mark(16), mark(10), mark(3)}},
        pass_case{"first free candidate in each triple",
                  {{12, BOARD}, {18, BOARD}, {19, BOARD}, {25, BOARD}, {30, START, 150}, {50, END}},
                  {mark(24), mark(17), mark(11)}},
        // Code points in a triple count as taken and keep their code.
        pass_case{"triple all taken: code 12, next triples still placed",
                  {{23, BOARD}, {24, CODE, 270}, {25, BOARD}, {30, START, 150}, {50, END}},
                  {mark(19), mark(12)},
                  result::no_cell_before_slowdown,
                  30 * 50}));

// Walk along slow slowdowns, and the signal after the end.
INSTANTIATE_TEST_SUITE_P(
    WalkAndSearch, CabCodePass,
    ::testing::Values(
        pass_case{"60 km/h 20 cells long: c+8 and c+16",
                  {{30, START, 60}, {50, END}},
                  {mark(25), mark(19), mark(12), mark(38), mark(46)}},
        pass_case{"8th step on the end cell: cell before it",
                  {{30, START, 60}, {38, END}},
                  {mark(25), mark(19), mark(12), mark(37)}},
        pass_case{"8th step on the end cell, cell before taken: cell after it",
                  {{30, START, 60}, {37, BOARD}, {38, END}},
                  {mark(25), mark(19), mark(12), mark(39)}},
        pass_case{
            "110 km/h: no walk", {{30, START, 110}, {50, END}}, {mark(25), mark(19), mark(12)}},
        pass_case{"109 km/h walks",
                  {{30, START, 109}, {40, END}},
                  {mark(25), mark(19), mark(12), mark(38)}},
        pass_case{"speed compared signed",
                  {{30, START, -5}, {40, END}},
                  {mark(25), mark(19), mark(12), mark(38)}},
        // Counted from the cell actually marked: 37, then 45, then 53.
        pass_case{"spacing restarts from a mark before the step",
                  {{30, START, 60}, {38, BOARD}, {60, END}},
                  {mark(25), mark(19), mark(12), mark(37), mark(45), mark(53)}},
        pass_case{"spacing restarts from a mark after the step",
                  {{30, START, 60}, {37, BOARD}, {38, BOARD}, {60, END}},
                  {mark(25), mark(19), mark(12), mark(39), mark(47), mark(55)}},
        pass_case{"step cell and neighbours taken: code 13, no more marks in the slowdown",
                  {{30, START, 60}, {37, BOARD}, {38, BOARD}, {39, BOARD}, {60, END}},
                  {mark(25), mark(19), mark(12)},
                  result::no_cell_in_slowdown,
                  38 * 50},
        pass_case{"signal 12 cells after the end",
                  {{30, START, 150}, {40, END}, {52, SIG}},
                  {mark(25), mark(19), mark(12), mark(51)}},
        pass_case{"signal 13 cells after the end gets nothing",
                  {{30, START, 150}, {40, END}, {53, SIG}},
                  {mark(25), mark(19), mark(12)}},
        pass_case{"only the first signal after the end",
                  {{30, START, 150}, {40, END}, {45, SIG}, {48, SIG}},
                  {mark(25), mark(19), mark(12), mark(44)}},
        pass_case{"cell before the signal taken: the one before that",
                  {{30, START, 150}, {40, END}, {44, BOARD}, {45, SIG}},
                  {mark(25), mark(19), mark(12), mark(43)}},
        pass_case{"both cells before the signal taken: code 13 at the end cell",
                  {{30, START, 150}, {40, END}, {43, BOARD}, {44, BOARD}, {45, SIG}},
                  {mark(25), mark(19), mark(12)},
                  result::no_cell_in_slowdown,
                  40 * 50},
        pass_case{"walk mark after the end does not hide the signal",
                  {{30, START, 60}, {37, BOARD}, {38, END}, {41, SIG}},
                  {mark(25), mark(19), mark(12), mark(39), mark(40)}}));

// A fast slowdown looks for the signal after its own end, never from where an earlier
// slowdown's walk stopped.
INSTANTIATE_TEST_SUITE_P(
    FastSlowdownAfterSlowOne, CabCodePass,
    ::testing::Values(
        // From the old walk position 40 the window 40..52 would miss the signal at 90.
        pass_case{"signal after the fast slowdown's own end is found",
                  {{30, START, 60}, {40, END}, {60, START, 120}, {80, END}, {90, SIG}},
                  {mark(25), mark(19), mark(12), mark(38), mark(55), mark(49), mark(42), mark(89)}},
        // The slow slowdown puts 49 before the signal at 50; from the old walk position the fast
        // one would find that signal again and add a wrong code point at 48.
        pass_case{
            "no code point from the earlier slowdown's window",
            {{30, START, 60}, {40, END}, {45, START, 120}, {50, SIG}, {70, END}},
            {mark(25), mark(19), mark(12), mark(38), mark(49), mark(39), mark(34), mark(27)}}));

// A grid that breaks the data model must not lead the pass outside it. Where the vector is longer
// than last_cell, what lies past the last cell shows whether the pass looked there.
INSTANTIATE_TEST_SUITE_P(
    GridBounds, CabCodePass,
    ::testing::Values(pass_case{"slow slowdown without end before the last cell: code 29",
                                {{30, START, 60}, {50, END}},
                                {mark(25), mark(19), mark(12), mark(38)},
                                result::slowdown_without_end,
                                30 * 50,
                                45,
                                60},
                      pass_case{"fast slowdown without end before the last cell: code 29",
                                {{30, START, 150}, {55, END}},
                                {mark(25), mark(19), mark(12)},
                                result::slowdown_without_end,
                                30 * 50,
                                50,
                                60},
                      pass_case{"step on the last cell: the cell after it is not free",
                                {{30, START, 60}, {37, BOARD}, {38, END}},
                                {mark(25), mark(19), mark(12)},
                                result::no_cell_in_slowdown,
                                38 * 50,
                                38,
                                50},
                      pass_case{"search stops at the last cell",
                                {{30, START, 150}, {40, END}, {47, SIG}},
                                {mark(25), mark(19), mark(12)},
                                0,
                                0,
                                45,
                                60},
                      pass_case{"step on the last cell, exact grid",
                                {{30, START, 60}, {37, BOARD}, {38, END}},
                                {mark(25), mark(19), mark(12)},
                                result::no_cell_in_slowdown,
                                38 * 50,
                                38}));

TEST(CabCodePass, TinyGridsAreLeftAlone) {
    for (int cells : {0, 1, 2, 3}) {
        scenario_model m;
        m.route_grid.resize(static_cast<std::size_t>(cells));
        m.last_cell = cells - 1;
        if (cells > 1) m.route_grid[1].kind = START;
        const route_grid_t before = m.route_grid;
        cab_code_pass(m);
        EXPECT_EQ(m.route_grid, before) << cells << " cells";
        EXPECT_EQ(m.result_code, 0);
    }
}

TEST(CabCodePass, LaterCodeReplacesEarlierOne) {
    scenario_model m = grid_model(100, 101,
                                  {{33, BOARD},
                                   {34, BOARD},
                                   {35, SIG},
                                   {40, WARN},  // code 11
                                   {53, BOARD},
                                   {54, BOARD},
                                   {55, BOARD},
                                   {60, START, 150},
                                   {70, END}});  // then code 12
    m.result_code = 16;                          // left by the compiler
    cab_code_pass(m);
    EXPECT_EQ(m.result_code, result::no_cell_before_slowdown);
    EXPECT_EQ(m.error_position, 60 * 50);
}

struct minimo_case {
    tagged_value x, y, expected;
};

TEST(Minimo, SmallerValueEqualGivesX) {
    using tv = tagged_value;
    const minimo_case cases[] = {
        {tv::of_int16(180), tv::of_int16(270), tv::of_int16(180)},
        {tv::of_int16(180), tv::of_int16(75), tv::of_int16(75)},
        // Equal values: x, with x's type.
        {tv::of_int16(180), tv::of_int32(180), tv::of_int16(180)},
        {tv::of_int32(180), tv::of_int16(180), tv::of_int32(180)},
        {tv::of_int16(180), tv::of_double(180.0), tv::of_int16(180)},
        // Compared by value across types.
        {tv::of_int16(180), tv::of_double(179.5), tv::of_double(179.5)},
        {tv::of_int32(70000), tv::of_int16(180), tv::of_int16(180)},
        {tv::of_int16(-1), tv::of_int16(0), tv::of_int16(-1)},
        // Empty counts as 0.
        {tv::of_int16(180), tv{}, tv{}},
        {tv{}, tv::of_int16(-1), tv::of_int16(-1)},
        {tv{}, tv::of_int16(0), tv{}},
    };
    for (const auto& c : cases) {
        const tagged_value r = minimo(c.x, c.y);
        EXPECT_EQ(r, c.expected) << "minimo(" << c.x.as_double() << ", " << c.y.as_double() << ")";
        EXPECT_EQ(r.type(), c.expected.type());
    }
}

}  // namespace
}  // namespace compattatore
