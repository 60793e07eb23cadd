// The line description half of the compiler, on small hand-written descriptions.

#include <gtest/gtest.h>

#include <string>

#include "code_cases.hpp"
#include "description_fixture.hpp"
#include "ground/result_codes.hpp"

namespace compattatore {
namespace {

using testing::afterwards;
using testing::case_name;
using testing::code_case;
using testing::compile;
using testing::compiled;
using testing::description_pair;
using testing::expect_case;
using testing::fixture_last_cell;
using testing::untouched_position;

TEST(LineReader, MinimalDescriptionCompilesIntoGridHeaderAndProfile) {
    const auto c = compile(description_pair{});
    const scenario_model& m = c->model;
    EXPECT_EQ(m.result_code, 0);
    EXPECT_EQ(m.error_position, untouched_position);
    EXPECT_EQ(c->files.line_discards, 1);
    EXPECT_EQ(c->files.train_discards, 1);

    EXPECT_EQ(c->entry(85).name, "Linea");
    EXPECT_EQ(c->entry(86).name, "99");
    EXPECT_EQ(c->entry(84).area_end, 3000);
    EXPECT_EQ(m.route_extent, 10000);
    EXPECT_EQ(m.last_cell, fixture_last_cell);
    ASSERT_EQ(m.route_grid.size(), 201u);
    EXPECT_EQ(c->entry(85).area_start, 1);  // background one
    EXPECT_EQ(c->entry(86).area_start, 0);
    EXPECT_EQ(c->entry(86).area_end, 3000);
    EXPECT_EQ(c->entry(86).position, 9);

    // "[pendenze]" is a header, not a gradient: nothing was read from it.
    for (int i = 0; i <= 19; ++i) EXPECT_EQ(c->cell(i).gradient, 101) << i;
    for (int i = 20; i <= 197; ++i) EXPECT_EQ(c->cell(i).gradient, 98) << i;
    for (int i = 198; i <= 200; ++i) EXPECT_EQ(c->cell(i).gradient, 0) << i;

    const line_profile_t& lp = m.line_profile;
    ASSERT_EQ(lp.points(), 10001u);
    EXPECT_EQ(lp.x(0), tagged_value::of_int16(0));
    EXPECT_EQ(lp.y(0), tagged_value::of_int16(0));
    EXPECT_EQ(lp.x(1), tagged_value::of_int16(0));
    EXPECT_EQ(lp.y(1), tagged_value::of_int16(1));
    EXPECT_EQ(lp.x(2), tagged_value::of_double(0.0));
    EXPECT_EQ(lp.y(9998), tagged_value::of_double(9998.0));
    EXPECT_TRUE(lp.x(9999).is_empty());
    EXPECT_TRUE(lp.y(10000).is_empty());
}

TEST(LineReader, EveryLineEndReadsTheSame) {
    description_pair d;
    d.line_records.push_back("curvad4,  1700,  500");
    d.line_records.push_back("cartello_indicatore,  1700,   (Bivio )(per, Savona)");
    const auto crlf = compile(d);
    ASSERT_EQ(crlf->model.result_code, 0);
    for (const std::string eol : {"\n", "\r"}) {
        d.eol = eol;
        const auto other = compile(d);
        EXPECT_EQ(other->model.result_code, 0);
        EXPECT_EQ(other->model.route_grid, crlf->model.route_grid);
        EXPECT_EQ(other->model.station_table, crlf->model.station_table);
        EXPECT_EQ(other->model.line_profile.storage(), crlf->model.line_profile.storage());
    }
    EXPECT_EQ(crlf->entry(80).name, "(Bivio )(per, Savona)");
    EXPECT_EQ(crlf->cell(35).kind, cell_kind::direction_board);
}

TEST(LineReader, GradientStretchesEndAtTheRoundedCellAndTheLoopRunsAtLeastOnce) {
    description_pair d;
    d.line_records = {
        "pendenza,  0,   5",        // only sets the gradient in force
        "pendenza,  2475,   7",     // 49.5 -> cell 50: cells 0..49 get 105
        "pendenza,  2525,   200",   // 50.5 -> 50 again: the loop still writes cell 50 (107)
        "pendenza,  2600,   -100",  // cell 52: cell 51 gets 200 + 100 in 8 bits = 44
    };
    const auto c = compile(d);
    ASSERT_EQ(c->model.result_code, 0);
    EXPECT_EQ(c->cell(0).gradient, 105);
    EXPECT_EQ(c->cell(49).gradient, 105);
    EXPECT_EQ(c->cell(50).gradient, 107);
    EXPECT_EQ(c->cell(51).gradient, 44);
    EXPECT_EQ(c->cell(52).gradient, 0);  // -100 + 100
    EXPECT_EQ(c->cell(197).gradient, 0);
}

TEST(LineReader, CurvesFollowTheirClassDigitAndSide) {
    struct row {
        const char* keyword;
        double curvature;  // heading change per metre, positive to the right
    };
    for (const row r : {row{"curvad4", 0.001}, row{"curvas4", -0.001}, row{"curvaS4", -0.001},
                        row{"curvad64", 0.001}, row{"curvad1", 0.0001}, row{"curvad6", 0.003},
                        row{"CURVA 5", 0.002}}) {
        SCOPED_TRACE(r.keyword);
        description_pair d;
        d.line_records = {std::string(r.keyword) + ",  1000,  10"};
        const auto c = compile(d);
        ASSERT_EQ(c->model.result_code, 0);
        const line_profile_t& lp = c->model.line_profile;
        // Straight up to the start, then the first curved step turns by k.
        EXPECT_EQ(lp.y(1000).as_double(), 1000.0);
        EXPECT_EQ(lp.x(1000).as_double(), 0.0);
        EXPECT_EQ(lp.x(1001).as_double(), r.curvature);
        EXPECT_EQ(lp.y(1001).as_double(), 1001.0);
        // After the curve the line runs on straight with the turned step.
        EXPECT_DOUBLE_EQ(lp.x(1012).as_double() - lp.x(1011).as_double(),
                         lp.x(1011).as_double() - lp.x(1010).as_double());
        EXPECT_EQ(lp.x(1011).as_double() > 0, r.curvature > 0);
    }
}

TEST(LineReader, CurvesOutOfOrderDrawOnlyFromTheCounter) {
    description_pair d;
    d.line_records = {"curvad4,  1000,  100", "curvas4,  500,  700", "curvad4,  100,  200"};
    const auto c = compile(d);
    ASSERT_EQ(c->model.result_code, 0);
    const line_profile_t& lp = c->model.line_profile;
    // The second curve turned left from 1101 to 1200, the third drew nothing.
    EXPECT_LT(lp.x(1200).as_double() - lp.x(1199).as_double(),
              lp.x(1100).as_double() - lp.x(1099).as_double());
    EXPECT_EQ(lp.x(300).as_double(), 0.0);
}

TEST(LineReader, WithoutTheProfileCurvesAreNoRecords) {
    description_pair d;
    d.line_records = {"curvad7,  1000,  100", "pendenza,  1000,   3"};
    const auto c = compile(d, 0);
    EXPECT_EQ(c->model.result_code, 0);  // the class-less curve is never looked at
    EXPECT_FALSE(c->model.line_profile.dimensioned());
    EXPECT_EQ(c->cell(19).gradient, 100);
    EXPECT_EQ(c->cell(20).gradient, 103);
}

TEST(LineReader, GeneralRulesMatchExactCaseWhereMarked) {
    struct row {
        const char* keyword;
        bool read;
    };
    for (const row r :
         {row{"sfondo tre", true}, row{"sfondo Tre", false}, row{"Sfondo tre", false},
          row{"SFONDO TRE", false}, row{"progressiva chilometrica tre", true},
          row{"Progressiva chilometrica tre", false}, row{"LUNGHEZZA PERCORSO", true}}) {
        SCOPED_TRACE(r.keyword);
        description_pair d;
        d.general.push_back(std::string(r.keyword) + ",    500,    50,    0");
        const auto c = compile(d);
        // The length record re-dimensions the grid to 500 + 7000 m; the others store 500.
        const bool read = c->entry(85).area_end == 500 || c->entry(81).area_start == 500 ||
                          c->model.last_cell == 150;
        EXPECT_EQ(read, r.read);
    }
}

TEST(LineReader, BackgroundsAreStoredCrossed) {
    description_pair d;
    d.general = {"lunghezza percorso,    3000", "sfondo tre,    3", "sfondo due,    2",
                 "sfondo uno,    1", "ripetizione segnali 4 codici,    50,    3000"};
    const auto c = compile(d);
    EXPECT_EQ(c->entry(85).area_start, 1);
    EXPECT_EQ(c->entry(85).position, 2);
    EXPECT_EQ(c->entry(85).area_end, 3);
    EXPECT_EQ(c->entry(86).position, 4);
}

TEST(LineReader, RepetitionCodes) {
    struct row {
        const char* record;
        std::int32_t codes;
    };
    for (const row r : {row{"ripetizione segnali 9 codici,    0,    0", 0},
                        row{"ripetizione segnali 9 e 4,    0,    100", 4},
                        row{"ripetizione segnali 9,    0,    100", 9}}) {
        description_pair d;
        d.general[3] = r.record;
        const auto c = compile(d);
        EXPECT_EQ(c->model.result_code, 0);
        EXPECT_EQ(c->entry(86).position, r.codes) << r.record;
    }
}

// Hyphen skip: 10 fields in a row in the general section, 2 in the record section; the field
// after the last permitted skip is examined even with a hyphen in it.
TEST(LineReader, HyphenSkipCountsAndTheFieldAfterThemIsExamined) {
    struct row {
        bool general;
        int dash_lines;
        bool read;
    };
    for (const row r :
         {row{true, 9, false}, row{true, 10, true}, row{false, 1, false}, row{false, 2, true}}) {
        SCOPED_TRACE(::testing::Message() << (r.general ? "general " : "records ") << r.dash_lines);
        description_pair d;
        auto& lines = r.general ? d.general : d.line_records;
        for (int i = 0; i < r.dash_lines; ++i) lines.push_back("-----------");
        lines.push_back(r.general ? "-sfondo due,    7" : "-pendenza,  2000,   9");
        const auto c = compile(d);
        EXPECT_EQ(c->model.result_code, 0);
        if (r.general) {
            EXPECT_EQ(c->entry(85).position == 7, r.read);
        } else {
            EXPECT_EQ(c->cell(40).gradient == 109, r.read);
        }
    }
}

TEST(LineReader, GeneralSectionEndsAtABracketedFieldNotLedByAHyphen) {
    description_pair d;
    d.general.insert(d.general.begin() + 3, "[curve]");  // the repetition is now a mere record
    const auto ended = compile(d);
    EXPECT_EQ(ended->model.result_code, 0);
    EXPECT_EQ(ended->entry(86).area_end, 0);

    description_pair led;
    for (int i = 0; i < 10; ++i) led.general.insert(led.general.begin() + 3, "----");
    led.general.insert(led.general.begin() + 13, "  -[x]");
    const auto c = compile(led);
    EXPECT_EQ(c->entry(86).area_end, 3000);
}

TEST(LineReader, DirectionAndSpeedBoards) {
    description_pair d;
    d.line_records = {
        "montagna,   1000,  2000,  12",  // marker cells 23, 27, ... (every 4th from cell 20)
        "cartello_indicatore,  1100,   (Ponte  )(Fiume)",  // cell 23: replaces the marker
        "indicatori_vmax,  1200,  100,  110,  120,  0,  100,  110,  120,  0",
        "cartello_indicatore,  175,   second",  // 3.5 + 1 -> cell 4 (halves to even)
    };
    const auto c = compile(d);
    ASSERT_EQ(c->model.result_code, 0);
    EXPECT_EQ(c->cell(23).kind, cell_kind::direction_board);
    EXPECT_EQ(c->cell(23).value_a, 80);
    EXPECT_EQ(c->entry(80).name, "(Ponte  )(Fiume)");
    EXPECT_EQ(c->cell(27).kind, cell_kind::mountain_marker);
    // The speed board is never a direction board.
    EXPECT_EQ(c->cell(25).kind, cell_kind::speed_board);
    EXPECT_EQ(c->cell(4).kind, cell_kind::direction_board);
    EXPECT_EQ(c->cell(4).value_a, 79);
    EXPECT_EQ(c->entry(79).name, "second");
    EXPECT_EQ(c->entry(78).name, "");
}

TEST(LineReader, RecordsUpToTheEndAreReadButAFinalKeywordIsNot) {
    description_pair d;
    std::string text = d.line_text();
    text.erase(text.size() - 8);  // drop "[fine]\r\n"
    const auto with_values =
        std::make_unique<compiled>(text + "pendenza,  2000,   9", d.train_text());
    EXPECT_EQ(with_values->model.result_code, 0);
    EXPECT_EQ(with_values->cell(40).gradient, 109);

    const auto lone = std::make_unique<compiled>(text + "-\r\n-\r\npendenza", d.train_text());
    EXPECT_EQ(lone->model.result_code, 0);
    EXPECT_EQ(lone->cell(40).gradient, 98);
}

TEST(LineReader, TheGreatestLineLength) {
    description_pair d;
    d.general[0] = "lunghezza percorso,    1000000";
    d.general[3] = "ripetizione segnali 9 codici,    0,    0";
    const auto c = compile(d, 0);
    EXPECT_EQ(c->model.result_code, 0);
    EXPECT_EQ(c->model.last_cell, 20140);
}

// What each code of the line description does: the code, its position, whether the train
// description was still read, and the cells or entries that show the rest.
class LineReaderCodes : public ::testing::TestWithParam<code_case> {};

TEST_P(LineReaderCodes, RecordTheCodeAndStopOrGoOnAsTheCodeSays) {
    expect_case(GetParam());
}

const code_case line_code_cases[] = {
    {"length_above_limit",
     [](description_pair& d) { d.general[0] = "lunghezza percorso, 1000001"; }, 1,
     untouched_position, afterwards::train_not_read,
     [](const compiled& c) {
         EXPECT_EQ(c.entry(84).area_end, 1000001);  // stored before the test
         EXPECT_TRUE(c.model.route_grid.empty());
     }},
    {"length_below_zero", [](description_pair& d) { d.general[0] = "lunghezza percorso, -1"; }, 1,
     untouched_position, afterwards::train_not_read, nullptr},
    {"repetition_start", [](description_pair& d) { d.general[3] = "ripetizione segnali 9, 25, 0"; },
     3, untouched_position, afterwards::train_not_read, nullptr},
    {"repetition_end", [](description_pair& d) { d.general[3] = "ripetizione segnali 9, 0, 75"; },
     4, untouched_position, afterwards::train_not_read, nullptr},
    {"repetition_no_digit",
     [](description_pair& d) { d.general[3] = "ripetizione segnali codici, 0, 0"; }, 5,
     untouched_position, afterwards::train_not_read, nullptr},
    {"direction_board_cell_taken",
     [](description_pair& d) {
         d.line_records.push_back("cartello_indicatore,  1700,   one");
         d.line_records.push_back("cartello_indicatore,  1720,   two");
     },
     6, 1720, afterwards::train_not_read,
     [](const compiled& c) {
         EXPECT_EQ(c.entry(80).name, "one");
         EXPECT_EQ(c.entry(79).name, "");
     }},
    {"gradient_beyond_grid",
     [](description_pair& d) {
         d.line_records.push_back("pendenza,  9900,   4");  // 50 x 200 - 100: still in
         d.line_records.push_back("pendenza,  9901,   5");
         d.line_records.push_back("pendenza,  100,   6");  // never read
     },
     15, 9901, afterwards::train_read,
     [](const compiled& c) {
         // The completion ran; its body runs once even with the cursor already at 198.
         EXPECT_EQ(c.cell(197).gradient, 98);
         EXPECT_EQ(c.cell(198).gradient, 104);
         EXPECT_EQ(c.cell(199).gradient, 0);
         EXPECT_EQ(c.cell(1).gradient, 101);
         EXPECT_EQ(c.cell(300 / 50).speed_limit, 6);  // the train description was read
     }},
    {"curve_beyond_grid", [](description_pair& d) { d.line_records.push_back("curvad4, 9901, 1"); },
     15, 9901, afterwards::train_read, nullptr},
    {"mountain_beyond_grid",
     [](description_pair& d) { d.line_records.push_back("montagna, 9901, 9950, 2"); }, 15, 9901,
     afterwards::train_read, nullptr},
    {"speed_board_beyond_grid",
     [](description_pair& d) {
         d.line_records.push_back("indicatori_vmax, 9901, 1, 1, 1, 0, 1, 1, 1, 0");
     },
     15, 9901, afterwards::train_read, nullptr},
    {"direction_board_beyond_grid",
     [](description_pair& d) { d.line_records.push_back("cartello_indicatore, 9901, x"); }, 15,
     9901, afterwards::train_read, nullptr},
    // The kind and the values before the one that does not fit stay written.
    {"speed_board_speed_beyond_16_bits",
     [](description_pair& d) {
         d.line_records.push_back("indicatori_vmax,  1200,  100, 1639, 0, 0, 0, 0, 0, 0");
     },
     25, untouched_position, afterwards::train_not_read,
     [](const compiled& c) {
         EXPECT_EQ(c.cell(25).kind, cell_kind::speed_board);
         EXPECT_EQ(c.cell(25).value_a, 2000);
         EXPECT_EQ(c.cell(25).value_b, 0);
     }},
    {"speed_board_cell_taken",
     [](description_pair& d) {
         d.line_records.push_back("cartello_indicatore,  1200,   one");
         d.line_records.push_back("indicatori_vmax,  1200,  1, 1, 1, 0, 1, 1, 1, 0");
     },
     21, 1200, afterwards::train_not_read,
     [](const compiled& c) { EXPECT_EQ(c.cell(25).kind, cell_kind::direction_board); }},
    {"curve_without_class",
     [](description_pair& d) { d.line_records.push_back("curvad7, 100, 10"); }, 103,
     untouched_position, afterwards::train_not_read, nullptr},
    // The class is looked at before the end: a class-less curve is 103 wherever it ends.
    {"curve_without_class_ending_past_the_profile",
     [](description_pair& d) { d.line_records.push_back("curvad7, 9000, 5000"); }, 103,
     untouched_position, afterwards::train_not_read, nullptr},
    // The end is worked out after the straight part: that part stays drawn.
    {"curve_end_beyond_32_bits",
     [](description_pair& d) { d.line_records.push_back("curvad4, 1000, 2147483647"); }, 25,
     untouched_position, afterwards::train_not_read,
     [](const compiled& c) {
         EXPECT_EQ(c.model.line_profile.y(1000).as_double(), 1000.0);
         EXPECT_TRUE(c.model.line_profile.y(1001).is_empty());
     }},
    // The straight part runs past point 1000000 before the end (past the profile) is looked at.
    {"curve_straight_part_past_point_1000000",
     [](description_pair& d) {
         d.general[0] = "lunghezza percorso, 1000000";
         d.line_records.push_back("curvad4, 1000500, 10000");
     },
     103, untouched_position, afterwards::train_not_read,
     [](const compiled& c) {
         EXPECT_EQ(c.model.line_profile.y(1000000).as_double(), 1000000.0);
         EXPECT_TRUE(c.model.line_profile.y(1000001).is_empty());
     }},
    {"length_after_the_general_section",
     [](description_pair& d) { d.general.insert(d.general.begin(), "[x]"); }, 25,
     untouched_position, afterwards::train_not_read,
     [](const compiled& c) { EXPECT_TRUE(c.model.route_grid.empty()); }},
    {"not_a_number", [](description_pair& d) { d.line_records.push_back("pendenza, 12a, 3"); }, 25,
     untouched_position, afterwards::train_not_read, nullptr},
    {"number_beyond_32_bits",
     [](description_pair& d) { d.line_records.push_back("pendenza, 2147483648, 3"); }, 25,
     untouched_position, afterwards::train_not_read, nullptr},
    {"gradient_sum_overflows",
     [](description_pair& d) {
         d.line_records.push_back("pendenza, 2000, 2147483600");
         d.line_records.push_back("pendenza, 3000, 0");
     },
     25, untouched_position, afterwards::train_not_read,
     [](const compiled& c) { EXPECT_EQ(c.cell(39).gradient, 98); }},
    {"room_check_sum_overflows",
     [](description_pair& d) { d.line_records.push_back("pendenza, 2147483600, 0"); }, 25,
     untouched_position, afterwards::train_not_read, nullptr},
    {"record_without_line_length", [](description_pair& d) { d.general.erase(d.general.begin()); },
     25, untouched_position, afterwards::train_not_read, nullptr},
    {"record_missing_its_last_value",  // "[fine]" is read as its value
     [](description_pair& d) { d.line_records = {"pendenza, 100"}; }, 25, untouched_position,
     afterwards::train_not_read, nullptr},
    // A field naming two records: the first one ends the records, so the second is never read.
    {"second_record_of_a_field_after_an_end",
     [](description_pair& d) {
         d.line_records.push_back("pendenza montagna, 9901, 5, 100, 200, 2");
     },
     15, 9901, afterwards::train_read,
     [](const compiled& c) { EXPECT_EQ(c.cell(2).mountain_type, 0); }},
};

INSTANTIATE_TEST_SUITE_P(Cases, LineReaderCodes, ::testing::ValuesIn(line_code_cases), case_name);

TEST(LineReaderFailures, MissingEmptyAndGeneralOnlyDescriptions) {
    const std::string train = description_pair{}.train_text();
    const auto missing = std::make_unique<compiled>(std::nullopt, train);
    EXPECT_EQ(missing->model.result_code, result::line_file_missing);
    EXPECT_EQ(missing->files.line_discards, 0);
    EXPECT_EQ(missing->files.train_discards, 1);  // not read, but not left behind
    EXPECT_EQ(missing->entry(85).name, "Linea");  // the identity comes first

    const auto empty = std::make_unique<compiled>("", train);
    EXPECT_EQ(empty->model.result_code, result::compiler_failure);
    EXPECT_EQ(empty->files.line_discards, 1);
    EXPECT_EQ(empty->files.train_discards, 1);

    for (const char* text : {"[generale]\r\n", "x\r\n[Generale]", "abc\r\ndef\r\n"}) {
        const auto c = std::make_unique<compiled>(text, train);
        EXPECT_EQ(c->model.result_code, result::no_general_section) << text;
        EXPECT_EQ(c->model.error_position, untouched_position);
        EXPECT_EQ(c->files.line_discards, 1);
        EXPECT_EQ(c->files.train_discards, 1);
        EXPECT_EQ(c->entry(84).position, 0);  // the train description was not read
    }

    // The general section's hyphen skip reads with no end test in between: past the end.
    const auto dashes = std::make_unique<compiled>("[generale]\r\n-\r\n-\r\n", train);
    EXPECT_EQ(dashes->model.result_code, result::compiler_failure);
    // With a line length read, reading past the end is the only way to the failure.
    const auto after_length =
        std::make_unique<compiled>("[generale]\r\nlunghezza percorso, 3000\r\n-\r\n-\r\n", train);
    EXPECT_EQ(after_length->model.result_code, result::compiler_failure);
    EXPECT_EQ(after_length->model.error_position, untouched_position);
}

}  // namespace
}  // namespace compattatore
