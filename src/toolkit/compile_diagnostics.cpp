#include "toolkit/compile_diagnostics.hpp"

#include "ground/kilometres.hpp"
#include "ground/result_codes.hpp"

namespace compattatore {

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
