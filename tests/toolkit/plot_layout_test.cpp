// The pictures' layout: no label on another label or on a mark, kilometres in the railway
// reckoning, ticks with their units, a legend whose colours each mean one thing, code points
// that stay readable at any length, and the run-on marked.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <regex>
#include <set>

#include "ground/roles.hpp"
#include "sources/writers.hpp"
#include "support/generated_descriptions.hpp"
#include "toolkit/compile_author.hpp"
#include "toolkit/plot.hpp"
#include "toolkit/plot_drawing.hpp"
#include "xml_check.hpp"

namespace compattatore {
namespace {

class Pictures : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        author_sources s;
        s.line_text = testing::join_crlf(dati_linea_lines());
        s.train_text = testing::join_crlf(dati_treno_lines());
        s.line_name = "Torino_Piacenza";
        s.train_number = "2063";
        compiled_ = std::make_unique<author_compile>(compile_author_sources(s));
    }
    static void TearDownTestSuite() { compiled_.reset(); }
    static const scenario_model& model() { return compiled_->model; }
    static std::unique_ptr<author_compile> compiled_;
};
std::unique_ptr<author_compile> Pictures::compiled_;

struct drawn_text {
    box area;
    std::string text;
};

// Every unrotated label with the box it takes, as the plan lays them out: from x rightwards,
// from its baseline up by its size.
std::vector<drawn_text> texts_of(const std::string& svg) {
    std::vector<drawn_text> out;
    const std::regex re(
        "<text x=\"([0-9.-]+)\" y=\"([0-9.-]+)\" font-size=\"([0-9.]+)\"([^>]*)>([^<]*)</text>");
    for (auto it = std::sregex_iterator(svg.begin(), svg.end(), re); it != std::sregex_iterator();
         ++it) {
        const double x = std::stod((*it)[1]), y = std::stod((*it)[2]), size = std::stod((*it)[3]);
        const std::string text = (*it)[5];
        out.push_back({{x, y - size, x + text_width(text, size), y + 2}, text});
    }
    return out;
}

bool overlap(const box& a, const box& b) {
    return a.x0 < b.x1 && a.x1 > b.x0 && a.y0 < b.y1 && a.y1 > b.y0;
}

TEST_F(Pictures, PlanLabelsCoverNoOtherLabelAndNoStation) {
    const std::string svg =
        plan_svg(model().line_profile, &model().station_table, &model().route_grid);
    ASSERT_EQ(testing::xml_fault(svg), "");
    std::vector<drawn_text> labels;
    for (const drawn_text& t : texts_of(svg)) {
        if (t.area.y0 > 62) labels.push_back(t);  // not the title and subtitle
    }
    std::set<std::string> names;
    for (const drawn_text& t : labels) names.insert(t.text);
    // Every station and board is labelled, and most kilometre posts.
    for (const char* name : {"ALESSANDRIA", "PIACENZA", "Ponte / Fiume Tanaro",
                             "Bivio / per Savona / per Genova", "Ponte / Fiume Trebbia"}) {
        EXPECT_TRUE(names.count(name)) << name;
    }
    const auto posts = std::count_if(labels.begin(), labels.end(),
                                     [](const drawn_text& t) { return t.text.ends_with("0 km"); });
    EXPECT_GE(posts, 5);
    for (std::size_t i = 0; i < labels.size(); ++i) {
        for (std::size_t j = i + 1; j < labels.size(); ++j) {
            EXPECT_FALSE(overlap(labels[i].area, labels[j].area))
                << labels[i].text << " on " << labels[j].text;
        }
    }
    const std::regex circle("<circle cx=\"([0-9.]+)\" cy=\"([0-9.]+)\" r=\"4.0\"");
    std::size_t stations = 0;
    for (auto it = std::sregex_iterator(svg.begin(), svg.end(), circle);
         it != std::sregex_iterator(); ++it, ++stations) {
        const double x = std::stod((*it)[1]), y = std::stod((*it)[2]);
        for (const drawn_text& t : labels) {
            EXPECT_FALSE(overlap(t.area, {x - 4, y - 4, x + 4, y + 4}))
                << t.text << " on a station";
        }
    }
    EXPECT_EQ(stations, 32u + 1u);  // and the legend's
}

TEST_F(Pictures, RouteChartReadsInRailwayKilometresWithUnitsOnItsTicks) {
    const std::string svg = route_svg(model().route_grid, &model().station_table);
    for (const char* text : {">railway km<", ">route position<", ">0 \xE2\x80\xB0<",
                             ">-10 \xE2\x80\xB0<", ">150 km/h<", ">0 km/h<"}) {
        EXPECT_NE(svg.find(text), std::string::npos) << text;
    }
}

