// Mountains: memo_montagna.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "compiler/placement.hpp"
#include "grid_fixture.hpp"
#include "ground/result_codes.hpp"
#include "ground/rounding.hpp"
#include "ground/units.hpp"

namespace compattatore {
namespace {

using testing::changed_cells;
using testing::grid_model;
using testing::with_kind;

std::int32_t add_mountain(scenario_model& m, std::int32_t start, std::int32_t end,
                          std::int32_t type) {
    return memo_montagna(m, {start, end, type});
}

TEST(Mountain, ScenarioMountainTypesOneCell) {
    scenario_model m = grid_model();
    const route_grid_t before = m.route_grid;
    EXPECT_EQ(add_mountain(m, 1500, 1550, 2), 0);

    EXPECT_EQ(changed_cells(before, m.route_grid), std::vector<std::size_t>{30});
    EXPECT_EQ(m.route_grid[30].mountain_type, 2);
    EXPECT_EQ(m.route_grid[30].kind, cell_kind::empty);
    EXPECT_EQ(m.mountain_count, 1);
    EXPECT_EQ(m.mountain_starts[1], 1500);
    EXPECT_EQ(m.mountain_ends[1], 1550);
    EXPECT_EQ(m.line_counter, 31);
    EXPECT_EQ(m.result_code, 0);
}

TEST(Mountain, MarkersEveryFourthCellOnlyWhereEmpty) {
    scenario_model m = grid_model();
    m.route_grid[207] = with_kind(cell_kind::speed_board);
    const route_grid_t before = m.route_grid;
    EXPECT_EQ(add_mountain(m, 10000, 11000, 12), 0);

    std::vector<std::size_t> expected;
    for (std::size_t i = 200; i <= 219; ++i) expected.push_back(i);
    EXPECT_EQ(changed_cells(before, m.route_grid), expected);
    for (std::size_t i = 200; i <= 219; ++i) {
        EXPECT_EQ(m.route_grid[i].mountain_type, 2) << i;  // the marker request taken off
        const bool marker = i == 203 || i == 211 || i == 215 || i == 219;
        EXPECT_EQ(m.route_grid[i].kind == cell_kind::mountain_marker, marker) << i;
    }
    // The taken cell keeps its kind but still counts, so 211 is the next marker.
    EXPECT_EQ(m.route_grid[207].kind, cell_kind::speed_board);
    EXPECT_EQ(m.line_counter, 220);
}

struct join_case {
    std::string name;
    std::int32_t first_start, first_end;
    std::int32_t second_start, second_end, second_type;
    std::uint8_t expected_type;
    std::uint8_t marker_kind_at_fourth;  // kind of the second mountain's 4th cell
};

class MountainJoin : public ::testing::TestWithParam<join_case> {};

TEST_P(MountainJoin, SecondMountainType) {
    const join_case& c = GetParam();
    scenario_model m = grid_model();
    ASSERT_EQ(add_mountain(m, c.first_start, c.first_end, 1), 0);
    ASSERT_EQ(add_mountain(m, c.second_start, c.second_end, c.second_type), 0);

    const std::int32_t first = round32(in_cells(c.second_start));
    const std::int32_t last = round32(in_cells(c.second_end) - 1.0);
    EXPECT_EQ(m.route_grid[first].mountain_type, c.expected_type);
    EXPECT_EQ(m.route_grid[first + 3].kind, c.marker_kind_at_fourth);
    EXPECT_EQ(m.route_grid[last].mountain_type, c.expected_type);  // the whole mountain
    EXPECT_EQ(m.mountain_count, 2);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MountainJoin,
    ::testing::Values(join_case{"gap_150_joins", 10000, 11000, 11150, 12000, 5, 3, 0},
                      join_case{"gap_151_keeps_type", 10000, 11000, 11151, 12000, 5, 5, 0},
                      join_case{"overlap_joins", 10000, 11000, 10500, 12000, 4, 3, 0},
                      // Measured from the previous mountain even when that lies far ahead.
                      join_case{"earlier_on_the_line_joins", 50000, 51000, 10000, 11000, 4, 3, 0},
                      join_case{"joined_keeps_markers", 10000, 11000, 11100, 12000, 12, 3,
                                cell_kind::mountain_marker}),
    [](const auto& info) { return info.param.name; });

TEST(Mountain, JoinLooksOnlyAtThePreviousMountainInFileOrder) {
    scenario_model m = grid_model();
    ASSERT_EQ(add_mountain(m, 50000, 51000, 1), 0);
    ASSERT_EQ(add_mountain(m, 10000, 11000, 1), 0);  // joins (overlap with the one before)
    // 100 m after the first mountain but 40100 m after the second: no join.
    ASSERT_EQ(add_mountain(m, 51100, 52000, 4), 0);
    EXPECT_EQ(m.route_grid[1022].mountain_type, 4);
}

struct rounding_case {
    std::int32_t start, end;
    std::int32_t first_cell, last_cell;
};

TEST(Mountain, CellsRoundHalvesToEven) {
    const rounding_case cases[] = {
        {1525, 1700, 30, 33},  // 30.5 -> 30; 34 - 1 = 33
        {1575, 1700, 32, 33},  // 31.5 -> 32
        {1500, 1625, 30, 32},  // 32.5 - 1 = 31.5 -> 32
        {1500, 1675, 30, 32},  // 33.5 - 1 = 32.5 -> 32
    };
    for (const rounding_case& c : cases) {
        SCOPED_TRACE(std::to_string(c.start) + "-" + std::to_string(c.end));
        scenario_model m = grid_model();
        const route_grid_t before = m.route_grid;
        ASSERT_EQ(add_mountain(m, c.start, c.end, 7), 0);
        const std::vector<std::size_t> changed = changed_cells(before, m.route_grid);
        ASSERT_FALSE(changed.empty());
        EXPECT_EQ(changed.front(), static_cast<std::size_t>(c.first_cell));
        EXPECT_EQ(changed.back(), static_cast<std::size_t>(c.last_cell));
        EXPECT_EQ(changed.size(), static_cast<std::size_t>(c.last_cell - c.first_cell + 1));
    }
}

TEST(Mountain, EmptyRangeTouchesNoCellButCountsAndJoins) {
    scenario_model m = grid_model();
    const route_grid_t before = m.route_grid;
    ASSERT_EQ(add_mountain(m, 1500, 1510, 2), 0);  // cells 30 to 29
    EXPECT_EQ(m.route_grid, before);
    EXPECT_EQ(m.mountain_count, 1);
    EXPECT_EQ(m.mountain_ends[1], 1510);
    EXPECT_EQ(m.line_counter, 30);

    ASSERT_EQ(add_mountain(m, 1600, 2000, 6), 0);  // 90 m after it: joined
    EXPECT_EQ(m.route_grid[32].mountain_type, 3);
}

TEST(Mountain, TypeKeepsItsLowByte) {
    scenario_model m = grid_model();
    ASSERT_EQ(add_mountain(m, 1500, 1550, 260), 0);  // 250 after the marker reduction
    EXPECT_EQ(m.route_grid[30].mountain_type, 250);
    ASSERT_EQ(add_mountain(m, 5000, 5050, 9), 0);
    ASSERT_EQ(add_mountain(m, 20000, 20050, -1), 0);
    EXPECT_EQ(m.route_grid[400].mountain_type, 255);
}

struct mountain_bounds_case {
    std::string name;
    std::int32_t start, end;
    std::int32_t code;
};

class MountainBounds : public ::testing::TestWithParam<mountain_bounds_case> {};

TEST_P(MountainBounds, RejectedBeforeAnythingIsStored) {
    const mountain_bounds_case& c = GetParam();
    scenario_model m = grid_model();
    ASSERT_EQ(add_mountain(m, 1000, 1100, 1), 0);
    const scenario_model before = m;
    EXPECT_EQ(add_mountain(m, c.start, c.end, 14), c.code);

    EXPECT_EQ(m.result_code, c.code);
    EXPECT_EQ(m.route_grid, before.route_grid);
    EXPECT_EQ(m.mountain_count, 1);
    EXPECT_EQ(m.mountain_starts, before.mountain_starts);
    EXPECT_EQ(m.mountain_ends, before.mountain_ends);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MountainBounds,
    ::testing::Values(
        mountain_bounds_case{"end_beyond_grid", 190000, 200000, result::beyond_route_grid},
        mountain_bounds_case{"last_cell_just_beyond", 194000, 195100, result::beyond_route_grid},
        mountain_bounds_case{"start_before_grid", -500, 1000, result::before_route_grid},
        mountain_bounds_case{"start_just_before", -26, 1000, result::before_route_grid},
        mountain_bounds_case{"single_cell_beyond", 195050, 195100, result::beyond_route_grid},
        mountain_bounds_case{"single_cell_before", -50, 0, result::before_route_grid}),
    [](const auto& info) { return info.param.name; });

TEST(Mountain, ReachesTheLastCellExactly) {
    scenario_model m = grid_model();
    ASSERT_EQ(add_mountain(m, 194000, 195050, 2), 0);  // cells 3880 to 3900
    EXPECT_EQ(m.route_grid[3900].mountain_type, 2);
    EXPECT_EQ(m.route_grid[3880].mountain_type, 2);
}

TEST(Mountain, EmptyRangeOutsideTheGridIsNotChecked) {
    scenario_model m = grid_model();
    EXPECT_EQ(add_mountain(m, -5000, -5010, 2), 0);
    EXPECT_EQ(m.mountain_count, 1);
}

TEST(Mountain, EightyFirstMountainIsRejected) {
    scenario_model m = grid_model();
    for (std::int32_t i = 0; i < max_mountains; ++i) {
        ASSERT_EQ(add_mountain(m, 1000 * i, 1000 * i + 500, 1), 0) << i;
    }
    ASSERT_EQ(m.mountain_count, 80);
    const scenario_model before = m;

    EXPECT_EQ(add_mountain(m, 150000, 151000, 2), result::too_many_mountains);

    EXPECT_EQ(m.result_code, result::too_many_mountains);
    EXPECT_EQ(m.mountain_count, 80);
    EXPECT_EQ(m.mountain_starts, before.mountain_starts);
    EXPECT_EQ(m.mountain_ends, before.mountain_ends);
    EXPECT_EQ(m.route_grid, before.route_grid);
}

}  // namespace
}  // namespace compattatore
