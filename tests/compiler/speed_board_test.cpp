// Maximum-speed boards: memo_indicatori_v_max.

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
using testing::with_kind;

struct board_case {
    std::string name;
    speed_board_record b;
    std::size_t cell;
    std::int16_t a, bb, c, d;
};

class SpeedBoard : public ::testing::TestWithParam<board_case> {};

TEST_P(SpeedBoard, PacksTheSpeeds) {
    const board_case& c = GetParam();
    scenario_model m = grid_model();
    m.record(result::beyond_route_grid);  // an earlier problem stays recorded
    const route_grid_t before = m.route_grid;

    EXPECT_EQ(memo_indicatori_v_max(m, c.b), 0);

    EXPECT_EQ(changed_cells(before, m.route_grid), std::vector<std::size_t>{c.cell});
    const route_cell& cell = m.route_grid[c.cell];
    EXPECT_EQ(cell.kind, cell_kind::speed_board);
    EXPECT_EQ(cell.value_a, c.a);
    EXPECT_EQ(cell.value_b, c.bb);
    EXPECT_EQ(cell.value_c, c.c);
    EXPECT_EQ(cell.value_d, c.d);
    EXPECT_EQ(m.result_code, result::beyond_route_grid);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SpeedBoard,
    ::testing::Values(
        board_case{
            "scenario_first", {1200, 100, 110, 120, 0, 100, 110, 120, 0}, 25, 2020, 2222, 2424, 0},
        board_case{
            "at_27600", {27600, 125, 125, 140, 0, 125, 125, 140, 0}, 553, 2525, 2525, 2828, 0},
        board_case{"groups_differ", {5000, 180, 60, 30, 3, 100, 5, 0, 1}, 101, 3620, 1201, 600, 31},
        // 12 / 5 = 2.4 and 13 / 5 = 2.6 round to the nearest.
        board_case{"off_grid_speeds", {5000, 100, 100, 0, 0, 12, 13, 0, 0}, 101, 2002, 2003, 0, 0},
        board_case{"stripes_keep_low_bits", {5000, 0, 0, 0, 6554, 0, 0, 0, 7}, 101, 0, 0, 0, 11},
        board_case{
            "halfway_position_rounds_even", {1225, 5, 5, 5, 0, 5, 5, 5, 0}, 26, 101, 101, 101, 0}),
    [](const auto& info) { return info.param.name; });

TEST(SpeedBoard, ReplacesAMountainMarker) {
    scenario_model m = grid_model();
    m.route_grid[25] = with_kind(cell_kind::mountain_marker);
    m.route_grid[25].mountain_type = 2;
    EXPECT_EQ(memo_indicatori_v_max(m, {1200, 100, 110, 120, 0, 100, 110, 120, 0}), 0);
    EXPECT_EQ(m.route_grid[25].kind, cell_kind::speed_board);
    EXPECT_EQ(m.route_grid[25].mountain_type, 2);
}

TEST(SpeedBoard, TakenCellGives21AndChangesNothing) {
    for (std::uint8_t kind : {cell_kind::speed_board, cell_kind::direction_board}) {
        SCOPED_TRACE(static_cast<int>(kind));
        scenario_model m = grid_model();
        m.route_grid[25] = with_kind(kind);
        m.route_grid[25].value_a = 79;
        const route_grid_t before = m.route_grid;
        EXPECT_EQ(memo_indicatori_v_max(m, {1200, 100, 110, 120, 0, 100, 110, 120, 0}),
                  result::speed_board_cell_taken);
        EXPECT_EQ(m.result_code, result::speed_board_cell_taken);
        EXPECT_EQ(m.route_grid, before);
    }
}

// The kind and each value are written in turn: a packed speed that does not fit throws and
// leaves the kind and the values before it written, the rest of the cell as it was.
TEST(SpeedBoard, PackedSpeedThatDoesNotFitThrowsKeepingWhatWasWrittenBefore) {
    constexpr std::int16_t kept = 7;  // what the free cell held
    struct {
        const char* name;
        speed_board_record b;
        std::int16_t a, bb, c;
    } const cases[] = {
        {"b_above_16_bits", {1200, 100, 1639, 0, 0, 0, 0, 0, 0}, 2000, kept, kept},  // 32780
        {"c_below_16_bits", {1200, 0, 0, -1639, 0, 0, 0, -5, 0}, 0, 0, kept},        // -32781
        {"a_product_beyond_32_bits", {1200, 200000000, 0, 0, 0, 0, 0, 0, 0}, kept, kept, kept},
        {"a_sum_above_16_bits", {1200, 1638, 0, 0, 0, 100, 0, 0, 0}, kept, kept, kept},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        scenario_model m = grid_model();
        route_cell& free_cell = m.route_grid[25];
        free_cell.kind = cell_kind::mountain_marker;
        free_cell.value_a = free_cell.value_b = free_cell.value_c = free_cell.value_d = kept;
        const route_grid_t before = m.route_grid;
        EXPECT_THROW(memo_indicatori_v_max(m, k.b), value_overflow);
        EXPECT_EQ(changed_cells(before, m.route_grid), std::vector<std::size_t>{25});
        const route_cell& cell = m.route_grid[25];
        EXPECT_EQ(cell.kind, cell_kind::speed_board);
        EXPECT_EQ(cell.value_a, k.a);
        EXPECT_EQ(cell.value_b, k.bb);
        EXPECT_EQ(cell.value_c, k.c);
        EXPECT_EQ(cell.value_d, kept);  // the stripes come last
    }
    // The largest value that fits is accepted.
    scenario_model m = grid_model();
    EXPECT_EQ(memo_indicatori_v_max(m, {1200, 1638, 0, 0, 0, 35, 0, 0, 0}), 0);
    EXPECT_EQ(m.route_grid[25].value_a, 32767);
}

TEST(SpeedBoard, OutsideTheGrid) {
    struct {
        std::int32_t position, code;
    } const cases[] = {
        {-100, result::before_route_grid},  // cell -1
        {-75, 0},                           // -0.5 rounds to cell 0
        {195000, result::beyond_route_grid},
        {194950, 0},  // cell 3900
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.position);
        scenario_model m = grid_model();
        const route_grid_t before = m.route_grid;
        EXPECT_EQ(memo_indicatori_v_max(m, {c.position, 100, 100, 100, 0, 100, 100, 100, 0}),
                  c.code);
        EXPECT_EQ(m.result_code, c.code);
        if (c.code != 0)
            EXPECT_EQ(m.route_grid, before);
        else
            EXPECT_EQ(changed_cells(before, m.route_grid).size(), 1u);
    }
}

}  // namespace
}  // namespace compattatore
