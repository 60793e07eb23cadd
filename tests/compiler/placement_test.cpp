#include "compiler/placement.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "ground/result_codes.hpp"
#include "ground/rounding.hpp"

namespace compattatore {
namespace {

constexpr std::int32_t int32_max = std::numeric_limits<std::int32_t>::max();

// The scenario's grid: a 188000 m line gives cells 0 to 3900.
scenario_model grid_model(std::int32_t last_cell = 3900) {
    scenario_model m;
    m.last_cell = last_cell;
    m.route_grid.assign(static_cast<std::size_t>(last_cell) + 1, route_cell{});
    return m;
}

// Indices of the cells that differ between two grids of the same size.
std::vector<std::size_t> changed_cells(const route_grid_t& before, const route_grid_t& after) {
    std::vector<std::size_t> out;
    for (std::size_t i = 0; i < before.size(); ++i) {
        if (!(before[i] == after[i])) out.push_back(i);
    }
    return out;
}

route_cell with_kind(std::uint8_t kind) {
    route_cell c;
    c.kind = kind;
    return c;
}

// ---------------------------------------------------------------------------------------------
// Kilometre progressives

struct prog {
    std::int32_t start, offset, flag;
    friend bool operator==(const prog&, const prog&) = default;
};

void PrintTo(const prog& p, std::ostream* os) {
    *os << "(" << p.start << ", " << p.offset << ", " << p.flag << ")";
}

struct progressive_case {
    std::string name;
    prog tre, due, uno;        // entries 81, 82, 83 as read
    prog out81, out82, out83;  // after ordering
};

void set_slot(station_table_t& t, int slot, prog p) {
    t[slot].area_start = p.start;
    t[slot].area_end = p.offset;
    t[slot].position = p.flag;
}

prog get_slot(const station_table_t& t, int slot) {
    return {t[slot].area_start, t[slot].area_end, t[slot].position};
}

class ProgressiveOrder : public ::testing::TestWithParam<progressive_case> {};

TEST_P(ProgressiveOrder, OrdersTheThreeSlots) {
    const progressive_case& c = GetParam();
    station_table_t table{};
    set_slot(table, station_slot::progressive_three, c.tre);
    set_slot(table, station_slot::progressive_two, c.due);
    set_slot(table, station_slot::progressive_one, c.uno);
    table[station_slot::progressive_three].name = "kept";
    table[station_slot::train_and_line].area_start = 77;

    progressive_ordina(table);

    EXPECT_EQ(get_slot(table, station_slot::progressive_three), c.out81);
    EXPECT_EQ(get_slot(table, station_slot::progressive_two), c.out82);
    EXPECT_EQ(get_slot(table, station_slot::progressive_one), c.out83);
    // Only the nine numbers move.
    EXPECT_EQ(table[station_slot::progressive_three].name, "kept");
    EXPECT_EQ(table[station_slot::train_and_line].area_start, 77);
}

constexpr prog zero{0, 0, 0};

INSTANTIATE_TEST_SUITE_P(
    Cases, ProgressiveOrder,
    ::testing::Values(
        progressive_case{
            "scenario", zero, zero, {90800, -90800, 0}, {90800, -90800, 0}, zero, zero},
        progressive_case{"already_descending",
                         {50000, 1, 0},
                         {20000, 2, 0},
                         {0, 3, 0},
                         {50000, 1, 0},
                         {20000, 2, 0},
                         {0, 3, 0}},
        progressive_case{"due_greatest_then_uno",
                         {100, 1, 0},
                         {900, 2, 0},
                         {500, 3, 0},
                         {900, 2, 0},
                         {500, 3, 0},
                         {100, 1, 0}},
        progressive_case{"tie_for_greatest_clears_all",
                         {0, 1, 0},
                         {30000, 2, 0},
                         {30000, 3, 0},
                         zero,
                         zero,
                         zero},
        progressive_case{"tie_for_second_goes_to_uno",
                         {10000, 1, 0},
                         {5000, 2, 0},
                         {5000, 3, 0},
                         {10000, 1, 0},
                         {5000, 3, 0},
                         {5000, 2, 0}},
        progressive_case{"zero_sum_due_offset", zero, {0, 7000, 0}, zero, {0, 7000, 0}, zero, zero},
        progressive_case{"zero_sum_later_offset_wins",
                         {0, 3000, 0},
                         zero,
                         {0, 4000, 0},
                         {0, 4000, 0},
                         zero,
                         {0, 3000, 0}},
        progressive_case{"starts_cancel_so_offsets_decide",
                         {100, 0, 0},
                         {-100, 0, 0},
                         {0, 50, 0},
                         {0, 50, 0},
                         {-100, 0, 0},
                         {100, 0, 0}},
        progressive_case{
            "zero_sum_no_positive_offset", {100, -5, 1}, {-100, 0, 0}, zero, zero, zero, zero},
        // Only flag 1 adds.
        progressive_case{"flag_adds_100_where_it_lands",
                         {0, 500, 2},
                         {40000, 2000, 1},
                         {60000, 0, 0},
                         {60000, 0, 0},
                         {40000, 2100, 1},
                         {0, 500, 2}},
        // The starts add up to 2^32: a 32-bit sum would read zero and order by offset.
        progressive_case{"huge_starts_do_not_wrap_to_zero",
                         {int32_max, 0, 0},
                         {int32_max - 1, 0, 0},
                         {3, 50, 0},
                         {int32_max, 0, 0},
                         {int32_max - 1, 0, 0},
                         {3, 50, 0}}),
    [](const auto& info) { return info.param.name; });

TEST(ProgressiveOrder, OffsetThatNoLongerFitsThrowsAndLeavesTheTable) {
    station_table_t table{};
    set_slot(table, station_slot::progressive_one, {90800, int32_max - 50, 1});
    const station_table_t before = table;
    EXPECT_THROW(progressive_ordina(table), value_overflow);
    EXPECT_EQ(table, before);
}

// ---------------------------------------------------------------------------------------------
// Mountains

std::int32_t add_mountain(scenario_model& m, std::int32_t inizio, std::int32_t fine,
                          std::int32_t tipo) {
    return memo_montagna(m, inizio, fine, tipo);
}

TEST(Mountain, ScenarioMountainTypesOneCell) {
    scenario_model m = grid_model();
    const route_grid_t before = m.route_grid;
    std::int32_t inizio = 1500, fine = 1550, tipo = 2;

    EXPECT_EQ(memo_montagna(m, inizio, fine, tipo), 0);

    EXPECT_EQ(changed_cells(before, m.route_grid), std::vector<std::size_t>{30});
    EXPECT_EQ(m.route_grid[30].mountain_type, 2);
    EXPECT_EQ(m.route_grid[30].kind, cell_kind::empty);
    EXPECT_EQ(tipo, 2);
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
    std::int32_t inizio = 10000, fine = 11000, tipo = 12;

    EXPECT_EQ(memo_montagna(m, inizio, fine, tipo), 0);

    EXPECT_EQ(tipo, 2);  // the caller's variable loses the marker request
    std::vector<std::size_t> expected;
    for (std::size_t i = 200; i <= 219; ++i) expected.push_back(i);
    EXPECT_EQ(changed_cells(before, m.route_grid), expected);
    for (std::size_t i = 200; i <= 219; ++i) {
        EXPECT_EQ(m.route_grid[i].mountain_type, 2) << i;
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
    std::int32_t second_start, second_end, second_tipo;
    std::uint8_t expected_type;
    std::uint8_t marker_kind_at_fourth;  // kind of the second mountain's 4th cell
};

class MountainJoin : public ::testing::TestWithParam<join_case> {};

TEST_P(MountainJoin, SecondMountainType) {
    const join_case& c = GetParam();
    scenario_model m = grid_model();
    ASSERT_EQ(add_mountain(m, c.first_start, c.first_end, 1), 0);
    std::int32_t inizio = c.second_start, fine = c.second_end, tipo = c.second_tipo;
    ASSERT_EQ(memo_montagna(m, inizio, fine, tipo), 0);

    const std::int32_t first = round32(c.second_start / 50.0);
    EXPECT_EQ(m.route_grid[first].mountain_type, c.expected_type);
    EXPECT_EQ(m.route_grid[first + 3].kind, c.marker_kind_at_fourth);
    EXPECT_EQ(tipo, c.expected_type);
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
    std::int32_t inizio, fine;
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
        SCOPED_TRACE(std::to_string(c.inizio) + "-" + std::to_string(c.fine));
        scenario_model m = grid_model();
        const route_grid_t before = m.route_grid;
        ASSERT_EQ(add_mountain(m, c.inizio, c.fine, 7), 0);
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
    std::int32_t inizio, fine;
    std::int32_t code;
};

class MountainBounds : public ::testing::TestWithParam<mountain_bounds_case> {};

TEST_P(MountainBounds, RejectedBeforeAnythingIsStored) {
    const mountain_bounds_case& c = GetParam();
    scenario_model m = grid_model();
    ASSERT_EQ(add_mountain(m, 1000, 1100, 1), 0);
    const scenario_model before = m;
    std::int32_t inizio = c.inizio, fine = c.fine, tipo = 14;

    EXPECT_EQ(memo_montagna(m, inizio, fine, tipo), c.code);

    EXPECT_EQ(m.result_code, c.code);
    EXPECT_EQ(m.route_grid, before.route_grid);
    EXPECT_EQ(m.mountain_count, 1);
    EXPECT_EQ(m.mountain_starts, before.mountain_starts);
    EXPECT_EQ(m.mountain_ends, before.mountain_ends);
    EXPECT_EQ(tipo, 14);
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

// ---------------------------------------------------------------------------------------------
// Speed boards

struct board {
    std::int32_t posizione;
    std::int32_t vas, vbs, vcs, strisces, vad, vbd, vcd, strisced;
};

std::int32_t place_board(scenario_model& m, board b) {
    return memo_indicatori_v_max(m, b.posizione, b.vas, b.vbs, b.vcs, b.strisces, b.vad, b.vbd,
                                 b.vcd, b.strisced);
}

struct board_case {
    std::string name;
    board b;
    std::size_t cell;
    std::int16_t a, bb, c, d;
};

class SpeedBoard : public ::testing::TestWithParam<board_case> {};

TEST_P(SpeedBoard, PacksTheSpeeds) {
    const board_case& c = GetParam();
    scenario_model m = grid_model();
    m.record(result::beyond_route_grid);  // an earlier problem stays recorded
    const route_grid_t before = m.route_grid;

    EXPECT_EQ(place_board(m, c.b), 0);

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
    EXPECT_EQ(place_board(m, {1200, 100, 110, 120, 0, 100, 110, 120, 0}), 0);
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
        EXPECT_EQ(place_board(m, {1200, 100, 110, 120, 0, 100, 110, 120, 0}),
                  result::speed_board_cell_taken);
        EXPECT_EQ(m.result_code, result::speed_board_cell_taken);
        EXPECT_EQ(m.route_grid, before);
    }
}

TEST(SpeedBoard, PackedSpeedThatDoesNotFitThrowsWithTheCellUntouched) {
    const board cases[] = {
        {1200, 100, 1639, 0, 0, 0, 0, 0, 0},     // 32780 > 32767
        {1200, 0, 0, -1639, 0, 0, 0, -5, 0},     // -32781 < -32768
        {1200, 200000000, 0, 0, 0, 0, 0, 0, 0},  // 20 x speed exceeds 32 bits
        {1200, 1638, 0, 0, 0, 100, 0, 0, 0},     // 32760 + 20
    };
    for (const board& b : cases) {
        scenario_model m = grid_model();
        const route_grid_t before = m.route_grid;
        EXPECT_THROW(place_board(m, b), value_overflow);
        EXPECT_EQ(m.route_grid, before);
    }
    // The largest value that fits is accepted.
    scenario_model m = grid_model();
    EXPECT_EQ(place_board(m, {1200, 1638, 0, 0, 0, 35, 0, 0, 0}), 0);
    EXPECT_EQ(m.route_grid[25].value_a, 32767);
}

TEST(SpeedBoard, OutsideTheGrid) {
    struct {
        std::int32_t posizione, code;
    } const cases[] = {
        {-100, result::before_route_grid},  // cell -1
        {-75, 0},                           // -0.5 rounds to cell 0
        {195000, result::beyond_route_grid},
        {194950, 0},  // cell 3900
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.posizione);
        scenario_model m = grid_model();
        const route_grid_t before = m.route_grid;
        EXPECT_EQ(place_board(m, {c.posizione, 100, 100, 100, 0, 100, 100, 100, 0}), c.code);
        EXPECT_EQ(m.result_code, c.code);
        if (c.code != 0)
            EXPECT_EQ(m.route_grid, before);
        else
            EXPECT_EQ(changed_cells(before, m.route_grid).size(), 1u);
    }
}

// ---------------------------------------------------------------------------------------------
// Signals

struct signal {
    std::int32_t posizione;
    std::int32_t sx, s1, s2, s3, rapp, dx, d1, d2, d3, tempo;
};

// Places s and returns the code; the tempo as left by the placement goes back into s.
std::int32_t place_signal(scenario_model& m, signal& s) {
    return memo_segnale(m, s.posizione, s.sx, s.s1, s.s2, s.s3, s.rapp, s.dx, s.d1, s.d2, s.d3,
                        s.tempo);
}

constexpr signal common_signal{2800, 2, 4, 1, 1, 0, 2, 2, 1, 1, 0};

TEST(Signal, CommonSignalOfTheScenario) {
    scenario_model m = grid_model();
    m.record(result::beyond_route_grid);
    const route_grid_t before = m.route_grid;
    signal s = common_signal;

    EXPECT_EQ(place_signal(m, s), 0);

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
    EXPECT_EQ(s.tempo, 0);
    EXPECT_EQ(m.result_code, result::beyond_route_grid);  // success records nothing
}

TEST(Signal, OpeningDelay) {
    struct {
        std::int32_t sx, tempo;
        std::uint8_t delay;
        std::int32_t tempo_after;
    } const cases[] = {
        {2, 110, 110, 110}, {1, 110, 0, 110},   {2, 50, 101, 101},  {2, 300, 44, 300},
        {2, 1, 101, 101},   {2, 100, 101, 101}, {2, 101, 101, 101}, {2, 0, 0, 0},
        {2, -5, 251, -5},   {1, 50, 0, 101},    {0, 200, 0, 200},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.sx) + "/" + std::to_string(c.tempo));
        scenario_model m = grid_model();
        signal s = {10800, c.sx, 4, 1, 1, 0, 2, 2, 1, 1, c.tempo};
        ASSERT_EQ(place_signal(m, s), 0);
        EXPECT_EQ(m.route_grid[217].signal_delay, c.delay);
        EXPECT_EQ(s.tempo, c.tempo_after);
    }
}

