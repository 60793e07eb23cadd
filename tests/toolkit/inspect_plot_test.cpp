// inspect reads back exactly what the writers wrote, fails cleanly on damaged files, and plot
// draws well-formed pictures that name the stations.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <nlohmann/json.hpp>
#include <sstream>

#include "compiler/description_fixture.hpp"
#include "formats/binary_files.hpp"
#include "formats/binary_layout.hpp"
#include "ground/file_names.hpp"
#include "sources/writers.hpp"
#include "support/generated_descriptions.hpp"
#include "support/temp_dir.hpp"
#include "toolkit/command_calls.hpp"
#include "toolkit/commands.hpp"
#include "toolkit/compile_author.hpp"
#include "toolkit/plot.hpp"
#include "xml_check.hpp"

namespace compattatore {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using testing::inspect;
using testing::printed;
using testing::slurp;
using testing::spit;
using testing::temp_dir;

// The scenario compiled once and written into a folder, as the compile command leaves it.
class Written : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        author_sources s;
        s.line_text = testing::join_crlf(dati_linea_lines());
        s.train_text = testing::join_crlf(dati_treno_lines());
        s.line_name = "Torino_Piacenza";
        s.train_number = "2063";
        compiled_ = std::make_unique<author_compile>(compile_author_sources(s));
        dir_ = std::make_unique<temp_dir>();
        write_binary_files(dir_->path(), compiled_->model);
    }
    static void TearDownTestSuite() {
        compiled_.reset();
        dir_.reset();
    }
    static const scenario_model& model() { return compiled_->model; }
    static fs::path file(const std::string& name) { return dir_->path() / name; }
    static fs::path sim() { return file(file_name::station_table(model())); }
    static fs::path dat() { return file(file_name::route_grid(model())); }
    static fs::path profile() { return file(file_name::line_profile(model())); }

    static std::unique_ptr<author_compile> compiled_;
    static std::unique_ptr<temp_dir> dir_;
};
std::unique_ptr<author_compile> Written::compiled_;
std::unique_ptr<temp_dir> Written::dir_;

station_entry entry_from(const json& j) {
    station_entry e;
    e.kind = j["kind"];
    e.area_start = j["area_start"];
    e.area_end = j["area_end"];
    e.position = j["position"];
    e.param_a = j["param_a"];
    e.name = j["name"];
    e.group_a1 = j["group_a1"];
    e.group_a2 = j["group_a2"];
    e.group_b1 = j["group_b1"];
    e.group_b2 = j["group_b2"];
    e.group_b3 = j["group_b3"];
    e.group_a3 = j["group_a3"];
    e.param_c = j["param_c"];
    e.end_extension = j["end_extension"];
    e.param_b = j["param_b"];
    e.timetable_time = j["timetable_time"];
    return e;
}

TEST_F(Written, JsonOfStationTableAndRouteGridRebuildsTheModel) {
    const printed p = inspect({sim(), dat()}, true);
    ASSERT_EQ(p.status, 0) << p.err;
    const json j = json::parse(p.out);
    ASSERT_EQ(j["files"].size(), 2u);

    const json& table = j["files"][0];
    EXPECT_EQ(table["type"], "station_table");
    station_table_t rebuilt{};
    for (const json& e : table["entries"]) rebuilt[e["entry"].get<std::size_t>()] = entry_from(e);
    EXPECT_EQ(rebuilt, model().station_table);
    EXPECT_EQ(table["entries"][17]["role"], "station");
    EXPECT_EQ(table["entries"][79]["role"], "board text");
    EXPECT_EQ(table["entries"][40]["role"], "unused");
    EXPECT_EQ(table["header"]["start_clock"], "11:49:00");
    EXPECT_EQ(table["header"]["stamp"], 610);

    // Objects carry the kind and the four values; runs carry the per-cell profiles.
    const json& grid = j["files"][1];
    EXPECT_EQ(grid["type"], "route_grid");
    route_grid_t cells(grid["cells"].get<std::size_t>());
    for (const json& o : grid["objects"]) {
        route_cell& c = cells[o["cell"].get<std::size_t>()];
        c.kind = o["kind"];
        c.value_a = o["value_a"];
        c.value_b = o["value_b"];
        c.value_c = o["value_c"];
        c.value_d = o["value_d"];
        c.signal_delay = o["signal_delay"];
    }
    const auto fill = [&](const char* field, std::uint8_t route_cell::*member) {
        for (const json& r : grid["runs"][field]) {
            for (int i = r["first_cell"]; i <= r["last_cell"].get<int>(); ++i) {
                cells[static_cast<std::size_t>(i)].*member = r["value"].get<std::uint8_t>();
            }
        }
    };
    fill("gradient", &route_cell::gradient);
    fill("speed_limit", &route_cell::speed_limit);
    fill("adhesion", &route_cell::adhesion);
    fill("mountain_type", &route_cell::mountain_type);
    fill("approach_mark", &route_cell::approach_mark);
    EXPECT_EQ(cells, model().route_grid);
    EXPECT_EQ(grid["stamp"], 5121);
}

