#include "sources/text_format.hpp"

#include <gtest/gtest.h>

namespace compattatore::text {
namespace {

TEST(Fields, PadToTheWidthAndNeverCut) {
    EXPECT_EQ(right(2800, 8), "    2800");
    EXPECT_EQ(right(-10, 4), " -10");
    EXPECT_EQ(right(188000, 4), "188000");
    EXPECT_EQ(left("ab", 4), "ab  ");
    EXPECT_EQ(left("abcdef", 4), "abcdef");
    EXPECT_EQ(repeat('_', 3), "___");
}

}  // namespace
}  // namespace compattatore::text
