// What the train description reader does with the codes of the signal and slowdown placement.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "description_fixture.hpp"
#include "ground/result_codes.hpp"

namespace compattatore {
namespace {

using testing::compile;
using testing::compiled;
using testing::description_pair;

// The fixture's first station has its stop cell on 13; a code point is added on cell 60.
struct placement_case {
    const char* name;
    const char* record;
    std::int32_t code;
    std::int32_t position;
    std::function<void(const compiled&)> check;
};

class ReaderPlacements : public ::testing::TestWithParam<placement_case> {};

TEST_P(ReaderPlacements, ATakenCellEndsTheReadAtTheRecord) {
    const placement_case& k = GetParam();
    description_pair d;
    d.train_records.push_back("abbattimento, 3000, 270");
    d.train_records.push_back(k.record);
    d.train_records.push_back("abbattimento, 4000, 270");  // never read
    const auto c = compile(d);
    EXPECT_EQ(c->model.result_code, k.code);
    EXPECT_EQ(c->model.error_position, k.position);
    EXPECT_EQ(c->files.train_discards, 1);
    EXPECT_EQ(c->cell(80).kind, cell_kind::empty);
    EXPECT_EQ(c->cell(197).speed_limit, 0);  // no end step
    if (k.check) k.check(*c);
}

bool slowdown_cells_unchanged(const compiled& c, std::initializer_list<int> cells) {
    for (int i : cells) {
        if (c.cell(i).kind != cell_kind::empty && c.cell(i).kind != cell_kind::station_stop &&
            c.cell(i).kind != cell_kind::code_point) {
            return false;
        }
    }
    return true;
}

const placement_case placement_cases[] = {
    {"signal_cell_taken", "segnale, 600, 2,4,1,1,0,2,2,1,1,0", 16, 600,
     [](const compiled& c) {
         EXPECT_EQ(c.cell(13).kind, cell_kind::station_stop);
         EXPECT_EQ(c.cell(11).approach_mark, 82);  // the station's, not the signal's
     }},
    // W = (1800 - 1200) / 50 + 1 = 13
    {"warning_cell_taken", "rallentamento, 1800, 60, 500, 1, 1, 60", 17, 1800,
     [](const compiled& c) {
         EXPECT_TRUE(slowdown_cells_unchanged(c, {13, 37, 47, 9, 10, 11, 12}));
     }},
    // A = 600 / 50 + 1 = 13
    {"start_cell_taken", "rallentamento, 600, 60, 500, 1, 1, 60", 18, 600,
     [](const compiled& c) {
         EXPECT_TRUE(slowdown_cells_unchanged(c, {13, 23}));
     }},
    // Z = (2450 + 500) / 50 + 1 = 60, the code point
    {"end_cell_taken", "rallentamento, 2450, 60, 500, 1, 1, 60", 19, 2450,
     [](const compiled& c) {
         EXPECT_TRUE(slowdown_cells_unchanged(c, {26, 50, 22, 23, 24, 25}));
     }},
    // B = (1850 - 1200) / 50 = 13: the pre-warning cells are refused, the other three stay
    {"prewarning_cells_taken", "rallentamento, 1850, 60, 500, 1, 1, 60", 20, 1850,
     [](const compiled& c) {
         EXPECT_EQ(c.cell(14).kind, cell_kind::slowdown_warning);
         EXPECT_EQ(c.cell(38).kind, cell_kind::slowdown_start);
         EXPECT_EQ(c.cell(48).kind, cell_kind::slowdown_end);
         EXPECT_EQ(c.cell(48).value_a, 60);
         EXPECT_EQ(c.cell(12).kind, cell_kind::empty);
     }},
};

INSTANTIATE_TEST_SUITE_P(Cases, ReaderPlacements, ::testing::ValuesIn(placement_cases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ReaderPlacementsAfterLineCode, AFifteenLeftByTheLineEndsTheReadAfterTheFirstSignal) {
    for (const char* record :
         {"segnale, 3000, 2,4,1,1,0,2,2,1,1,0", "rallentamento, 3000, 60, 500, 0, 0, 60"}) {
        SCOPED_TRACE(record);
        description_pair d;
        d.line_records.push_back("pendenza, 9901, 0");
        d.train_records.push_back("abbattimento, 2000, 270");
        d.train_records.push_back(record);
        d.train_records.push_back("abbattimento, 4000, 270");
        const auto c = compile(d);
        EXPECT_EQ(c->model.result_code, result::beyond_route_grid);
        EXPECT_EQ(c->model.error_position, 3000);
        EXPECT_EQ(c->cell(40).kind, cell_kind::code_point);  // records before it were read
        EXPECT_NE(c->cell(61).kind, cell_kind::empty);       // and it was placed
        EXPECT_EQ(c->cell(80).kind, cell_kind::empty);
        EXPECT_EQ(c->cell(197).speed_limit, 0);
        EXPECT_EQ(c->files.train_discards, 1);
    }
}

}  // namespace
}  // namespace compattatore
