// Kilometre progressives: progressive_ordina.

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "compiler/placement.hpp"
#include "grid_fixture.hpp"
#include "ground/result_codes.hpp"
#include "ground/rounding.hpp"

namespace compattatore {
namespace {

using testing::int32_max;

struct prog {
    std::int32_t start, offset, flag;
    friend bool operator==(const prog&, const prog&) = default;
};

void PrintTo(const prog& p, std::ostream* os) {
    *os << "(" << p.start << ", " << p.offset << ", " << p.flag << ")";
}

struct progressive_case {
    std::string name;
    prog three, two, one;      // entries 81, 82, 83 as read
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
    set_slot(table, station_slot::progressive_three, c.three);
    set_slot(table, station_slot::progressive_two, c.two);
    set_slot(table, station_slot::progressive_one, c.one);
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
        progressive_case{"two_greatest_then_one",
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
        progressive_case{"tie_for_second_goes_to_one",
                         {10000, 1, 0},
                         {5000, 2, 0},
                         {5000, 3, 0},
                         {10000, 1, 0},
                         {5000, 3, 0},
                         {5000, 2, 0}},
        progressive_case{"zero_sum_two_offset", zero, {0, 7000, 0}, zero, {0, 7000, 0}, zero, zero},
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

// The order is stored first, then each slot's offset adjusted in turn: an offset that no longer
// fits throws with the order stored and the slots before it adjusted.
TEST(ProgressiveOrder, OffsetThatNoLongerFitsThrowsKeepingWhatWasStored) {
    const prog zero{0, 0, 0};
    struct {
        const char* name;
        prog three, two, one;
        prog out81, out82, out83;
    } const cases[] = {
        {"first_slot",
         zero,
         zero,
         {90800, int32_max - 50, 1},
         {90800, int32_max - 50, 1},
         zero,
         zero},
        {"second_slot_after_the_first_adjusted",
         {50000, 2000, 1},
         {40000, int32_max - 50, 1},
         zero,
         {50000, 2100, 1},
         {40000, int32_max - 50, 1},
         zero},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        station_table_t table{};
        set_slot(table, station_slot::progressive_three, c.three);
        set_slot(table, station_slot::progressive_two, c.two);
        set_slot(table, station_slot::progressive_one, c.one);
        EXPECT_THROW(progressive_ordina(table), value_overflow);
        EXPECT_EQ(get_slot(table, station_slot::progressive_three), c.out81);
        EXPECT_EQ(get_slot(table, station_slot::progressive_two), c.out82);
        EXPECT_EQ(get_slot(table, station_slot::progressive_one), c.out83);
    }
}

}  // namespace
}  // namespace compattatore