TEST(Signal, NoRepeaterGivesMarks61To64) {
    scenario_model m = grid_model();
    signal s = {2800, 2, 4, 1, 1, 0, 0, 0, 0, 0, 0};
    ASSERT_EQ(place_signal(m, s), 0);
    EXPECT_EQ(m.route_grid[57].value_d, 6);
    EXPECT_EQ(m.route_grid[57].value_a, 40);
    EXPECT_EQ(m.route_grid[55].approach_mark, 61);
    EXPECT_EQ(m.route_grid[49].approach_mark, 64);
}

TEST(Signal, ValuesKeepTheLowBitsOfTheirFields) {
    scenario_model m = grid_model();
    signal s = {2800, 9, 4000, -3277, 0, 7000, 0, 0, -1, 5, 0};
    ASSERT_EQ(place_signal(m, s), 0);
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
    signal s = common_signal;
    ASSERT_EQ(place_signal(m, s), 0);
    EXPECT_EQ(m.route_grid[55].approach_mark, 81);
    EXPECT_EQ(m.route_grid[55].kind, cell_kind::station_stop);
    EXPECT_EQ(m.route_grid[53].approach_mark, 82);
}

TEST(Signal, MountainMarkerAcceptsTakenCellRefuses) {
    {
        scenario_model m = grid_model();
        m.route_grid[57] = with_kind(cell_kind::mountain_marker);
        m.route_grid[57].mountain_type = 2;
        signal s = common_signal;
        EXPECT_EQ(place_signal(m, s), 0);
        EXPECT_EQ(m.route_grid[57].kind, cell_kind::signal);
        EXPECT_EQ(m.route_grid[57].mountain_type, 2);
    }
    for (std::uint8_t kind : {cell_kind::station_stop, cell_kind::signal,
                              cell_kind::slowdown_warning, cell_kind::code_point}) {
        SCOPED_TRACE(static_cast<int>(kind));
        scenario_model m = grid_model();
        m.route_grid[57] = with_kind(kind);
        const route_grid_t before = m.route_grid;
        signal s = common_signal;
        s.tempo = 50;
        EXPECT_EQ(place_signal(m, s), result::signal_cell_taken);
        EXPECT_EQ(m.result_code, result::signal_cell_taken);
        EXPECT_EQ(m.route_grid, before);
        EXPECT_EQ(s.tempo, 50);  // not raised either
    }
}

