#pragma once
// The checker's pass over the records of both texts: it reads them as the readers do, goes on at
// the next record after one it cannot read, and keeps what the rules across records need (the
// grid's size, the cells objects took, the stations before).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "compiler/compile_report.hpp"
#include "ground/record_schema.hpp"

namespace compattatore {

// A record the pass read whole.
struct read_record {
    const record_schema* schema = nullptr;
    source_location where;  // its keyword
    std::int32_t keyword_length = 0;
    std::vector<std::int64_t> numbers;
    std::vector<source_location> at;    // where each value starts
    std::vector<std::int32_t> lengths;  // bytes of each value
    std::string text;                   // the text value, when the record has one
};

// What holds a cell of the grid.
struct occupant {
    std::string what;  // "the signal", "the stop cell of station X"
    source_location where;
};

struct station_seen {
    source_location where;
    std::int32_t area_end = 0;
    std::int32_t time = 0;  // seconds; 0 when the station has no timetable time
    std::string name;
};

struct check_state {
    bool profile = true;
    std::vector<diagnostic> found;
    std::optional<std::int32_t> last_cell;  // once a line length was read
    std::optional<source_location> line_length_typo;
    std::int32_t line_length_typo_length = 0;
    std::optional<source_location> grid_missing_reported;
    std::unordered_map<std::int32_t, occupant> cells;
    std::vector<station_seen> stations;
    bool gradient_seen = false;
    bool adhesion_seen = false;
    std::int32_t train_keywords_in_line = 0;  // keyword fields naming the other text's records
    std::int32_t line_keywords_in_train = 0;
    bool swapped = false;  // the two texts look given in each other's place

    diagnostic& error(std::int32_t code, std::string_view kind, source_location where,
                      std::int32_t length, std::string message);
    diagnostic& warning(std::string_view kind, source_location where, std::int32_t length,
                        std::string message);
};

// A text as messages show it: `stazione`.
inline std::string quoted(std::string_view s) {
    std::string out;
    out.reserve(s.size() + 2);
    out.append(1, '`').append(s).append(1, '`');
    return out;
}

// Reads one text; the line description first, so the train's records know the grid.
void check_text(check_state& s, description_kind file, std::string_view text);

// The rules of a whole record once its values are read.
void check_record(check_state& s, const read_record& r, std::string_view keyword);

// Whole-text findings once both texts are read: missing profiles, swapped files.
void check_texts_end(check_state& s, bool line_text, bool train_text);

// The record keyword within a small edit distance of a field, for "did you mean".
std::optional<std::string_view> nearest_keyword(description_kind file, std::string_view field,
                                                bool general);

}  // namespace compattatore
