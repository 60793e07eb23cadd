#pragma once
// One table type for what a result code of a description does: the code, its position, how the
// compile goes on after it, and a check of the cells or entries that show the rest. Each case
// changes the fixture's descriptions in a few lines.

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>

#include "description_fixture.hpp"

namespace compattatore::testing {

// How the compile goes on after the code.
enum class afterwards {
    train_read,      // a line code: the train description is still read in full
    train_not_read,  // the line description stopped the compile
    end_step,        // a train code that ends the records: the end step's fills still run
    read_ended,      // the train description stopped at once: no end step
};

struct code_case {
    const char* name;
    std::function<void(description_pair&)> change;
    std::int32_t code;
    std::int32_t position;  // untouched_position when the code carries none
    afterwards then;
    std::function<void(const compiled&)> check;
};

inline void PrintTo(const code_case& k, std::ostream* os) {
    *os << k.name;
}

inline void expect_case(const code_case& k) {
    description_pair d;
    k.change(d);
    const auto c = compile(d);
    EXPECT_EQ(c->model.result_code, k.code);
    EXPECT_EQ(c->model.error_position, k.position);
    EXPECT_EQ(c->files.line_discards, 1);
    // The train text is discarded in every outcome, read or not: no scratch text stays behind.
    EXPECT_EQ(c->files.train_discards, 1);
    switch (k.then) {
        case afterwards::train_read:
            EXPECT_EQ(c->entry(84).position, 8);
            EXPECT_EQ(c->entry(1).name, "ORIGINE");
            EXPECT_EQ(c->cell(197).speed_limit, 22);
            break;
        case afterwards::train_not_read:
            EXPECT_EQ(c->entry(84).position, 0);
            break;
        case afterwards::end_step:
            EXPECT_EQ(c->cell(197).speed_limit, 22);
            break;
        case afterwards::read_ended:
            EXPECT_EQ(c->cell(197).speed_limit, 0);
            break;
    }
    if (k.check) k.check(*c);
}

inline std::string case_name(const ::testing::TestParamInfo<code_case>& info) {
    return info.param.name;
}

}  // namespace compattatore::testing