TEST(Signal, MarksBeforeTheFirstCellAreSkipped) {
    struct {
        std::int32_t posizione;
        std::vector<std::size_t> changed;  // signal cell last
    } const cases[] = {
        {325, {0, 2, 4, 6, 8}},  // 7.5 -> cell 8: all four marks fit
        {200, {1, 3, 5}},        // cell 5: marks on 3 and 1 only
        {0, {1}},                // cell 1: no mark at all
        {-50, {0}},              // cell 0
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.posizione);
        scenario_model m = grid_model();
        const route_grid_t before = m.route_grid;
        signal s = common_signal;
        s.posizione = c.posizione;
        EXPECT_EQ(place_signal(m, s), 0);
        EXPECT_EQ(changed_cells(before, m.route_grid), c.changed);
        EXPECT_EQ(m.route_grid[c.changed.back()].kind, cell_kind::signal);
    }
    scenario_model m = grid_model();
    signal s = common_signal;
    s.posizione = 200;
    ASSERT_EQ(place_signal(m, s), 0);
    EXPECT_EQ(m.route_grid[3].approach_mark, 81);
    EXPECT_EQ(m.route_grid[1].approach_mark, 82);
}

TEST(Signal, OutsideTheGrid) {
    struct {
        std::int32_t posizione, code;
    } const cases[] = {
        {-100, result::before_route_grid},
        {-50000, result::before_route_grid},
        {195000, result::beyond_route_grid},
        {int32_max, result::beyond_route_grid},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.posizione);
        scenario_model m = grid_model();
        const route_grid_t before = m.route_grid;
        signal s = common_signal;
        s.posizione = c.posizione;
        s.tempo = 50;
        EXPECT_EQ(place_signal(m, s), c.code);
        EXPECT_EQ(m.result_code, c.code);
        EXPECT_EQ(m.error_position, 0);
        EXPECT_EQ(m.route_grid, before);
        EXPECT_EQ(s.tempo, 50);
    }
}

