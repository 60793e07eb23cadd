// The author's check: every problem of both texts in one run, each where it is, and the compile
// untouched by it.

#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "compiler/description_fixture.hpp"
#include "formats/binary_files.hpp"
#include "ground/code_page_850.hpp"
#include "sources/writers.hpp"
#include "support/generated_descriptions.hpp"
#include "toolkit/check_author.hpp"

namespace compattatore {
namespace {

using testing::description_pair;
using testing::join_crlf;

author_sources sources_of(std::string line, std::string train, bool profile = true) {
    author_sources s;
    s.line_text = std::move(line);
    s.train_text = std::move(train);
    s.line_name = "Linea";
    s.train_number = "99";
    s.profile = profile;
    return s;
}

author_sources scenario_sources() {
    author_sources s = sources_of(join_crlf(dati_linea_lines()), join_crlf(dati_treno_lines()));
    s.line_name = "Torino_Piacenza";
    s.train_number = "2063";
    return s;
}

// One diagnostic as a line the tests compare: place, extent, code, severity, kind, message and
// notes.
std::string shown(const diagnostic& d) {
    std::ostringstream o;
    o << (d.where.file == description_kind::line ? "L" : "T") << ":" << d.where.line << ":"
      << d.where.column << "+" << d.length << " "
      << (d.level == severity::error ? "error" : "warning") << " R" << d.code << " " << d.kind
      << ": " << d.message;
    if (!d.help.empty()) o << " | help: " << d.help;
    for (const diagnostic_note& n : d.notes) {
        o << " | note " << n.where.line << ": " << n.message;
    }
    return o.str();
}

std::string all_shown(const author_check& c) {
    std::string out;
    for (const diagnostic& d : c.diagnostics) out += shown(d) + "\n";
    return out;
}

// The compile as the checker hands it on: its codes, error position and every byte of the three
// files, against a compile of the same texts alone.
void expect_same_compile(const author_sources& s, const author_check& c) {
    const author_compile alone = compile_author_sources(s);
    EXPECT_EQ(c.compile.model.result_code, alone.model.result_code);
    EXPECT_EQ(c.compile.model.error_position, alone.model.error_position);
    EXPECT_EQ(c.compile.finished, alone.finished);
    EXPECT_EQ(c.compile.closing_code, alone.closing_code);
    if (!alone.finished) return;
    EXPECT_TRUE(encode_route_grid(c.compile.model.route_grid) ==
                encode_route_grid(alone.model.route_grid));
    EXPECT_TRUE(encode_station_table(c.compile.model.station_table) ==
                encode_station_table(alone.model.station_table));
    EXPECT_TRUE(encode_line_profile(c.compile.model.line_profile) ==
                encode_line_profile(alone.model.line_profile));
}

TEST(Check, OwnTextsGiveNothingAndTheCompileIsUntouched) {
    const std::pair<std::string, author_sources> texts[] = {
        {"scenario", scenario_sources()},
        {"maximum line",
         sources_of(testing::maximum_line_description(), testing::maximum_train_description())},
        {"every cell", sources_of(testing::every_cell_line_description(),
                                  testing::every_cell_train_description())},
    };
    for (const auto& [name, s] : texts) {
        const author_check c = check_author_sources(s);
        EXPECT_EQ(all_shown(c), "") << name;
        EXPECT_TRUE(c.compile.writable()) << name;
        expect_same_compile(s, c);
    }
}

// Fixture: line lines 1-8 ([generale], length 3000, progressive, background, repetition,
// [pendenze], two gradients), added line records from line 9; train lines 1-10 ([generale], four
// general values, [stazioni], adhesion, two speed limits, station ORIGINE at 0), added train
// records from line 11.
struct mistake {
    const char* name;
    std::function<void(description_pair&)> change;
    std::vector<std::string> expected;
};

std::string signal_at(int position) {
    return "segnale, " + std::to_string(position) + ", 2,4,1,1,0,2,2,1,1,0";
}

const mistake mistakes[] = {
    {"negative speed at its own field",
     [](description_pair& d) {
         d.train_records[2] = "velocita,    1150,   -120";
         d.train_records.push_back("velocita,    1300,   110");
     },
     {"T:9:22+4 error R25 value-out-of-range: `velocita` `speed`: -120 km/h does not fit its "
      "field (0 to 1277)"}},
    {"keyword typo loses the station",
     [](description_pair& d) {
         d.train_records.push_back(
             "stazine,   2000, 12, 400, 0,0,0, 0,0,0, 0,0,0, 0, 12,0,0, ALESSANDRIA");
     },
     {"T:11:1+7 warning R0 unknown-keyword: `stazine` names no record: the rest of its line is "
      "dropped; the station `ALESSANDRIA` is lost | help: did you mean `stazione`?"}},
    {"semicolons on the keyword's own line",
     [](description_pair& d) {
         d.train_records.push_back("stazione; 2000; 12; 400; 0;0;0; 0;0;0; 0;0;0; 0; 12;0;0; X");
         d.train_records.push_back(signal_at(2500));
     },
     {"T:11:9+1 error R25 wrong-separator: `stazione` record separates its values with `;`: its "
      "values are read from the next line | help: separate the values with commas"}},
    {"line length typo",
     [](description_pair& d) { d.general[0] = "lunghezza percoso,    3000"; },
     {"L:2:1+17 warning R0 unknown-keyword: `lunghezza percoso` names no record: the rest of its "
      "line is dropped | help: did you mean `lunghezza percorso`?",
      "L:2:1+17 error R25 line-length-missing: the line description gives no `lunghezza "
      "percorso` in its [generale] section, and the gradient record needs the route grid it "
      "sizes | help: add `lunghezza percorso, <metres>` after [generale] | note 7: the first "
      "record that needs it"}},
    {"blank inside a number",
     [](description_pair& d) { d.train_general[2] = "sabbia, 90 800"; },
     {"T:4:9+2 warning R0 rest-of-field-ignored: `sabbia` value 1 `sand` is read as `90`: a "
      "blank ends it, and `800` is read as a keyword and dropped | help: write the number "
      "without blanks, or put a comma between the two"}},
    {"signal off the grid, code point on its cell",
     [](description_pair& d) {
         d.train_records.push_back(signal_at(2810));
         d.train_records.push_back("abbattimento, 2850, 270");
     },
     {"T:11:10+4 warning R0 moved-to-grid: the signal at 2810 m is placed at 2800 m: positions "
      "go to the nearest 50 m cell | help: write 2800 to say where it stands",
      "T:12:1+12 error R7 overlap: the code point at 2850 m needs cell 57, which the signal at "
      "2810 m already holds | note 11: the cell holds the signal at 2810 m from line 11"}},
    {"timetable backwards and out of the day",
     [](description_pair& d) {
         d.train_records.push_back("stazione, 2000, 12, 400, 0,0,0, 0,0,0, 0,0,0, 0, 11,40,0, B");
         d.train_records.push_back("stazione, 2800, 12, 400, 0,0,0, 0,0,0, 0,0,0, 0, 25,70,0, C");
     },
     {"T:11:50+7 warning R0 timetable-backwards: station `B` is timed 11:40:00, earlier than the "
      "station before it | note 10: `ORIGINE` is timed 11:48:00",
      "T:12:50+7 warning R0 time-out-of-day: station `C`: timetable time 25:70:00 is not a time "
      "of the day | help: hours go from 0 to 23, minutes and seconds from 0 to 59"}},
    {"implausible values and curve letters",
     [](description_pair& d) {
         d.train_records[2] = "velocita,    1150,   1200";
         d.train_records[0] = "aderenza, 0, 750";
         d.line_records.push_back("curvax4, 100, 200");
     },
     {"L:9:1+7 warning R0 curve-letters-ignored: `curvax4`: `x` is ignored; read as a right "
      "curve of class 4 | help: write `curva`, `s` (left) or `d` (right), and one class digit",
      "T:7:14+3 warning R0 value-changed: `aderenza` `level`: 750 is outside 0 to 255: only its "
      "low bits are kept, and the simulator gets 238",
      "T:9:22+4 warning R0 implausible-value: `velocita` `speed`: 1200 km/h is outside what real "
      "data uses (0 to 300)"}},
    {"no gradient, no adhesion",
     [](description_pair& d) {
         d.line_records.clear();
         d.train_records.erase(d.train_records.begin());
     },
     {"L:0:0+0 warning R0 no-gradient: the line description has no `pendenza` record: the whole "
      "line is flat",
      "T:0:0+0 warning R0 no-adhesion: the train description has no `aderenza` record: the "
      "adhesion is 0 everywhere"}},
    {"record short of values",
     [](description_pair& d) { d.train_records.push_back("stazione, 2000, 12, 400"); },
     {"T:11:1+8 error R25 text-ends-in-record: the `stazione` record ends after 3 values: its "
      "value 4 `first value` is missing, and `[fine]` from the next line is read in its place | "
      "help: give the record its 17 values"}},
    {"board collision, beyond the grid, hyphen in a keyword",
     [](description_pair& d) {
         d.line_records.push_back("cartello_indicatore, 1700, a");
         d.line_records.push_back("  cartello_indicatore, 1700, b");
         d.line_records.push_back("pendenza, 9901, 0");
         d.line_records.push_back("pend-enza, 500, 0");
     },
     {"L:10:3+19 error R6 overlap: the direction board at 1700 m needs cell 35, which the "
      "direction board at 1700 m already holds | note 9: the cell holds the direction board at "
      "1700 m from line 9",
      "L:11:1+8 error R15 beyond-route-grid: the gradient at 9901 m leaves no room before the end "
      "of the route grid at 10000 m | help: the grid runs 7000 m past the line length; the "
      "records' positions must lie inside it",
      "L:12:1+9 warning R0 lost-to-hyphen-skip: the gradient record `pend-enza` is lost: a "
      "keyword field containing `-` is passed over unread | help: write the keyword `pendenza` "
      "without the hyphen"}},
    {"placement problems after the first go on being found",
     [](description_pair& d) {
         d.train_records.push_back("stazione, 2025, 12, 400, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, X");
         d.train_records.push_back(signal_at(600));
         d.train_records.push_back("stazione, 2200, 12, 400, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, Y");
         d.train_records.push_back("stazione, 2500, 12, 400, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, Z");
         d.train_records.push_back("rallentamento, 5000, 60, 400, 0, 0, 60");
         d.train_records.push_back(signal_at(5000));
     },
     {"T:11:11+4 error R8 not-a-multiple: `stazione` `position`: 2025 m is not a multiple of 50 m",
      "T:12:1+7 error R16 overlap: the signal at 600 m needs cell 13, which the stop of station "
      "`ORIGINE` already holds | note 10: the cell holds the stop of station `ORIGINE` from line "
      "10",
      "T:14:1+8 error R22 stations-too-close: station `Z`: its area starts at 2300 m, less than "
      "350 m after the area of the station before ends at 2400 m | note 13: the station before, "
      "`Y`",
      "T:16:1+7 error R16 overlap: the signal at 5000 m needs cell 101, which the slowdown at "
      "5000 m (its start) already holds | note 15: the cell holds the slowdown at 5000 m (its "
      "start) from line 15"}},
};

TEST(Check, AuthorMistakes) {
    for (const mistake& m : mistakes) {
        description_pair d;
        m.change(d);
        const author_sources s = sources_of(d.line_text(), d.train_text());
        const author_check c = check_author_sources(s);
        std::vector<std::string> got;
        for (const diagnostic& x : c.diagnostics) got.push_back(shown(x));
        EXPECT_EQ(got, m.expected) << m.name;
        expect_same_compile(s, c);
    }
}

TEST(Check, TextEndingInsideARecordNamesTheMissingField) {
    const description_pair d;
    const author_check c = check_author_sources(
        sources_of(d.line_text(), "[generale]\r\naderenza, 0, 75\r\nvelocita, 0"));
    ASSERT_FALSE(c.diagnostics.empty());
    EXPECT_EQ(
        shown(c.diagnostics.back()),
        "T:3:1+8 error R25 text-ends-in-record: the text ends inside a `velocita` record: its "
        "`velocita` value 2 `speed` is missing | help: give the record its 2 values");
    EXPECT_EQ(c.count(severity::error), 1u);
}

// Independent mistakes in both texts: the compile stops at the first, the check reports them all,
// the compile's own once, at the checker's place.
TEST(Check, SeveralMistakesAllReported) {
    description_pair d;
    d.general[2] = "Sfondo uno, 1";
    d.line_records.push_back("curvas9, 100, 200");
    d.line_records.push_back("montagna, 1500, 1550, 2O");
    d.train_general[0] = "numero vetture, 8 coaches";
    d.train_records[2] = "velocita,    1150,   -120";
    d.train_records.push_back("stazine, 2000, 12, 400, 0,0,0, 0,0,0, 0,0,0, 0, 12,0,0, ASTI");
    d.train_records.push_back("stazione, 2800, 12, 450, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, B");
    d.train_records.push_back(signal_at(99999));
    const author_sources s = sources_of(d.line_text(), d.train_text());
    const author_check c = check_author_sources(s);
    std::vector<std::string> got;
    for (const diagnostic& x : c.diagnostics) got.push_back(shown(x));
    const std::vector<std::string> expected = {
        "L:4:1+10 warning R0 unknown-keyword: `Sfondo uno` names no record: the rest of its line "
        "is dropped | help: did you mean `sfondo uno`?",
        "L:9:1+7 error R103 curve-class-missing: `curvas9` carries no class digit 1 to 6 | help: "
        "write the side and the class, e.g. `curvad4`",
        "L:10:23+2 error R25 not-a-number: `montagna` value 3 `type`: `2O` is not a whole number "
        "| help: write the type as digits",
        "T:2:17+1 warning R0 rest-of-field-ignored: `numero vetture` value 1 `coaches` is read as "
        "`8`: a blank ends it, and `coaches` is read as a keyword and dropped | help: write the "
        "number without blanks, or put a comma between the two",
        "T:9:22+4 error R25 value-out-of-range: `velocita` `speed`: -120 km/h does not fit its "
        "field (0 to 1277)",
        "T:11:1+7 warning R0 unknown-keyword: `stazine` names no record: the rest of its line is "
        "dropped; the station `ASTI` is lost | help: did you mean `stazione`?",
        "T:12:21+3 error R9 not-a-multiple: `stazione` `length`: 450 m is not a multiple of 100 m",
        "T:13:1+7 error R15 beyond-route-grid: the signal at 99999 m leaves no room before the end "
        "of the route grid at 10000 m | help: the grid runs 7000 m past the line length; the "
        "records' positions must lie inside it",
    };
    EXPECT_EQ(got, expected);
    // The compile stopped at the curve: one error of its own.
    EXPECT_EQ(compile_author_sources(s).count(severity::error), 1u);
    expect_same_compile(s, c);
}

TEST(Check, Utf8Text) {
    description_pair d;
    d.train_records[3] =
        "stazione,       0,  8,  700,  1, 1, 1,  4,1,0,  2,1,1,    1,  11,48, 0, SAN NICOL\xC3\x92";
    const author_check as_is = check_author_sources(sources_of(d.line_text(), d.train_text()));
    ASSERT_EQ(as_is.diagnostics.size(), 1u);
    EXPECT_EQ(shown(as_is.diagnostics[0]),
              "T:10:82+2 warning R0 utf8-text: the text is UTF-8, not code page 850: `\xC3\x92` "
              "shows as `" +
                  cp850_to_utf8("\xC3\x92") +
                  "` in the simulator | help: save the file in code page 850, or check it with "
                  "`--input-encoding utf-8`");

    check_options utf8;
    utf8.encoding = input_encoding::utf8;
    const author_check converted =
        check_author_sources(sources_of(d.line_text(), d.train_text()), utf8);
    EXPECT_EQ(all_shown(converted), "");
    EXPECT_EQ(converted.compile.model.station_table[1].name, utf8_to_cp850("SAN NICOL\xC3\x92"));

    // The euro sign has no byte in code page 850.
    d.train_records[3] =
        "stazione,       0,  8,  700,  1, 1, 1,  4,1,0,  2,1,1,    1,  11,48, 0, \xE2\x82\xAC 5";
    const author_check lacking =
        check_author_sources(sources_of(d.line_text(), d.train_text()), utf8);
    ASSERT_EQ(lacking.diagnostics.size(), 1u);
    EXPECT_EQ(shown(lacking.diagnostics[0]),
              "T:10:73+1 error R0 not-in-code-page: `\xE2\x82\xAC` has no character in code page "
              "850 | help: write it with a letter code page 850 has");
}

TEST(Check, SwappedFilesGiveOneHint) {
    const description_pair d;
    const author_check c = check_author_sources(sources_of(d.train_text(), d.line_text()));
    std::vector<std::string> got;
    for (const diagnostic& x : c.diagnostics) got.push_back(shown(x));
    const std::vector<std::string> expected = {
        "L:0:0+0 warning R0 files-swapped: the line description reads like a train description "
        "and the train description like a line description (14 keywords match no record of "
        "their text) | help: give the line description first and the train description second",
        "L:0:0+0 error R25 line-length-missing: the line description gives no `lunghezza "
        "percorso`: the route grid has no size | help: add `lunghezza percorso, <metres>` to its "
        "[generale] section",
    };
    EXPECT_EQ(got, expected);
}

}  // namespace
}  // namespace compattatore
