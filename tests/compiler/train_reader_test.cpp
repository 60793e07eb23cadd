// The train description half of the compiler, on small hand-written descriptions.

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
using testing::untouched_position;

TEST(TrainReader, MinimalDescriptionFillsHeaderProfilesAndTheFirstStation) {
    const auto c = compile(description_pair{});
    ASSERT_EQ(c->model.result_code, 0);
    EXPECT_EQ(c->entry(84).area_start, 125);
    EXPECT_EQ(c->entry(84).position, 8);
    EXPECT_EQ(c->entry(86).group_a1, 120);
    EXPECT_EQ(c->entry(86).group_b1, 11);
    EXPECT_EQ(c->entry(86).group_b2, 49);
    EXPECT_EQ(c->entry(86).group_b3, 0);

    // Speed: 30 km/h over cells 0..22, then 110 up to G - 3; the last three cells keep 0.
    for (int i = 0; i <= 22; ++i) EXPECT_EQ(c->cell(i).speed_limit, 6) << i;
    for (int i = 23; i <= 197; ++i) EXPECT_EQ(c->cell(i).speed_limit, 22) << i;
    for (int i = 198; i <= 200; ++i) EXPECT_EQ(c->cell(i).speed_limit, 0) << i;
    EXPECT_EQ(c->cell(197).adhesion, 75);
    EXPECT_EQ(c->cell(198).adhesion, 0);

    // The first station: centred rule of kind 8 from its position, 700 m each way.
    const station_entry& s = c->entry(1);
    EXPECT_EQ(s.kind, 8);
    EXPECT_EQ(s.area_start, -700);
    EXPECT_EQ(s.area_end, 700);
    EXPECT_EQ(s.param_a, 1);
    EXPECT_EQ(s.param_b, 0);        // cleared for the first station
    EXPECT_EQ(s.end_extension, 0);  // cleared for kinds 5 to 8
    EXPECT_EQ(s.group_a1, 4);
    EXPECT_EQ(s.group_b3, 1);
    EXPECT_EQ(s.param_c, 1);
    EXPECT_EQ(s.timetable_time, 11 * 3600 + 48 * 60);
    EXPECT_EQ(s.name, "ORIGINE");
    EXPECT_EQ(c->cell(13).kind, cell_kind::station_stop);
    EXPECT_EQ(c->cell(13).value_a, 1);
    EXPECT_EQ(c->cell(12).approach_mark, 81);
    EXPECT_EQ(c->cell(11).approach_mark, 82);
    EXPECT_EQ(c->cell(10).approach_mark, 83);
    EXPECT_EQ(c->cell(9).approach_mark, 84);
    EXPECT_EQ(c->cell(8).approach_mark, 0);
}

TEST(TrainReader, ProfilesRunFromCursorToRecordAtLeastOnce) {
    description_pair d;
    d.train_records = {
        "velocita,   500,    30",  // cells 0..9 get the starting limit 0
        "velocita,   1150,   110",
        "velocita,   1150,   60",  // same cell: cell 23 gets 110, the cells after it 60
        "aderenza,   100,   300",  // cells 0..1 get 0, then 300 in 8 bits
        "aderenza,   50,   90",    // behind the cursor: still writes cell 2
    };
    const auto c = compile(d);
    ASSERT_EQ(c->model.result_code, 0);
    EXPECT_EQ(c->cell(9).speed_limit, 0);
    EXPECT_EQ(c->cell(10).speed_limit, 6);
    EXPECT_EQ(c->cell(22).speed_limit, 6);
    EXPECT_EQ(c->cell(23).speed_limit, 22);
    EXPECT_EQ(c->cell(24).speed_limit, 12);
    EXPECT_EQ(c->cell(197).speed_limit, 12);
    EXPECT_EQ(c->cell(1).adhesion, 0);
    EXPECT_EQ(c->cell(2).adhesion, 44);
    EXPECT_EQ(c->cell(3).adhesion, 90);
}

