// Descriptions that would reach outside the grid, the station table, the mountain tables or the
// profile: each is stopped with a code before anything is written there. Run under the sanitizers
// these also prove that nothing is indexed outside a table.

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

class Bounds : public ::testing::TestWithParam<code_case> {};

TEST_P(Bounds, OutsideATableIsACodeNotAWrite) {
    expect_case(GetParam());
}

std::vector<std::string> boards(int n) {
    std::vector<std::string> out;
    for (int i = 0; i < n; ++i) {
        out.push_back("cartello_indicatore, " + std::to_string(2000 + 50 * i) + ", t" +
                      std::to_string(i));
    }
    return out;
}

// A right-hand curve from 9000 m, then a board that is read only when the curve was drawn.
void curve_then_board(description_pair& d, int length) {
    d.line_records.push_back("curvad4, 9000, " + std::to_string(length));
    d.line_records.push_back("cartello_indicatore, 1000, after");
}

// Curved steps up to the end and nothing after it; the records after the curve were read.
void expect_curve_drawn_to(const compiled& c, std::size_t end) {
    const line_profile_t& lp = c.model.line_profile;
    for (std::size_t p = end - 1; p <= end; ++p) {
        ASSERT_EQ(lp.x(p).type(), tagged_value::tag::float64) << p;
        ASSERT_EQ(lp.y(p).type(), tagged_value::tag::float64) << p;
        // Still turning right: each step leans further to +x than the one before.
        EXPECT_GT(lp.x(p).as_double() - lp.x(p - 1).as_double(),
                  lp.x(p - 1).as_double() - lp.x(p - 2).as_double())
            << p;
    }
    EXPECT_EQ(c.entry(80).name, "after");
    EXPECT_EQ(c.cell(21).kind, cell_kind::direction_board);
}

const code_case bounds_cases[] = {
    {"code_point_before_the_grid",
     [](description_pair& d) { d.train_records.push_back("abbattimento, -100, 270"); }, 26, -100,
     afterwards::end_step, nullptr},
    {"stop_cell_beyond_the_grid",
     [](description_pair& d) {
         d.train_records.push_back("stazione, 9200, 8, 1000, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, LUNGA");
     },
     15, 9200, afterwards::end_step,
     [](const compiled& c) {
         EXPECT_EQ(c.entry(2).area_end, 10200);  // the values read stay
         EXPECT_EQ(c.entry(2).name, "LUNGA");
         EXPECT_EQ(c.cell(199).approach_mark, 0);  // no mark, no stop cell
         EXPECT_EQ(c.cell(200).approach_mark, 0);
         EXPECT_EQ(c.cell(200).kind, cell_kind::empty);
     }},
    {"direction_board_before_the_grid",
     [](description_pair& d) { d.line_records.push_back("cartello_indicatore, -100, x"); }, 26,
     -100, afterwards::train_read, [](const compiled& c) { EXPECT_EQ(c.entry(80).name, ""); }},
    {"signal_before_the_grid",
     [](description_pair& d) { d.train_records.push_back("segnale, -200, 2,4,1,1,0,2,2,1,1,0"); },
     26, -200, afterwards::end_step, nullptr},
    {"slowdown_end_beyond_the_grid",
     [](description_pair& d) {
         d.train_records.push_back("rallentamento, 5000, 60, 10000, 0, 0, 60");
     },
     15, 5000, afterwards::end_step,
     [](const compiled& c) { EXPECT_EQ(c.cell(101).kind, cell_kind::empty); }},
    {"mountain_end_beyond_the_grid",
     [](description_pair& d) { d.line_records.push_back("montagna, 9000, 20000, 2"); }, 15, 9000,
     afterwards::train_read, [](const compiled& c) { EXPECT_EQ(c.cell(180).mountain_type, 0); }},
    {"mountain_before_the_grid",
     [](description_pair& d) { d.line_records.push_back("montagna, -500, 100, 2"); }, 26, -500,
     afterwards::train_read, nullptr},
    {"speed_board_before_the_grid",
     [](description_pair& d) {
         d.line_records.push_back("indicatori_vmax, -200, 1, 1, 1, 0, 1, 1, 1, 0");
     },
     26, -200, afterwards::train_read, nullptr},
    // The profile's last point is 10000: a curve is drawn up to any end on it, and only one
    // ending past it is refused, without reading the records after it.
    {"curve_ending_past_the_last_point", [](description_pair& d) { curve_then_board(d, 1001); }, 15,
     9000, afterwards::train_read,
     [](const compiled& c) {
         EXPECT_TRUE(c.model.line_profile.x(9999).is_empty());
         EXPECT_EQ(c.model.line_profile.x(9998).as_double(), 0.0);  // completed straight
         EXPECT_EQ(c.entry(80).name, "");
     }},
    {"curve_ending_on_the_last_point", [](description_pair& d) { curve_then_board(d, 1000); }, 0,
     untouched_position, afterwards::train_read,
     [](const compiled& c) { expect_curve_drawn_to(c, 10000); }},
    {"curve_ending_on_the_last_point_but_one",
     [](description_pair& d) { curve_then_board(d, 999); }, 0, untouched_position,
     afterwards::train_read,
     [](const compiled& c) {
         expect_curve_drawn_to(c, 9999);
         EXPECT_TRUE(c.model.line_profile.y(10000).is_empty());
     }},
    {"curve_ending_on_the_last_computed_point",
     [](description_pair& d) { d.line_records.push_back("curvad4, 9000, 998"); }, 0,
     untouched_position, afterwards::train_read,
     [](const compiled& c) { EXPECT_GT(c.model.line_profile.x(9998).as_double(), 0.0); }},
    {"too_many_mountains",
     [](description_pair& d) {
         for (int i = 0; i <= 80; ++i) {
             d.line_records.push_back("montagna, " + std::to_string(100 * i) + ", " +
                                      std::to_string(100 * i + 50) + ", 2");
         }
     },
     27, 8000, afterwards::train_not_read,
     [](const compiled& c) {
         EXPECT_EQ(c.model.mountain_count, 80);
         EXPECT_EQ(c.cell(158).mountain_type, 3);  // the 80th (joined)
         EXPECT_EQ(c.cell(160).mountain_type, 0);
     }},
    {"too_many_direction_boards",
     [](description_pair& d) {
         for (auto& b : boards(81)) d.line_records.push_back(b);
     },
     28, 6000, afterwards::train_not_read,
     [](const compiled& c) {
         EXPECT_EQ(c.entry(1).name, "t79");
         EXPECT_EQ(c.cell(121).kind, cell_kind::empty);
     }},
};

