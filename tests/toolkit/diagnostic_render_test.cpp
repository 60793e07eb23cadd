// How a diagnostic reads on a terminal: the first line editors jump to, the source line with the
// field underlined (lined up under accented names and tabs), the help, and each note at its own
// place; and the summary, colour choice and the names taken from the file names.

#include "toolkit/diagnostic_render.hpp"

#include <gtest/gtest.h>

#include <sstream>

#include "toolkit/author_report.hpp"

namespace compattatore {
namespace {

const diagnostic_files names{"L.txt", "T.txt"};

// Line 1 plain, line 2 with an accented name (code page 850: 0x95 is ò) and a tab, line 3 ending
// in CR LF, line 4 with a control character.
const source_lines line_text(
    "pendenza, 0, 1\n"
    "stazione, 90800, \tSAN NICOL\x95, 12\n"
    "curva, 100, 300\r\n"
    "segnale,\x1b 2800\n");
const source_lines train_text("treno, 2063\nsegnale, 2810, 2,4\n");

diagnostic at(description_kind file, std::int32_t line, std::int32_t column, std::int32_t length) {
    diagnostic d;
    d.where = {file, line, column};
    d.length = length;
    d.code = 25;
    d.message = "not a number";
    return d;
}

struct render_case {
    const char* name;
    diagnostic d;
    std::string expected;
};

diagnostic with_help_and_note() {
    diagnostic d = at(description_kind::train, 2, 10, 4);
    d.code = 16;
    d.message.clear();
    d.has_position = true;
    d.position = 2800;
    d.help = "move it to a free cell";
    d.notes.push_back({{description_kind::line, 4, 1}, 7, "the cell holds the signal from line 4"});
    return d;
}

diagnostic warning_quoting(std::string quoted) {
    diagnostic d = at(description_kind::line, 2, 31, 2);
    d.level = severity::warning;
    d.code = 0;
    d.message = "value \"" + quoted + "\" is odd";
    d.help = "did you mean `SAN NICOL\x95`?";
    return d;
}

const render_case render_cases[] = {
    {"field_extent", at(description_kind::line, 1, 11, 1),
     "L.txt:1:11: error: not a number [R25]\n"
     "    1 | pendenza, 0, 1\n"
     "      |           ^\n"},
    {"accented_name_and_tab_line_up", at(description_kind::line, 2, 19, 10),
     "L.txt:2:19: error: not a number [R25]\n"
     "    2 | stazione, 90800, \tSAN NICOL\xc3\xb2, 12\n"
     "      |                  \t^~~~~~~~~~\n"},
    {"after_the_accent", warning_quoting("12\x95"),
     "L.txt:2:31: warning: value \"12\xc3\xb2\" is odd\n"
     "    2 | stazione, 90800, \tSAN NICOL\xc3\xb2, 12\n"
     "      |                  \t            ^~\n"
     "      = help: did you mean `SAN NICOL\xc3\xb2`?\n"},
    {"extent_cut_at_line_end_and_CR_dropped", at(description_kind::line, 3, 13, 40),
     "L.txt:3:13: error: not a number [R25]\n"
     "    3 | curva, 100, 300\n"
     "      |             ^~~\n"},
    {"unknown_extent_is_one_caret", at(description_kind::line, 3, 1, 0),
     "L.txt:3:1: error: not a number [R25]\n"
     "    3 | curva, 100, 300\n"
     "      | ^\n"},
    {"past_the_end_points_after_the_last_character", at(description_kind::line, 1, 40, 3),
     "L.txt:1:40: error: not a number [R25]\n"
     "    1 | pendenza, 0, 1\n"
     "      |               ^\n"},
    {"control_character_shown_as_space", at(description_kind::line, 4, 10, 5),
     "L.txt:4:10: error: not a number [R25]\n"
     "    4 | segnale,  2800\n"
     "      |          ^~~~~\n"},
    {"code_meaning_position_help_and_note_in_the_other_file", with_help_and_note(),
     "T.txt:2:10: error: signal on a cell that is not free [R16] at 2800 m (km 2+800)\n"
     "    2 | segnale, 2810, 2,4\n"
     "      |          ^~~~\n"
     "      = help: move it to a free cell\n"
     "L.txt:4:1: note: the cell holds the signal from line 4\n"
     "    4 | segnale,  2800\n"
     "      | ^~~~~~~\n"},
    {"no_place_in_the_text", at(description_kind::train, 0, 0, 0),
     "T.txt: error: not a number [R25]\n"},
    {"line_beyond_the_text", at(description_kind::train, 9, 1, 3),
     "T.txt:9:1: error: not a number [R25]\n"},
    {"wide_line_numbers_widen_the_gutter",
     [] {
         diagnostic d = at(description_kind::train, 12345, 1, 0);
         d.notes.push_back({{description_kind::train, 1, 1}, 5, "started here"});
         return d;
     }(),
     "T.txt:12345:1: error: not a number [R25]\n"
     "T.txt:1:1: note: started here\n"
     "     1 | treno, 2063\n"
     "       | ^~~~~\n"},
};

TEST(DiagnosticRender, ShowsTheSourceLineUnderlinedWithHelpAndNotes) {
    const diagnostic_sources sources{&line_text, &train_text};
    for (const render_case& k : render_cases) {
        EXPECT_EQ(render_diagnostic(k.d, names, sources, {}, {}), k.expected) << k.name;
    }
}

// Read as UTF-8, a text's columns count its characters, and its lines are shown as they are.
TEST(DiagnosticRender, TextsReadAsUtf8AreShownAsTheyAreAndCountCharacters) {
    const source_lines utf8_text("stazione, 1, SAN NICOL\xc3\x92 \xe2\x82\xac, 12\n", true);
    diagnostic d = at(description_kind::train, 1, 25, 1);
    d.code = 0;  // no result code for a character the code page lacks
    d.message = "no such character";
    EXPECT_EQ(render_diagnostic(d, names, {nullptr, &utf8_text}, {}, {}),
              "T.txt:1:25: error: no such character\n"
              "    1 | stazione, 1, SAN NICOL\xc3\x92 \xe2\x82\xac, 12\n"
              "      |                         ^\n");
}

TEST(DiagnosticRender, WithoutTheTextsOnlyThePlacesAreShown) {
    EXPECT_EQ(render_diagnostic(with_help_and_note(), names, {}, {}, {}),
              "T.txt:2:10: error: signal on a cell that is not free [R16] at 2800 m (km 2+800)\n"
              "      = help: move it to a free cell\n"
              "L.txt:4:1: note: the cell holds the signal from line 4\n");
}

TEST(DiagnosticRender, ColourMarksPlaceSeverityAndUnderlineOnly) {
    const diagnostic_sources sources{&line_text, &train_text};
    diagnostic w = at(description_kind::line, 1, 1, 8);
    w.level = severity::warning;
    w.message = "lost";
    EXPECT_EQ(render_diagnostic(w, names, sources, {}, {true}),
              "\033[1mL.txt:1:1:\033[0m \033[1;35mwarning:\033[0m \033[1mlost\033[0m\n"
              "    1 | pendenza, 0, 1\n"
              "      | \033[1;32m^~~~~~~~\033[0m\n");
    const std::string e = render_diagnostic(with_help_and_note(), names, sources, {}, {true});
    EXPECT_NE(e.find("\033[1;31merror:\033[0m"), std::string::npos) << e;
    EXPECT_NE(e.find("\033[1;36mnote:\033[0m"), std::string::npos) << e;
}

TEST(DiagnosticRender, ColourFollowsTheOptionTheTerminalAndNoColor) {
    const struct {
        color_mode mode;
        bool terminal;
        const char* no_color;
        bool expected;
    } cases[] = {
        {color_mode::automatic, true, nullptr, true},
        {color_mode::automatic, true, "", true},
        {color_mode::automatic, true, "1", false},
        {color_mode::automatic, false, nullptr, false},
        {color_mode::always, false, "1", true},
        {color_mode::never, true, nullptr, false},
    };
    for (const auto& k : cases) {
        EXPECT_EQ(wants_color(k.mode, k.terminal, k.no_color), k.expected)
            << static_cast<int>(k.mode) << " " << k.terminal << " "
            << (k.no_color ? k.no_color : "unset");
    }
}

TEST(DiagnosticSummary, CountsEachKindInTheOrderItFirstAppears) {
    diagnostic typo = at(description_kind::line, 1, 1, 1);
    typo.level = severity::warning;
    typo.code = 0;
    typo.kind = "keyword-typo";
    diagnostic number = at(description_kind::line, 2, 1, 1);
    number.kind = "not-a-number";
    diagnostic coded = at(description_kind::train, 2, 1, 1);
    coded.code = 8;
    diagnostic plain_warning = typo;
    plain_warning.kind.clear();
    EXPECT_EQ(check_summary({}), "0 errors, 0 warnings");
    EXPECT_EQ(check_summary({number}), "1 error, 0 warnings (not-a-number 1)");
    EXPECT_EQ(check_summary({typo, number, coded, number, typo, plain_warning}),
              "3 errors, 3 warnings (keyword-typo 2, not-a-number 2, code-8 1, warning 1)");
}

TEST(AuthorFiles, NamesLeftOutComeFromTheFileNames) {
    const struct {
        const char* line_file;
        const char* train_file;
        std::optional<std::string> line, train;
        const char* expected;  // "line/train", or the start of the problem
    } cases[] = {
        {"dir/Torino_Piacenza_linea.txt",
         "x/Torino_Piacenza_2063-.txt",
         {},
         {},
         "Torino_Piacenza/2063"},
        {"Valle_d_Aosta_linea.txt", "Valle_d_Aosta_R_12-.txt", {}, {}, "Valle_d_Aosta/R_12"},
        {"anything.txt", "Mine_7-.txt", "Mine", {}, "Mine/7"},
        {"L_linea.txt", "whatever.txt", {}, "99", "L/99"},
        {"L_linea.txt", "T.txt", "", "", "/"},  // given empty: read_identity refuses it
        {"_linea.txt",
         "_1-.txt",
         {},
         {},
         "cannot tell the line's name from the file name \"_linea.txt\""},
        {"linea.txt", "x", {}, {}, "cannot tell the line's name"},
        {"L_linea.TXT", "L_1-.txt", {}, {}, "cannot tell the line's name"},
        {"L_linea.txt",
         "M_1-.txt",
         {},
         {},
         "cannot tell the train's number from the file name \"M_1-.txt\" (not L_<train>-.txt)"},
        {"L_linea.txt", "L_-.txt", {}, {}, "cannot tell the train's number"},
        {"L_linea.txt", "L_1.txt", {}, {}, "cannot tell the train's number"},
    };
    for (const auto& k : cases) {
        author_files f{k.line_file, k.train_file, k.line, k.train};
        const auto problem = complete_names(f);
        const std::string got = problem ? *problem : *f.line_name + "/" + *f.train_number;
        EXPECT_TRUE(got.starts_with(k.expected))
            << k.line_file << " " << k.train_file << ": " << got;
    }
}

}  // namespace
}  // namespace compattatore