// Beside each raw stored value its reading: railway kilometres, clock times, per mille, km/h.
TEST_F(Written, JsonDecodesStoredValuesBesideTheRawOnes) {
    const printed p = inspect({sim(), dat()}, true);
    ASSERT_EQ(p.status, 0) << p.err;
    const json j = json::parse(p.out);
    const json& lingotto = j["files"][0]["entries"][2];
    EXPECT_EQ(lingotto["name"], "TORINO LINGOTTO");
    EXPECT_EQ(lingotto["timetable_time"], 42900);
    EXPECT_EQ(lingotto["timetable_clock"], "11:55:00");
    EXPECT_EQ(lingotto["position"], 4850);
    // The line's kilometres start again from 0 at ALESSANDRIA (90800 m).
    EXPECT_EQ(lingotto["position_km"], "4+850");
    EXPECT_EQ(lingotto["area_start_km"], "4+550");
    EXPECT_EQ(j["files"][0]["entries"][17]["position_km"], "0+000");
    EXPECT_FALSE(j["files"][0]["entries"][40].contains("position_km"));  // unused entry
    EXPECT_EQ(j["files"][0]["header"]["repetition_end_km"], "97+200");

    const json& runs = j["files"][1]["runs"];
    EXPECT_EQ(runs["gradient"][0], json::parse(R"({"first_cell": 0, "last_cell": 48, "from": 0,
        "value": 101, "reading": 1, "unit": "per mille"})"));
    for (const json& r : runs["speed_limit"]) {
        EXPECT_EQ(r["reading"], 5 * r["value"].get<int>());
        EXPECT_EQ(r["unit"], "km/h");
    }
    EXPECT_FALSE(runs["adhesion"][0].contains("unit"));
    std::vector<std::string> kms;  // a signal before ALESSANDRIA and the first code point after
    for (const json& o : j["files"][1]["objects"]) {
        if (o["cell"] == 217 || (o["cell"] == 1828 && o["kind_name"] == "code point")) {
            kms.push_back(o["km"]);
        }
    }
    EXPECT_EQ(kms, (std::vector<std::string>{"10+850", "0+600"}));
    // Without the station table there are no kilometres to count.
    const json bare = json::parse(inspect({dat()}, true).out);
    EXPECT_FALSE(bare["files"][0]["objects"][0].contains("km"));
}

TEST(InspectProfile, JsonPointsRebuildTheProfileWithTheirTags) {
    const auto c = testing::compile(testing::description_pair{});
    temp_dir dir;
    const fs::path path = dir / "Linea_linea.dat";
    spit(path, encode_line_profile(c->model.line_profile));
    const printed p = inspect({path}, true, point_selection{});
    ASSERT_EQ(p.status, 0) << p.err;
    const json parsed = json::parse(p.out);
    const json& f = parsed["files"][0];
    const line_profile_t& want = c->model.line_profile;
    ASSERT_EQ(f["selected"].size(), want.points());
    const auto value = [](const json& v, const json& tag) {
        if (tag == "empty") return tagged_value{};
        if (tag == "int16") return tagged_value::of_int16(v.get<std::int16_t>());
        if (tag == "int32") return tagged_value::of_int32(v.get<std::int32_t>());
        return tagged_value::of_double(v.get<double>());
    };
    for (const json& pt : f["selected"]) {
        const auto i = pt["point"].get<std::size_t>();
        ASSERT_EQ(value(pt["x"], pt["x_tag"]), want.x(i)) << i;
        ASSERT_EQ(value(pt["y"], pt["y_tag"]), want.y(i)) << i;
    }
    EXPECT_EQ(f["tags"]["int16"], 4);
    EXPECT_EQ(f["tags"]["empty"], 4);
    EXPECT_EQ(f["last_computed"]["point"], want.points() - 3);
}

