// Slowdowns: memo_rallentamento.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "compiler/placement.hpp"
#include "grid_fixture.hpp"
#include "ground/result_codes.hpp"
#include "ground/rounding.hpp"

namespace compattatore {
namespace {

using testing::changed_cells;
using testing::grid_model;
using testing::int32_max;
using testing::with_kind;

constexpr slowdown_record first_slowdown{6700, 60, 800, 0, 0, 60};
constexpr slowdown_record second_slowdown{131450, 90, 5000, 1, 1, 90};

TEST(Slowdown, FirstSlowdownOfTheScenario) {
    scenario_model m = grid_model();
    const route_grid_t before = m.route_grid;
    ASSERT_EQ(memo_rallentamento(m, first_slowdown), 0);

    EXPECT_EQ(changed_cells(before, m.route_grid), (std::vector<std::size_t>{111, 135, 151}));
    const route_cell& w = m.route_grid[111];
    const route_cell& a = m.route_grid[135];
    const route_cell& z = m.route_grid[151];
    EXPECT_EQ(w.kind, cell_kind::slowdown_warning);
    EXPECT_EQ(a.kind, cell_kind::slowdown_start);
    EXPECT_EQ(z.kind, cell_kind::slowdown_end);
    for (const route_cell* c : {&w, &a, &z}) {
        EXPECT_EQ(c->value_a, 60);
        EXPECT_EQ(c->value_b, 60);
        EXPECT_EQ(c->value_c, 0);
    }
}

TEST(Slowdown, SecondSlowdownWithPrewarnings) {
    scenario_model m = grid_model();
    m.route_grid[2606].value_c = 55;  // the warning cell's value_c is not written
    const route_grid_t before = m.route_grid;
    ASSERT_EQ(memo_rallentamento(m, second_slowdown), 0);

    EXPECT_EQ(changed_cells(before, m.route_grid),
              (std::vector<std::size_t>{2602, 2603, 2604, 2605, 2606, 2630, 2730}));
    EXPECT_EQ(m.route_grid[2606].kind, cell_kind::slowdown_warning);
    EXPECT_EQ(m.route_grid[2606].value_a, 90);
    EXPECT_EQ(m.route_grid[2606].value_b, 90);
    EXPECT_EQ(m.route_grid[2606].value_c, 55);
    for (std::size_t i : {2630, 2730}) {
        EXPECT_EQ(m.route_grid[i].value_a, 90);
        EXPECT_EQ(m.route_grid[i].value_b, 90);
        EXPECT_EQ(m.route_grid[i].value_c, 1);
    }
    EXPECT_EQ(m.route_grid[2630].kind, cell_kind::slowdown_start);
    EXPECT_EQ(m.route_grid[2730].kind, cell_kind::slowdown_end);
    for (std::int16_t i = 0; i < 4; ++i) {
        const route_cell& pre = m.route_grid[static_cast<std::size_t>(2605 - i)];
        EXPECT_EQ(pre.kind, cell_kind::slowdown_prewarning);
        EXPECT_EQ(pre.value_a, i + 1);
        EXPECT_EQ(pre.value_b, i + 1);
        EXPECT_EQ(pre.value_c, 0);
    }
}

TEST(Slowdown, NearTheOriginOnlyStartAndEnd) {
    for (std::int32_t x : {1500, 1000, 0}) {
        SCOPED_TRACE(x);
        scenario_model m = grid_model();
        const route_grid_t before = m.route_grid;
        ASSERT_EQ(memo_rallentamento(m, {x, 30, 500, 2, 1, 30}), 0);
        const std::size_t a = static_cast<std::size_t>(x / 50 + 1);
        EXPECT_EQ(changed_cells(before, m.route_grid), (std::vector<std::size_t>{a, a + 10}));
    }
    // Just past the limit the warning and pre-warnings appear.
    scenario_model m = grid_model();
    ASSERT_EQ(memo_rallentamento(m, {1550, 30, 500, 2, 1, 30}), 0);
    EXPECT_EQ(m.route_grid[8].kind, cell_kind::slowdown_warning);
    EXPECT_EQ(m.route_grid[7].kind, cell_kind::slowdown_prewarning);
    EXPECT_EQ(m.route_grid[4].kind, cell_kind::slowdown_prewarning);
}

TEST(Slowdown, ZeroCodeValueLeavesValueBAlone) {
    scenario_model m = grid_model();
    for (std::size_t i : {2602, 2603, 2604, 2605, 2606, 2630, 2730}) m.route_grid[i].value_b = 7;
    slowdown_record s = second_slowdown;
    s.d_v = 0;
    ASSERT_EQ(memo_rallentamento(m, s), 0);
    for (std::size_t i : {2602, 2603, 2604, 2605, 2606, 2630, 2730}) {
        EXPECT_EQ(m.route_grid[i].value_b, 7) << i;
        EXPECT_NE(m.route_grid[i].kind, cell_kind::empty) << i;
    }
    EXPECT_EQ(m.route_grid[2605].value_a, 1);
}

TEST(Slowdown, ValuesKeepTheirLowBits) {
    scenario_model m = grid_model();
    ASSERT_EQ(memo_rallentamento(m, {6700, 65536 + 60, 800, -65535, 0, 70000}), 0);
    EXPECT_EQ(m.route_grid[135].value_a, 60);
    EXPECT_EQ(m.route_grid[135].value_c, 1);
    EXPECT_EQ(m.route_grid[135].value_b, 4464);
    EXPECT_EQ(m.route_grid[111].value_b, 4464);
}

TEST(Slowdown, TakenMainCellLeavesTheGridUnchanged) {
    struct {
        std::size_t taken;
        std::int32_t code;
    } const cases[] = {
        {2606, result::warning_cell_taken},
        {2630, result::start_cell_taken},
        {2730, result::end_cell_taken},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.taken);
        scenario_model m = grid_model();
        m.route_grid[c.taken] = with_kind(cell_kind::signal);
        const route_grid_t before = m.route_grid;
        EXPECT_EQ(memo_rallentamento(m, second_slowdown), c.code);
        EXPECT_EQ(m.result_code, c.code);
        EXPECT_EQ(m.route_grid, before);
    }
}

TEST(Slowdown, TakenPrewarningCellLeavesTheMainCellsWritten) {
    scenario_model m = grid_model();
    m.route_grid[2603] = with_kind(cell_kind::speed_board);
    const route_grid_t before = m.route_grid;
    EXPECT_EQ(memo_rallentamento(m, second_slowdown), result::prewarning_cells_taken);
    EXPECT_EQ(m.result_code, result::prewarning_cells_taken);
    EXPECT_EQ(changed_cells(before, m.route_grid), (std::vector<std::size_t>{2606, 2630, 2730}));
    EXPECT_EQ(m.route_grid[2630].value_a, 90);
}

TEST(Slowdown, MountainMarkersAreFree) {
    scenario_model m = grid_model();
    for (std::size_t i : {2602, 2606, 2630, 2730}) {
        m.route_grid[i] = with_kind(cell_kind::mountain_marker);
    }
    EXPECT_EQ(memo_rallentamento(m, second_slowdown), 0);
    EXPECT_EQ(m.route_grid[2602].kind, cell_kind::slowdown_prewarning);
    EXPECT_EQ(m.route_grid[2730].kind, cell_kind::slowdown_end);
}

TEST(Slowdown, ShorterThanACellEndsAsAStart) {
    scenario_model m = grid_model();
    ASSERT_EQ(memo_rallentamento(m, {6700, 60, 0, 4, 0, 0}), 0);
    EXPECT_EQ(m.route_grid[135].kind, cell_kind::slowdown_start);
    EXPECT_EQ(m.route_grid[135].value_a, 60);
    EXPECT_EQ(m.route_grid[135].value_c, 4);
}

TEST(Slowdown, OutsideTheGrid) {
    struct {
        std::string name;
        slowdown_record s;
        std::int32_t code;
    } const cases[] = {
        {"end_beyond", {190000, 60, 10000, 0, 1, 60}, result::beyond_route_grid},
        {"end_one_past_last", {194000, 60, 1000, 0, 1, 60}, result::beyond_route_grid},
        {"start_negative", {-1000, 60, 500, 0, 0, 60}, result::before_route_grid},
        {"negative_length_end_negative", {100, 60, -500, 0, 0, 60}, result::before_route_grid},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        scenario_model m = grid_model();
        const route_grid_t before = m.route_grid;
        EXPECT_EQ(memo_rallentamento(m, c.s), c.code);
        EXPECT_EQ(m.result_code, c.code);
        EXPECT_EQ(m.route_grid, before);
    }
    // The end on the last cell is still inside.
    scenario_model m = grid_model();
    EXPECT_EQ(memo_rallentamento(m, {194000, 60, 950, 0, 1, 60}), 0);
    EXPECT_EQ(m.route_grid[3900].kind, cell_kind::slowdown_end);
}

TEST(Slowdown, EndPositionThatDoesNotFitThrows) {
    scenario_model m = grid_model();
    const route_grid_t before = m.route_grid;
    EXPECT_THROW(memo_rallentamento(m, {190000, 60, int32_max, 0, 0, 60}), value_overflow);
    EXPECT_EQ(m.route_grid, before);
}

}  // namespace
}  // namespace compattatore
