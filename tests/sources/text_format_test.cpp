#include "sources/text_format.hpp"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <stdexcept>

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

TEST(Records, SetEachValueAfterItsComma) {
    const std::int32_t values[] = {2450, -10};
    const std::size_t widths[] = {8, 2};
    EXPECT_EQ(record("pendenza", values, "  "), "pendenza,  2450,  -10");
    EXPECT_EQ(record("sabbia", {120}, "    "), "sabbia,    120");
    EXPECT_EQ(record("curvad4", {}, "  "), "curvad4");
    // Right-aligned fields: a value wider than its field pushes the rest along.
    EXPECT_EQ(record("segnale", values, widths), "segnale,    2450,-10");
    const std::size_t one_width[] = {8};
    EXPECT_THROW(record("segnale", values, one_width), std::invalid_argument);
}

}  // namespace
}  // namespace compattatore::text
