#include "ground/result_codes.hpp"

#include <algorithm>
#include <array>

namespace compattatore {

namespace {

using namespace result;

constexpr std::array table{
    result_code_info{line_length_out_of_range, false, "line length below 0 or above 1000000 m"},
    result_code_info{
        progressive_not_multiple_of_50, false,
        "the start or the offset of a kilometre progressive is not a multiple of 50 m"},
    result_code_info{repetition_start_not_multiple_of_50, false,
                     "repetition start not a multiple of 50 m"},
    result_code_info{repetition_end_not_multiple_of_50, false,
                     "repetition end not a multiple of 50 m"},
    result_code_info{repetition_codes_missing, false,
                     "repetition record names neither 4 nor 9 codes"},
    result_code_info{direction_board_cell_taken, true,
                     "direction board on a cell that is not free"},
    result_code_info{code_point_cell_taken, true, "code point on a cell that is not free"},
    result_code_info{station_position_not_multiple_of_50, true,
                     "station position not a multiple of 50 m"},
    result_code_info{station_length_not_multiple_of_100, true,
                     "station length not a multiple of 100 m"},
    result_code_info{station_table_full, false,
                     "no room left in the station table for another station"},
    result_code_info{no_cell_before_signal, true,
                     "no cell for a code point before a signal ahead of a slowdown warning"},
    result_code_info{no_cell_before_slowdown, true,
                     "no cell for a code point before a slowdown start"},
    result_code_info{no_cell_in_slowdown, true,
                     "no cell for a code point inside a slowdown or before the signal after it"},
    result_code_info{beyond_route_grid, true, "position beyond the end of the route grid"},
    result_code_info{signal_cell_taken, true, "signal on a cell that is not free"},
    result_code_info{warning_cell_taken, true, "slowdown warning cell not free"},
    result_code_info{start_cell_taken, true, "slowdown start cell not free"},
    result_code_info{end_cell_taken, true, "slowdown end cell not free"},
    result_code_info{prewarning_cells_taken, true, "slowdown pre-warning cells not free"},
    result_code_info{speed_board_cell_taken, true, "speed board on a cell that is not free"},
    result_code_info{stations_too_close, true,
                     "station area begins less than 350 m after the previous station's area end"},
    result_code_info{stop_cell_before_cell_2, false, "station stop cell would fall before cell 2"},
    result_code_info{compiler_failure, false,
                     "the description could not be read: it ends inside a record, a value is not "
                     "a number or does not fit its field, the line length is missing, or a file "
                     "could not be read"},
    result_code_info{before_route_grid, true, "position before the start of the route grid"},
    result_code_info{too_many_mountains, true, "more than 80 mountains"},
    result_code_info{too_many_direction_boards, true, "more than 80 direction boards"},
    result_code_info{slowdown_without_end, true,
                     "slowdown start with no slowdown end cell after it"},
    result_code_info{line_file_missing, false, "line description file missing"},
    result_code_info{no_general_section, false, "line description file has no \"[generale]\" line"},
    result_code_info{bad_curve, false,
                     "curve record without class digit, or line profile longer than 1000000 "
                     "points"},
    result_code_info{stamp_slots_taken, false, "stamp slots already in use"},
    result_code_info{checksum_slots_taken, false, "checksum slots already in use"},
};

// The lookup below searches by halves, so the table must stay sorted; a code listed twice or out
// of place fails the build. Every code but none is listed: the first entry is the lowest code.
constexpr bool strictly_ascending() {
    for (std::size_t i = 1; i < table.size(); ++i) {
        if (table[i].code <= table[i - 1].code) return false;
    }
    return true;
}
static_assert(strictly_ascending());
static_assert(table.front().code == none + 1 && table.back().code == checksum_slots_taken);

}  // namespace

std::span<const result_code_info> result_code_table() {
    return table;
}

const result_code_info* find_result_code(std::int32_t code) {
    const auto it =
        std::lower_bound(table.begin(), table.end(), code,
                         [](const result_code_info& i, std::int32_t c) { return i.code < c; });
    return it == table.end() || it->code != code ? nullptr : &*it;
}

}  // namespace compattatore