// ---------------------------------------------------------------------------------------------
// Slowdowns

struct slowdown {
    std::int32_t x, v, l, f_tt, f_ta, d_v;
};

std::int32_t place_slowdown(scenario_model& m, slowdown s) {
    return memo_rallentamento(m, s.x, s.v, s.l, s.f_tt, s.f_ta, s.d_v);
}

constexpr slowdown first_slowdown{6700, 60, 800, 0, 0, 60};
constexpr slowdown second_slowdown{131450, 90, 5000, 1, 1, 90};

TEST(Slowdown, FirstSlowdownOfTheScenario) {
    scenario_model m = grid_model();
    const route_grid_t before = m.route_grid;
    ASSERT_EQ(place_slowdown(m, first_slowdown), 0);

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
    ASSERT_EQ(place_slowdown(m, second_slowdown), 0);

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
        ASSERT_EQ(place_slowdown(m, {x, 30, 500, 2, 1, 30}), 0);
        const std::size_t a = static_cast<std::size_t>(x / 50 + 1);
        EXPECT_EQ(changed_cells(before, m.route_grid), (std::vector<std::size_t>{a, a + 10}));
    }
    // Just past the limit the warning and pre-warnings appear.
    scenario_model m = grid_model();
    ASSERT_EQ(place_slowdown(m, {1550, 30, 500, 2, 1, 30}), 0);
    EXPECT_EQ(m.route_grid[8].kind, cell_kind::slowdown_warning);
    EXPECT_EQ(m.route_grid[7].kind, cell_kind::slowdown_prewarning);
    EXPECT_EQ(m.route_grid[4].kind, cell_kind::slowdown_prewarning);
}

