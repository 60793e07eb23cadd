#pragma once
// Diagnostics in the form compilers use, so editors and terminals can jump to them:
//   FILE:LINE:COLUMN: error: <meaning> [R<code>] at <position> m (km <progressive>)
//   FILE:LINE:COLUMN: warning: <what was dropped>
// A problem with no place in a text (a missing file, a conflict the cab-code pass found in the
// grid, a closing check) is written FILE: error: ..., without line and column.

#include <cstdint>
#include <string>

#include "compiler/compile_report.hpp"
#include "ground/kilometres.hpp"
#include "ground/model.hpp"

namespace compattatore {

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
