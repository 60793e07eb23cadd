// The scenario's own descriptions, as the text writers make them, compiled.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>

#include "compiler/description_files.hpp"
#include "compiler/memorizza_dati.hpp"
#include "description_fixture.hpp"
#include "ground/file_names.hpp"
#include "sources/writers.hpp"
#include "support/generated_descriptions.hpp"
#include "support/temp_dir.hpp"

namespace compattatore {
namespace {

class ScenarioCompile : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        compiled_ = std::make_unique<testing::compiled>(testing::join_crlf(dati_linea_lines()),
                                                        testing::join_crlf(dati_treno_lines()));
    }
    static void TearDownTestSuite() { compiled_.reset(); }
    static const scenario_model& model() { return compiled_->model; }
    static const route_cell& cell(std::size_t i) { return compiled_->cell(i); }
    static const station_entry& entry(std::size_t i) { return compiled_->entry(i); }

    static std::unique_ptr<testing::compiled> compiled_;
};
std::unique_ptr<testing::compiled> ScenarioCompile::compiled_;

TEST_F(ScenarioCompile, CompilesWithoutACodeAndDiscardsEachTextOnce) {
    EXPECT_EQ(model().result_code, 0);
    EXPECT_EQ(model().error_position, testing::untouched_position);
    EXPECT_TRUE(compiled_->report.diagnostics.empty());
    EXPECT_EQ(compiled_->files.line_discards, 1);
    EXPECT_EQ(compiled_->files.train_discards, 1);
    EXPECT_EQ(model().last_cell, 3900);
    EXPECT_EQ(model().route_extent, 195000);
}

TEST_F(ScenarioCompile, GradientBytes) {
    struct stretch {
        int first, last, value;
    };
    const stretch stretches[] = {
        {0, 48, 101},     {49, 171, 100},   {172, 589, 101},  {590, 689, 100},   {690, 799, 90},
        {800, 839, 100},  {840, 857, 97},   {858, 917, 92},   {918, 1098, 94},   {1099, 1268, 100},
        {1269, 1328, 97}, {1329, 1736, 99}, {1737, 1776, 98}, {1777, 3897, 100}, {3898, 3900, 0},
    };
    for (const stretch& s : stretches) {
        for (int i = s.first; i <= s.last; ++i) {
            ASSERT_EQ(cell(i).gradient, s.value) << "cell " << i;
        }
    }
}

TEST_F(ScenarioCompile, DirectionBoardsAndHeader) {
    EXPECT_EQ(cell(275).kind, cell_kind::direction_board);
    EXPECT_EQ(cell(275).value_a, 80);
    EXPECT_EQ(cell(1791).value_a, 79);
    EXPECT_EQ(cell(3651).value_a, 78);
    EXPECT_EQ(entry(80).name, "(Bivio     )(per Savona)(per Genova)");
    EXPECT_EQ(entry(79).name, "(Ponte       )(Fiume Tanaro)");
    EXPECT_EQ(entry(78).name, "(Ponte        )(Fiume Trebbia)");
    EXPECT_EQ(entry(77).name, "");

    EXPECT_EQ(entry(81).area_start, 90800);
    EXPECT_EQ(entry(81).area_end, -90800);
    EXPECT_EQ(entry(81).position, 0);
    for (int e : {82, 83}) {
        EXPECT_EQ(entry(e).area_start, 0);
        EXPECT_EQ(entry(e).area_end, 0);
        EXPECT_EQ(entry(e).position, 0);
    }
    EXPECT_EQ(entry(84).area_start, 125);
    EXPECT_EQ(entry(84).area_end, 188000);
    EXPECT_EQ(entry(84).position, 8);
    EXPECT_EQ(entry(85).name, "Linea");
    EXPECT_EQ(entry(85).area_start, 1);
    EXPECT_EQ(entry(85).area_end, 0);
    EXPECT_EQ(entry(85).position, 0);
    EXPECT_EQ(entry(86).name, "99");
    EXPECT_EQ(entry(86).area_start, 0);
    EXPECT_EQ(entry(86).area_end, 188000);
    EXPECT_EQ(entry(86).position, 9);
    EXPECT_EQ(entry(86).group_a1, 120);
    EXPECT_EQ(entry(86).group_b1, 11);
    EXPECT_EQ(entry(86).group_b2, 49);
    EXPECT_EQ(entry(86).group_b3, 0);
}

TEST_F(ScenarioCompile, ProfilePoints) {
    const line_profile_t& lp = model().line_profile;
    ASSERT_EQ(lp.points(), 195001u);
    EXPECT_EQ(lp.y(1700).as_double(), 1700.0);
    EXPECT_EQ(lp.x(1700).as_double(), 0.0);
    EXPECT_NEAR(lp.x(2200).as_double(), 122.677, 0.0005);
    EXPECT_NEAR(lp.y(2200).as_double(), 2179.423, 0.0005);
    EXPECT_NEAR(lp.x(194998).as_double(), -100344.61, 0.01);
    EXPECT_NEAR(lp.y(194998).as_double(), 140312.58, 0.01);
    EXPECT_EQ(lp.x(194998).type(), tagged_value::tag::float64);
    EXPECT_TRUE(lp.x(194999).is_empty());
    EXPECT_TRUE(lp.y(195000).is_empty());
}

