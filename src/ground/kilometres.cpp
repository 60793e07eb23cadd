#include "ground/kilometres.hpp"

#include <cstdlib>

namespace compattatore {

std::string kilometres_text(std::int32_t metres) {
    const std::int64_t whole = metres;
    const std::int64_t magnitude = whole < 0 ? -whole : whole;
    const std::string part = std::to_string(magnitude % 1000);
    std::string text = whole < 0 ? "-" : "";
    text += std::to_string(magnitude / 1000);
    text += '+';
    text.append(3 - part.size(), '0');
    text += part;
    return text;
}

std::int32_t progressive_metres(const station_table_t& table, std::int32_t position) {
    const station_entry* best = nullptr;
    for (const int slot : station_slot::progressives) {
        const station_entry& e = table[static_cast<std::size_t>(slot)];
        if (e.area_start == 0 && e.area_end == 0) continue;
        if (e.area_start > position) continue;
        if (best == nullptr || e.area_start > best->area_start) best = &e;
    }
    if (best == nullptr) return position;
    return static_cast<std::int32_t>(static_cast<std::int64_t>(position) + best->area_end);
}

}  // namespace compattatore
