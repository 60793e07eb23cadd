// The route viewer: markup that no name can break out of, the data the page draws from, and the
// command's inputs and failures. The page's behaviour in a browser is checked by
// tests/browser/view_browser_test.py.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>

#include "ground/record_keywords.hpp"
#include "ground/roles.hpp"
#include "sources/writers.hpp"
#include "support/generated_descriptions.hpp"
#include "support/temp_dir.hpp"
#include "toolkit/check_author.hpp"
#include "toolkit/commands.hpp"
#include "toolkit/compile_author.hpp"
#include "toolkit/html_document.hpp"
#include "toolkit/view_data.hpp"

namespace compattatore {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using testing::slurp;
using testing::spit;
using testing::temp_dir;

// ---- markup -------------------------------------------------------------------------------------

TEST(HtmlDocument, EscapesTextAndAttributesAndClosesWhatIsOpen) {
    html_document h;
    h.open("p").attr("title", "a \"b\" <c> & 'd'").text("</p><script>x</script> & more");
    h.open("b").text("bold");
    EXPECT_EQ(std::move(h).finish(),
              "<!DOCTYPE html>\n<p title=\"a &quot;b&quot; &lt;c&gt; &amp; &apos;d&apos;\">"
              "&lt;/p&gt;&lt;script&gt;x&lt;/script&gt; &amp; more<b>bold</b></p>\n");
}

TEST(HtmlDocument, EmptyElementsTakeAttributesAndNoEndTag) {
    html_document h;
    h.open("div").empty("input").attr("value", "<x>").text("after");
    EXPECT_EQ(std::move(h).finish(),
              "<!DOCTYPE html>\n<div><input value=\"&lt;x&gt;\">after</div>\n");
}

TEST(HtmlDocument, MisuseIsRefused) {
    html_document late;
    late.open("p").text("content");
    EXPECT_THROW(late.attr("id", "x"), std::logic_error);
    html_document none;
    EXPECT_THROW(none.close(), std::logic_error);
}

TEST(HtmlDocument, JsonCannotEndItsScriptElement) {
    const json data = {{"name", "</script><!-- <SCRIPT>alert(1)</script> & \u00e8"},
                       {"list", {"<", ">", "&", "]]>"}}};
    const std::string text = script_safe_json(data);
    EXPECT_EQ(text.find_first_of("<>&"), std::string::npos) << text;
    EXPECT_EQ(json::parse(text), data);

    html_document h;
    h.json_script("d", data);
    const std::string page = std::move(h).finish();
    const std::string open = "<script type=\"application/json\" id=\"d\">";
    ASSERT_EQ(page.find(open), std::string("<!DOCTYPE html>\n").size());
    // The element ends exactly where the JSON does.
    EXPECT_EQ(page.find("</script"), page.find(open) + open.size() + text.size());
}

TEST(HtmlDocument, TrustedTextHoldingItsEndTagIsRefused) {
    struct {
        std::string_view name, content;
        bool refused;
    } const cases[] = {
        {"script", "let a = 1 < 2;", false},
        {"script", "x = '</script>'", true},
        {"script", "x = '</SCRIPT '", true},
        {"style", "a > b { color: red }", false},
        {"style", "</style", true},
        {"style", "</script>", false},  // only the element's own end tag ends it
    };
    for (const auto& c : cases) {
        html_document h;
        if (c.refused) {
            EXPECT_THROW(h.trusted_element(c.name, c.content), std::logic_error) << c.content;
        } else {
            EXPECT_NO_THROW(h.trusted_element(c.name, c.content)) << c.content;
        }
    }
}

TEST(BoardText, GroupsBecomeTrimmedLines) {
    struct {
        std::string_view text;
        std::vector<std::string> lines;
    } const cases[] = {
        {"(Ponte       )(Fiume Tanaro)", {"Ponte", "Fiume Tanaro"}},
        {"(Bivio     )(per Savona)(per Genova)", {"Bivio", "per Savona", "per Genova"}},
        {"  PLAIN TEXT  ", {"PLAIN TEXT"}},
        {"(    )(Fiume)", {"Fiume"}},
        {"(unclosed", {"(unclosed"}},
        {"", {}},
    };
    for (const auto& c : cases) EXPECT_EQ(board_text_lines(c.text), c.lines) << c.text;
}

// ---- the data -----------------------------------------------------------------------------------

class ScenarioView : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        author_sources s;
        s.line_text = testing::join_crlf(dati_linea_lines());
        s.train_text = testing::join_crlf(dati_treno_lines());
        s.line_name = "Torino_Piacenza";
        s.train_number = "2063";
        compiled_ = new author_compile(compile_author_sources(s));
        const scenario_model& m = compiled_->model;
        view_input in;
        in.profile = &m.line_profile;
        in.grid = &m.route_grid;
        in.table = &m.station_table;
        data_ = new json(view_data(in));
    }
    static void TearDownTestSuite() {
        delete data_;
        delete compiled_;
    }
    static const scenario_model& model() { return compiled_->model; }
    static const json& data() { return *data_; }

    static author_compile* compiled_;
    static json* data_;
};
author_compile* ScenarioView::compiled_ = nullptr;
json* ScenarioView::data_ = nullptr;