TEST(TrainReader, RecognitionIgnoresCaseAndSeparatorsAndEveryTestIsMade) {
    description_pair d;
    d.train_general = {
        "Numero VETTURE,  5",
        "orologio,  10, 20, 30",          // commas read like the blanks
        "sabbia e numero vetture, 7, 6",  // both tests match, in their order: vetture first
    };
    std::string train = d.train_text();
    train.replace(0, 10, "junk, 3\r\n[GENERALE]");
    const auto c = std::make_unique<compiled>(d.line_text(), train);
    ASSERT_EQ(c->model.result_code, 0);
    EXPECT_EQ(c->entry(84).position, 7);
    EXPECT_EQ(c->entry(86).group_a1, 6);
    EXPECT_EQ(c->entry(86).group_b1, 10);
    EXPECT_EQ(c->entry(86).group_b3, 30);
}

TEST(TrainReader, NothingBeforeTheGeneralHeaderAndNoHeaderMeansNoRecords) {
    description_pair d;
    std::string train = d.train_text();
    train.replace(0, 10, "[generali]");
    const auto c = std::make_unique<compiled>(d.line_text(), train);
    EXPECT_EQ(c->model.result_code, 0);
    EXPECT_EQ(c->entry(84).position, 0);
    EXPECT_EQ(c->entry(1).name, "");
    EXPECT_EQ(c->cell(13).kind, cell_kind::empty);
    EXPECT_EQ(c->files.train_discards, 1);

    const auto empty = std::make_unique<compiled>(d.line_text(), "\r\n  \r\n");
    EXPECT_EQ(empty->model.result_code, 0);
}

TEST(TrainReader, HyphenSkipPassesOverTwoItemsAndExaminesTheThird) {
    for (const int dashes : {1, 2}) {
        description_pair d;
        for (int i = 0; i < dashes; ++i) d.train_records.push_back("---------");
        d.train_records.push_back("-numero vetture, 9");
        const auto c = compile(d);
        EXPECT_EQ(c->model.result_code, 0);
        // After one dash line the record is skipped and its value, looked at alone, does nothing.
        EXPECT_EQ(c->entry(84).position, dashes == 2 ? 9 : 8) << dashes;
    }
}

TEST(TrainReader, StationAreasMarksAndStopCells) {
    description_pair d;
    d.train_records.push_back(  // kind 4, 600 m: centred, value 5 kept
        "stazione,    2000,  4,  600,  1, 1, 0,  4,1,0,  2,1,1,   80,  12,46, 0, ALESSANDRIA");
    d.train_records.push_back(  // kind 12 with end extension, 400 m: value 5 cleared
        "stazione,    3000, 12,  400,  0, 1, 1,  0,0,0,  0,0,0,    0,   0, 0, 0, EXT");
    d.train_records.push_back(  // kind 5: area from P - L to P + 150, no marks
        "stazione,    4200,  5,  300,  0, 0, 1,  0,0,0,  0,0,0,    0,   0, 0, 0, CINQUE");
    d.train_records.push_back(  // kind 27: an entry, no cell
        "stazione,    5000, 27,  300,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, SOLO, numero "
        "vetture, 3");
    const auto c = compile(d);
    ASSERT_EQ(c->model.result_code, 0);

    EXPECT_EQ(c->entry(2).area_start, 1700);
    EXPECT_EQ(c->entry(2).area_end, 2300);
    EXPECT_EQ(c->entry(2).param_b, 1);
    EXPECT_EQ(c->entry(2).timetable_time, 45960);
    EXPECT_EQ(c->cell(45).kind, cell_kind::station_stop);
    EXPECT_EQ(c->cell(45).value_a, 2);
    EXPECT_EQ(c->cell(44).approach_mark, 81);
    EXPECT_EQ(c->cell(41).approach_mark, 84);

    EXPECT_EQ(c->entry(3).area_end, 3250);
    EXPECT_EQ(c->entry(3).param_b, 0);
    EXPECT_EQ(c->cell(64).kind, cell_kind::station_stop);  // 3250 / 50 - 1 = 64

    EXPECT_EQ(c->entry(4).area_start, 3900);
    EXPECT_EQ(c->entry(4).area_end, 4350);
    EXPECT_EQ(c->entry(4).end_extension, 0);
    EXPECT_EQ(c->cell(86).kind, cell_kind::station_stop);
    EXPECT_EQ(c->cell(85).approach_mark, 0);

    EXPECT_EQ(c->entry(5).name, "SOLO");  // the rest after the comma was a record of its own
    EXPECT_EQ(c->entry(84).position, 3);
    EXPECT_EQ(c->cell(99).kind, cell_kind::empty);
    EXPECT_EQ(c->cell(98).approach_mark, 0);
}

