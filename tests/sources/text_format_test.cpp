#include "sources/text_format.hpp"

#include <gtest/gtest.h>

#include <stdexcept>

namespace compattatore::text {
namespace {

TEST(Cp850, TurnsEachAccentedLetterIntoItsSingleByte) {
    EXPECT_EQ(cp850("à è é ò ù"), "\x85 \x8A \x82 \x95 \x97");
    EXPECT_EQ(cp850("San Nicolò"), "San Nicol\x95");
    EXPECT_EQ(cp850("perché più"), "perch\x82 pi\x97");
    EXPECT_EQ(cp850("plain ASCII, kept as it is.~"), "plain ASCII, kept as it is.~");
}

TEST(Cp850, RejectsLettersItHasNoByteFor) {
    for (const char* text : {"ì", "È", "ü", "€", "\xC3", "ab\xB2"}) {
        EXPECT_THROW(cp850(text), std::invalid_argument) << text;
    }
}

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