namespace compattatore {
namespace {

TEST(DiagnosticList, MaxErrorsStopsAfterTheNthErrorAndCountsTheRest) {
    std::vector<diagnostic> all;
    for (int line = 1; line <= 4; ++line) {
        all.push_back(at(description_kind::train, line, 1, 0));
        all.back().kind = "not-a-number";
        all.push_back(at(description_kind::train, line, 5, 0));
        all.back().level = severity::warning;
        all.back().message = "odd";
        all.back().kind = "odd-value";
    }
    // No such files: the places without excerpts.
    const author_files files{"gone/L.txt", "gone/T.txt", "L", "1"};
    const struct {
        std::optional<std::size_t> max_errors;
        std::string expected;
    } cases[] = {
        {2,
         "gone/T.txt:1:1: error: not a number [R25]\n"
         "gone/T.txt:1:5: warning: odd\n"
         "gone/T.txt:2:1: error: not a number [R25]\n"
         "gone/T.txt:2:5: warning: odd\n"
         "compattatore: stopped after 2 errors (--max-errors 2); not shown: 2 errors, 2 warnings "
         "(not-a-number 2, odd-value 2)\n"},
        {4,
         "gone/T.txt:1:1: error: not a number [R25]\n"
         "gone/T.txt:1:5: warning: odd\n"
         "gone/T.txt:2:1: error: not a number [R25]\n"
         "gone/T.txt:2:5: warning: odd\n"
         "gone/T.txt:3:1: error: not a number [R25]\n"
         "gone/T.txt:3:5: warning: odd\n"
         "gone/T.txt:4:1: error: not a number [R25]\n"
         "gone/T.txt:4:5: warning: odd\n"},
    };
    for (const auto& k : cases) {
        std::ostringstream err;
        report_options report;
        report.max_errors = k.max_errors;
        show_diagnostics(err, all, files, report, {});
        EXPECT_EQ(err.str(), k.expected) << *k.max_errors;
    }
}

}  // namespace
}  // namespace compattatore