TEST_F(ScenarioView, StationsCarryTheirPositionsStopsAndTimes) {
    const json& stations = data()["stations"];
    ASSERT_EQ(stations.size(), 32u);
    EXPECT_EQ(stations.front()["name"], "TORINO PORTA NUOVA");
    EXPECT_EQ(stations.back()["name"], "PIACENZA");
    const json& alessandria = stations[16];
    EXPECT_EQ(alessandria["name"], "ALESSANDRIA");
    EXPECT_EQ(alessandria["position"], 90800);
    EXPECT_EQ(alessandria["area"], json({90500, 91100}));
    EXPECT_EQ(alessandria["time"], "12:46:00");
    // The stop cell is the grid's station stop cell that names the entry.
    const auto stop = alessandria["stop_m"].get<std::int64_t>();
    const route_cell& cell = model().route_grid[static_cast<std::size_t>(stop / 50)];
    EXPECT_EQ(cell.kind, cell_kind::station_stop);
    EXPECT_EQ(station_entry_of(cell), 17);
    EXPECT_TRUE(stations[2]["time"].is_null()) << "MONCALIERI has no timetable time";
}

TEST_F(ScenarioView, EveryObjectOfTheGridIsThereOnceInOrder) {
    std::vector<std::int64_t> cells;
    for (std::size_t i = 0; i < model().route_grid.size(); ++i) {
        const auto kind = model().route_grid[i].kind;
        if (kind != cell_kind::empty && kind != cell_kind::mountain_marker) {
            cells.push_back(static_cast<std::int64_t>(i));
        }
    }
    std::vector<std::int64_t> listed;
    for (const json& o : data()["objects"]) {
        listed.push_back(o["cell"]);
        EXPECT_EQ(o["m"], o["cell"].get<std::int64_t>() * 50);
        if (o["kind"] == "slowdown_start") {
            EXPECT_GT(o["end_m"], o["m"]);
        }
    }
    EXPECT_EQ(listed, cells);
}

TEST_F(ScenarioView, BoardsAreCleanedAndProgressivesGiven) {
    std::vector<json> boards;
    for (const json& o : data()["objects"]) {
        if (o["kind"] == "direction_board") boards.push_back(o["lines"]);
    }
    EXPECT_EQ(boards, (std::vector<json>{{"Bivio", "per Savona", "per Genova"},
                                         {"Ponte", "Fiume Tanaro"},
                                         {"Ponte", "Fiume Trebbia"}}));
    EXPECT_EQ(data()["progressives"], json({{90800, -90800}}));
}

TEST_F(ScenarioView, RunsStopWhereTheReadersStoppedWritingAndThePlanFitsItsBudget) {
    const auto cells = static_cast<std::int64_t>(model().route_grid.size());
    for (const char* band : {"gradient", "speed", "adhesion"}) {
        const json& runs = data()["runs"][band];
        ASSERT_FALSE(runs.empty()) << band;
        EXPECT_EQ(runs.front()[0], 0) << band;
        // The unwritten cells at the end are not line: no run of reading -100 per mille or 0
        // km/h reaches the last cell.
        EXPECT_LT(runs.back()[1].get<std::int64_t>(), cells - 1) << band;
    }
    const json& plan = data()["plan"];
    const std::size_t points = plan["x"].size();
    EXPECT_LE(points, view_plan_point_budget);
    EXPECT_EQ(plan["y"].size(), points);
    EXPECT_EQ(plan["curvature"].size(), points);
    const std::size_t step = plan["step"];
    EXPECT_EQ(plan["x"][10].get<double>(),
              std::round(model().line_profile.x(10 * step).as_double() * 10) / 10);
}

TEST_F(ScenarioView, APageWithoutRecordsCarriesNoSource) {
    // As a page of compiled files is made: no texts, so nothing to point back at.
    for (const char* list : {"stations", "objects"}) {
        for (const json& item : data()[list]) EXPECT_FALSE(item.contains("source")) << item;
    }
}

// ---- links back to the records ------------------------------------------------------------------

