// Every code the compiler records is reported at the place in the text that caused it.

#include <gtest/gtest.h>

#include "description_fixture.hpp"
#include "ground/result_codes.hpp"

namespace compattatore {
namespace {

using testing::compile;
using testing::compiled;
using testing::description_pair;

struct expected_diagnostic {
    std::int32_t code;
    description_kind file;
    std::int32_t line;
    std::int32_t column;
    bool has_position;
    std::int32_t position;
};

void expect_report(const compiled& c, std::initializer_list<expected_diagnostic> expected) {
    ASSERT_EQ(c.report.diagnostics.size(), expected.size());
    auto d = c.report.diagnostics.begin();
    for (const expected_diagnostic& e : expected) {
        SCOPED_TRACE(e.code);
        EXPECT_EQ(d->level, severity::error);
        EXPECT_EQ(d->code, e.code);
        EXPECT_EQ(d->where.file, e.file);
        EXPECT_EQ(d->where.line, e.line);
        EXPECT_EQ(d->where.column, e.column);
        EXPECT_EQ(d->has_position, e.has_position);
        if (e.has_position) {
            EXPECT_EQ(d->position, e.position);
        }
        ++d;
    }
}

// Line description of the fixture: line 1 "[generale]", 2-5 general, 6 "[pendenze]", 7-8 the
// gradients, then added records. Train: line 1 "[generale]", 2-5 general, 6 "[stazioni]", 7-10.
TEST(CompileReport, CodesAreReportedWhereTheirRecordStarts) {
    description_pair d;
    d.line_records.push_back("   cartello_indicatore, 1700, a");
    d.line_records.push_back("cartello_indicatore, 1700, b");
    expect_report(*compile(d), {{6, description_kind::line, 10, 1, true, 1700}});

    description_pair t;
    t.train_records.push_back("  abbattimento, 650, 270");
    expect_report(*compile(t), {{7, description_kind::train, 11, 3, true, 650}});

    description_pair s;
    s.general[3] = "ripetizione segnali, 0, 0";
    expect_report(*compile(s), {{5, description_kind::line, 5, 1, false, 0}});
}

TEST(CompileReport, EveryCodeInTurn) {
    // A 15 of the line, then a 2 found at the end of the train description.
    description_pair d;
    d.general[1] = "progressiva chilometrica uno, 25, 0, 0";
    d.line_records.push_back("pendenza, 9901, 0");
    const auto c = compile(d);
    EXPECT_EQ(c->model.result_code, result::progressive_not_multiple_of_50);
    expect_report(*c, {{15, description_kind::line, 9, 1, true, 9901},
                       {2, description_kind::line, 0, 0, false, 0}});
}

TEST(CompileReport, FailuresAreReportedWhereReadingFailed) {
    description_pair d;
    d.train_records.push_back("velocita, 100,  x5");
    expect_report(*compile(d), {{25, description_kind::train, 11, 17, false, 0}});

    description_pair wide;
    wide.line_records.push_back("pendenza, 100, 99999999999");
    expect_report(*compile(wide), {{25, description_kind::line, 9, 16, false, 0}});

    const auto missing = std::make_unique<compiled>(std::nullopt, description_pair{}.train_text());
    expect_report(*missing, {{101, description_kind::line, 0, 0, false, 0}});

    const auto no_train = std::make_unique<compiled>(description_pair{}.line_text(), std::nullopt);
    expect_report(*no_train, {{25, description_kind::train, 0, 0, false, 0}});
}

TEST(CompileReport, ACleanCompileReportsNothingAndNoReportIsNeeded) {
    EXPECT_TRUE(compile(description_pair{})->report.diagnostics.empty());

    description_pair d;
    d.line_records.push_back("pendenza, 9901, 0");
    scenario_model m;
    m.profile_option = 1;
    borrowed_description_files files(d.line_text(), d.train_text());
    memorizza_dati(m, files);
    EXPECT_EQ(m.result_code, result::beyond_route_grid);
}

}  // namespace
}  // namespace compattatore
