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

// The diagnostic's own message, or the meaning of its result code when it has none; in code page
// 850, as it may quote the description.
std::string diagnostic_text(const diagnostic& d);

struct diagnostic_files {
    std::string line;   // as the author named the line description
    std::string train;  // and the train description
    const std::string& of(description_kind k) const {
        return k == description_kind::line ? line : train;
    }
};

// "FILE:LINE:COLUMN:" or "FILE:" for a problem with no place in a text.
std::string diagnostic_place(const diagnostic_files& files, const source_location& where);

// What follows the severity: the meaning in UTF-8, the code of an error, the position.
std::string diagnostic_statement(const diagnostic& d, const station_table_t& table);

std::string format_diagnostic(const diagnostic& d, const diagnostic_files& files,
                              const station_table_t& table);

}  // namespace compattatore