TEST_F(Written, TextNamesRolesAndDecodesPackedValues) {
    const printed p = inspect({sim(), dat(), profile()}, false, point_selection{2199, 2200, 1});
    ASSERT_EQ(p.status, 0) << p.err;
    for (const char* expected : {
             "  17  \"ALESSANDRIA\"",
             "  80  \"(Bivio     )(per Savona)(per Genova)\"",
             "  81  start 90800 m, offset -90800 m, flag 0",
             "start clock 11:49:00",
             "stamp 610",
             "cell 1: stamp 5121",
             "cell    25  at    1250 m  speed board A 100/100 km/h, B 110/110 km/h, C 120/120 km/h",
             "cell    57  at    2850 m  signal 4,1,1 / 2,1,1, type 8 (rapp 0, sx 2, dx 2)\n",
             "cell   217  at   10850 m  signal 4,1,1 / 2,1,1, type 8 (rapp 0, sx 2, dx 2), delay "
             "110",
             "cell  1821  at   91050 m  station stop of entry 17 \"ALESSANDRIA\"",
             "cell   275  at   13750 m  direction board text entry 80 \"(Bivio",
             "cell  3244  at  162200 m  code point code 180",
             "cell  2630  at  131500 m  slowdown start 90 km/h, d_v 90, f_tt 1",
             "cells   690-799    from   34500 m  -10 per mille",
             "last computed point 194998: (-100344.610, 140312.575)",
             "   2200         122.677        2179.423",
         }) {
        EXPECT_NE(p.out.find(expected), std::string::npos) << expected;
    }
}

TEST_F(Written, DamagedFilesGiveOneLineWithTheByteOffset) {
    const std::string table = slurp(sim()), grid = slurp(dat());
    std::string unknown_tag = slurp(profile()).substr(0, 40);
    unknown_tag[18] = 9;  // the tag of point 3's x
    struct {
        const char* name;
        std::string bytes;
        const char* says;
    } cases[] = {
        {"Cut.sim", table.substr(0, table.size() - 3),
         "corrupt station table at byte 3459: station entry 86: truncated timetable_time"},
        {"Long.sim", table + "xy", "corrupt station table at byte 3463: 2 bytes after"},
        {"Cut.dat", grid.substr(0, grid.size() - 1),
         "corrupt route grid at byte 58500: truncated route cell 3900: 14 of 15 bytes"},
        {"Bad_linea.dat", unknown_tag, "corrupt line profile at byte 18: unknown tag 9"},
        {"Odd_linea.dat", std::string("\x02\x00\x00\x00", 4),
         "corrupt line profile at byte 4: odd number of profile values"},
        {"Name.sim",
         std::string("\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\xff\x7f", 16),
         "corrupt station table at byte 16: station entry 0: truncated name"},
    };
    temp_dir dir;
    for (const auto& k : cases) {
        spit(dir / k.name, k.bytes);
        for (const bool as_json : {false, true}) {
            const printed p = inspect({sim(), dir / k.name}, as_json);
            EXPECT_EQ(p.status, 2) << k.name;
            EXPECT_EQ(p.out, "") << k.name;
            EXPECT_NE(p.err.find(k.says), std::string::npos) << k.name << ": " << p.err;
            EXPECT_EQ(std::count(p.err.begin(), p.err.end(), '\n'), 1) << p.err;
        }
    }
    const printed other = inspect({dir / "notes.txt"}, false);
    EXPECT_EQ(other.status, 2);
    EXPECT_NE(other.err.find("not a simulator file"), std::string::npos);
    EXPECT_EQ(inspect({dir / "Missing.sim"}, false).status, 2);
}