TEST(TrainReader, CodePoints) {
    description_pair d;
    d.line_records.push_back("montagna,   4000,  5000,  12");  // marker on cell 83
    d.train_records.push_back("abbattimento,  2000,   270");
    d.train_records.push_back("abbattimento,  2500,   0");
    d.train_records.push_back("abbattimento,  4150,   180");
    const auto c = compile(d);
    ASSERT_EQ(c->model.result_code, 0);
    EXPECT_EQ(c->cell(40).kind, cell_kind::code_point);
    EXPECT_EQ(c->cell(40).value_a, 270);
    EXPECT_EQ(c->cell(50).kind, cell_kind::code_off_point);
    EXPECT_EQ(c->cell(50).value_a, 0);
    EXPECT_EQ(c->cell(83).kind, cell_kind::code_point);
}

// What each code of the train description does.
class TrainReaderCodes : public ::testing::TestWithParam<code_case> {};

TEST_P(TrainReaderCodes, RecordTheCodeAndEndAsTheCodeSays) {
    expect_case(GetParam());
}

const code_case train_code_cases[] = {
    {"progressive_not_multiple_of_50",
     [](description_pair& d) { d.general[1] = "progressiva chilometrica uno, 25, 0, 0"; }, 2,
     untouched_position, afterwards::end_step, nullptr},
    {"progressive_replaces_15",
     [](description_pair& d) {
         d.general[1] = "progressiva chilometrica uno, 0, 30, 0";
         d.train_records.push_back("velocita, 9901, 5");
     },
     2, 9901, afterwards::end_step, nullptr},
    {"code_point_cell_taken",
     [](description_pair& d) { d.train_records.push_back("abbattimento, 650, 270"); }, 7, 650,
     afterwards::read_ended,
     [](const compiled& c) { EXPECT_EQ(c.cell(13).kind, cell_kind::station_stop); }},
    {"station_position",
     [](description_pair& d) {
         d.train_records.push_back("stazione, 2025, 12, 400, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, X");
     },
     8, 2025, afterwards::read_ended,
     [](const compiled& c) { EXPECT_EQ(c.entry(2).position, 2025); }},
    {"station_length",
     [](description_pair& d) {
         d.train_records.push_back("stazione, 2000, 12, 450, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, X");
     },
     9, 2000, afterwards::read_ended, [](const compiled& c) { EXPECT_EQ(c.entry(2).kind, 12); }},
    {"stations_too_close",
     [](description_pair& d) {
         d.train_records.push_back("stazione, 1200, 12, 400, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, X");
     },
     22, 1200, afterwards::read_ended,
     [](const compiled& c) {
         EXPECT_EQ(c.entry(2).area_start, 1000);  // stored, and its stop cell laid, before the test
         EXPECT_EQ(c.cell(27).kind, cell_kind::station_stop);
     }},
    {"stop_cell_before_cell_2",
     [](description_pair& d) {
         d.train_records = {"stazione, 0, 12, 200, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, X"};
     },
     24, untouched_position, afterwards::read_ended,
     [](const compiled& c) { EXPECT_EQ(c.entry(1).area_end, 100); }},
    {"station_beyond_grid",
     [](description_pair& d) {
         d.train_records.push_back("stazione, 9200, 12, 400, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, X");
         d.train_records.push_back("stazione, 9250, 12, 400, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, Y");
     },
     15, 9250, afterwards::end_step,
     [](const compiled& c) {
         EXPECT_EQ(c.cell(187).kind, cell_kind::station_stop);
         EXPECT_EQ(c.entry(3).position, 9250);
         EXPECT_EQ(c.entry(3).name, "");
     }},
    {"speed_beyond_grid",
     [](description_pair& d) { d.train_records.push_back("velocita, 9901, 5"); }, 15, 9901,
     afterwards::end_step, nullptr},
    {"signal_beyond_grid",
     [](description_pair& d) { d.train_records.push_back("segnale, 9901, 2,4,1,1,0,2,2,1,1,0"); },
     15, 9901, afterwards::end_step, nullptr},
    {"missing_value_at_the_end",
     [](description_pair& d) { d.train_records.push_back("velocita, 100"); }, 25,
     untouched_position, afterwards::read_ended, nullptr},
    {"kind_beyond_8_bits",
     [](description_pair& d) {
         d.train_records.push_back("stazione, 2000, 256, 400, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, X");
     },
     25, untouched_position, afterwards::read_ended,
     [](const compiled& c) { EXPECT_EQ(c.entry(2).position, 2000); }},
    {"clock_beyond_16_bits",
     [](description_pair& d) { d.train_general[3] = "orologio, 1 2 40000"; }, 25,
     untouched_position, afterwards::read_ended,
     [](const compiled& c) { EXPECT_EQ(c.entry(86).group_b2, 2); }},
    {"speed_fifth_beyond_8_bits",
     [](description_pair& d) { d.train_records.push_back("velocita, 2000, 1280"); }, 25,
     untouched_position, afterwards::read_ended,
     [](const compiled& c) { EXPECT_EQ(c.cell(39).speed_limit, 22); }},
    {"timetable_overflow",
     [](description_pair& d) {
         d.train_records.push_back(
             "stazione, 2000, 12, 400, 0,0,0, 0,0,0, 0,0,0, 0, 600000,0,0, X");
     },
     25, untouched_position, afterwards::read_ended, nullptr},
    // The kind is laid before the code is stored, and stays when the code does not fit.
    {"code_beyond_16_bits",
     [](description_pair& d) { d.train_records.push_back("abbattimento, 2000, 40000"); }, 25,
     untouched_position, afterwards::read_ended,
     [](const compiled& c) {
         EXPECT_EQ(c.cell(40).kind, cell_kind::code_point);
         EXPECT_EQ(c.cell(40).value_a, 0);
     }},
    {"value_not_a_number",
     [](description_pair& d) { d.train_records.push_back("aderenza, 1o0, 5"); }, 25,
     untouched_position, afterwards::read_ended, nullptr},
};

