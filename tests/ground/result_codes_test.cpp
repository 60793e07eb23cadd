#include "ground/result_codes.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>

namespace compattatore {
namespace {

// The lookup searches the sorted table by halves: the ends of the table, the gaps between codes
// and numbers outside it are where such a search goes wrong.
struct lookup_case {
    std::int32_t code;
    std::optional<bool> has_position;  // nothing: not a result code
};

constexpr lookup_case lookup_cases[] = {
    {result::line_length_out_of_range, false},
    {result::direction_board_cell_taken, true},
    {result::beyond_route_grid, true},
    {result::stop_cell_before_cell_2, false},
    {result::slowdown_without_end, true},
    {result::line_file_missing, false},
    {result::bad_curve, false},
    {result::checksum_slots_taken, false},
    {result::none, std::nullopt},
    {14, std::nullopt},
    {23, std::nullopt},
    {30, std::nullopt},
    {104, std::nullopt},
    {1252, std::nullopt},
    {-1, std::nullopt},
    {std::numeric_limits<std::int32_t>::min(), std::nullopt},
    {std::numeric_limits<std::int32_t>::max(), std::nullopt},
};

TEST(ResultCodes, LookupFindsExactlyTheListedCodes) {
    for (const lookup_case& c : lookup_cases) {
        const result_code_info* info = find_result_code(c.code);
        if (!c.has_position) {
            EXPECT_EQ(info, nullptr) << c.code;
            continue;
        }
        ASSERT_NE(info, nullptr) << c.code;
        EXPECT_EQ(info->code, c.code);
        EXPECT_EQ(info->has_position, *c.has_position) << c.code;
        EXPECT_FALSE(info->meaning.empty()) << c.code;
    }
    for (const result_code_info& entry : result_code_table()) {
        EXPECT_EQ(find_result_code(entry.code), &entry) << entry.code;
    }
}

}  // namespace
}  // namespace compattatore
