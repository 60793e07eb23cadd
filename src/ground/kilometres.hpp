#pragma once
// Railway kilometres: the reckoning the line's posts and the driver's card show ("40+650"),
// which differs from the route position in metres by the progressive offsets of entries 81-83.

#include <cstdint>
#include <string>

#include "ground/model.hpp"

namespace compattatore {

// "km+mmm", the metres always three digits; a negative value has its sign in front ("-0+250").
std::string kilometres_text(std::int32_t metres);

// The railway metres of a route position: the position plus the offset of the last progressive
// that starts at or before it (entries without a start or offset are unused). The position
// itself before the first progressive.
std::int32_t progressive_metres(const station_table_t& table, std::int32_t position);

}  // namespace compattatore