TEST(Slowdown, ZeroCodeValueLeavesValueBAlone) {
    scenario_model m = grid_model();
    for (std::size_t i : {2602, 2603, 2604, 2605, 2606, 2630, 2730}) m.route_grid[i].value_b = 7;
    slowdown s = second_slowdown;
    s.d_v = 0;
    ASSERT_EQ(place_slowdown(m, s), 0);
    for (std::size_t i : {2602, 2603, 2604, 2605, 2606, 2630, 2730}) {
        EXPECT_EQ(m.route_grid[i].value_b, 7) << i;
        EXPECT_NE(m.route_grid[i].kind, cell_kind::empty) << i;
    }
    EXPECT_EQ(m.route_grid[2605].value_a, 1);
}

TEST(Slowdown, ValuesKeepTheirLowBits) {
    scenario_model m = grid_model();
    ASSERT_EQ(place_slowdown(m, {6700, 65536 + 60, 800, -65535, 0, 70000}), 0);
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
        EXPECT_EQ(place_slowdown(m, second_slowdown), c.code);
        EXPECT_EQ(m.result_code, c.code);
        EXPECT_EQ(m.route_grid, before);
    }
}

TEST(Slowdown, TakenPrewarningCellLeavesTheMainCellsWritten) {
    scenario_model m = grid_model();
    m.route_grid[2603] = with_kind(cell_kind::speed_board);
    const route_grid_t before = m.route_grid;
    EXPECT_EQ(place_slowdown(m, second_slowdown), result::prewarning_cells_taken);
    EXPECT_EQ(m.result_code, result::prewarning_cells_taken);
    EXPECT_EQ(changed_cells(before, m.route_grid), (std::vector<std::size_t>{2606, 2630, 2730}));
    EXPECT_EQ(m.route_grid[2630].value_a, 90);
}

