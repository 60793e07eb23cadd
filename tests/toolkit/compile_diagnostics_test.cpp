// Every result code reaches the author as a diagnostic naming the file, line, column, code and
// position of the problem; and the warnings name what the formats drop without a code.

#include "toolkit/compile_diagnostics.hpp"

#include <gtest/gtest.h>

#include <functional>

#include "compiler/description_fixture.hpp"
#include "sources/writers.hpp"
#include "support/generated_descriptions.hpp"
#include "toolkit/compile_author.hpp"

namespace compattatore {
namespace {

using testing::description_pair;

author_compile compile_pair(const description_pair& d, bool profile = true) {
    author_sources s;
    s.line_text = d.line_text();
    s.train_text = d.train_text();
    s.line_name = "Linea";
    s.train_number = "99";
    s.profile = profile;
    return compile_author_sources(s);
}

const diagnostic_files names{"L.txt", "T.txt"};

std::vector<std::string> formatted(const author_compile& c, severity level) {
    std::vector<std::string> out;
    for (const diagnostic& d : c.report.diagnostics) {
        if (d.level == level) out.push_back(format_diagnostic(d, names, c.model.station_table));
    }
    return out;
}

std::string signal_at(int position) {
    return "segnale, " + std::to_string(position) + ", 2,4,1,1,0,2,2,1,1,0";
}

// Fixture: line file lines 1-8, added line records from line 9; train file lines 1-10, added
// train records from line 11.
struct code_case {
    const char* name;
    std::function<void(description_pair&)> change;
    std::string expected;  // the one error diagnostic, as printed
};

const code_case code_cases[] = {
    {"line_length", [](description_pair& d) { d.general[0] = "lunghezza percorso, 1000001"; },
     "L.txt:2:1: error: line length below 0 or above 1000000 m [R1]"},
    {"progressive",
     [](description_pair& d) { d.general[1] = "progressiva chilometrica uno, 25, 0, 0"; },
     "L.txt: error: the start or the offset of a kilometre progressive is not a multiple of 50 m "
     "[R2]"},
    {"repetition_start",
     [](description_pair& d) { d.general[3] = "ripetizione segnali 9 codici, 25, 3000"; },
     "L.txt:5:1: error: repetition start not a multiple of 50 m [R3]"},
    {"repetition_end",
     [](description_pair& d) { d.general[3] = "ripetizione segnali 9 codici, 0, 3025"; },
     "L.txt:5:1: error: repetition end not a multiple of 50 m [R4]"},
    {"repetition_codes", [](description_pair& d) { d.general[3] = "ripetizione segnali, 0, 0"; },
     "L.txt:5:1: error: repetition record names neither 4 nor 9 codes [R5]"},
    {"direction_board",
     [](description_pair& d) {
         d.line_records.push_back("cartello_indicatore, 1700, a");
         d.line_records.push_back("  cartello_indicatore, 1700, b");
     },
     "L.txt:10:3: error: direction board on a cell that is not free [R6] at 1700 m (km 1+700)"},
    {"code_point", [](description_pair& d) { d.train_records.push_back("abbattimento, 650, 270"); },
     "T.txt:11:1: error: code point on a cell that is not free [R7] at 650 m (km 0+650)"},
    {"station_position",
     [](description_pair& d) {
         d.train_records.push_back("stazione, 2025, 12, 400, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, X");
     },
     "T.txt:11:1: error: station position not a multiple of 50 m [R8] at 2025 m (km 2+025)"},
    {"station_length",
     [](description_pair& d) {
         d.train_records.push_back("stazione, 2000, 12, 450, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, X");
     },
     "T.txt:11:1: error: station length not a multiple of 100 m [R9] at 2000 m (km 2+000)"},
    {"station_table_full",
     [](description_pair& d) {
         for (int i = 0; i < 78; ++i) {
             d.line_records.push_back("cartello_indicatore, " + std::to_string(2000 + 50 * i) +
                                      ", t");
         }
     },
     "T.txt:10:1: error: no room left in the station table for another station [R10]"},
    // A slowdown at 5000 m: warning cell 77, start cell 101, end cell 109 (121 when 1000 m long).
    {"signal_before_warning",
     [](description_pair& d) {
         for (int p : {3350, 3400, 3450}) d.train_records.push_back(signal_at(p));
         d.train_records.push_back("rallentamento, 5000, 60, 400, 0, 0, 60");
     },
     "T.txt: error: no cell for a code point before a signal ahead of a slowdown warning [R11] "
     "at 3500 m (km 3+500)"},
    {"before_slowdown_start",
     [](description_pair& d) {
         for (int p : {4650, 4700, 4750}) d.train_records.push_back(signal_at(p));
         d.train_records.push_back("rallentamento, 5000, 60, 400, 0, 0, 60");
     },
     "T.txt: error: no cell for a code point before a slowdown start [R12] at 5050 m (km 5+050)"},
    {"inside_slowdown",
     [](description_pair& d) {
         for (int p : {5350, 5400, 5450}) d.train_records.push_back(signal_at(p));
         d.train_records.push_back("rallentamento, 5000, 60, 1000, 0, 0, 60");
     },
     "T.txt: error: no cell for a code point inside a slowdown or before the signal after it "
     "[R13] at 5450 m (km 5+450)"},
    {"beyond_grid", [](description_pair& d) { d.line_records.push_back("pendenza, 9901, 0"); },
     "L.txt:9:1: error: position beyond the end of the route grid [R15] at 9901 m (km 9+901)"},
    {"signal_cell", [](description_pair& d) { d.train_records.push_back(signal_at(600)); },
     "T.txt:11:1: error: signal on a cell that is not free [R16] at 600 m (km 0+600)"},
    {"warning_cell",
     [](description_pair& d) {
         d.train_records.push_back(signal_at(3800));
         d.train_records.push_back("rallentamento, 5000, 60, 400, 0, 0, 60");
     },
     "T.txt:12:1: error: slowdown warning cell not free [R17] at 5000 m (km 5+000)"},
    {"start_cell",
     [](description_pair& d) {
         d.train_records.push_back(signal_at(5000));
         d.train_records.push_back("rallentamento, 5000, 60, 400, 0, 0, 60");
     },
     "T.txt:12:1: error: slowdown start cell not free [R18] at 5000 m (km 5+000)"},
    {"end_cell",
     [](description_pair& d) {
         d.train_records.push_back(signal_at(5400));
         d.train_records.push_back("rallentamento, 5000, 60, 400, 0, 0, 60");
     },
     "T.txt:12:1: error: slowdown end cell not free [R19] at 5000 m (km 5+000)"},
    {"prewarning_cells",
     [](description_pair& d) {
         d.train_records.push_back(signal_at(3700));
         d.train_records.push_back("rallentamento, 5000, 60, 400, 0, 1, 60");
     },
     "T.txt:12:1: error: slowdown pre-warning cells not free [R20] at 5000 m (km 5+000)"},
    {"speed_board",
     [](description_pair& d) {
         d.line_records.push_back("indicatori_vmax, 1200, 100,110,120,0,100,110,120,0");
         d.line_records.push_back("indicatori_vmax, 1200, 100,110,120,0,100,110,120,0");
     },
     "L.txt:10:1: error: speed board on a cell that is not free [R21] at 1200 m (km 1+200)"},
    {"stations_too_close",
     [](description_pair& d) {
         d.train_records.push_back("stazione, 1200, 12, 400, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, X");
     },
     "T.txt:11:1: error: station area begins less than 350 m after the previous station's area "
     "end [R22] at 1200 m (km 1+200)"},
    {"stop_cell",
     [](description_pair& d) {
         d.train_records = {"stazione, 0, 12, 200, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, X"};
     },
     "T.txt:7:1: error: station stop cell would fall before cell 2 [R24]"},
    {"not_a_number", [](description_pair& d) { d.train_records.push_back("velocita, 100,  x5"); },
     "T.txt:11:17: error: the description could not be read: it ends inside a record, a value is "
     "not a number or does not fit its field, the line length is missing, or a file could not be "
     "read [R25]"},
    {"before_grid",
     [](description_pair& d) { d.train_records.push_back("abbattimento, -100, 270"); },
     "T.txt:11:1: error: position before the start of the route grid [R26] at -100 m (km -0+100)"},
    {"mountains",
     [](description_pair& d) {
         for (int i = 0; i < 81; ++i) {
             d.line_records.push_back("montagna, " + std::to_string(100 * i) + ", " +
                                      std::to_string(100 * i + 50) + ", 2");
         }
     },
     "L.txt:89:1: error: more than 80 mountains [R27] at 8000 m (km 8+000)"},
    {"boards",
     [](description_pair& d) {
         for (int i = 0; i < 81; ++i) {
             d.line_records.push_back("cartello_indicatore, " + std::to_string(1000 + 100 * i) +
                                      ", t");
         }
     },
     "L.txt:89:1: error: more than 80 direction boards [R28] at 9000 m (km 9+000)"},
    // A station stop cell replaces the slowdown's end cell: the walk finds no end.
    {"slowdown_without_end",
     [](description_pair& d) {
         d.train_records.push_back("rallentamento, 5000, 60, 400, 0, 0, 60");
         d.train_records.push_back("stazione, 5300, 12, 400, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, X");
     },
     "T.txt: error: slowdown start with no slowdown end cell after it [R29] at 5050 m "
     "(km 5+050)"},
    {"curve_class", [](description_pair& d) { d.line_records.push_back("curvad, 1700, 500"); },
     "L.txt:9:1: error: curve record without class digit, or line profile longer than 1000000 "
     "points [R103]"},
    {"stamp_slots", [](description_pair& d) { d.train_records.push_back("abbattimento, 50, 270"); },
     "L.txt: error: stamp slots already in use [R1250]"},
    {"checksum_slots",
     [](description_pair& d) { d.train_records.push_back("rallentamento, 0, 0, 400, 0, 0, 5"); },
     "L.txt: error: checksum slots already in use [R1251]"},
};

class CodeDiagnostics : public ::testing::TestWithParam<code_case> {};

TEST_P(CodeDiagnostics, NameFileLineColumnCodeAndPosition) {
    description_pair d;
    GetParam().change(d);
    const author_compile c = compile_pair(d);
    EXPECT_EQ(formatted(c, severity::error), std::vector<std::string>{GetParam().expected});
    EXPECT_FALSE(c.clean());
}

INSTANTIATE_TEST_SUITE_P(Codes, CodeDiagnostics, ::testing::ValuesIn(code_cases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CodeDiagnostics, MissingOrUnsectionedLineFileLeavesNothingToWrite) {
    author_sources s;
    s.train_text = description_pair{}.train_text();
    s.line_name = "Linea";
    s.train_number = "99";
    author_compile missing = compile_author_sources(s);
    EXPECT_EQ(formatted(missing, severity::error),
              std::vector<std::string>{"L.txt: error: line description file missing [R101]"});
    EXPECT_FALSE(missing.finished);
    EXPECT_FALSE(missing.writable());

    s.line_text = "pendenza, 0, 1\r\n[fine]\r\n";
    const author_compile no_section = compile_author_sources(s);
    EXPECT_EQ(formatted(no_section, severity::error),
              std::vector<std::string>{
                  "L.txt:2:1: error: line description file has no \"[generale]\" line [R102]"});
    EXPECT_FALSE(no_section.writable());
}

TEST(CodeDiagnostics, ClosingChecksStopTheWriteButOtherCodesDoNot) {
    description_pair stamp;
    stamp.train_records.push_back("abbattimento, 50, 270");
    EXPECT_FALSE(compile_pair(stamp).writable());
    description_pair signal;
    signal.train_records.push_back(signal_at(600));
    const author_compile c = compile_pair(signal);
    EXPECT_TRUE(c.writable());
    EXPECT_EQ(c.model.result_code, 16);
    // The stamps and checksums went in as in the default run.
    EXPECT_EQ(c.model.route_grid[1].value_a, 5121);
}

TEST(Kilometres, ProgressiveWithGreatestStartAtOrBeforeThePosition) {
    station_table_t t{};
    t[81].area_start = 90800;
    t[81].area_end = -90800;
    t[82].area_start = 50000;
    t[82].area_end = 1000;
    struct {
        std::int32_t position;
        const char* text;
    } cases[] = {
        {131450, "40+650"},  // slot 81
        {90800, "0+000"},    // at its start
        {60000, "61+000"},   // slot 82
        {10800, "10+800"},   // before every start: the route position itself
        {-250, "-0+250"},
    };
    for (const auto& k : cases) {
        EXPECT_EQ(kilometres_text(progressive_metres(t, k.position)), k.text) << k.position;
    }
    // A slot whose start and offset are both zero does not count, whatever its flag.
    station_table_t zero{};
    zero[83].position = 1;
    EXPECT_EQ(progressive_metres(zero, 700), 700);
}

// ---- warnings ---------------------------------------------------------------------------------

struct warning_case {
    const char* name;
    std::function<void(description_pair&)> change;
    bool profile;
    std::string expected;  // the one warning, as printed
};

const warning_case warning_cases[] = {
    {"line_keyword_matches_nothing",
     [](description_pair& d) { d.line_records.push_back("pendnza, 100, 2"); }, true,
     "L.txt:9:1: warning: field \"pendnza\" matches no record and is dropped"},
    {"train_keyword_matches_nothing",
     [](description_pair& d) { d.train_records.push_back("  vettura, 9"); }, true,
     "T.txt:11:3: warning: field \"vettura\" matches no record and is dropped"},
    {"extra_value_dropped",
     [](description_pair& d) { d.line_records.push_back("pendenza, 2000, 2, 7"); }, true,
     "L.txt:9:20: warning: field \"7\" matches no record and is dropped"},
    {"station_name_cut_at_comma",
     [](description_pair& d) {
         d.train_records.push_back("stazione, 2000, 12, 400, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, A, B");
     },
     true, "T.txt:11:60: warning: field \"B\" matches no record and is dropped"},
    {"line_record_lost_to_hyphen",
     [](description_pair& d) { d.line_records.push_back("pend-enza, 100, 2"); }, true,
     "L.txt:9:1: warning: record \"pend-enza\" is lost: a keyword field containing \"-\" is "
     "skipped unread"},
    {"train_record_lost_to_hyphen",
     [](description_pair& d) { d.train_records.push_back("velocita-, 100, 30"); }, true,
     "T.txt:11:1: warning: record \"velocita-\" is lost: a keyword field containing \"-\" is "
     "skipped unread"},
    {"curve_without_profile",
     [](description_pair& d) { d.line_records.push_back("curvad4, 1700, 500"); }, false,
     "L.txt:9:1: warning: curve \"curvad4\" is ignored: the line profile is off"},
    {"gradient_order", [](description_pair& d) { d.line_records.push_back("pendenza, 500, 3"); },
     true,
     "L.txt:9:1: warning: gradient at 500 m comes after one at 1000 m: records out of ascending "
     "order"},
    {"speed_order", [](description_pair& d) { d.train_records.push_back("velocita, 500, 60"); },
     true,
     "T.txt:11:1: warning: speed limit at 500 m comes after one at 1150 m: records out of "
     "ascending order"},
    {"adhesion_order",
     [](description_pair& d) {
         d.train_records.push_back("aderenza, 2000, 80");
         d.train_records.push_back("aderenza, 1000, 90");
     },
     true,
     "T.txt:12:1: warning: adhesion at 1000 m comes after one at 2000 m: records out of ascending "
     "order"},
    {"curve_order",
     [](description_pair& d) {
         d.line_records.push_back("curvad4, 3000, 200");
         d.line_records.push_back("curvas3, 1000, 200");
     },
     true,
     "L.txt:10:1: warning: curve at 1000 m comes after one at 3000 m: records out of ascending "
     "order"},
    {"curve_overlap",
     [](description_pair& d) {
         d.line_records.push_back("curvad4, 3000, 500");
         d.line_records.push_back("curvas3, 3200, 200");
     },
     true,
     "L.txt:10:1: warning: curve from 3200 m overlaps the curve from 3000 m to 3500 m: it is "
     "drawn only from 3501 m"},
};

class Warnings : public ::testing::TestWithParam<warning_case> {};

TEST_P(Warnings, NameWhatWasDroppedAndWhere) {
    description_pair d;
    GetParam().change(d);
    const author_compile c = compile_pair(d, GetParam().profile);
    EXPECT_EQ(formatted(c, severity::warning), std::vector<std::string>{GetParam().expected});
    EXPECT_TRUE(formatted(c, severity::error).empty());
}

INSTANTIATE_TEST_SUITE_P(Dropped, Warnings, ::testing::ValuesIn(warning_cases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Warnings, NoneForSeparatorsHeadersBlankLinesOrTouchingCurves) {
    description_pair d;
    d.line_records.insert(d.line_records.begin(), "----------------");
    d.line_records.push_back("");
    d.line_records.push_back("[montagne]");
    d.line_records.push_back("curvad4, 3000, 500");
    d.line_records.push_back("curvas3, 3500, 200");
    d.train_records.insert(d.train_records.begin(), "-------,---------");
    d.train_records.push_back("stazione, 2000, 12, 400, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, SAN-PAOLO");
    const author_compile c = compile_pair(d);
    EXPECT_TRUE(c.report.diagnostics.empty()) << formatted(c, severity::warning).front();
}

TEST(Warnings, NoneForTheScenariosOwnDescriptions) {
    author_sources s;
    s.line_text = testing::join_crlf(dati_linea_lines());
    s.train_text = testing::join_crlf(dati_treno_lines());
    s.line_name = "Torino_Piacenza";
    s.train_number = "2063";
    const author_compile c = compile_author_sources(s);
    EXPECT_TRUE(c.report.diagnostics.empty());
    EXPECT_TRUE(c.writable());
    EXPECT_EQ(c.model.result_code, 0);
}

}  // namespace
}  // namespace compattatore
