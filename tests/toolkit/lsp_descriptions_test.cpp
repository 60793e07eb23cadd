// What an editor gets from the language server on description texts: the check's problems where
// they are, in the columns the editor counts; the partner description found beside a file; hover,
// completion and outline from the record table.

#include <gtest/gtest.h>

#include <fstream>
#include <functional>

#include "compiler/description_fixture.hpp"
#include "support/temp_dir.hpp"
#include "toolkit/lsp_client.hpp"
#include "toolkit/lsp_text.hpp"

namespace compattatore {
namespace {

using testing::description_pair;
using testing::json;
using testing::lsp_session;

void write(const std::filesystem::path& p, const std::string& bytes) {
    std::ofstream(p, std::ios::binary) << bytes;
}

// The fixture's two descriptions as files of one folder, named as a scenario names them.
struct folder {
    testing::temp_dir dir;
    std::filesystem::path line = dir / "Linea_linea.txt";
    std::filesystem::path train = dir / "Linea_99-.txt";
    std::string line_uri = lsp::path_uri(line);
    std::string train_uri = lsp::path_uri(train);
    explicit folder(const description_pair& d = {}) {
        write(line, d.line_text());
        write(train, d.train_text());
    }
};

// One published diagnostic as "line:start-end severity code message" (0-based editor columns).
std::string shown(const json& d) {
    const json& r = d["range"];
    return std::to_string(r["start"]["line"].get<int>()) + ":" +
           std::to_string(r["start"]["character"].get<int>()) + "-" +
           std::to_string(r["end"]["character"].get<int>()) + " " +
           std::to_string(d["severity"].get<int>()) + " " + d.value("code", "") + " " +
           d["message"].get<std::string>();
}

std::vector<std::string> shown_all(const json& list) {
    std::vector<std::string> out;
    for (const json& d : list) out.push_back(shown(d));
    return out;
}

const std::string beyond_help =
    "\nhelp: the grid runs 7000 m past the line length; the records' positions must lie inside it";

struct problem_case {
    const char* name;
    std::function<void(description_pair&)> change;
    bool open_line;                  // the line description open beside the train description
    std::vector<std::string> train;  // as shown(), in the train description
    std::vector<std::string> line;   // in the line description, when open
};

const problem_case problem_cases[] = {
    {"clean", [](description_pair&) {}, true, {}, {}},
    {"not_a_number_in_the_train",
     [](description_pair& d) { d.train_records[1] = "velocita,   0x,    30"; },
     false,
     {"7:12-14 1 R25 `velocita` value 1 `position`: `0x` is not a whole number [R25]\nhelp: write "
      "the position as digits in m"},
     {}},
    {"a_station_beyond_the_line_needs_both",
     [](description_pair& d) {
         d.train_records.push_back(
             "stazione,   50000,  8,  300,  0, 0, 0,  4,1,0,  2,1,1,    1,  11,48, 0, OLTRE");
     },
     true,
     {"10:0-8 1 R15 the station at 50000 m leaves no room before the end of the route grid at "
      "10000 m [R15] at 50000 m (km 50+000)" +
      beyond_help},
     {}},
    {"a_line_problem_shown_in_the_open_line",
     [](description_pair& d) { d.line_records[1] = "pendenza,  50000,   -2"; },
     true,
     {},
     {"7:0-8 1 R15 the gradient at 50000 m leaves no room before the end of the route grid at "
      "10000 m [R15] at 50000 m (km 50+000)" +
      beyond_help}},
    {"a_line_problem_shown_in_the_train_when_the_line_is_closed",
     [](description_pair& d) { d.line_records[1] = "pendenza,  50000,   -2"; },
     false,
     {"0:0-10 1 R15 Linea_linea.txt: the gradient at 50000 m leaves no room before the end of "
      "the route grid at 10000 m [R15] at 50000 m (km 50+000)" +
      beyond_help},
     {}},
};

class problems : public ::testing::TestWithParam<problem_case> {};

TEST_P(problems, are_published_where_check_puts_them) {
    description_pair d;
    GetParam().change(d);
    folder f(d);
    lsp_session s;
    s.initialize();
    if (GetParam().open_line) s.open(f.line_uri, d.line_text());
    s.open(f.train_uri, d.train_text());
    const auto r = s.end().run();
    EXPECT_EQ(shown_all(r.diagnostics(f.train_uri)), GetParam().train);
    if (GetParam().open_line) {
        EXPECT_EQ(shown_all(r.diagnostics(f.line_uri)), GetParam().line);
    }
}

INSTANTIATE_TEST_SUITE_P(lsp, problems, ::testing::ValuesIn(problem_cases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(lsp_problems, a_change_to_the_line_rechecks_the_open_train_and_clears_when_fixed) {
    description_pair d;
    folder f(d);
    description_pair broken = d;
    broken.general[0] = "lunghezza percorso,    1000";
    broken.train_records.push_back(
        "stazione,   9000,  8,  300,  0, 0, 0,  4,1,0,  2,1,1,    1,  11,48, 0, OLTRE");
    lsp_session s;
    // The train's last station fits the fixture's line and not the shortened one.
    s.initialize().open(f.line_uri, d.line_text()).open(f.train_uri, broken.train_text());
    const auto before = lsp_session(s).end().run();
    EXPECT_EQ(before.diagnostics(f.train_uri).size(), 0u);
    s.change(f.line_uri, broken.line_text(), 2);
    const auto after = lsp_session(s).end().run();
    ASSERT_EQ(after.diagnostics(f.train_uri).size(), 1u);
    EXPECT_EQ(after.diagnostics(f.train_uri)[0]["code"], "R15");
    s.change(f.line_uri, d.line_text(), 3);
    EXPECT_EQ(s.end().run().diagnostics(f.train_uri).size(), 0u);
}

TEST(lsp_problems, a_collision_links_the_record_that_holds_the_cell) {
    description_pair d;
    d.train_records.push_back("segnale,   2500,   2, 4, 1,  1, 0,    2,  2,1,1, 110");
    d.train_records.push_back("rallentamento,  2500,  60,  300,  0,  1,  60");
    folder f(d);
    const auto r = lsp_session().initialize().open(f.train_uri, d.train_text()).end().run();
    const json list = r.diagnostics(f.train_uri);
    ASSERT_EQ(list.size(), 1u) << list.dump();
    EXPECT_EQ(shown(list[0]),
              "11:0-13 1 R18 the slowdown at 2500 m (its start) needs cell 51, which the signal at "
              "2500 m already holds [R18] at 2500 m (km 2+500)");
    const json related = list[0]["relatedInformation"];
    ASSERT_EQ(related.size(), 1u);
    EXPECT_EQ(related[0]["location"]["uri"], f.train_uri);
    EXPECT_EQ(related[0]["location"]["range"]["start"]["line"], 10);
    EXPECT_EQ(related[0]["message"], "the cell holds the signal at 2500 m from line 11");
}

TEST(lsp_problems, closing_the_line_rechecks_the_train_against_the_file_on_disk) {
    description_pair d;
    folder f(d);  // clean on disk
    description_pair unsaved = d;
    unsaved.general[0] = "lunghezza percorso,    1000";
    d.train_records.push_back(
        "stazione,   9000,  8,  300,  0, 0, 0,  4,1,0,  2,1,1,    1,  11,48, 0, OLTRE");
    lsp_session s;
    s.initialize().open(f.line_uri, unsaved.line_text()).open(f.train_uri, d.train_text());
    EXPECT_EQ(lsp_session(s).end().run().diagnostics(f.train_uri).size(), 1u);
    s.notify("textDocument/didClose", {{"textDocument", {{"uri", f.line_uri}}}});
    const auto r = s.end().run();
    EXPECT_EQ(r.diagnostics(f.train_uri).size(), 0u);
    EXPECT_EQ(r.diagnostics(f.line_uri).size(), 0u);
}

TEST(lsp_problems, a_description_alone_says_what_is_missing) {
    testing::temp_dir dir;
    const std::string uri = lsp::path_uri(dir / "Sola_1-.txt");
    const auto r =
        lsp_session().initialize().open(uri, description_pair{}.train_text()).end().run();
    EXPECT_EQ(shown_all(r.diagnostics(uri)),
              std::vector<std::string>{
                  "0:0-10 1 R101 line description: line description file missing [R101]"});
}

TEST(lsp_problems, characters_outside_the_code_page_are_marked_in_editor_columns) {
    description_pair d;
    // Two accented letters (one UTF-16 unit, two UTF-8 bytes each), then a character beyond the
    // basic plane (two units, four bytes) the code page lacks.
    d.train_records.back() += " \xC3\x88\xC3\x80\xF0\x9F\x9A\x82";
    folder f(d);
    const std::string text = d.train_text();
    const std::size_t column = d.train_records.back().size() - 8 + 2;  // in characters
    const json utf8 = {{"general", {{"positionEncodings", {"utf-8"}}}}};
    const auto a = lsp_session().initialize().open(f.train_uri, text).end().run();
    const auto b = lsp_session().initialize(utf8).open(f.train_uri, text).end().run();
    const std::string what =
        " 1 not-in-code-page U+1F682 has no character in code page 850\nhelp: write it "
        "with a letter code page 850 has";
    EXPECT_EQ(shown_all(a.diagnostics(f.train_uri)),
              std::vector<std::string>{"9:" + std::to_string(column) + "-" +
                                       std::to_string(column + 2) + what});
    EXPECT_EQ(shown_all(b.diagnostics(f.train_uri)),
              std::vector<std::string>{"9:" + std::to_string(column + 2) + "-" +
                                       std::to_string(column + 6) + what});
}

TEST(lsp_problems, a_document_over_the_limit_is_refused_with_a_message) {
    folder f;
    lsp_session s;
    s.limits.document = 100;
    s.initialize().open(f.train_uri, description_pair{}.train_text());
    s.request(1, "textDocument/documentSymbol", {{"textDocument", {{"uri", f.train_uri}}}});
    const auto r = s.end().run();
    EXPECT_TRUE(r.diagnostics(f.train_uri).is_null());
    EXPECT_EQ(r.reply(1)["error"]["code"], lsp::error_code::invalid_params);
    bool told = false;
    for (const json& m : r.messages) {
        told |= m.value("method", "") == "window/showMessage" &&
                m["params"]["message"].get<std::string>().find("over the limit of 100") !=
                    std::string::npos;
    }
    EXPECT_TRUE(told);
    EXPECT_NE(r.log.find("over the limit of 100"), std::string::npos);
}

// Fixture train lines (0-based): 9 is "stazione,       0,  8,  700,  1, ..., ORIGINE".
struct hover_case {
    const char* name;
    bool line_file;
    int line;
    int character;
    std::vector<std::string> contains;  // empty: nothing to show
};

const hover_case hover_cases[] = {
    {"station_keyword",
     false,
     9,
     3,
     {"**station** `stazione`: a station", "Values: position, kind, length,",
      "Position: 0 m, km 0+000"}},
    {"station_length",
     false,
     9,
     24,
     {"**length** (value 3 of 17)", "- unit: m\n", ", a multiple of 100", "- value: 700 m\n"}},
    {"station_name", false, 9, 75, {"**name** (value 17 of 17)", "- value: `ORIGINE`"}},
    {"speed_limit_of_the_second_record",
     false,
     8,
     15,
     {"**speed limit** `velocita`", "**position** (value 1 of 2)", "- value: 1150 m",
      "Position: 1150 m, km 1+150"}},
    {"line_length_in_the_general_section",
     true,
     1,
     25,
     {"**line length** `lunghezza percorso`", "- value: 3000 m"}},
    {"section_header", false, 5, 2, {}},
    {"past_the_last_line", false, 40, 0, {}},
};

class hover : public ::testing::TestWithParam<hover_case> {};

TEST_P(hover, shows_the_record_and_the_field_under_the_cursor) {
    folder f;
    const hover_case& c = GetParam();
    const std::string& uri = c.line_file ? f.line_uri : f.train_uri;
    const auto r = lsp_session()
                       .initialize()
                       .open(uri, c.line_file ? description_pair{}.line_text()
                                              : description_pair{}.train_text())
                       .at(1, "textDocument/hover", uri, c.line, c.character)
                       .end()
                       .run();
    const json result = r.reply(1)["result"];
    if (c.contains.empty()) {
        EXPECT_TRUE(result.is_null()) << result.dump();
        return;
    }
    const std::string text = result["contents"]["value"];
    for (const std::string& part : c.contains)
        EXPECT_NE(text.find(part), std::string::npos) << text;
}

INSTANTIATE_TEST_SUITE_P(lsp, hover, ::testing::ValuesIn(hover_cases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(lsp_hover, counts_columns_after_accented_letters) {
    description_pair d;
    d.train_records.back() =
        "stazione, 0, 8, 700, 1, 1, 1, 4,1,0, 2,1,1, 1, 11,48, 0, CITT\xC3\x80";
    folder f(d);
    // The same character, as UTF-16 and as UTF-8 count it: on the name's last letter.
    const json utf8 = {{"general", {{"positionEncodings", {"utf-8"}}}}};
    const std::size_t chars = d.train_records.back().size() - 2;
    const auto a = lsp_session()
                       .initialize()
                       .open(f.train_uri, d.train_text())
                       .at(1, "textDocument/hover", f.train_uri, 9, static_cast<int>(chars))
                       .end()
                       .run();
    const auto b = lsp_session()
                       .initialize(utf8)
                       .open(f.train_uri, d.train_text())
                       .at(1, "textDocument/hover", f.train_uri, 9, static_cast<int>(chars) + 1)
                       .end()
                       .run();
    for (const auto* r : {&a, &b}) {
        const std::string text = r->reply(1)["result"]["contents"]["value"];
        EXPECT_NE(text.find("- value: `CITT\xC3\x80`"), std::string::npos) << text;
    }
    EXPECT_EQ(a.reply(1)["result"]["range"]["end"]["character"], chars + 1);
    EXPECT_EQ(b.reply(1)["result"]["range"]["end"]["character"], chars + 2);
}

struct completion_case {
    const char* name;
    bool line_file;
    std::string text;
    int line;
    int character;
    std::vector<std::string> labels;
};

const completion_case completion_cases[] = {
    {"station_section", false, "[stazioni]\r\nst", 1, 2, {"stazione"}},
    {"signal_section", false, "[segnali]\r\n", 1, 0, {"segnale"}},
    {"train_general",
     false,
     "[generale]\r\n",
     1,
     0,
     {"percentuale massa frenata", "numero vetture", "orologio", "sabbia"}},
    {"line_curves", true, "[generale]\r\n[curve]\r\ncur", 2, 3, {"curva"}},
    {"line_general",
     true,
     "[generale]\r\n",
     1,
     0,
     {"lunghezza percorso", "progressiva chilometrica tre", "progressiva chilometrica due",
      "progressiva chilometrica uno", "sfondo uno", "sfondo due", "sfondo tre",
      "ripetizione segnali 9 codici"}},
    {"past_the_keyword", false, "[stazioni]\r\nstazione, 0", 1, 11, {}},
};

class completion : public ::testing::TestWithParam<completion_case> {};

TEST_P(completion, offers_the_records_of_the_section) {
    const completion_case& c = GetParam();
    const std::string uri = c.line_file ? "file:///none/A_linea.txt" : "file:///none/A_1-.txt";
    const auto r = lsp_session()
                       .initialize()
                       .open(uri, c.text)
                       .at(1, "textDocument/completion", uri, c.line, c.character)
                       .end()
                       .run();
    std::vector<std::string> labels;
    const json items = r.reply(1)["result"];
    for (const json& item : items) labels.push_back(item["label"]);
    EXPECT_EQ(labels, c.labels);
}

INSTANTIATE_TEST_SUITE_P(lsp, completion, ::testing::ValuesIn(completion_cases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(lsp_completion, a_record_is_a_snippet_of_its_values_replacing_what_was_typed) {
    const std::string uri = "file:///none/A_1-.txt";
    const auto r = lsp_session()
                       .initialize()
                       .open(uri, "[rallentamenti]\r\n  ral")
                       .at(1, "textDocument/completion", uri, 1, 5)
                       .end()
                       .run();
    const json item = r.reply(1)["result"].at(0);
    EXPECT_EQ(item["insertTextFormat"], 2);
    EXPECT_EQ(item["textEdit"]["range"]["start"]["character"], 2);
    EXPECT_EQ(item["textEdit"]["range"]["end"]["character"], 5);
    EXPECT_EQ(item["textEdit"]["newText"].get<std::string>().substr(0, 26),
              "rallentamento, ${1:positio");
}

TEST(lsp_symbols, outline_the_sections_and_their_stations_signals_and_curves) {
    description_pair d;
    d.train_records.push_back("segnale,   1800,   2, 4, 1,  1, 0,    2,  2,1,1, 110");
    d.line_records.push_back("curvad4,  1700,  500");
    folder f(d);
    const auto r =
        lsp_session()
            .initialize()
            .open(f.train_uri, d.train_text())
            .open(f.line_uri, d.line_text())
            .request(1, "textDocument/documentSymbol", {{"textDocument", {{"uri", f.train_uri}}}})
            .request(2, "textDocument/documentSymbol", {{"textDocument", {{"uri", f.line_uri}}}})
            .end()
            .run();
    std::vector<std::string> outline;
    for (int id : {1, 2}) {
        const json symbols = r.reply(id)["result"];
        for (const json& s : symbols) {
            outline.push_back(s["name"]);
            for (const json& c : s["children"]) {
                outline.push_back("  " + c["name"].get<std::string>() + " " +
                                  c.value("detail", "") + " line " +
                                  std::to_string(c["range"]["start"]["line"].get<int>()));
            }
        }
    }
    EXPECT_EQ(outline, (std::vector<std::string>{
                           "[generale]", "[stazioni]", "  ORIGINE at 0 m km 0+000 line 9",
                           "  signal at 1800 m km 1+800 line 10", "[fine]", "[generale]",
                           "[pendenze]", "  curve d4 at 1700 m km 1+700 line 8", "[fine]"}));
}

struct column_case {
    const char* name;
    std::string line;
    std::size_t characters;
    std::size_t utf16;
    std::size_t utf8;
};

const column_case column_cases[] = {
    {"ascii", "stazione, 0", 4, 4, 4},
    {"after_accents", "\xC3\x88\xC3\x80x", 2, 2, 4},
    {"after_a_surrogate_pair", "\xF0\x9F\x9A\x82x", 1, 2, 4},
    {"past_the_end_clamps", "ab", 9, 2, 2},
};

class columns : public ::testing::TestWithParam<column_case> {};

TEST_P(columns, convert_both_ways) {
    const column_case& c = GetParam();
    const std::string text = "first\r\n" + c.line + "\rlast";
    const lsp::line_index lines(text);
    EXPECT_EQ(lines.count(), 3u);
    EXPECT_EQ(lines.line(1), c.line);
    EXPECT_EQ(lines.column(1, c.characters, lsp::position_encoding::utf16), c.utf16);
    EXPECT_EQ(lines.column(1, c.characters, lsp::position_encoding::utf8), c.utf8);
    const std::size_t kept = std::min(c.characters, lines.characters(1, 99, {}));
    EXPECT_EQ(lines.characters(1, c.utf16, lsp::position_encoding::utf16), kept);
    EXPECT_EQ(lines.characters(1, c.utf8, lsp::position_encoding::utf8), kept);
}

INSTANTIATE_TEST_SUITE_P(lsp, columns, ::testing::ValuesIn(column_cases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(lsp_text, uris_and_paths_round_trip_with_escapes) {
    const std::filesystem::path p = "/tmp/a b/Citt\xC3\xA0_linea.txt";
    EXPECT_EQ(lsp::path_uri(p), "file:///tmp/a%20b/Citt%C3%A0_linea.txt");
    EXPECT_EQ(lsp::uri_path(lsp::path_uri(p)), p);
    EXPECT_EQ(lsp::uri_path("untitled:Untitled-1"), std::nullopt);
}

}  // namespace
}  // namespace compattatore
