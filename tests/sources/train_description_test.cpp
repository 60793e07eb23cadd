#include <gtest/gtest.h>

#include <algorithm>

#include "sources/writers.hpp"
#include "text_lines.hpp"

namespace compattatore {
namespace {

using testing::numbers_after_keyword;
using testing::starts_with;

// Built on first use, so no test depends on the order in which globals are initialised.
const std::vector<std::string>& train_lines() {
    static const std::vector<std::string> lines = testing::before_sentinel(dati_treno_lines());
    return lines;
}

std::vector<std::string> section(std::size_t first, std::size_t count) {
    const auto& lines = train_lines();
    return {lines.begin() + static_cast<std::ptrdiff_t>(first),
            lines.begin() + static_cast<std::ptrdiff_t>(first + count)};
}

std::vector<std::string> lines_of(const char* keyword) {
    const auto& lines = train_lines();
    std::vector<std::string> out;
    const std::string prefix = std::string(keyword) + ",";
    for (const auto& l : lines) {
        if (starts_with(l, prefix)) out.push_back(l);
    }
    return out;
}

TEST(TrainDescription, SectionsStandAtTheirPlaces) {
    const auto& lines = train_lines();
    ASSERT_EQ(lines.size(), 460u);
    const std::pair<std::size_t, const char*> headers[] = {
        {0, "[generale]"},       {5, "[aderenze]"}, {12, "[vel_limite]"}, {35, "[stazioni]"},
        {68, "[rallentamenti]"}, {71, "[segnali]"}, {189, "[codici]"},    {459, "[fine]"},
    };
    for (const auto& [index, header] : headers) EXPECT_EQ(lines[index], header) << index;
    EXPECT_EQ(lines_of("aderenza").size(), 6u);
    EXPECT_EQ(lines_of("velocita").size(), 22u);
    EXPECT_EQ(lines_of("stazione").size(), 32u);
    EXPECT_EQ(lines_of("rallentamento").size(), 2u);
    EXPECT_EQ(lines_of("segnale").size(), 117u);
    EXPECT_EQ(lines_of("abbattimento").size(), 269u);
}

TEST(TrainDescription, GeneralValuesAndTheClockLine) {
    const auto& lines = train_lines();
    const std::vector<std::string> expected = {
        "numero vetture,    8",
        "percentuale massa frenata,    125",
        "sabbia,    120",
        "orologio,    11              49            0 ",
    };
    EXPECT_EQ(section(1, 4), expected);
    EXPECT_EQ(lines[4].size(), 45u);  // the trailing blank is written
}

TEST(TrainDescription, ProfilesAndSlowdownsAreWrittenInTheirWidths) {
    const auto& lines = train_lines();
    EXPECT_EQ(lines[6], "aderenza,       0,    75");
    EXPECT_EQ(lines[11], "aderenza,  111650,   100");
    EXPECT_EQ(lines[13], "velocita,   0,    30");  // the one narrow position field
    EXPECT_EQ(lines[14], "velocita,    1150,   110");
    EXPECT_EQ(lines[34], "velocita,  186200,   100");
    EXPECT_EQ(lines[69], "rallentamento,    6700,    60,  800, 0,  0,  60");
    EXPECT_EQ(lines[70], "rallentamento,  131450,    90, 5000, 1,  1,  90");
    for (const char* keyword : {"aderenza", "velocita"}) {
        const auto records = lines_of(keyword);
        for (std::size_t i = 1; i < records.size(); ++i) {
            EXPECT_EQ(records[i].size(), std::string(keyword).size() + 16) << records[i];
            EXPECT_GT(numbers_after_keyword(records[i], 1)[0],
                      numbers_after_keyword(records[i - 1], 1)[0])
                << records[i];
        }
    }
}

TEST(TrainDescription, StationLines) {
    const auto stations = lines_of("stazione");
    EXPECT_EQ(stations.front(),
              "stazione,       0,  8,  700,  1, 0, 0,  4,1,0,  2,1,1,    1,  11,48, 0, "
              "TORINO PORTA NUOVA");
    EXPECT_EQ(
        stations[16],
        "stazione,   90800,  4,  600,  1, 0, 0,  4,1,0,  2,1,1,   80,  12,46, 0, ALESSANDRIA");
    EXPECT_EQ(stations[19],
              "stazione,  112700, 12,  500,  1, 0, 0,  4,1,1,  2,1,1,   60,  13, 2, 0, TORTONA");
    EXPECT_EQ(stations[18],
              "stazione,  104700, 22,  300,  0, 0, 0,  0,0,0,  4,1,1,  208,   0, 0, 0, "
              "SAN GIULIANO PIEMONTE");
    EXPECT_EQ(stations.back(),
              "stazione,  188000,  2,  600,  1, 0, 0,  1,1,0,  2,1,1,    0,  13,50, 0, PIACENZA");

    std::int32_t previous = -1;
    int timetabled = 0;
    for (const auto& s : stations) {
        const auto v = numbers_after_keyword(s, 16);
        ASSERT_EQ(v.size(), 16u) << s;
        EXPECT_GT(v[0], previous) << s;
        EXPECT_EQ(v[0] % 50, 0) << s;
        EXPECT_EQ(v[2] % 100, 0) << s;
        previous = v[0];
        if (v[13] != 0 || v[14] != 0 || v[15] != 0) ++timetabled;
        // The name follows the last number after one blank and holds no comma.
        const std::string name = s.substr(s.rfind(", ") + 2);
        EXPECT_FALSE(name.empty());
        EXPECT_EQ(s.size(), 72 + name.size()) << s;
    }
    EXPECT_EQ(timetabled, 9);
}

TEST(TrainDescription, SignalsAscendAndMostAreAlike) {
    const auto signals = lines_of("segnale");
    ASSERT_EQ(signals.size(), 117u);
    EXPECT_EQ(signals.front(), "segnale,    2800,   2, 4, 1,  1, 0,    2,  2,1,1, 0");
    EXPECT_EQ(signals[5], "segnale,   10800,   2, 4, 1,  1, 0,    2,  2,1,1, 110");
    EXPECT_EQ(signals.back(), "segnale,  187300,   2, 2, 3,  1, 0,    2,  2,1,1, 0");

    const std::vector<std::int32_t> common = {2, 4, 1, 1, 0, 2, 2, 1, 1, 0};
    std::int32_t previous = -1;
    int alike = 0;
    int delayed = 0;
    for (const auto& s : signals) {
        const auto v = numbers_after_keyword(s, 11);
        ASSERT_EQ(v.size(), 11u) << s;
        EXPECT_GT(v[0], previous) << s;
        previous = v[0];
        if (std::equal(common.begin(), common.end(), v.begin() + 1)) ++alike;
        if (v[10] != 0) {
            ++delayed;
            EXPECT_GE(v[10], 110) << s;
            EXPECT_LE(v[10], 125) << s;
        }
        // The fixed widths put the unpadded delay after 50 characters.
        EXPECT_EQ(s.size(), 50 + std::to_string(v[10]).size()) << s;
    }
    EXPECT_EQ(alike, 76);
    EXPECT_EQ(delayed, 6);
}

TEST(TrainDescription, CodePointsAscendAndOnlyOneDropsTo180) {
    const auto codes = lines_of("abbattimento");
    ASSERT_EQ(codes.size(), 269u);
    EXPECT_EQ(codes.front(), "abbattimento,       0,   270");
    EXPECT_EQ(codes.back(), "abbattimento,  188300,   270");
    EXPECT_NE(std::find(codes.begin(), codes.end(), "abbattimento,  162200,   180"), codes.end());
    std::int32_t previous = -1;
    for (const auto& c : codes) {
        const auto v = numbers_after_keyword(c, 2);
        ASSERT_EQ(v.size(), 2u);
        EXPECT_GT(v[0], previous) << c;
        previous = v[0];
        EXPECT_EQ(v[1], v[0] == 162200 ? 180 : 270) << c;
        EXPECT_EQ(c.size(), 28u) << c;
    }
}

TEST(TrainDescription, EveryPositionLiesOnTheRouteAndEveryCharacterIsAscii) {
    const auto& lines = train_lines();
    for (const auto& l : lines) {
        for (const char ch : l) EXPECT_LT(static_cast<unsigned char>(ch), 0x80u) << l;
        if (l.empty() || l[0] == '[' || starts_with(l, "orologio")) continue;
        const auto v = numbers_after_keyword(l, 1);
        if (v.empty()) continue;  // general values carry no position
        if (starts_with(l, "numero") || starts_with(l, "percentuale") || starts_with(l, "sabbia")) {
            continue;
        }
        EXPECT_GE(v[0], 0) << l;
        EXPECT_LE(v[0], 188300) << l;
        EXPECT_EQ(v[0] % 50, 0) << l;
    }
}

}  // namespace
}  // namespace compattatore