TEST_F(Written, InspectAndPlotNameTheFileTheyCannotUse) {
    temp_dir dir;
    spit(dir / "Cut.dat", slurp(dat()).substr(0, 100));
    spit(dir / "Bad_linea.dat", std::string("\x07\x00", 2));
    spit(dir / "notes.txt", "hi");
    fs::create_directory(dir / "folder.sim");
    const std::string d = dir.path().string() + "/";
    const auto plot = [&](plot_options o) {
        std::ostringstream out, err;
        o.output = dir / "picture.svg";
        const int status = plot_command(o, out, err);
        EXPECT_FALSE(fs::exists(dir / "picture.svg"));
        return printed{status, out.str(), err.str()};
    };
    const auto route = [](fs::path p) {
        plot_options o;
        o.route = std::move(p);
        return o;
    };
    const auto plan_with_sim = [&](fs::path p) {
        plot_options o;
        o.profile = profile();
        o.sim = std::move(p);
        return o;
    };
    const auto plan = [](fs::path p) {
        plot_options o;
        o.profile = std::move(p);
        return o;
    };
    // Reading and decoding say the same in both commands; only the kind check is each its own.
    struct {
        const char* name;
        std::vector<fs::path> inspected;  // empty: plot only
        plot_options plotted;
        std::string says;
    } cases[] = {
        {"missing",
         {dir / "Missing.sim"},
         plan_with_sim(dir / "Missing.sim"),
         "compattatore: " + d + "Missing.sim: no such file\n"},
        {"folder",
         {dir / "folder.sim"},
         plan_with_sim(dir / "folder.sim"),
         "compattatore: cannot read " + d + "folder.sim: it is a folder\n"},
        {"truncated grid",
         {dir / "Cut.dat"},
         route(dir / "Cut.dat"),
         "compattatore: " + d +
             "Cut.dat: corrupt route grid at byte 90: truncated route cell 6: 10 of 15 bytes\n"},
        {"unknown tag",
         {dir / "Bad_linea.dat"},
         plan(dir / "Bad_linea.dat"),
         "compattatore: " + d + "Bad_linea.dat: corrupt line profile at byte 0: unknown tag 7\n"},
        {"profile as the route",
         {},
         route(dir / "Bad_linea.dat"),
         "compattatore: " + d + "Bad_linea.dat: not a route grid file\n"},
        {"text as the station table",
         {},
         plan_with_sim(dir / "notes.txt"),
         "compattatore: " + d + "notes.txt: not a station table file\n"},
        {"grid as the profile",
         {},
         plan(dat()),
         "compattatore: " + dat().string() + ": not a line profile file\n"},
    };
    for (const auto& k : cases) {
        const printed p = plot(k.plotted);
        EXPECT_EQ(p.status, 2) << k.name;
        EXPECT_EQ(p.out, "") << k.name;
        EXPECT_EQ(p.err, k.says) << k.name;
        if (k.inspected.empty()) continue;
        for (const bool as_json : {false, true}) {
            const printed i = inspect(k.inspected, as_json);
            EXPECT_EQ(i.status, 2) << k.name;
            EXPECT_EQ(i.out, "") << k.name;
            EXPECT_EQ(i.err, k.says) << k.name;
        }
    }
    EXPECT_EQ(inspect({dir / "notes.txt"}, false).err,
              "compattatore: " + d +
                  "notes.txt: not a simulator file (names end in _linea.dat, .sim or .dat)\n");
}

// FNV-1a, enough to notice any change of a byte.
std::uint64_t digest(const std::string& bytes) {
    std::uint64_t h = 0xcbf29ce484222325ull;
    for (unsigned char c : bytes) h = (h ^ c) * 0x100000001b3ull;
    return h;
}

TEST_F(Written, ListingsAndPicturesKeepEveryByte) {
    // Inspect shows the paths it is given; without the folder they read as run inside it.
    const auto in_folder = [](std::string text) {
        const std::string folder = dir_->path().string() + "/";
        for (auto at = text.find(folder); at != std::string::npos; at = text.find(folder, at)) {
            text.erase(at, folder.size());
        }
        return text;
    };
    const auto& m = model();
    struct {
        const char* name;
        std::function<std::string()> make;
        std::size_t size;
        std::uint64_t digest;
    } cases[] = {
        {"text of the three files",
         [&] {
             return in_folder(
                 inspect({sim(), dat(), profile()}, false, point_selection{2199, 2205, 1}).out);
         },
         41302, 0x45026351610004c9ull},
        {"JSON of the three files",
         [&] {
             return in_folder(
                 inspect({sim(), dat(), profile()}, true, point_selection{0, std::nullopt, 5000})
                     .out);
         },
         396100, 0x73e5bd3e8b36f428ull},
        {"labelled plan", [&] { return plan_svg(m.line_profile, &m.station_table, &m.route_grid); },
         48341, 0xfd902ebf6f99e198ull},
        {"bare plan", [&] { return plan_svg(m.line_profile, nullptr, nullptr); }, 42648,
         0x87d555760403c52aull},
        {"named route chart", [&] { return route_svg(m.route_grid, &m.station_table); }, 61470,
         0x13bacc4b132f81f2ull},
        {"bare route chart", [&] { return route_svg(m.route_grid, nullptr); }, 53386,
         0x56084074924eb49bull},
    };
    for (const auto& k : cases) {
        const std::string bytes = k.make();
        EXPECT_EQ(bytes.size(), k.size) << k.name;
        EXPECT_EQ(digest(bytes), k.digest) << k.name << ": " << std::hex << digest(bytes);
    }
}

