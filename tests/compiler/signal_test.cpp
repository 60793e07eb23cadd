// Signals: memo_segnale.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "compiler/placement.hpp"
#include "grid_fixture.hpp"
#include "ground/result_codes.hpp"

namespace compattatore {
namespace {

using testing::changed_cells;
using testing::grid_model;
using testing::int32_max;
using testing::with_kind;

constexpr signal_record common_signal{2800, 2, 4, 1, 1, 0, 2, 2, 1, 1, 0};

TEST(Signal, CommonSignalOfTheScenario) {
    scenario_model m = grid_model();
    m.record(result::beyond_route_grid);
    const route_grid_t before = m.route_grid;
    signal_record s = common_signal;

    EXPECT_EQ(memo_segnale(m, s), 0);

    EXPECT_EQ(changed_cells(before, m.route_grid), (std::vector<std::size_t>{49, 51, 53, 55, 57}));
    const route_cell& cell = m.route_grid[57];
    EXPECT_EQ(cell.kind, cell_kind::signal);
    EXPECT_EQ(cell.value_a, 42);
    EXPECT_EQ(cell.value_b, 11);
    EXPECT_EQ(cell.value_c, 11);
    EXPECT_EQ(cell.value_d, 8);
    EXPECT_EQ(cell.signal_delay, 0);
    EXPECT_EQ(cell.approach_mark, 0);
    EXPECT_EQ(m.route_grid[55].approach_mark, 81);
    EXPECT_EQ(m.route_grid[53].approach_mark, 82);
    EXPECT_EQ(m.route_grid[51].approach_mark, 83);
    EXPECT_EQ(m.route_grid[49].approach_mark, 84);
    for (std::size_t i : {49, 51, 53, 55}) EXPECT_EQ(m.route_grid[i].kind, cell_kind::empty);
    EXPECT_EQ(m.result_code, result::beyond_route_grid);  // success records nothing
}

TEST(Signal, OpeningDelay) {
    struct {
        std::int32_t first_type, delay;
        std::uint8_t stored;
        std::int32_t raised;
    } const cases[] = {
        {2, 110, 110, 110}, {1, 110, 0, 110},   {2, 50, 101, 101},  {2, 300, 44, 300},
        {2, 1, 101, 101},   {2, 100, 101, 101}, {2, 101, 101, 101}, {2, 0, 0, 0},
        {2, -5, 251, -5},   {1, 50, 0, 101},    {0, 200, 0, 200},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.first_type) + "/" + std::to_string(c.delay));
        scenario_model m = grid_model();
        const signal_record s = {10800, c.first_type, 4, 1, 1, 0, 2, 2, 1, 1, c.delay};
        ASSERT_EQ(memo_segnale(m, s), 0);
        EXPECT_EQ(m.route_grid[217].signal_delay, c.stored);
        EXPECT_EQ(raised_opening_delay(c.delay), c.raised);
    }
}

TEST(Signal, NoRepeaterGivesMarks61To64) {
    scenario_model m = grid_model();
    signal_record s = {2800, 2, 4, 1, 1, 0, 0, 0, 0, 0, 0};
    ASSERT_EQ(memo_segnale(m, s), 0);
    EXPECT_EQ(m.route_grid[57].value_d, 6);
    EXPECT_EQ(m.route_grid[57].value_a, 40);
    EXPECT_EQ(m.route_grid[55].approach_mark, 61);
    EXPECT_EQ(m.route_grid[49].approach_mark, 64);
}

TEST(Signal, ValuesKeepTheLowBitsOfTheirFields) {
    scenario_model m = grid_model();
    signal_record s = {2800, 9, 4000, -3277, 0, 7000, 0, 0, -1, 5, 0};
    ASSERT_EQ(memo_segnale(m, s), 0);
    const route_cell& cell = m.route_grid[57];
    EXPECT_EQ(cell.value_a, -25536);  // 40000
    EXPECT_EQ(cell.value_b, 32765);   // -32771
    EXPECT_EQ(cell.value_c, 5);
    EXPECT_EQ(cell.value_d, 4491);                  // 70027
    EXPECT_EQ(m.route_grid[55].approach_mark, 15);  // 271
}

