#include "formats/binary_files.hpp"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <random>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "formats/binary_layout.hpp"
#include "ground/files.hpp"
#include "ground/model.hpp"
#include "support/temp_dir.hpp"

namespace compattatore {
namespace {

using binary_layout::decode_error;
using testing::slurp;
using testing::spit;
using testing::temp_dir;

std::string bytes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values) s.push_back(static_cast<char>(v));
    return s;
}

station_entry tortona() {
    station_entry e;
    e.kind = 1;
    e.area_start = 100000;    // A0 86 01 00
    e.area_end = -2;          // FE FF FF FF
    e.position = 0x12345678;  // 78 56 34 12
    e.param_a = 0xFE;
    e.name = "TORTONA";
    e.group_a1 = 610;  // 62 02
    e.group_a2 = -1;   // FF FF
    e.group_b1 = 0x0102;
    e.group_b2 = 0x0304;
    e.group_b3 = 0x0506;
    e.group_a3 = 7;
    e.param_c = 8;
    e.end_extension = 9;
    e.param_b = 10;
    e.timetable_time = 42540;  // 11:49:00, 2C A6 00 00
    return e;
}

TEST(StationTableFile, EmptyTableIs87ZeroRecordsOf34Bytes) {
    const std::string out = encode_station_table(station_table_t{});
    EXPECT_EQ(out, std::string(87 * 34, '\0'));
}

TEST(StationTableFile, EntryFieldsInRecordOrder) {
    station_table_t table{};
    table[1] = tortona();
    const std::string out = encode_station_table(table);
    ASSERT_EQ(out.size(), 87u * 34 + 7);

    const std::string expected_entry = bytes({
        0x01,                                               // kind
        0xA0, 0x86, 0x01, 0x00,                             // area_start
        0xFE, 0xFF, 0xFF, 0xFF,                             // area_end
        0x78, 0x56, 0x34, 0x12,                             // position
        0xFE,                                               // param_a
        0x07, 0x00, 'T',  'O',  'R',  'T',  'O', 'N', 'A',  // name
        0x62, 0x02,                                         // group_a1
        0xFF, 0xFF,                                         // group_a2
        0x02, 0x01, 0x04, 0x03, 0x06, 0x05,                 // group_b1, b2, b3
        0x07, 0x08, 0x09, 0x0A,                             // group_a3, param_c, end_ext, param_b
        0x2C, 0xA6, 0x00, 0x00,                             // timetable_time
    });
    ASSERT_EQ(expected_entry.size(), 41u);
    EXPECT_EQ(out.substr(0, 34), std::string(34, '\0'));  // entry 0 stays cleared
    EXPECT_EQ(out.substr(34, 41), expected_entry);
    EXPECT_EQ(out.substr(75), std::string(85 * 34, '\0'));
}

TEST(StationTableFile, NameBytesAreWrittenUnchanged) {
    station_table_t table{};
    table[80].name = "CASTEL SAN GIOVANNI \x8A\x85\xFF";
    const std::string out = encode_station_table(table);
    EXPECT_EQ(out.substr(80 * 34 + 14, 2), bytes({23, 0}));
    EXPECT_EQ(out.substr(80 * 34 + 16, 23), table[80].name);
}

TEST(StationTableFile, NameTooLongForItsLengthIsRefused) {
    station_table_t table{};
    table[5].name = std::string(0x7FFF, 'x');
    EXPECT_EQ(encode_station_table(table).size(), 87u * 34 + 0x7FFF);
    table[5].name.push_back('x');
    try {
        encode_station_table(table);
        FAIL() << "a name of 32768 bytes was encoded";
    } catch (const std::length_error& e) {
        EXPECT_NE(std::string(e.what()).find("entry 5"), std::string::npos) << e.what();
    }
}