TEST(PointSelection, ParsesStepRangeAndStepInRange) {
    EXPECT_EQ(parse_point_selection("100")->step, 100u);
    const auto r = parse_point_selection("10:20:5");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->first, 10u);
    EXPECT_EQ(*r->last, 20u);
    EXPECT_EQ(r->step, 5u);
    for (const char* bad : {"", "0", "a", "5:2", "1:2:0", "1:2:3:4", "-3", "1::2"}) {
        EXPECT_FALSE(parse_point_selection(bad)) << bad;
    }
}

// ---- plot -------------------------------------------------------------------------------------

TEST(XmlCheck, FindsTheFaultsItIsThereFor) {
    EXPECT_EQ(testing::xml_fault("<svg><text x=\"1\">a &amp; b</text></svg>"), "");
    for (const char* bad :
         {"<svg><text>a & b</text></svg>", "<svg><g></svg>", "<svg x=1/>", "<svg/><svg/>",
          "<svg><text>a < b</text></svg>", "<svg a=\"1\" a=\"2\"/>", "<svg>&nbsp;</svg>"}) {
        EXPECT_NE(testing::xml_fault(bad), "") << bad;
    }
}

std::size_t count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

TEST_F(Written, PlanIsWellFormedDecimatedAndLabelsStationsAndBoards) {
    temp_dir out;
    std::ostringstream o, e;
    plot_options opts;
    opts.profile = profile();
    opts.sim = sim();
    opts.dat = dat();
    opts.output = out / "plan.svg";
    ASSERT_EQ(plot_command(opts, o, e), 0) << e.str();
    const std::string svg = slurp(out / "plan.svg");
    EXPECT_EQ(testing::xml_fault(svg), "");
    for (const char* name : {">TORINO PORTA NUOVA<", ">ALESSANDRIA<", ">PIACENZA<",
                             ">SAN NICOLO&apos;<", ">Ponte / Fiume Tanaro<"}) {
        EXPECT_NE(svg.find(name), std::string::npos) << name;
    }
    // The line is one path through at most the budget of points (plus the last one).
    const auto path = svg.find("<path d=\"M");
    ASSERT_NE(path, std::string::npos);
    const std::string d = svg.substr(path, svg.find('"', path + 9) - path);
    EXPECT_LE(count(d, " L") + 1, plan_point_budget + 1);
    EXPECT_GE(count(d, " L") + 1, plan_point_budget / 2);
}

TEST_F(Written, RouteChartIsWellFormedWithItsBandsAndStations) {
    const std::string svg = route_svg(model().route_grid, &model().station_table);
    EXPECT_EQ(testing::xml_fault(svg), "");
    for (const char* text :
         {">stations<", ">gradient<", ">speed limit<", ">adhesion<", ">signals<", ">slowdowns<",
          ">code points<", ">ALESSANDRIA<", ">VILLANOVA D&apos;ASTI<", ">90 km/h<", ">100 km<"}) {
        EXPECT_NE(svg.find(text), std::string::npos) << text;
    }
}

TEST(Plot, NamesAreEscapedAndConvertedFromTheCodePage) {
    const auto c = testing::compile(testing::description_pair{});
    station_table_t table = c->model.station_table;
    table[1].name = "A&B <\x85>";  // 0x85 is a-grave in code page 850
    table[2].name = "QUOTE\"";
    table[2].position = 2000;
    table[2].kind = 12;
    for (const std::string& svg : {plan_svg(c->model.line_profile, &table, &c->model.route_grid),
                                   route_svg(c->model.route_grid, &table)}) {
        EXPECT_EQ(testing::xml_fault(svg), "");
        EXPECT_NE(svg.find("A&amp;B &lt;\xC3\xA0&gt;"), std::string::npos);
        EXPECT_NE(svg.find("QUOTE&quot;"), std::string::npos);
    }
}

TEST(Plot, BadInputsExitTwo) {
    temp_dir dir;
    spit(dir / "X_linea.dat", std::string("\x07\x00", 2));
    std::ostringstream o, e;
    plot_options opts;
    opts.profile = dir / "X_linea.dat";
    opts.output = dir / "plan.svg";
    EXPECT_EQ(plot_command(opts, o, e), 2);
    EXPECT_NE(e.str().find("at byte 0: unknown tag 7"), std::string::npos) << e.str();
    EXPECT_FALSE(fs::exists(dir / "plan.svg"));

    plot_options neither;
    neither.output = dir / "p.svg";
    EXPECT_EQ(plot_command(neither, o, e), 2);
    plot_options wrong_kind;
    wrong_kind.route = dir / "X_linea.dat";
    wrong_kind.output = dir / "p.svg";
    EXPECT_EQ(plot_command(wrong_kind, o, e), 2);
}

}  // namespace
}  // namespace compattatore
