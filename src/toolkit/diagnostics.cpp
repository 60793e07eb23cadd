#include "toolkit/diagnostics.hpp"

#include <cstdio>
#include <cstdlib>

#include "ground/result_codes.hpp"

namespace compattatore {

std::int32_t progressive_metres(const station_table_t& table, std::int32_t position) {
    const station_entry* best = nullptr;
    for (int slot = station_slot::progressive_tre; slot <= station_slot::progressive_uno; ++slot) {
        const station_entry& e = table[static_cast<std::size_t>(slot)];
        if (e.area_start == 0 && e.area_end == 0) continue;
        if (e.area_start > position) continue;
        if (best == nullptr || e.area_start > best->area_start) best = &e;
    }
    if (best == nullptr) return position;
    return static_cast<std::int32_t>(static_cast<std::int64_t>(position) + best->area_end);
}

std::string kilometres_text(std::int32_t metres) {
    const std::int64_t whole = metres;
    const std::int64_t magnitude = whole < 0 ? -whole : whole;
    char text[32];
    std::snprintf(text, sizeof text, "%s%lld+%03lld", whole < 0 ? "-" : "",
                  static_cast<long long>(magnitude / 1000),
                  static_cast<long long>(magnitude % 1000));
    return text;
}

std::string diagnostic_text(const diagnostic& d) {
    if (d.level == severity::warning) return d.message;
    const result_code_info* info = find_result_code(d.code);
    return info != nullptr ? std::string(info->meaning) : "unknown result code";
}

std::string format_diagnostic(const diagnostic& d, const diagnostic_files& files,
                              const station_table_t& table) {
    std::string out = files.of(d.where.file) + ":";
    if (d.where.line > 0) {
        out += std::to_string(d.where.line) + ":" + std::to_string(d.where.column) + ":";
    }
    out += d.level == severity::error ? " error: " : " warning: ";
    out += diagnostic_text(d);
    if (d.level == severity::error) out += " [R" + std::to_string(d.code) + "]";
    if (d.has_position) {
        out += " at " + std::to_string(d.position) + " m (km " +
               kilometres_text(progressive_metres(table, d.position)) + ")";
    }
    return out;
}

}  // namespace compattatore
