#pragma once
// Diagnostics in the form compilers use, so editors and terminals can jump to them:
//   FILE:LINE:COLUMN: error: <meaning> [R<code>] at <position> m (km <progressive>)
//   FILE:LINE:COLUMN: warning: <what was dropped>
// A problem with no place in a text (a missing file, a conflict the cab-code pass found in the
// grid, a closing check) is written FILE: error: ..., without line and column.

#include <cstdint>
#include <string>

#include "compiler/compile_report.hpp"
#include "ground/model.hpp"

namespace compattatore {

// The railway's own kilometre reckoning of a route position, written as on the timetable card
// ("40+650"): the progressive slot with the greatest start at or before the position, among those
// whose start or offset is non-zero, adds its offset; without such a slot the route position
// counts itself.
std::int32_t progressive_metres(const station_table_t& table, std::int32_t position);
std::string kilometres_text(std::int32_t metres);

// The meaning in words of an error's code, or a warning's message.
std::string diagnostic_text(const diagnostic& d);

struct diagnostic_files {
    std::string line;   // as the author named the line description
    std::string train;  // and the train description
    const std::string& of(description_kind k) const {
        return k == description_kind::line ? line : train;
    }
};

std::string format_diagnostic(const diagnostic& d, const diagnostic_files& files,
                              const station_table_t& table);

}  // namespace compattatore
