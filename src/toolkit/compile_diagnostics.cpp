#include "toolkit/compile_diagnostics.hpp"

#include "ground/code_page_850.hpp"
#include "ground/kilometres.hpp"
#include "ground/result_codes.hpp"

namespace compattatore {

std::string diagnostic_text(const diagnostic& d) {
    if (!d.message.empty() || d.level == severity::warning) return d.message;
    const result_code_info* info = find_result_code(d.code);
    return info != nullptr ? std::string(info->meaning) : "unknown result code";
}

std::string diagnostic_place(const diagnostic_files& files, const source_location& where) {
    std::string out = files.of(where.file) + ":";
    if (where.line > 0) {
        out += std::to_string(where.line) + ":" + std::to_string(where.column) + ":";
    }
    return out;
}

std::string diagnostic_statement(const diagnostic& d, const station_table_t& table) {
    std::string out = cp850_to_utf8(diagnostic_text(d));
    // An error the compile does not know (a character a conversion cannot make) has no code.
    if (d.level == severity::error && d.code != 0) out += " [R" + std::to_string(d.code) + "]";
    if (d.has_position) {
        out += " at " + std::to_string(d.position) + " m (km " +
               kilometres_text(progressive_metres(table, d.position)) + ")";
    }
    return out;
}

std::string format_diagnostic(const diagnostic& d, const diagnostic_files& files,
                              const station_table_t& table) {
    return diagnostic_place(files, d.where) +
           (d.level == severity::error ? " error: " : " warning: ") +
           diagnostic_statement(d, table);
}

}  // namespace compattatore
