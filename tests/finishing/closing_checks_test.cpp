#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>

#include "finishing/finishing.hpp"
#include "ground/model.hpp"
#include "ground/result_codes.hpp"

namespace compattatore {
namespace {

scenario_model identity_model(const std::string& train, const std::string& line, int cells = 20) {
    scenario_model m;
    m.station_table[station_slot::train_header].name = train;
    m.station_table[station_slot::line_header].name = line;
    m.route_grid.resize(static_cast<std::size_t>(cells));
    m.last_cell = cells - 1;
    return m;
}

// The reference sums, over the 25 counted characters written out by hand.
std::int32_t plain_sum(const std::string& counted) {
    std::int32_t sum = 0;
    for (unsigned char c : counted) sum += c;
    return sum;
}
std::int32_t weighted_sum(const std::string& counted) {
    std::int32_t sum = 0;
    for (std::size_t i = 0; i < counted.size(); ++i) {
        sum += static_cast<unsigned char>(counted[i]) * static_cast<std::int32_t>(i + 1);
    }
    return sum;
}

struct checksum_case {
    const char* name;
    std::string train, line;
    std::string counted;  // the 25 characters that must count, lowered and padded
};

TEST(CodiceGara, SumsTheFirst25CharactersOfTheLoweredPaddedIdentity) {
    const checksum_case cases[] = {
        {"short identity takes 23 pad letters", "1", "A", "1aqqrrssttuuvvzzbbccddffg"},
        {"empty identity is all pad", "", "", "qqrrssttuuvvzzbbccddffggh"},
        {"blank counts as 32", "1", "A B", "1a bqqrrssttuuvvzzbbccddf"},
        {"underscore counts as 95", "1", "A_B", "1a_bqqrrssttuuvvzzbbccddf"},
        {"long identity ignores the pad", "12345", "ABCDEFGHIJKLMNOPQRSTUVWXYZ",
         "12345abcdefghijklmnopqrst"},
        {"scenario identity", "2063", "Torino_Piacenza", "2063torino_piacenzaqqrrss"},
        // Bytes above 0x7F count unsigned; capitals of code page 850 lower to their small
        // letters (È 0xD4 -> è 0x8A, Ç 0x80 -> ç 0x87, Ñ 0xA5 -> ñ 0xA4), other bytes stay.
        {"high bytes", "", "\xD4\x80\xA5\x8A\xB0\xFF",
         "\x8A\x87\xA4\x8A\xB0\xFFqqrrssttuuvvzzbbccd"},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(c.counted.size(), 25u) << c.name;
        const scenario_model m = identity_model(c.train, c.line);
        const tagged_value og = codice_gara_og(m);
        const tagged_value st = codice_gara_st(m);
        EXPECT_EQ(og, tagged_value::of_int16(static_cast<std::int16_t>(plain_sum(c.counted))))
            << c.name;
        EXPECT_EQ(st, tagged_value::of_int32(weighted_sum(c.counted))) << c.name;
    }
}

TEST(CodiceGara, FiguresOfTheScenarioAndTheShortIdentity) {
    // "2063torino_piacenza" + "qqrrss":
    //   2063 = 50+48+54+51 = 203; torino = 116+111+114+105+110+111 = 667; _ = 95;
    //   piacenza = 112+105+97+99+101+110+122+97 = 843; qqrrss = 226+228+230 = 684;
    //   plain = 203+667+95+843+684 = 2492.
    EXPECT_EQ(codice_gara_og(identity_model("2063", "Torino_Piacenza")).as_int16(), 2492);
    EXPECT_EQ(codice_gara_st(identity_model("2063", "Torino_Piacenza")).as_int32(), 35016);
    // "1a" + "qqrrssttuuvvzzbbccddffg": 49 + 97 + 2*(113+114+115+116+117+118+122+98+99+100+102)
    // + 103 = 146 + 2428 + 103 = 2677.
    EXPECT_EQ(codice_gara_og(identity_model("1", "A")).as_int16(), 2677);
    EXPECT_EQ(codice_gara_st(identity_model("1", "A")).as_int32(), 34836);
}

TEST(CodiceGara, CaseDoesNotMatter) {
    const scenario_model lower = identity_model("2063", "torino_piacenza");
    const scenario_model upper = identity_model("2063", "TORINO_PIACENZA");
    const scenario_model mixed = identity_model("2063", "Torino_Piacenza");
    EXPECT_EQ(codice_gara_og(lower), codice_gara_og(upper));
    EXPECT_EQ(codice_gara_st(lower), codice_gara_st(upper));
    EXPECT_EQ(codice_gara_og(lower), codice_gara_og(mixed));
    EXPECT_EQ(codice_gara_st(lower), codice_gara_st(mixed));
}

TEST(CodiceGara, IndependentOfEverythingButTheIdentity) {
    const scenario_model base = identity_model("2063", "Torino_Piacenza", 3901);
    scenario_model changed = base;
    changed.station_table[1].name = "TORTONA";
    changed.station_table[1].position = 10800;
    changed.station_table[station_slot::train_and_line].area_end = 250000;
    changed.station_table[station_slot::line_header].group_a1 = 610;
    changed.route_grid[217].kind = cell_kind::signal;
    changed.route_grid.resize(5001);
    changed.last_cell = 5000;
    changed.line_name = "Altra_Linea";  // only the table entries count
    changed.train_number = "9999";
    EXPECT_EQ(codice_gara_og(changed), codice_gara_og(base));
    EXPECT_EQ(codice_gara_st(changed), codice_gara_st(base));
}

TEST(ClosingChecks, StampsAndStoresBothChecksums) {
    scenario_model m = identity_model("2063", "Torino_Piacenza");
    scenario_model expected = m;
    expected.station_table[station_slot::line_header].group_a1 = 610;
    expected.station_table[station_slot::line_header].timetable_time = 35016;
    expected.route_grid[1].value_a = 5121;
    expected.route_grid[1].value_b = 2492;

    EXPECT_EQ(closing_checks(m), 0);
    EXPECT_EQ(m.station_table, expected.station_table);
    EXPECT_EQ(m.route_grid, expected.route_grid);
}

struct slot_case {
    const char* name;
    std::function<void(scenario_model&)> occupy;
};

TEST(ClosingChecks, StampSlotTakenStopsBeforeAnyStamp) {
    const slot_case cases[] = {
        {"entry 85 group_a1", [](scenario_model& m) { m.station_table[85].group_a1 = 1; }},
        {"entry 85 group_a1 negative",
         [](scenario_model& m) { m.station_table[85].group_a1 = -1; }},
        {"cell 1 value_a", [](scenario_model& m) { m.route_grid[1].value_a = 180; }},
        {"both",
         [](scenario_model& m) {
             m.station_table[85].group_a1 = 610;
             m.route_grid[1].value_a = 5121;
         }},
    };
    for (const auto& c : cases) {
        scenario_model m = identity_model("2063", "Torino_Piacenza");
        c.occupy(m);
        const scenario_model before = m;
        EXPECT_EQ(closing_checks(m), result::stamp_slots_taken) << c.name;
        EXPECT_EQ(m.station_table, before.station_table) << c.name;
        EXPECT_EQ(m.route_grid, before.route_grid) << c.name;
    }
}

TEST(ClosingChecks, ChecksumSlotTakenStopsAfterTheStamps) {
    const slot_case cases[] = {
        {"entry 85 timetable_time",
         [](scenario_model& m) { m.station_table[85].timetable_time = 42540; }},
        {"cell 1 value_b", [](scenario_model& m) { m.route_grid[1].value_b = 7; }},
    };
    for (const auto& c : cases) {
        scenario_model m = identity_model("2063", "Torino_Piacenza");
        c.occupy(m);
        scenario_model expected = m;
        expected.station_table[85].group_a1 = 610;
        expected.route_grid[1].value_a = 5121;
        EXPECT_EQ(closing_checks(m), result::checksum_slots_taken) << c.name;
        EXPECT_EQ(m.station_table, expected.station_table) << c.name;
        EXPECT_EQ(m.route_grid, expected.route_grid) << c.name;
    }
}

TEST(ClosingChecks, CodePointOnCell1FromThePassStopsTheRun) {
    // A signal at 3 before a warning cell, with cell 2 taken: its code point lands on cell 1,
    // the slot of the route stamp.
    scenario_model m = identity_model("2063", "Torino_Piacenza", 30);
    m.route_grid[2].kind = cell_kind::speed_board;
    m.route_grid[3].kind = cell_kind::signal;
    m.route_grid[10].kind = cell_kind::slowdown_warning;
    cab_code_pass(m);
    ASSERT_EQ(m.route_grid[1].kind, cell_kind::code_point);
    EXPECT_EQ(closing_checks(m), result::stamp_slots_taken);
}

TEST(ClosingChecks, RefusesAGridWithoutCell1) {
    scenario_model m = identity_model("2063", "Torino_Piacenza", 1);
    EXPECT_THROW(closing_checks(m), std::invalid_argument);
}

}  // namespace
}  // namespace compattatore
