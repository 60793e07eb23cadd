// Inputs at the limits: the longest line with a record on every cell, and texts of megabytes
// that hold nothing sensible. Each must compile to a definite result; how long that takes is
// measured by the benchmarks, not here.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "compiler/description_fixture.hpp"
#include "finishing/finishing.hpp"
#include "formats/binary_files.hpp"
#include "fuzz/fuzz_checks.hpp"
#include "ground/result_codes.hpp"
#include "support/generated_descriptions.hpp"

namespace compattatore {
namespace {

using testing::compiled;
using testing::degenerate;
using testing::description_pair;

TEST(Limits, TheLongestLineWithARecordOnEveryCellCompilesAndFinishesCleanly) {
    auto c = std::make_unique<compiled>(testing::every_cell_line_description(),
                                        testing::every_cell_train_description());
    scenario_model& m = c->model;
    ASSERT_EQ(m.result_code, 0);
    ASSERT_EQ(m.last_cell, 20140);
    ASSERT_EQ(m.route_grid.size(), 20141u);

    for (std::int32_t i = 0; i <= 20138; ++i) {
        const route_cell& cell = m.route_grid[static_cast<std::size_t>(i)];
        ASSERT_EQ(cell.gradient, static_cast<std::uint8_t>(i % 41 - 20 + 100)) << "cell " << i;
        ASSERT_EQ(cell.speed_limit, (30 + i % 30 * 5) / 5) << "cell " << i;
        ASSERT_EQ(cell.adhesion, 50 + i % 50) << "cell " << i;
        const std::uint8_t kind = i < 4   ? cell_kind::empty
                                  : i % 2 ? cell_kind::speed_board
                                          : cell_kind::code_point;
        ASSERT_EQ(cell.kind, kind) << "cell " << i;
    }
    EXPECT_EQ(m.route_grid[20139].kind, cell_kind::speed_board);
    EXPECT_EQ(m.route_grid[20140].gradient, 0);

    // The plan runs to the last point but two.
    ASSERT_EQ(m.line_profile.points(), 1007001u);
    EXPECT_EQ(m.line_profile.x(1006998).type(), tagged_value::tag::float64);
    EXPECT_TRUE(m.line_profile.x(1006999).is_empty());
    EXPECT_TRUE(m.line_profile.y(1007000).is_empty());

    cab_code_pass(m);
    EXPECT_EQ(m.result_code, 0);
    EXPECT_EQ(closing_checks(m), 0);
    EXPECT_EQ(encode_route_grid(m.route_grid).size(), 15u * 20141);
    EXPECT_EQ(encode_line_profile(m.line_profile).size(), 2u * (4 + 4 + 1006997 * 10 + 2 + 2));
}

struct degenerate_case {
    const char* name;
    degenerate kind;
    bool as_line;  // the text is the line description; otherwise the train description
    std::int32_t code;
};

class Degenerate : public ::testing::TestWithParam<degenerate_case> {};

// Four megabytes of each: a definite result, every invariant of the fuzzers kept.
TEST_P(Degenerate, MegabytesOfNonsenseEndInADefiniteResult) {
    const degenerate_case& k = GetParam();
    const std::string text = testing::degenerate_text(k.kind, 4u << 20);
    fuzzing::compile_input in;
    in.line = k.as_line ? text : std::string(fuzzing::fixed_line_text);
    in.train = k.as_line ? std::string(fuzzing::fixed_train_text) : text;
    EXPECT_EQ(fuzzing::compile_and_check(in, true), "");

    compiled c(in.line, in.train);
    EXPECT_EQ(c.model.result_code, k.code);
}

const degenerate_case degenerate_cases[] = {
    // The whole text is one keyword field: no "[generale]" before the end.
    {"line_one_long_line", degenerate::one_long_line, true, result::no_general_section},
    // Millions of empty fields and no line length: nothing to compile into.
    {"line_commas", degenerate::commas, true, result::compiler_failure},
    {"line_blanks", degenerate::blanks, true, result::compiler_failure},
    {"line_hyphen_lines", degenerate::hyphen_lines, true, result::none},
    // The values after a record's own are keyword fields that match nothing.
    {"line_many_fields", degenerate::many_fields, true, result::none},
    {"line_long_number", degenerate::long_number, true, result::none},
    // A name the simulator's files cannot carry.
    {"line_long_board_text", degenerate::long_board_text, true, result::compiler_failure},
    {"train_one_long_line", degenerate::one_long_line, false, result::none},
    {"train_commas", degenerate::commas, false, result::none},
    {"train_blanks", degenerate::blanks, false, result::none},
    {"train_hyphen_lines", degenerate::hyphen_lines, false, result::none},
    {"train_many_fields", degenerate::many_fields, false, result::none},
    {"train_long_station_name", degenerate::long_station_name, false, result::compiler_failure},
};

INSTANTIATE_TEST_SUITE_P(Cases, Degenerate, ::testing::ValuesIn(degenerate_cases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Limits, TheLongestNameAFileCanCarryIsKept) {
    description_pair d;
    d.line_records.push_back("cartello_indicatore, 1000, " + std::string(0x7FFF, 'b'));
    const auto fits = testing::compile(d);
    EXPECT_EQ(fits->model.result_code, 0);
    EXPECT_EQ(fits->entry(80).name.size(), 0x7FFFu);

    d.line_records.back() += "b";
    const auto too_long = testing::compile(d);
    EXPECT_EQ(too_long->model.result_code, result::compiler_failure);
    EXPECT_TRUE(too_long->entry(80).name.empty());
}

}  // namespace
}  // namespace compattatore