TEST(RouteGridFile, FifteenBytesPerCellWithoutPadding) {
    route_grid_t grid(3);
    grid[0].value_a = 0x1234;
    route_cell& c = grid[1];
    c.kind = 1;
    c.value_a = -2;
    c.value_b = 0x0102;
    c.value_c = 0x0304;
    c.value_d = 0x0506;
    c.signal_delay = 110;
    c.approach_mark = 3;
    c.mountain_type = 4;
    c.speed_limit = 5;
    c.gradient = 100;
    c.adhesion = 6;

    const std::string out = encode_route_grid(grid);
    ASSERT_EQ(out.size(), 45u);
    EXPECT_EQ(out.substr(0, 3), bytes({0x00, 0x34, 0x12}));  // no gap after kind
    EXPECT_EQ(out.substr(15, 15),
              bytes({0x01, 0xFE, 0xFF, 0x02, 0x01, 0x04, 0x03, 0x06, 0x05, 110, 3, 4, 5, 100, 6}));
    EXPECT_EQ(out.substr(30), std::string(15, '\0'));
}

TEST(LineProfileFile, AllXThenAllYEachAsTagAndValue) {
    line_profile_t profile;
    profile.dimension(3);
    profile.x(0) = tagged_value::of_int16(0);
    profile.x(1) = tagged_value::of_int32(-2);
    profile.x(2) = tagged_value::of_double(1.5);
    profile.y(0) = tagged_value::of_int16(0);
    profile.y(1) = tagged_value::of_int16(1);
    profile.y(2) =
        tagged_value::of_double(std::bit_cast<double>(std::uint64_t{0x0102030405060708}));

    EXPECT_EQ(encode_line_profile(profile),
              bytes({
                  0x02, 0x00, 0x00, 0x00,                                      // x0 int16 0
                  0x03, 0x00, 0xFE, 0xFF, 0xFF, 0xFF,                          // x1 int32 -2
                  0x05, 0x00, 0,    0,    0,    0,    0,    0,    0xF8, 0x3F,  // x2 1.5
                  0x00, 0x00,                                                  // x3 empty
                  0x02, 0x00, 0x00, 0x00,                                      // y0 int16 0
                  0x02, 0x00, 0x01, 0x00,                                      // y1 int16 1
                  0x05, 0x00, 0x08, 0x07, 0x06, 0x05, 0x04, 0x03, 0x02, 0x01,  // y2 double
                  0x00, 0x00,                                                  // y3 empty
              }));
}

// The encoders size their buffers before filling them: a size that fell short must stop the
// sink at the buffer's end, never let it write past it.
TEST(ByteSink, StopsAtTheEndOfItsBuffer) {
    std::string buffer(7, '\x55');
    binary_layout::byte_sink sink(std::span<char>(buffer.data(), 5));
    sink.put(tagged_value::of_int16(0x0102));
    EXPECT_FALSE(sink.full());
    EXPECT_THROW(sink.put(std::int16_t{-1}), std::logic_error);
    sink.put(std::uint8_t{0xAB});
    EXPECT_TRUE(sink.full());
    EXPECT_THROW(sink.put(std::string()), std::logic_error);
    EXPECT_EQ(buffer, bytes({0x02, 0x00, 0x02, 0x01, 0xAB, 0x55, 0x55}));
}

TEST(LineProfileFile, UndimensionedProfileIsEmpty) {
    EXPECT_EQ(encode_line_profile(line_profile_t{}), "");
}

// Tables filled with varied values, to show the readers follow the writers' layout exactly.
station_table_t varied_station_table(std::mt19937& rng) {
    station_table_t t{};
    auto any = [&](auto& field) {
        field = static_cast<std::remove_reference_t<decltype(field)>>(rng());
    };
    for (std::size_t i = 1; i < t.size(); i += 3) {
        auto& e = t[i];
        any(e.kind), any(e.area_start), any(e.area_end), any(e.position), any(e.param_a);
        any(e.group_a1), any(e.group_a2), any(e.group_b1), any(e.group_b2), any(e.group_b3);
        any(e.group_a3), any(e.param_c), any(e.end_extension), any(e.param_b);
        any(e.timetable_time);
        e.name.assign(rng() % 40, 'a');
        for (char& ch : e.name) ch = static_cast<char>(rng());
    }
    t[85].name = std::string(300, '\xFF');
    return t;
}

route_grid_t varied_grid(std::mt19937& rng, std::size_t cells) {
    route_grid_t g(cells);
    for (auto& c : g) {
        c.kind = static_cast<std::uint8_t>(rng());
        c.value_a = static_cast<std::int16_t>(rng());
        c.value_b = static_cast<std::int16_t>(rng());
        c.value_c = static_cast<std::int16_t>(rng());
        c.value_d = static_cast<std::int16_t>(rng());
        c.signal_delay = static_cast<std::uint8_t>(rng());
        c.approach_mark = static_cast<std::uint8_t>(rng());
        c.mountain_type = static_cast<std::uint8_t>(rng());
        c.speed_limit = static_cast<std::uint8_t>(rng());
        c.gradient = static_cast<std::uint8_t>(rng());
        c.adhesion = static_cast<std::uint8_t>(rng());
    }
    return g;
}