INSTANTIATE_TEST_SUITE_P(Cases, Bounds, ::testing::ValuesIn(bounds_cases), case_name);

// 79 boards take entries 80 down to 2: the first station finds no entry left.
TEST(BoundsStations, AStationIsNeverStoredOverABoardText) {
    description_pair d;
    d.line_records = boards(79);
    const auto c = compile(d);
    EXPECT_EQ(c->model.result_code, result::station_table_full);
    EXPECT_EQ(c->model.error_position, untouched_position);
    EXPECT_EQ(c->files.train_discards, 1);
    EXPECT_EQ(c->entry(2).name, "t78");
    EXPECT_EQ(c->entry(1).name, "");
    EXPECT_EQ(c->entry(1).position, 0);
    EXPECT_EQ(c->cell(13).kind, cell_kind::empty);
}

// Many records at one low position drive the at-least-once fills forward cell by cell.
TEST(BoundsFills, ProfileFillsStopAtTheLastCell) {
    description_pair d;
    d.line_records = {"pendenza, 0, 7"};
    d.train_records = {"aderenza, 0, 60", "velocita, 0, 50"};
    for (int i = 0; i < 260; ++i) {
        d.line_records.push_back("pendenza, 50, 7");
        d.train_records.push_back("aderenza, 50, 60");
        d.train_records.push_back("velocita, 50, 50");
    }
    const auto c = compile(d);
    EXPECT_EQ(c->model.result_code, 0);
    EXPECT_EQ(c->model.route_grid.size(), 201u);
    EXPECT_EQ(c->cell(200).gradient, 107);
    EXPECT_EQ(c->cell(200).adhesion, 60);
    // The records' speed fill stops at the last cell; the end step's single pass writes it.
    EXPECT_EQ(c->cell(199).speed_limit, 10);
    EXPECT_EQ(c->cell(200).speed_limit, 10);
}

// A fill that writes no cell converts no value: once the speed cursor stands on the last cell, a
// speed too large for a cell is never converted by the records after it, and the read goes on
// to the code point that ends it.
TEST(BoundsFills, AFillThatWritesNothingConvertsNothing) {
    description_pair d;
    for (int i = 0; i < 200; ++i) d.train_records.push_back("velocita, 50, 50");
    d.train_records.push_back("velocita, 50, 1280");  // 256 does not fit a cell
    d.train_records.push_back("velocita, 50, 50");
    d.train_records.push_back("abbattimento, 650, 270");  // on the first station's stop cell
    const auto c = compile(d);
    EXPECT_EQ(c->model.result_code, result::code_point_cell_taken);
    EXPECT_EQ(c->model.error_position, 650);
    EXPECT_EQ(c->cell(199).speed_limit, 10);
    EXPECT_EQ(c->cell(200).speed_limit, 0);  // the end step did not run
}

}  // namespace
}  // namespace compattatore
