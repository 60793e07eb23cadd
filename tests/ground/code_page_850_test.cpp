#include "ground/code_page_850.hpp"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace compattatore {
namespace {

TEST(Cp850, TurnsEachLetterIntoItsSingleByte) {
    EXPECT_EQ(utf8_to_cp850("à è é ò ù"), "\x85 \x8A \x82 \x95 \x97");
    EXPECT_EQ(utf8_to_cp850("San Nicolò"), "San Nicol\x95");
    EXPECT_EQ(utf8_to_cp850("perché più"), "perch\x82 pi\x97");
    EXPECT_EQ(utf8_to_cp850("Città ìÈü"), "Citt\x85 \x8D\xD4\x81");
    EXPECT_EQ(utf8_to_cp850("plain ASCII, kept as it is.~"), "plain ASCII, kept as it is.~");
}

TEST(Cp850, RejectsWhatThePageLacksAndBytesThatAreNotUtf8) {
    // Euro sign, a cut sequence, a stray continuation byte, an overlong slash, a surrogate.
    for (const char* text : {"€", "\xC3", "ab\xB2", "\xC0\xAF", "\xED\xA0\x80", "日本"}) {
        EXPECT_THROW(utf8_to_cp850(text), std::invalid_argument) << text;
    }
}

TEST(Cp850, EveryByteRoundTripsThroughUtf8) {
    for (int b = 0; b < 256; ++b) {
        const std::string byte(1, static_cast<char>(b));
        EXPECT_EQ(utf8_to_cp850(cp850_to_utf8(byte)), byte) << b;
    }
}

TEST(Cp850, LowerCaseWithinThePage) {
    EXPECT_EQ(cp850_lower('A'), 'a');
    EXPECT_EQ(cp850_lower('z'), 'z');
    EXPECT_EQ(cp850_lower(0xB7), 0x85);  // À
    EXPECT_EQ(cp850_lower(0x90), 0x82);  // É
    EXPECT_EQ(cp850_lower(0xE8), 0xE7);  // Þ
    EXPECT_EQ(cp850_lower(0x85), 0x85);  // à stays
    EXPECT_EQ(cp850_lower(0x9E), 0x9E);  // the multiplication sign has no small form
    int pairs = 0;
    for (int b = 0x80; b < 256; ++b) pairs += cp850_lower(static_cast<unsigned char>(b)) != b;
    EXPECT_EQ(pairs, 30);
}

}  // namespace
}  // namespace compattatore