class SourcedView : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        author_sources s;
        s.line_text = testing::join_crlf(dati_linea_lines());
        s.train_text = testing::join_crlf(dati_treno_lines());
        s.line_name = "Torino_Piacenza";
        s.train_number = "2063";
        checked_ = new author_check(check_author_sources(s));
        const scenario_model& m = checked_->compile.model;
        view_input in;
        in.profile = &m.line_profile;
        in.grid = &m.route_grid;
        in.table = &m.station_table;
        in.diagnostics = &checked_->diagnostics;
        in.files = {"Torino_Piacenza_linea.txt", "Torino_Piacenza_2063-.txt"};
        in.places = &checked_->places;
        data_ = new json(view_data(in));
    }
    static void TearDownTestSuite() {
        delete data_;
        delete checked_;
    }
    static const json& data() { return *data_; }

    // The text line a source names, from the lines the descriptions were written from.
    static std::string line_at(const std::string& source) {
        const auto colon = source.rfind(':');
        const std::string file = source.substr(0, colon);
        const auto lines = file.ends_with("_linea.txt") ? dati_linea_lines() : dati_treno_lines();
        const auto n = std::stoul(source.substr(colon + 1));
        return n >= 1 && n <= lines.size() ? lines[n - 1] : "";
    }

    static author_check* checked_;
    static json* data_;
};
author_check* SourcedView::checked_ = nullptr;
json* SourcedView::data_ = nullptr;

TEST_F(SourcedView, AStationLinksToTheLineOfItsRecord) {
    const std::vector<std::string> lines = dati_treno_lines();
    std::size_t expected = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].starts_with("stazione") && lines[i].find("ALESSANDRIA") != std::string::npos) {
            expected = i + 1;
        }
    }
    ASSERT_NE(expected, 0u);
    const json& stations = data()["stations"];
    ASSERT_EQ(stations.size(), 32u);
    EXPECT_EQ(stations[16]["name"], "ALESSANDRIA");
    EXPECT_EQ(stations[16]["source"], "Torino_Piacenza_2063-.txt:" + std::to_string(expected));
    // Every station its own record, each naming the station.
    std::set<std::string> sources;
    for (const json& s : stations) {
        ASSERT_TRUE(s.contains("source")) << s["name"];
        EXPECT_NE(line_at(s["source"]).find(s["name"].get<std::string>()), std::string::npos)
            << s["source"];
        sources.insert(s["source"].get<std::string>());
    }
    EXPECT_EQ(sources.size(), stations.size());
}