TEST(Signal, MarksOverwriteEarlierMarksWhateverTheCell) {
    scenario_model m = grid_model();
    m.route_grid[55] = with_kind(cell_kind::station_stop);
    m.route_grid[55].approach_mark = 3;
    m.route_grid[53].approach_mark = 7;
    signal_record s = common_signal;
    ASSERT_EQ(memo_segnale(m, s), 0);
    EXPECT_EQ(m.route_grid[55].approach_mark, 81);
    EXPECT_EQ(m.route_grid[55].kind, cell_kind::station_stop);
    EXPECT_EQ(m.route_grid[53].approach_mark, 82);
}

TEST(Signal, MountainMarkerAcceptsTakenCellRefuses) {
    {
        scenario_model m = grid_model();
        m.route_grid[57] = with_kind(cell_kind::mountain_marker);
        m.route_grid[57].mountain_type = 2;
        signal_record s = common_signal;
        EXPECT_EQ(memo_segnale(m, s), 0);
        EXPECT_EQ(m.route_grid[57].kind, cell_kind::signal);
        EXPECT_EQ(m.route_grid[57].mountain_type, 2);
    }
    for (std::uint8_t kind : {cell_kind::station_stop, cell_kind::signal,
                              cell_kind::slowdown_warning, cell_kind::code_point}) {
        SCOPED_TRACE(static_cast<int>(kind));
        scenario_model m = grid_model();
        m.route_grid[57] = with_kind(kind);
        const route_grid_t before = m.route_grid;
        signal_record s = common_signal;
        s.opening_delay = 50;
        EXPECT_EQ(memo_segnale(m, s), result::signal_cell_taken);
        EXPECT_EQ(m.result_code, result::signal_cell_taken);
        EXPECT_EQ(m.route_grid, before);
    }
}

TEST(Signal, MarksBeforeTheFirstCellAreSkipped) {
    struct {
        std::int32_t position;
        std::vector<std::size_t> changed;  // signal cell last
    } const cases[] = {
        {325, {0, 2, 4, 6, 8}},  // 7.5 -> cell 8: all four marks fit
        {200, {1, 3, 5}},        // cell 5: marks on 3 and 1 only
        {0, {1}},                // cell 1: no mark at all
        {-50, {0}},              // cell 0
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.position);
        scenario_model m = grid_model();
        const route_grid_t before = m.route_grid;
        signal_record s = common_signal;
        s.position = c.position;
        EXPECT_EQ(memo_segnale(m, s), 0);
        EXPECT_EQ(changed_cells(before, m.route_grid), c.changed);
        EXPECT_EQ(m.route_grid[c.changed.back()].kind, cell_kind::signal);
    }
    scenario_model m = grid_model();
    signal_record s = common_signal;
    s.position = 200;
    ASSERT_EQ(memo_segnale(m, s), 0);
    EXPECT_EQ(m.route_grid[3].approach_mark, 81);
    EXPECT_EQ(m.route_grid[1].approach_mark, 82);
}

TEST(Signal, OutsideTheGrid) {
    struct {
        std::int32_t position, code;
    } const cases[] = {
        {-100, result::before_route_grid},
        {-50000, result::before_route_grid},
        {195000, result::beyond_route_grid},
        {int32_max, result::beyond_route_grid},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.position);
        scenario_model m = grid_model();
        const route_grid_t before = m.route_grid;
        signal_record s = common_signal;
        s.position = c.position;
        s.opening_delay = 50;
        EXPECT_EQ(memo_segnale(m, s), c.code);
        EXPECT_EQ(m.result_code, c.code);
        EXPECT_EQ(m.error_position, 0);
        EXPECT_EQ(m.route_grid, before);
    }
}

}  // namespace
}  // namespace compattatore
