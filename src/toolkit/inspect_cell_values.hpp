#pragma once
// What a route cell's packed values mean, read back the way the placement rules packed them.

#include <cstdint>
#include <string>
#include <string_view>

#include "ground/model.hpp"

namespace compattatore {

std::string_view cell_kind_name(std::uint8_t kind);

// A signal packs its two groups as 10 x s + d per value and its type as 10 x rapp + 3 x sx + dx.
struct signal_values {
    int s1, s2, s3, d1, d2, d3;
    int rapp, sx, dx;
};
signal_values split_signal(const route_cell& c);

// A speed board packs each pair as 100 x (s / 5) + d / 5, and its stripes as 10 x s + d.
struct speed_pair {
    int s_kmh, d_kmh;
};
speed_pair unpack_speeds(std::int16_t packed);

// The kind and its values in words, e.g. "signal 4,1,1 / 2,1,1 type 8 (sx 2, dx 2), delay 110".
// names: the station table, when known, to name stations and board texts.
std::string describe_cell(const route_cell& c, const station_table_t* names);

}  // namespace compattatore
