// The readers take the largest files the longest line gives and refuse anything larger, with
// the offset where the file stops being one the format allows.

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "formats/binary_files.hpp"
#include "formats/binary_layout.hpp"
#include "ground/model.hpp"

namespace compattatore {
namespace {

using binary_layout::decode_error;

// The longest line, 1,000,000 m, gives these; the tests state them so a change of the bounds
// shows here.
constexpr std::size_t most_cells = 20141;
constexpr std::size_t most_points = 1007001;
constexpr std::size_t longest_name = 0x7FFF;

std::string le16(unsigned v) {
    return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
}

std::string doubles(std::size_t values) {
    std::string one = le16(5);
    const auto bits = std::bit_cast<std::uint64_t>(1234.5);
    for (int i = 0; i < 8; ++i) one.push_back(static_cast<char>((bits >> (8 * i)) & 0xFF));
    std::string out;
    out.reserve(values * one.size());
    for (std::size_t i = 0; i < values; ++i) out += one;
    return out;
}

// 87 entries, each named with `name_length` bytes (entry `long_entry` with `long_length`).
std::string station_table_bytes(std::size_t name_length, int long_entry = -1,
                                std::size_t long_length = 0) {
    std::string out;
    for (int i = 0; i < station_slot::count; ++i) {
        const std::size_t n = i == long_entry ? long_length : name_length;
        out += std::string(14, '\0') + le16(static_cast<unsigned>(n)) + std::string(n, 'n') +
               std::string(18, '\0');
    }
    return out;
}

struct limit_case {
    const char* name;
    std::function<void()> decode;
    std::optional<std::size_t> refused_at;  // nullopt: the file is read
    const char* mentions;
};

TEST(BinaryLimits, LargestFilesAreReadAndLargerOnesRefusedWhereTheyStopFitting) {
    const std::string grid_of_most(most_cells * 15, '\0');
    const std::string profile_of_most = doubles(2 * most_points);
    const std::string empties_past_most(2 * (2 * most_points + 2), '\0');
    const std::string table_of_most = station_table_bytes(longest_name);
    const std::size_t entry_bytes = 34 + longest_name;

    const limit_case cases[] = {
        {"a grid of the most cells",
         [&] { EXPECT_EQ(binary_layout::decode_route_grid(grid_of_most).size(), most_cells); },
         std::nullopt, ""},
        {"a grid of one cell more",
         [&] { binary_layout::decode_route_grid(grid_of_most + std::string(15, '\0')); },
         most_cells * 15, "20141 cells"},
        {"a grid longer by part of a cell",
         [&] { binary_layout::decode_route_grid(grid_of_most + "x"); }, most_cells * 15,
         "more than a route grid can have"},
        {"a profile of the most points, every value a double",
         [&] {
             const line_profile_t p = binary_layout::decode_line_profile(profile_of_most);
             EXPECT_EQ(p.points(), most_points);
             EXPECT_EQ(p.y(most_points - 1), tagged_value::of_double(1234.5));
         },
         std::nullopt, ""},
        {"a profile a byte longer than all doubles",
         [&] { binary_layout::decode_line_profile(profile_of_most + "x"); }, profile_of_most.size(),
         "1007001 points per coordinate"},
        {"a profile of small values past the most points",
         [&] { binary_layout::decode_line_profile(empties_past_most); }, 2 * (2 * most_points),
         "more values than a line profile can have"},
        {"a station table with every name as long as a name may be",
         [&] {
             EXPECT_EQ(binary_layout::decode_station_table(table_of_most)[86].name.size(),
                       longest_name);
         },
         std::nullopt, ""},
        {"a station table with one name a byte too long",
         [] { binary_layout::decode_station_table(station_table_bytes(3, 5, longest_name + 1)); },
         5 * (34 + 3) + 14, "station entry 5: name of 32768 bytes"},
        {"a station table with a name of the widest length",
         [] { binary_layout::decode_station_table(station_table_bytes(0, 0, 0xFFFF)); }, 14,
         "station entry 0: name of 65535 bytes, longer than the 32767"},
        {"a station table past the largest size",
         [&] { binary_layout::decode_station_table(table_of_most + "x"); },
         station_slot::count * entry_bytes, "87 entries"},
    };
    for (const limit_case& c : cases) {
        try {
            c.decode();
            EXPECT_FALSE(c.refused_at) << c.name << ": accepted";
        } catch (const decode_error& e) {
            ASSERT_TRUE(c.refused_at) << c.name << ": " << e.what();
            EXPECT_EQ(e.offset(), *c.refused_at) << c.name << ": " << e.what();
            EXPECT_NE(std::string(e.what()).find(c.mentions), std::string::npos)
                << c.name << ": " << e.what();
        }
    }
}

// A caller that knows a file's size gets the reader's own refusal without the bytes.
TEST(BinaryLimits, SizeChecksRefuseAsTheReadersDo) {
    struct {
        const char* name;
        void (*check)(std::size_t);
        std::function<void(const std::string&)> decode;
        std::size_t largest;
    } cases[] = {
        {"line profile", binary_layout::check_line_profile_size,
         [](const std::string& b) { binary_layout::decode_line_profile(b); }, 20140020},
        {"station table", binary_layout::check_station_table_size,
         [](const std::string& b) { binary_layout::decode_station_table(b); }, 2853687},
        {"route grid", binary_layout::check_route_grid_size,
         [](const std::string& b) { binary_layout::decode_route_grid(b); }, 302115},
    };
    for (const auto& c : cases) {
        EXPECT_NO_THROW(c.check(c.largest)) << c.name;
        const std::string bytes(c.largest + 1, '\0');
        std::string by_size, by_reading;
        try {
            c.check(bytes.size());
        } catch (const decode_error& e) {
            by_size = e.what();
        }
        try {
            c.decode(bytes);
        } catch (const decode_error& e) {
            by_reading = e.what();
        }
        EXPECT_EQ(by_size, by_reading) << c.name;
        EXPECT_EQ(by_size.rfind("byte " + std::to_string(c.largest) + ": ", 0), 0u) << by_size;
    }
}

}  // namespace
}  // namespace compattatore
