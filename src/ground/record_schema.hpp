#pragma once
// Every record of the two description texts in one table: its keyword, the section it is written
// in, what it means, and each of its values with name, unit, the range its stored field can hold
// and the range the scenario's own data keeps to. The checker, the format document and the
// editor support read the formats from here; the keywords themselves live in record_keywords.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "ground/record_keywords.hpp"

namespace compattatore {

// What a value is read as, and what happens to one its stored field cannot hold.
enum class value_kind {
    number,  // a whole number; out of the allowed range the compile stops with R25
    wraps,   // a whole number whose field keeps only its low bits: out of range it is changed
    text,    // a name or board text
};

struct value_range {
    std::int64_t min = 0;
    std::int64_t max = 0;
    bool holds(std::int64_t v) const { return v >= min && v <= max; }
};

struct field_schema {
    std::string_view name;
    std::string_view unit;  // "m", "km/h", "per mille", "h", "min", "s"; empty: a plain number
    value_kind kind = value_kind::number;
    value_range allowed;           // what the stored field holds
    value_range plausible;         // what the scenario's own data keeps to: a warning beyond
    std::int32_t multiple_of = 0;  // 0: any value; else the compile refuses other values
    std::string_view meaning;
};

struct record_schema {
    description_kind file = description_kind::line;
    std::string_view name;  // an English name for messages, e.g. "station"
    const record_keyword* keyword = nullptr;
    std::string_view section;  // the header it is written under
    bool general = false;      // read only in the general section (line description)
    std::string_view meaning;
    std::span<const field_schema> fields;
};

// Every record, the line description's first, each in the order its reader tests them.
std::span<const record_schema> all_records();

// The records a keyword field names, in the order the reader tries them (a field may name two).
// general: whether the field stands in the line description's general section; the train
// description has no such distinction.
std::vector<const record_schema*> records_named(description_kind file, std::string_view field,
                                                bool general = false);

// A value of a record by its 0-based index among the values after the keyword.
const field_schema* field_of(const record_schema& record, std::size_t index);

// A field found under a column of one line of text.
struct field_at {
    const record_schema* record = nullptr;
    std::optional<std::size_t> value;  // nullopt: the keyword field
    std::int32_t column = 0;           // 1-based, where the field starts
    std::int32_t length = 0;           // bytes
};

// The field of the record written on `line` (one whole line, without its line end) that covers
// the 1-based byte column. nullopt when the line names no record or the column is past its
// values. Values are split as the reader splits them.
std::optional<field_at> field_under_column(description_kind file, std::string_view line,
                                           std::int32_t column, bool general = false);

// docs/format.md: every record and field of the table, in Markdown.
std::string format_document();

}  // namespace compattatore