TEST_F(ScenarioCompile, StationsStopCellsAndMarks) {
    int stations = 0;
    for (int e = 1; e <= 80; ++e) stations += entry(e).name.empty() ? 0 : 1;
    EXPECT_EQ(stations, 32 + 3);  // and the three board texts
    EXPECT_NE(entry(32).name, "");
    EXPECT_EQ(entry(33).name, "");
    const auto stops =
        std::count_if(model().route_grid.begin(), model().route_grid.end(),
                      [](const route_cell& c) { return c.kind == cell_kind::station_stop; });
    EXPECT_EQ(stops, 17);

    EXPECT_EQ(entry(1).area_start, -700);
    EXPECT_EQ(entry(1).area_end, 700);
    EXPECT_EQ(cell(13).kind, cell_kind::station_stop);
    EXPECT_EQ(cell(13).value_a, 1);
    for (int j = 1; j <= 4; ++j) EXPECT_EQ(cell(13 - j).approach_mark, 80 + j);

    const auto alessandria =
        std::find_if(model().station_table.begin(), model().station_table.end(),
                     [](const station_entry& e) { return e.name == "ALESSANDRIA"; });
    ASSERT_NE(alessandria, model().station_table.end());
    const auto n = alessandria - model().station_table.begin();
    EXPECT_EQ(alessandria->area_start, 90500);
    EXPECT_EQ(alessandria->area_end, 91100);
    EXPECT_EQ(alessandria->timetable_time, 45960);
    EXPECT_EQ(cell(1821).kind, cell_kind::station_stop);
    EXPECT_EQ(cell(1821).value_a, n);
}

TEST_F(ScenarioCompile, CodePointsSignalsAndSlowdowns) {
    const auto count_kind = [&](std::uint8_t kind) {
        return std::count_if(model().route_grid.begin(), model().route_grid.end(),
                             [kind](const route_cell& c) { return c.kind == kind; });
    };
    EXPECT_EQ(count_kind(cell_kind::code_point), 269);
    EXPECT_EQ(count_kind(cell_kind::code_off_point), 0);
    EXPECT_EQ(cell(3244).kind, cell_kind::code_point);
    EXPECT_EQ(cell(3244).value_a, 180);
    EXPECT_EQ(count_kind(cell_kind::signal), 117);

    EXPECT_EQ(cell(57).kind, cell_kind::signal);
    EXPECT_EQ(cell(57).value_a, 42);
    EXPECT_EQ(cell(57).value_b, 11);
    EXPECT_EQ(cell(57).value_c, 11);
    EXPECT_EQ(cell(57).value_d, 8);
    EXPECT_EQ(cell(55).approach_mark, 81);
    EXPECT_EQ(cell(53).approach_mark, 82);
    EXPECT_EQ(cell(51).approach_mark, 83);
    EXPECT_EQ(cell(49).approach_mark, 84);
    EXPECT_EQ(cell(217).signal_delay, 110);

    EXPECT_EQ(cell(111).kind, cell_kind::slowdown_warning);
    EXPECT_EQ(cell(135).kind, cell_kind::slowdown_start);
    EXPECT_EQ(cell(151).kind, cell_kind::slowdown_end);
    EXPECT_EQ(cell(135).value_a, 60);
    EXPECT_EQ(cell(2606).kind, cell_kind::slowdown_warning);
    EXPECT_EQ(cell(2630).kind, cell_kind::slowdown_start);
    EXPECT_EQ(cell(2730).kind, cell_kind::slowdown_end);
    EXPECT_EQ(cell(2630).value_c, 1);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(cell(2605 - i).kind, cell_kind::slowdown_prewarning);
        EXPECT_EQ(cell(2605 - i).value_a, i + 1);
    }
}

// The run's way: scratch files beside the executable, each deleted once read.
TEST(ScenarioScratchFiles, TheDescriptionTextsAreGoneAfterTheCompile) {
    testing::temp_dir dir;
    scenario_model m;
    m.line_name = "Torino_Piacenza";
    m.train_number = "2063";
    m.profile_option = 1;
    dati_linea(dir.path(), m);
    dati_treno(dir.path(), m);
    const auto line = dir / file_name::line_description(m);
    const auto train = dir / file_name::train_description(m);
    ASSERT_TRUE(std::filesystem::exists(line));
    ASSERT_TRUE(std::filesystem::exists(train));
    scratch_description_files files(line, train);
    memorizza_dati(m, files);
    EXPECT_EQ(m.result_code, 0);
    EXPECT_EQ(m.station_table[85].name, "Torino_Piacenza");
    EXPECT_FALSE(std::filesystem::exists(line));
    EXPECT_FALSE(std::filesystem::exists(train));
}

}  // namespace
}  // namespace compattatore
