// A cell's packed values read back in words, for every kind, with and without a station table.

#include "toolkit/inspect_cell_values.hpp"

#include <gtest/gtest.h>

namespace compattatore {
namespace {

TEST(DescribeCell, UnpacksEveryKindsValues) {
    station_table_t names{};
    names[80].name = "X\x85";  // a-grave in code page 850
    names[17].name = "ALESSANDRIA";
    struct {
        route_cell cell;
        const station_table_t* names;
        const char* expected;
    } cases[] = {
        {{}, nullptr, "empty"},
        // Negative packed values split by floor division: -12 is -2 tens and 8 units.
        {{.kind = cell_kind::signal, .value_a = -12, .value_b = 41, .value_d = 28},
         nullptr,
         "signal -2,4,0 / 8,1,0, type 28 (rapp 2, sx 2, dx 2)"},
        {{.kind = cell_kind::signal, .value_a = 41, .value_d = 8, .signal_delay = 200},
         nullptr,
         "signal 4,0,0 / 1,0,0, type 8 (rapp 0, sx 2, dx 2), delay 200"},
        {{.kind = cell_kind::slowdown_start, .value_a = 60, .value_b = 1, .value_c = 1},
         nullptr,
         "slowdown start 60 km/h, d_v 1, f_tt 1"},
        {{.kind = cell_kind::slowdown_end, .value_a = 60, .value_b = 1},
         nullptr,
         "slowdown end 60 km/h, d_v 1, f_tt 0"},
        {{.kind = cell_kind::slowdown_warning, .value_a = 80, .value_b = 2, .value_c = 9},
         nullptr,
         "slowdown warning 80 km/h, d_v 2"},
        {{.kind = cell_kind::slowdown_prewarning, .value_a = 3, .value_b = 3},
         nullptr,
         "slowdown pre-warning 3 (countdown 3)"},
        {{.kind = cell_kind::speed_board, .value_a = 2022, .value_b = -101, .value_d = 34},
         nullptr,
         "speed board A 100/110 km/h, B -10/495 km/h, C 0/0 km/h, stripes 3/4"},
        {{.kind = cell_kind::station_stop, .value_a = 17}, nullptr, "station stop of entry 17"},
        {{.kind = cell_kind::station_stop, .value_a = 17},
         &names,
         "station stop of entry 17 \"ALESSANDRIA\""},
        {{.kind = cell_kind::direction_board, .value_a = 80},
         &names,
         "direction board text entry 80 \"X\xc3\xa0\""},
        {{.kind = cell_kind::direction_board, .value_a = 90},
         &names,
         "direction board text entry 90"},
        {{.kind = cell_kind::direction_board, .value_a = -1},
         &names,
         "direction board text entry -1"},
        {{.kind = cell_kind::code_point, .value_a = 270}, nullptr, "code point code 270"},
        {{.kind = cell_kind::code_off_point, .value_a = 5}, nullptr, "code-off point"},
        {{.kind = cell_kind::mountain_marker, .value_a = 5}, nullptr, "mountain marker"},
        {{.kind = 7, .value_a = 1, .value_b = -2, .value_c = 3, .value_d = 4},
         nullptr,
         "unknown kind 7: 1, -2, 3, 4"},
    };
    for (const auto& k : cases) {
        EXPECT_EQ(describe_cell(k.cell, k.names), k.expected) << int(k.cell.kind);
    }
}

}  // namespace
}  // namespace compattatore