TEST(RailwayTicks, StartAgainWhereAProgressiveResetsTheReckoning) {
    station_table_t table{};
    progressive(table, station_slot::progressive_one).start() = 90800;
    progressive(table, station_slot::progressive_one).offset() = -90800;
    std::vector<std::pair<std::int64_t, std::string>> ticks;
    for (const railway_tick& t : railway_ticks(&table, 0, 195050, 15)) {
        ticks.emplace_back(t.route_metres, t.label);
    }
    const std::vector<std::pair<std::int64_t, std::string>> expected = {
        {0, "0"},       {20000, "20"},  {40000, "40"},  {60000, "60"},
        {80000, "80"},  {90800, "0"},   {110800, "20"}, {130800, "40"},
        {150800, "60"}, {170800, "80"}, {190800, "100"}};
    EXPECT_EQ(ticks, expected);
    // Without a table, or under a kilometre a step, the route position itself.
    ASSERT_EQ(railway_ticks(nullptr, 0, 1000, 4).size(), 3u);
    EXPECT_EQ(railway_ticks(nullptr, 0, 1000, 4)[1].label, "0+500");
}

TEST_F(Pictures, LegendColoursEachMeanOneThing) {
    const std::string svg = route_svg(model().route_grid, &model().station_table);
    const std::regex entry(
        "<rect x=\"[0-9.]+\" y=\"[0-9.]+\" width=\"10.0\" height=\"10.0\" fill=\"([^\"]+)\"/>\n"
        "<text [^>]*>([^<]*)</text>");
    std::map<std::string, std::string> meaning_of;
    std::set<std::string> meanings;
    for (auto it = std::sregex_iterator(svg.begin(), svg.end(), entry);
         it != std::sregex_iterator(); ++it) {
        const auto [at, fresh] = meaning_of.emplace((*it)[1], (*it)[2]);
        EXPECT_TRUE(fresh) << (*it)[1] << " means " << at->second << " and " << (*it)[2];
        meanings.insert((*it)[2]);
    }
    for (const char* m :
         {"station", "stop position", "signal", "delayed signal", "code 270", "code 180",
          "other code", "code-off point", "speed board", "direction board", "mountain", "slowdown",
          "run-on past the line&apos;s end"}) {
        EXPECT_TRUE(meanings.count(m)) << m;
    }
}

TEST(RouteChart, CodePointsOnEveryCellAreOneStretchAndAFewTicks) {
    route_grid_t grid(30000);
    for (route_cell& c : grid) {
        c.kind = cell_kind::code_point;
        c.value_a = 270;
    }
    grid[20000].kind = cell_kind::code_off_point;
    const std::string svg = route_svg(grid, nullptr);
    const auto count = [&](const std::string& what) {
        std::size_t n = 0;
        for (auto at = svg.find(what); at != std::string::npos; at = svg.find(what, at + 1)) ++n;
        return n;
    };
    // The code in force, broken once by the code-off point.
    EXPECT_EQ(count("fill=\"" + std::string(colour(ink::code_270)) + "\"/>"), 2u + 1u);  // + legend
    // One tick per 1.5 px of the 1370 px the chart is wide, not 30000.
    const std::size_t ticks =
        count("stroke=\"" + std::string(colour(ink::axis)) + "\" stroke-width=\"1\"");
    EXPECT_GT(ticks, 800u);
    EXPECT_LE(ticks, 1370u * 2 / 3 + 1);
}

TEST_F(Pictures, RunOnPastTheLineEndIsMarked) {
    const std::string chart = route_svg(model().route_grid, &model().station_table);
    // 188000 m of 195050 m over 1370 px from x 200.
    const std::string x = "x=\"" + svg_number(200 + 188000.0 / 195050 * 1370) + "\"";
    const std::string shade = "fill=\"" + std::string(colour(ink::run_on)) + "\" fill-opacity";
    const auto at = chart.find(shade);
    ASSERT_NE(at, std::string::npos);
    EXPECT_NE(chart.rfind(x, at), std::string::npos);
    EXPECT_NE(chart.find(">run-on<"), std::string::npos);
    const std::string plan = plan_svg(model().line_profile, &model().station_table, nullptr);
    EXPECT_NE(plan.find("stroke=\"" + std::string(colour(ink::run_on)) + "\""), std::string::npos);
}

}  // namespace
}  // namespace compattatore