TEST(Slowdown, MountainMarkersAreFree) {
    scenario_model m = grid_model();
    for (std::size_t i : {2602, 2606, 2630, 2730}) {
        m.route_grid[i] = with_kind(cell_kind::mountain_marker);
    }
    EXPECT_EQ(place_slowdown(m, second_slowdown), 0);
    EXPECT_EQ(m.route_grid[2602].kind, cell_kind::slowdown_prewarning);
    EXPECT_EQ(m.route_grid[2730].kind, cell_kind::slowdown_end);
}

TEST(Slowdown, ShorterThanACellEndsAsAStart) {
    scenario_model m = grid_model();
    ASSERT_EQ(place_slowdown(m, {6700, 60, 0, 4, 0, 0}), 0);
    EXPECT_EQ(m.route_grid[135].kind, cell_kind::slowdown_start);
    EXPECT_EQ(m.route_grid[135].value_a, 60);
    EXPECT_EQ(m.route_grid[135].value_c, 4);
}

TEST(Slowdown, OutsideTheGrid) {
    struct {
        std::string name;
        slowdown s;
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
        EXPECT_EQ(place_slowdown(m, c.s), c.code);
        EXPECT_EQ(m.result_code, c.code);
        EXPECT_EQ(m.route_grid, before);
    }
    // The end on the last cell is still inside.
    scenario_model m = grid_model();
    EXPECT_EQ(place_slowdown(m, {194000, 60, 950, 0, 1, 60}), 0);
    EXPECT_EQ(m.route_grid[3900].kind, cell_kind::slowdown_end);
}

TEST(Slowdown, EndPositionThatDoesNotFitThrows) {
    scenario_model m = grid_model();
    const route_grid_t before = m.route_grid;
    EXPECT_THROW(place_slowdown(m, {190000, 60, int32_max, 0, 0, 60}), value_overflow);
    EXPECT_EQ(m.route_grid, before);
}

}  // namespace
}  // namespace compattatore
