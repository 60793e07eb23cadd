#include "ground/result_codes.hpp"

#include <algorithm>
#include <array>

namespace compattatore {

namespace {

constexpr std::array<result_code_info, 32> table{{
    {1, false, "line length below 0 or above 1000000 m"},
    {2, false, "the start or the offset of a kilometre progressive is not a multiple of 50 m"},
    {3, false, "repetition start not a multiple of 50 m"},
    {4, false, "repetition end not a multiple of 50 m"},
    {5, false, "repetition record names neither 4 nor 9 codes"},
    {6, true, "direction board on a cell that is not free"},
    {7, true, "code point on a cell that is not free"},
    {8, true, "station position not a multiple of 50 m"},
    {9, true, "station length not a multiple of 100 m"},
    {10, false, "no room left in the station table for another station"},
    {11, true, "no cell for a code point before a signal ahead of a slowdown warning"},
    {12, true, "no cell for a code point before a slowdown start"},
    {13, true, "no cell for a code point inside a slowdown or before the signal after it"},
    {15, true, "position beyond the end of the route grid"},
    {16, true, "signal on a cell that is not free"},
    {17, true, "slowdown warning cell not free"},
    {18, true, "slowdown start cell not free"},
    {19, true, "slowdown end cell not free"},
    {20, true, "slowdown pre-warning cells not free"},
    {21, true, "speed board on a cell that is not free"},
    {22, true, "station area begins less than 350 m after the previous station's area end"},
    {24, false, "station stop cell would fall before cell 2"},
    {25, false,
     "the description could not be read: it ends inside a record, a value is not a number or "
     "does not fit its field, the line length is missing, or a file could not be read"},
    {26, true, "position before the start of the route grid"},
    {27, true, "more than 80 mountains"},
    {28, true, "more than 80 direction boards"},
    {29, true, "slowdown start with no slowdown end cell after it"},
    {101, false, "line description file missing"},
    {102, false, "line description file has no \"[generale]\" line"},
    {103, false, "curve record without class digit, or line profile longer than 1000000 points"},
    {1250, false, "stamp slots already in use"},
    {1251, false, "checksum slots already in use"},
}};

}  // namespace

std::span<const result_code_info> result_code_table() {
    return table;
}

const result_code_info* find_result_code(std::int32_t code) {
    const auto codes = result_code_table();
    const auto it = std::find_if(codes.begin(), codes.end(),
                                 [code](const result_code_info& i) { return i.code == code; });
    return it == codes.end() ? nullptr : &*it;
}

}  // namespace compattatore
