// The two checksums of the scenario identity: the train number and the line name, lowered and
// padded, summed over their first 25 bytes.

#include <array>
#include <cstdint>
#include <string_view>

#include "finishing/finishing.hpp"

namespace compattatore {

namespace {

constexpr std::string_view checksum_pad = "qqrrssttuuvvzzbbccddffgghh";
constexpr std::size_t checksum_length = 25;

// Lower case in the 8-bit code page of the texts (code page 850): ASCII A-Z and every accented
// capital that has its small letter in the page.
constexpr std::array<unsigned char, 256> lower_table = [] {
    std::array<unsigned char, 256> t{};
    for (int b = 0; b < 256; ++b) t[b] = static_cast<unsigned char>(b);
    for (int b = 'A'; b <= 'Z'; ++b) t[b] = static_cast<unsigned char>(b - 'A' + 'a');
    constexpr unsigned char pairs[][2] = {
        {0x80, 0x87}, {0x8E, 0x84}, {0x8F, 0x86}, {0x90, 0x82}, {0x92, 0x91}, {0x99, 0x94},
        {0x9A, 0x81}, {0x9D, 0x9B}, {0xA5, 0xA4}, {0xB5, 0xA0}, {0xB6, 0x83}, {0xB7, 0x85},
        {0xC7, 0xC6}, {0xD1, 0xD0}, {0xD2, 0x88}, {0xD3, 0x89}, {0xD4, 0x8A}, {0xD6, 0xA1},
        {0xD7, 0x8C}, {0xD8, 0x8B}, {0xDE, 0x8D}, {0xE0, 0xA2}, {0xE2, 0x93}, {0xE3, 0x95},
        {0xE5, 0xE4}, {0xE8, 0xE7}, {0xE9, 0xA3}, {0xEA, 0x96}, {0xEB, 0x97}, {0xED, 0xEC},
    };
    for (const auto& p : pairs) t[p[0]] = p[1];
    return t;
}();

// Calls f(position, code) for the 25 counted characters, positions from 1.
template <class F>
void for_each_checksum_byte(const scenario_model& m, F&& f) {
    const std::string_view parts[] = {m.station_table[station_slot::train_header].name,
                                      m.station_table[station_slot::line_header].name,
                                      checksum_pad};
    std::int32_t position = 0;
    for (const std::string_view part : parts) {
        for (const char ch : part) {
            if (position == static_cast<std::int32_t>(checksum_length)) return;
            ++position;
            f(position, static_cast<std::int32_t>(lower_table[static_cast<unsigned char>(ch)]));
        }
    }
}

}  // namespace

tagged_value codice_gara_og(const scenario_model& m) {
    std::int32_t sum = 0;  // at most 25 x 255
    for_each_checksum_byte(m, [&](std::int32_t, std::int32_t code) { sum += code; });
    return tagged_value::of_int16(static_cast<std::int16_t>(sum));
}

tagged_value codice_gara_st(const scenario_model& m) {
    std::int32_t sum = 0;  // at most 255 x (1 + ... + 25)
    for_each_checksum_byte(m, [&](std::int32_t i, std::int32_t code) { sum += code * i; });
    return tagged_value::of_int32(sum);
}

}  // namespace compattatore