line_profile_t varied_profile(std::mt19937& rng, std::int32_t highest) {
    line_profile_t p;
    p.dimension(highest);
    for (std::size_t i = 0; i < p.points(); ++i) {
        for (tagged_value* v : {&p.x(i), &p.y(i)}) {
            switch (rng() % 4) {
                case 0:
                    *v = tagged_value{};
                    break;
                case 1:
                    *v = tagged_value::of_int16(static_cast<std::int16_t>(rng()));
                    break;
                case 2:
                    *v = tagged_value::of_int32(static_cast<std::int32_t>(rng()));
                    break;
                default:
                    *v = tagged_value::of_double((static_cast<double>(rng()) - 2e9) / 7.0);
            }
        }
    }
    return p;
}

TEST(BinaryLayout, ReadersGiveBackWhatTheWritersWrote) {
    std::mt19937 rng(20240611);
    const station_table_t table = varied_station_table(rng);
    EXPECT_EQ(binary_layout::decode_station_table(encode_station_table(table)), table);

    const route_grid_t grid = varied_grid(rng, 3901);
    EXPECT_EQ(binary_layout::decode_route_grid(encode_route_grid(grid)), grid);

    const line_profile_t profile = varied_profile(rng, 999);
    const line_profile_t back = binary_layout::decode_line_profile(encode_line_profile(profile));
    EXPECT_EQ(back.points(), profile.points());
    EXPECT_EQ(back.storage(), profile.storage());
}

struct corrupt_case {
    const char* name;
    std::function<void()> decode;
    std::size_t offset;
    const char* mentions;
};

TEST(BinaryLayout, CorruptInputIsRefusedWithItsOffset) {
    station_table_t table{};
    table[1] = tortona();
    const std::string sim = encode_station_table(table);
    const std::string profile_bytes = bytes({0x02, 0x00, 0x00, 0x00, 0x05, 0x00, 1, 2, 3});

    const corrupt_case cases[] = {
        {"empty station table", [] { binary_layout::decode_station_table(""); }, 0, "entry 0"},
        {"station table cut inside a name",
         [&] { binary_layout::decode_station_table(sim.substr(0, 34 + 16 + 3)); }, 34 + 16,
         "entry 1: truncated name"},
        {"station table cut before the last entry's time",
         [&] { binary_layout::decode_station_table(sim.substr(0, sim.size() - 1)); },
         sim.size() - 4, "entry 86: truncated timetable_time"},
        {"bytes after the station table", [&] { binary_layout::decode_station_table(sim + "x"); },
         sim.size(), "after the last"},
        {"route grid not a whole number of cells",
         [] { binary_layout::decode_route_grid(std::string(16, '\0')); }, 15, "route cell 1"},
        {"profile value cut short", [&] { binary_layout::decode_line_profile(profile_bytes); }, 6,
         "truncated double"},
        {"profile tag cut short", [] { binary_layout::decode_line_profile(bytes({0x00})); }, 0,
         "truncated tag"},
        {"profile unknown tag",
         [] {
             binary_layout::decode_line_profile(bytes({0x00, 0x00, 0x04, 0x00, 0, 0, 0, 0}));
         },
         2, "unknown tag 4"},
        {"profile with x and y of different lengths",
         [] {
             binary_layout::decode_line_profile(bytes({0x00, 0x00, 0x00, 0x00, 0x00, 0x00}));
         },
         6, "odd number"},
    };
    for (const auto& c : cases) {
        try {
            c.decode();
            ADD_FAILURE() << c.name << ": accepted";
        } catch (const decode_error& e) {
            EXPECT_EQ(e.offset(), c.offset) << c.name << ": " << e.what();
            EXPECT_NE(std::string(e.what()).find(c.mentions), std::string::npos)
                << c.name << ": " << e.what();
            EXPECT_EQ(std::string(e.what()).rfind("byte " + std::to_string(c.offset) + ":", 0), 0u)
                << c.name << ": " << e.what();
        }
    }
}

