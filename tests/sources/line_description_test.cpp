#include <gtest/gtest.h>

#include "sources/line_list.hpp"
#include "sources/writers.hpp"
#include "text_lines.hpp"

namespace compattatore {
namespace {

using testing::count_prefixed;
using testing::numbers_after_keyword;
using testing::starts_with;

// Built on first use, so no test depends on the order in which globals are initialised.
const std::vector<std::string>& line_lines() {
    static const std::vector<std::string> lines = testing::before_sentinel(dati_linea_lines());
    return lines;
}

TEST(LineDescription, SectionsStandAtTheirPlaces) {
    const auto& lines = line_lines();
    ASSERT_EQ(lines.size(), 124u);
    const std::pair<std::size_t, const char*> headers[] = {
        {0, "[generale]"},  {9, "[curve]"},         {58, "[pendenze]"}, {73, "[montagne]"},
        {75, "[cartelli]"}, {119, "[indicazioni]"}, {123, "[fine]"},
    };
    for (const auto& [index, header] : headers) EXPECT_EQ(lines[index], header) << index;
}

TEST(LineDescription, GeneralRecordsAreWrittenExactly) {
    const auto& lines = line_lines();
    const std::vector<std::string> expected = {
        "lunghezza percorso,    188000",
        "progressiva chilometrica uno,    90800,    -90800,    0",
        "progressiva chilometrica due,    0,    0,    0",
        "progressiva chilometrica tre,    0,    0,    0",
        "sfondo uno,    1",
        "sfondo due,    0",
        "sfondo tre,    0",
        "ripetizione segnali 9 codici,    0,    188000",
    };
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 1, lines.begin() + 9), expected);
}

TEST(LineDescription, RecordCountsAndPlaces) {
    const auto& lines = line_lines();
    EXPECT_EQ(count_prefixed(lines, "curva"), 48u);
    EXPECT_EQ(count_prefixed(lines, "pendenza"), 14u);
    EXPECT_EQ(count_prefixed(lines, "montagna"), 1u);
    EXPECT_EQ(count_prefixed(lines, "indicatori_vmax,"), 43u);
    EXPECT_EQ(count_prefixed(lines, "cartello_indicatore,"), 3u);
    for (std::size_t i = 10; i < 58; ++i) EXPECT_TRUE(starts_with(lines[i], "curva")) << i;
    for (std::size_t i = 59; i < 73; ++i) EXPECT_TRUE(starts_with(lines[i], "pendenza,")) << i;
    for (std::size_t i = 76; i < 119; ++i) {
        EXPECT_TRUE(starts_with(lines[i], "indicatori_vmax,")) << i;
    }
}

TEST(LineDescription, RecordLinesUseTheirSeparators) {
    const auto& lines = line_lines();
    const std::pair<std::size_t, const char*> quoted[] = {
        {10, "curvad4,  1700,  500"},
        {37, "curvas3,  111500,  600"},
        {57, "curvad5,  186800,  400"},
        {59, "pendenza,  0,   1"},
        {63, "pendenza,  34500,   -10"},
        {72, "pendenza,  88850,   0"},
        {74, "montagna,   1500,  1550,  2"},
        {76, "indicatori_vmax,  1200,  100,  110,  120,  0,  100,  110,  120,  0"},
        {118, "indicatori_vmax,  185450,  90,  100,  110,  0,  90,  100,  110,  0"},
        {120, "cartello_indicatore,  13700,   (Bivio     )(per Savona)(per Genova)"},
        {121, "cartello_indicatore,  89500,   (Ponte       )(Fiume Tanaro)"},
        {122, "cartello_indicatore,  182500,   (Ponte        )(Fiume Trebbia)"},
    };
    for (const auto& [index, line] : quoted) EXPECT_EQ(lines[index], line) << index;
}

TEST(LineDescription, CurvesAreWellFormedAndInOrder) {
    const auto& lines = line_lines();
    std::int32_t previous_start = -1;
    for (std::size_t i = 10; i < 58; ++i) {
        const std::string& l = lines[i];
        ASSERT_GE(l.size(), 8u);
        EXPECT_TRUE(l[5] == 's' || l[5] == 'd') << l;
        EXPECT_TRUE(l[6] >= '1' && l[6] <= '6') << l;
        const auto v = numbers_after_keyword(l, 2);
        ASSERT_EQ(v.size(), 2u) << l;
        EXPECT_GT(v[0], previous_start) << l;
        EXPECT_GT(v[1], 0) << l;
        previous_start = v[0];
    }
}

TEST(LineDescription, SpeedBoardsRepeatTheirSpeedsOnBothSides) {
    const auto& lines = line_lines();
    std::int32_t previous = -1;
    for (std::size_t i = 76; i < 119; ++i) {
        const auto v = numbers_after_keyword(lines[i], 9);
        ASSERT_EQ(v.size(), 9u) << lines[i];
        EXPECT_GT(v[0], previous) << lines[i];
        previous = v[0];
        EXPECT_EQ(v[1], v[5]);
        EXPECT_EQ(v[2], v[6]);
        EXPECT_EQ(v[3], v[7]);
        EXPECT_EQ(v[4], 0);
        EXPECT_EQ(v[8], 0);
        for (int k : {1, 2, 3}) EXPECT_EQ(v[k] % 5, 0) << lines[i];
    }
}

TEST(LineDescription, EveryCharacterIsSevenBitAscii) {
    const auto& lines = line_lines();
    for (const auto& l : lines) {
        for (const char ch : l) EXPECT_LT(static_cast<unsigned char>(ch), 0x80u) << l;
    }
}

}  // namespace
}  // namespace compattatore
