#pragma once
// State shared by the two halves of memorizza_dati: the model, where the texts come from, where
// problems are reported, and what the line description leaves for the train description.

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "compiler/compile_report.hpp"
#include "compiler/description_files.hpp"
#include "compiler/text_cursor.hpp"
#include "ground/model.hpp"
#include "ground/rounding.hpp"
#include "ground/units.hpp"

namespace compattatore {

// How one description text stands: not asked for yet, missing, being read, or discarded.
enum class text_state { not_read, missing, open, discarded };

// Things worth a warning that do not stop the read: what the formats drop or misplace without a
// result code. They become warnings in the report, and cost nothing when there is none.
enum class reader_event {
    keyword_matches_nothing,    // field: the keyword field
    field_lost_to_hyphen_skip,  // field: the skipped field
    curve_without_profile,      // field: the curve keyword
    out_of_order,               // field: the whole message
    overlapping_curve,          // field: the whole message
};

// The simulator's files carry every name with a 16-bit length that must read the same signed or
// unsigned; a longer text is a value that does not fit its field.
inline std::string fitting_name(std::string_view text) {
    if (text.size() > max_name_length) throw value_overflow("name too long");
    return std::string(text);
}

// Signals the failure exit: the compile cannot go on (grid missing, and the like).
struct compile_abort : description_error {
    using description_error::description_error;
};

struct compile_context {
    compile_context(scenario_model& model, description_files& texts, compile_report* rep)
        : m(model), files(texts), report(rep) {}

    scenario_model& m;
    description_files& files;
    compile_report* report;

    text_state line_text = text_state::not_read;
    text_state train_text = text_state::not_read;
    description_kind reading = description_kind::line;
    text_location record_start;  // the keyword of the record at hand
    std::int32_t board_counter = station_slot::first_board;

    // Records a result code; with a position when the code carries one.
    void fail(std::int32_t code, text_location where) {
        m.record(code);
        note_code(code, where, std::nullopt);
    }
    void fail(std::int32_t code, std::int32_t position, text_location where) {
        m.record(code, position);
        note_code(code, where, position);
    }
    // A code found about the line description while the train description is being read.
    void fail_in_line_description(std::int32_t code) {
        m.record(code);
        const description_kind was = reading;
        reading = description_kind::line;
        note_code(code, {}, std::nullopt);
        reading = was;
    }
    // A code a placement rule has already recorded; the caller adds the position.
    void placed_with_code(std::int32_t code, std::int32_t position) {
        m.error_position = position;
        note_code(code, record_start, position);
    }

    void note(reader_event event, std::string_view field, text_location where) {
        if (report != nullptr) note_warning(event, field, where);
    }

    // Done with a text: discarded at most once, whatever the outcome.
    void discard_line();
    void discard_train();
    void discard(description_kind text) {
        text == description_kind::line ? discard_line() : discard_train();
    }

  private:
    void note_code(std::int32_t code, text_location where, std::optional<std::int32_t> position);
    void note_warning(reader_event event, std::string_view field, text_location where);

    // The fields after a dropped keyword on the same line are dropped with it: one warning a line.
    description_kind warned_file_ = description_kind::line;
    std::int32_t warned_line_ = 0;
};

// The grid must exist before any record may touch it.
inline void require_grid(const compile_context& c) {
    if (c.m.route_grid.empty()) {
        throw compile_abort("the line description gives no line length", c.record_start);
    }
}

// Room check: a position leaves room for its object when (p + margin) / 50 does not pass the
// last cell. Most objects take 100 m; a station takes 800 m.
inline bool beyond_grid(const scenario_model& m, std::int32_t p, std::int32_t margin = 100) {
    const std::int64_t sum = static_cast<std::int64_t>(p) + margin;
    if (sum > std::numeric_limits<std::int32_t>::max()) throw value_overflow("position too large");
    return static_cast<double>(m.last_cell) < in_cells(static_cast<double>(sum));
}

// False when the line description stopped the compile: the train description is then not read.
bool read_line_description(compile_context& c);
void read_train_description(compile_context& c);

}  // namespace compattatore
