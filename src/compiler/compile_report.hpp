#pragma once
// What an author needs to find a problem: every result code the compiler records, with the
// place in the description text where the record that caused it starts.

#include <cstdint>
#include <string>
#include <vector>

#include "ground/record_keywords.hpp"

namespace compattatore {

struct source_location {
    description_kind file = description_kind::line;
    std::int32_t line = 0;    // 1-based; 0 when unknown
    std::int32_t column = 0;  // 1-based
};

enum class severity { error, warning };

// Another place that explains a problem: the record a colliding record met, say.
struct diagnostic_note {
    source_location where;
    std::int32_t length = 0;  // bytes of the field from where.column; 0 when unknown
    std::string message;
};

struct diagnostic {
    severity level = severity::error;
    source_location where;
    std::int32_t length = 0;  // bytes of the offending field from where.column; 0 when unknown
    std::int32_t code = 0;    // the result code; 0 for a warning
    bool has_position = false;
    std::int32_t position = 0;  // metres
    std::string message;        // for warnings; errors take the result code's meaning when empty
    std::string kind;           // a stable name of the kind of problem, e.g. "not-a-number"
    std::string help;           // what to do, e.g. "did you mean `stazione`?"; may be empty
    std::vector<diagnostic_note> notes;
};

struct compile_report {
    std::vector<diagnostic> diagnostics;
};

}  // namespace compattatore