scenario_model small_scenario(std::int32_t profile_option) {
    scenario_model m;
    m.line_name = "Torino_Piacenza";
    m.train_number = "2063";
    m.profile_option = profile_option;
    m.route_grid.resize(11);
    m.last_cell = 10;
    m.route_grid[1].value_a = 5121;
    m.station_table[1] = tortona();
    m.station_table[85].name = m.line_name;
    m.line_profile.dimension(4);
    m.line_profile.x(0) = tagged_value::of_int16(0);
    m.line_profile.y(1) = tagged_value::of_int16(1);
    return m;
}

TEST(WriteBinaryFiles, WritesTheThreeTablesUnderTheirNames) {
    temp_dir dir;
    const scenario_model m = small_scenario(1);
    write_binary_files(dir.path(), m);
    EXPECT_EQ(slurp(dir / "Torino_Piacenza_linea.dat"), encode_line_profile(m.line_profile));
    EXPECT_EQ(slurp(dir / "Torino_Piacenza_2063.sim"), encode_station_table(m.station_table));
    EXPECT_EQ(slurp(dir / "Torino_Piacenza_2063.dat"), encode_route_grid(m.route_grid));
    EXPECT_EQ(std::filesystem::file_size(dir / "Torino_Piacenza_2063.dat"), 11u * 15);
    // Nothing else is left in the directory (no temporary files).
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              3);
}

TEST(WriteBinaryFiles, ProfileOptionZeroLeavesAnOldProfileFileAlone) {
    temp_dir dir;
    spit(dir / "Torino_Piacenza_linea.dat", "old profile");
    spit(dir / "Torino_Piacenza_2063.dat", std::string(1000, 'x'));  // longer than the new one
    const scenario_model m = small_scenario(0);
    write_binary_files(dir.path(), m);
    EXPECT_EQ(slurp(dir / "Torino_Piacenza_linea.dat"), "old profile");
    EXPECT_EQ(slurp(dir / "Torino_Piacenza_2063.sim"), encode_station_table(m.station_table));
    EXPECT_EQ(slurp(dir / "Torino_Piacenza_2063.dat"), encode_route_grid(m.route_grid));
}

TEST(WriteBinaryFiles, FailureKeepsTheFilesWrittenBeforeIt) {
    const scenario_model m = small_scenario(1);
    {
        // The route grid comes last: profile and station table are already in place.
        temp_dir dir;
        std::filesystem::create_directory(dir / "Torino_Piacenza_2063.dat");
        std::filesystem::create_directory(dir / "Torino_Piacenza_2063.dat" / "keep");
        EXPECT_THROW(write_binary_files(dir.path(), m), file_error);
        EXPECT_EQ(slurp(dir / "Torino_Piacenza_linea.dat"), encode_line_profile(m.line_profile));
        EXPECT_EQ(slurp(dir / "Torino_Piacenza_2063.sim"), encode_station_table(m.station_table));
    }
    {
        // The station table fails: the profile stays written, the old route grid untouched.
        temp_dir dir;
        std::filesystem::create_directory(dir / "Torino_Piacenza_2063.sim");
        std::filesystem::create_directory(dir / "Torino_Piacenza_2063.sim" / "keep");
        spit(dir / "Torino_Piacenza_2063.dat", "old grid");
        EXPECT_THROW(write_binary_files(dir.path(), m), file_error);
        EXPECT_EQ(slurp(dir / "Torino_Piacenza_linea.dat"), encode_line_profile(m.line_profile));
        EXPECT_EQ(slurp(dir / "Torino_Piacenza_2063.dat"), "old grid");
    }
}

TEST(WriteBinaryFiles, UnencodableTableTouchesNoFile) {
    temp_dir dir;
    scenario_model m = small_scenario(1);
    m.station_table[3].name = std::string(40000, 'x');
    spit(dir / "Torino_Piacenza_linea.dat", "old profile");
    EXPECT_THROW(write_binary_files(dir.path(), m), std::length_error);
    EXPECT_EQ(slurp(dir / "Torino_Piacenza_linea.dat"), "old profile");
    EXPECT_FALSE(std::filesystem::exists(dir / "Torino_Piacenza_2063.sim"));
}

}  // namespace
}  // namespace compattatore
