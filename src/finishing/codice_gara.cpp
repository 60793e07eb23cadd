// The two checksums of the scenario identity: the train number and the line name, lowered and
// padded, summed over their first 25 bytes.

#include <cstdint>
#include <string_view>

#include "finishing/finishing.hpp"
#include "ground/code_page_850.hpp"
#include "ground/roles.hpp"

namespace compattatore {

namespace {

constexpr std::string_view checksum_pad = "qqrrssttuuvvzzbbccddffgghh";
constexpr std::size_t checksum_length = 25;

// Calls f(position, code) for the 25 counted characters, positions from 1.
template <class F>
void for_each_checksum_byte(const scenario_model& m, F&& f) {
    const std::string_view parts[] = {train_header(m.station_table).train_number(),
                                      line_header(m.station_table).line_name(), checksum_pad};
    std::int32_t position = 0;
    for (const std::string_view part : parts) {
        for (const char ch : part) {
            if (position == static_cast<std::int32_t>(checksum_length)) return;
            ++position;
            f(position, static_cast<std::int32_t>(cp850_lower(static_cast<unsigned char>(ch))));
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
