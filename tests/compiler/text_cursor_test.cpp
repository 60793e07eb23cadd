#include "compiler/text_cursor.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ground/rounding.hpp"

namespace compattatore {
namespace {

struct read_field_at {
    std::string text;
    std::int32_t line;
    std::int32_t column;
};

std::vector<read_field_at> all_fields(std::string_view text) {
    text_cursor cur(text);
    std::vector<read_field_at> out;
    while (!cur.at_end()) {
        const std::string field(cur.read_field());
        out.push_back({field, cur.last_start().line, cur.last_start().column});
    }
    return out;
}

// The same text with each kind of line end: fields, their places and the end of the text agree.
TEST(TextCursorFields, EveryLineEndSplitsLinesAlike) {
    for (const std::string eol : {"\r\n", "\n", "\r"}) {
        SCOPED_TRACE(testing::PrintToString(eol));
        const std::string text = "a,  b ,c" + eol + eol + "  d" + eol;
        const auto fields = all_fields(text);
        ASSERT_EQ(fields.size(), 5u);
        EXPECT_EQ(fields[0].text, "a");
        EXPECT_EQ(fields[1].text, "b ");  // leading blanks skipped, trailing ones kept
        EXPECT_EQ(fields[1].column, 5);
        EXPECT_EQ(fields[2].text, "c");
        EXPECT_EQ(fields[3].text, "");  // an empty line is an empty field
        EXPECT_EQ(fields[3].line, 2);
        EXPECT_EQ(fields[4].text, "d");
        EXPECT_EQ(fields[4].line, 3);
        EXPECT_EQ(fields[4].column, 3);
    }
}

TEST(TextCursorFields, TheLastFieldAndItsLineEndReachTheEnd) {
    text_cursor cur("[generale]\r\n[fine]\r\n");
    EXPECT_EQ(cur.read_field(), "[generale]");
    EXPECT_FALSE(cur.at_end());
    EXPECT_EQ(cur.read_field(), "[fine]");
    EXPECT_TRUE(cur.at_end());
    EXPECT_THROW(cur.read_field(), description_error);

    // Without a final line end the last field still ends the text.
    text_cursor bare("x, 1");
    bare.read_field();
    EXPECT_EQ(bare.read_field(), "1");
    EXPECT_TRUE(bare.at_end());

    EXPECT_THROW(text_cursor("").read_field(), description_error);
}

TEST(TextCursorFields, LineTextKeepsCommasAndConsumesTheLineEnd) {
    text_cursor cur("cartello, 13700,   (Bivio ,  )(x)\r\nnext");
    cur.read_field();
    cur.read_field();
    EXPECT_EQ(cur.read_line_text(), "(Bivio ,  )(x)");
    EXPECT_EQ(cur.last_start().column, 20);
    EXPECT_EQ(cur.read_field(), "next");
}

TEST(TextCursorItems, ItemsSkipBlanksAndLineEndsAndNumbersEndAtBlanks) {
    text_cursor cur("\r\n  [generale]\r\norologio,    11     49   0 \r\n\r\n");
    cur.skip_separators();
    EXPECT_EQ(cur.read_text_item(), "[generale]");
    EXPECT_EQ(cur.last_start().line, 2);
    EXPECT_EQ(cur.last_start().column, 3);
    EXPECT_EQ(cur.read_text_item(), "orologio");
    EXPECT_EQ(cur.read_number_item(), "11");
    EXPECT_EQ(cur.read_number_item(), "49");
    EXPECT_EQ(cur.last_start().column, 21);
    EXPECT_EQ(cur.read_number_item(), "0");
    // Trailing blanks and empty lines hold no item: the text is at its end.
    EXPECT_TRUE(cur.at_end());
    EXPECT_THROW(cur.read_number_item(), description_error);
}

TEST(TextCursorItems, CommasEndItemsAndQuotesHoldThem) {
    text_cursor cur("stazione, 5 , -7,\"A, B\" , NAME, CUT\nx");
    EXPECT_EQ(cur.read_text_item(), "stazione");
    EXPECT_EQ(cur.read_number_item(), "5");  // blanks before the comma belong to the separator
    EXPECT_EQ(cur.read_number_item(), "-7");
    EXPECT_EQ(cur.read_text_item(), "A, B");
    EXPECT_EQ(cur.read_text_item(), "NAME");
    EXPECT_EQ(cur.read_text_item(), "CUT");
    EXPECT_EQ(cur.read_text_item(), "x");
    EXPECT_EQ(cur.last_start().line, 2);
    EXPECT_TRUE(cur.at_end());

    text_cursor empty(" , 3");
    EXPECT_EQ(empty.read_number_item(), "");  // an empty value, not the next one
    EXPECT_EQ(empty.read_number_item(), "3");
}

TEST(WholeNumbers, OnlyDecimalWholeNumbersAreNumbers) {
    struct row {
        const char* text;
        std::int64_t value;
    };
    for (const row r : {row{"0", 0}, row{"188000", 188000}, row{"-90800", -90800}, row{"12  ", 12},
                        row{"007", 7}, row{"-2147483649", -2147483649LL}}) {
        EXPECT_EQ(parse_whole_number(r.text, {}), r.value) << r.text;
    }
    for (const char* bad : {"", "  ", "-", "+5", "1a", "1 2", "1.5", "0x10", "--1", "a"}) {
        EXPECT_THROW(parse_whole_number(bad, {3, 7}), description_error) << bad;
    }
    EXPECT_THROW(parse_whole_number("99999999999999999999", {}), value_overflow);
    try {
        parse_whole_number("x", {3, 7});
    } catch (const description_error& e) {
        EXPECT_EQ(e.where().line, 3);
        EXPECT_EQ(e.where().column, 7);
    }
}

}  // namespace
}  // namespace compattatore
