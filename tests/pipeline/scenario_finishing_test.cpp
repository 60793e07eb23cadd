// Route finishing on the scenario's own compiled route: the cab-code pass, the stamps and the
// checksums, and the three files they give.

#include <gtest/gtest.h>

#include <set>

#include "compiler/description_files.hpp"
#include "compiler/memorizza_dati.hpp"
#include "finishing/finishing.hpp"
#include "formats/binary_files.hpp"
#include "sources/writers.hpp"
#include "support/generated_descriptions.hpp"

namespace compattatore {
namespace {

scenario_model compiled_scenario() {
    scenario_model m;
    m.line_name = "Torino_Piacenza";
    m.train_number = "2063";
    m.profile_option = 1;
    borrowed_description_files files(testing::join_crlf(dati_linea_lines()),
                                     testing::join_crlf(dati_treno_lines()));
    memorizza_dati(m, files);
    return m;
}

TEST(ScenarioFinishing, CabCodePassPlacesExactlyTheTwentyCodePoints) {
    scenario_model m = compiled_scenario();
    ASSERT_EQ(m.result_code, 0);
    const route_grid_t before = m.route_grid;
    cab_code_pass(m);
    EXPECT_EQ(m.result_code, 0);

    const std::set<std::size_t> expected = {130,  124,  117,  143,  150,  2625, 2619,
                                            2612, 2638, 2646, 2654, 2662, 2670, 2678,
                                            2686, 2694, 2702, 2710, 2718, 2726};
    std::set<std::size_t> changed;
    for (std::size_t i = 0; i < m.route_grid.size(); ++i) {
        if (m.route_grid[i] == before[i]) continue;
        changed.insert(i);
        route_cell marked = before[i];
        marked.kind = cell_kind::code_point;
        marked.value_a = 180;
        EXPECT_EQ(m.route_grid[i], marked) << "cell " << i;
    }
    EXPECT_EQ(changed, expected);
}

TEST(ScenarioFinishing, StampsAndChecksumsGoIntoTheReservedSlots) {
    scenario_model m = compiled_scenario();
    cab_code_pass(m);
    ASSERT_EQ(closing_checks(m), 0);
    EXPECT_EQ(m.station_table[85].group_a1, 610);
    EXPECT_EQ(m.route_grid[1].value_a, 5121);
    // "2063torino_piacenzaqqrrss": the plain sum of the 25 codes and the sum weighted by place.
    EXPECT_EQ(m.station_table[85].timetable_time, 35016);
    EXPECT_EQ(m.route_grid[1].value_b, 2492);
}

TEST(ScenarioFinishing, EncodedFilesHaveTheSimulatorsSizes) {
    scenario_model m = compiled_scenario();
    cab_code_pass(m);
    ASSERT_EQ(closing_checks(m), 0);
    EXPECT_EQ(encode_line_profile(m.line_profile).size(), 3899964u);
    EXPECT_EQ(encode_station_table(m.station_table).size(), 3463u);
    EXPECT_EQ(encode_route_grid(m.route_grid).size(), 58515u);
    // Cell 217 holds the signal at 10800 with its opening delay: 15 bytes at offset 3255.
    const std::string dat = encode_route_grid(m.route_grid);
    EXPECT_EQ(static_cast<unsigned char>(dat[3255]), cell_kind::signal);
    EXPECT_EQ(static_cast<unsigned char>(dat[3255 + 9]), 110);
}

}  // namespace
}  // namespace compattatore