INSTANTIATE_TEST_SUITE_P(Cases, TrainReaderCodes, ::testing::ValuesIn(train_code_cases), case_name);

TEST(TrainReaderCodes, StationTableSharedWithBoardTexts) {
    // 78 boards leave the board counter at 2: the first station is stored and ends the read.
    description_pair d;
    for (int i = 0; i < 78; ++i) {
        d.line_records.push_back("cartello_indicatore, " + std::to_string(2000 + 50 * i) + ", t");
    }
    const auto c = compile(d);
    EXPECT_EQ(c->model.result_code, result::station_table_full);
    EXPECT_EQ(c->model.error_position, untouched_position);
    EXPECT_EQ(c->entry(1).name, "ORIGINE");
    EXPECT_EQ(c->entry(3).name, "t");
    EXPECT_EQ(c->files.train_discards, 1);
}

TEST(TrainReaderCodes, MissingTrainDescription) {
    const auto c = std::make_unique<compiled>(description_pair{}.line_text(), std::nullopt);
    EXPECT_EQ(c->model.result_code, result::compiler_failure);
    EXPECT_EQ(c->files.line_discards, 1);
    EXPECT_EQ(c->files.train_discards, 0);
    EXPECT_EQ(c->cell(0).gradient, 101);  // the line stays compiled
}

}  // namespace
}  // namespace compattatore