TEST_F(SourcedView, EveryObjectLinksToARecordOfItsKindAtItsPlace) {
    // The keyword each kind's record starts with; near: the record's position is at the object's
    // cell or the cell before it (a slowdown's warnings and end stand away from the position it
    // was written with).
    struct {
        const char* kind;
        std::string_view keyword;
        bool near;
    } const cases[] = {
        {"signal", train_keyword::signal.written, true},
        {"speed_board", line_keyword::speed_board.written, true},
        {"direction_board", line_keyword::direction_board.written, true},
        {"code_point", train_keyword::code_point.written, true},
        {"slowdown_start", train_keyword::slowdown.written, true},
        {"slowdown_end", train_keyword::slowdown.written, false},
        {"slowdown_warning", train_keyword::slowdown.written, false},
        {"station_stop", train_keyword::station.written, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        std::size_t sourced = 0;
        for (const json& o : data()["objects"]) {
            if (o["kind"] != c.kind) continue;
            if (!o.contains("source")) {
                // Only the code points the compile lays before slowdowns have no record.
                EXPECT_TRUE(o["kind"] == "code_point" && o["code"] == 180) << o;
                continue;
            }
            ++sourced;
            const std::string record = line_at(o["source"]);
            ASSERT_TRUE(record.starts_with(c.keyword)) << o["source"] << ": " << record;
            if (!c.near) continue;
            const auto position = std::stoll(record.substr(record.find(',') + 1));
            EXPECT_LE(std::abs(position - o["m"].get<std::int64_t>()), 50) << record;
        }
        EXPECT_GT(sourced, 0u);
    }
    // A station's stop links to the station's own record.
    for (const json& o : data()["objects"]) {
        if (o["kind"] != "station_stop") continue;
        const json& stations = data()["stations"];
        const auto station = std::find_if(stations.begin(), stations.end(),
                                          [&](const json& s) { return s["entry"] == o["entry"]; });
        ASSERT_NE(station, stations.end()) << o;
        EXPECT_EQ(o["source"], (*station)["source"]) << o["name"];
    }
}

// ---- the command --------------------------------------------------------------------------------

struct view_run {
    int status;
    std::string out, err;
};

view_run view(std::vector<fs::path> inputs, fs::path output, std::string line = "",
              std::string train = "") {
    std::ostringstream out, err;
    const int status = view_command({std::move(inputs), line, train, output}, out, err);
    return {status, out.str(), err.str()};
}

class ViewCommand : public ::testing::Test {
  protected:
    void SetUp() override {
        spit(line(), testing::join_crlf(dati_linea_lines()));
        spit(train(), testing::join_crlf(dati_treno_lines()));
    }
    fs::path line() const { return dir_.path() / "Torino_Piacenza_linea.txt"; }
    fs::path train() const { return dir_.path() / "Torino_Piacenza_2063-.txt"; }
    fs::path page() const { return dir_.path() / "page.html"; }
    temp_dir dir_;
};

TEST_F(ViewCommand, WritesOnePageFromDescriptionsAndNamesItsSize) {
    const view_run r = view({line(), train()}, page());
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const std::string html = slurp(page());
    EXPECT_EQ(r.out, "wrote " + page().string() + " (" + std::to_string(html.size()) + " bytes)\n");
    EXPECT_TRUE(html.starts_with("<!DOCTYPE html>\n<html lang=\"en\">"));
    EXPECT_NE(html.find("content=\"default-src &apos;none&apos;"), std::string::npos);
    EXPECT_NE(html.find("<li data-position=\"90800\" title=\"from " + train().string() + ":"),
              std::string::npos)
        << "the station list names each station's record as the diagnostics name the file";
    EXPECT_NE(html.find("window.viewer"), std::string::npos) << "the script is embedded";
    // Nothing in the page names another file to fetch.
    for (const char* fetch : {"src=", "href=", "url(", "@import"}) {
        EXPECT_EQ(html.find(fetch), std::string::npos) << fetch;
    }
}

TEST_F(ViewCommand, ErrorsInTheDescriptionsStillGiveAPageListingThem) {
    std::string text = testing::join_crlf(dati_linea_lines());
    const std::string board = "indicatori_vmax,  132350,";
    const auto at = text.find(board);
    ASSERT_NE(at, std::string::npos);
    const auto end = text.find("\r\n", at) + 2;
    text.insert(end, text.substr(at, end - at));
    spit(line(), text);
    const view_run r = view({line(), train()}, "-");
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.out.starts_with("<!DOCTYPE html>")) << "the page goes to standard output";
    EXPECT_NE(r.out.find("error: the speed board at 132350 m needs cell 2648, which the speed "
                         "board at 132350 m already holds [R21] at 132350 m (km 41+550)</li>"),
              std::string::npos);
}

TEST_F(ViewCommand, BadInputsGiveOneLineAndStatusTwo) {
    const fs::path sim = dir_.path() / "x.sim";
    spit(sim, std::string(10, '\0'));
    const std::string help = "; run 'compattatore view --help' for the options\n";
    struct {
        const char* what;
        std::vector<fs::path> inputs;
        std::string line, train;
        std::string err;
    } const cases[] = {
        {"one description", {line()}, "", "", "view takes two descriptions: LINE TRAIN" + help},
        {"names not in the file names",
         {dir_.path() / "a.txt", dir_.path() / "b.txt"},
         "",
         "",
         "name the line and the train with --line and --train" + help},
        {"a missing description",
         {dir_.path() / "none_linea.txt", train()},
         "",
         "",
         ""},  // compiled as a missing file: a diagnostic, not a usage error
        {"names given to compiled files",
         {dir_.path() / "x.dat"},
         "L",
         "",
         "--line and --train name descriptions, not compiled files" + help},
        {"no route grid",
         {sim},
         "",
         "",
         "view of compiled files needs the route grid FILE.dat" + help},
        {"a missing route grid",
         {dir_.path() / "x.dat"},
         "",
         "",
         dir_.path().string() + "/x.dat: no such file\n"},
    };
    for (const auto& c : cases) {
        const view_run r = view(c.inputs, page(), c.line, c.train);
        if (c.err.empty()) {
            EXPECT_EQ(r.status, 1) << c.what;
            continue;
        }
        EXPECT_EQ(r.status, 2) << c.what;
        EXPECT_EQ(r.err, "compattatore: " + c.err) << c.what;
        EXPECT_EQ(r.out, "") << c.what;
    }
    const view_run folder = view({line(), train()}, dir_.path() / "no" / "page.html");
    EXPECT_EQ(folder.status, 2);
    EXPECT_FALSE(fs::exists(dir_.path() / "no"));
}

}  // namespace
}  // namespace compattatore
