#pragma once
// What the two description readers share: keyword fields and numbers read from the text at
// hand, the hyphen skip, the tests that recognise a record, stopping with a code, the ends of the
// records at the grid's edges, the profiles that each record closes, and the edge where a value
// that does not fit its field becomes a failure at its place in the text.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <type_traits>
#include <utility>

#include "compiler/compile_context.hpp"
#include "compiler/text_match.hpp"
#include "ground/record_keywords.hpp"
#include "ground/result_codes.hpp"
#include "ground/rounding.hpp"

namespace compattatore {

// What a record step tells the loop over the records.
enum class flow {
    go_on,
    to_end,  // no more records: the text is finished as if its end had been reached
    stop,    // the read ends at once; the text is discarded and nothing more is done with it
};

// A profile along the grid (gradient, speed limit, adhesion). Each record closes the stretch of
// the value before it: cells from the cursor up to the record's cell get the value in force.
struct profile_fill {
    const char* what;                                    // for the order warning
    std::uint8_t route_cell::*field;                     // what the profile writes in a cell
    std::uint8_t (*stored)(std::int32_t value);          // what a cell keeps of the value in force
    std::int32_t cursor = 0;                             // the next cell to fill
    std::int32_t current = 0;                            // the value in force
    std::optional<std::int32_t> last_at = std::nullopt;  // position of the record before
};

// The record tests on one keyword field, tried in order and each on its own: a field that names
// two records is read as both, one after the other. A step that does not go on ends the tests.
class record_tests {
  public:
    record_tests(compile_context& c, std::string_view field) : c_(c), field_(field) {}

    // step returns a flow, or nothing when it always goes on.
    template <class Step>
    void apply(const record_keyword& k, Step step) {
        if (!open() || !names(k, field_)) return;
        matched_ = true;
        if constexpr (std::is_void_v<std::invoke_result_t<Step>>) {
            step();
        } else {
            outcome_ = step();
        }
    }
    bool open() const { return outcome_ == flow::go_on; }
    // What the field led to; one that named no record is worth a warning.
    flow outcome() const {
        if (!matched_) c_.note(reader_event::keyword_matches_nothing, field_, c_.record_start);
        return outcome_;
    }

  private:
    compile_context& c_;
    std::string_view field_;
    bool matched_ = false;
    flow outcome_ = flow::go_on;
};

class record_reader {
  protected:
    record_reader(compile_context& c, std::string_view text, description_kind kind)
        : c_(c), m_(c.m), cur_(text), kind_(kind) {}

    // Runs read. A value that does not fit its field leaves it as a description error at the
    // place of the value read last, which the failure exit reports.
    template <class Read>
    auto positioned(Read read) {
        try {
            return read();
        } catch (const value_overflow& e) {
            throw description_error(e.what(), cur_.last_start());
        }
    }

    // The next keyword field (or item); the record at hand starts there.
    std::string_view keyword();
    template <class Int = std::int32_t>
    Int number() {
        return fit<Int>(whole_number());
    }
    // A record of whole 32-bit numbers only, read in field order (a braced list is evaluated
    // left to right).
    template <class Record>
    Record numbers() {
        static_assert(std::is_aggregate_v<Record> &&
                      std::has_unique_object_representations_v<Record>);
        static_assert(sizeof(Record) % sizeof(std::int32_t) == 0);
        return numbers<Record>(std::make_index_sequence<sizeof(Record) / sizeof(std::int32_t)>{});
    }

    // Hyphen skip: up to `skips` keyword fields in a row that contain a hyphen are passed over
    // and the next one read in their place. nullopt when the text ends first: the field that
    // reaches the end of the text is never examined. Without the end test between skips, the
    // field a skip reads is examined even at the end, and a skip at the end reads past it.
    enum class end_test { after_each_skip, none_between_skips };
    std::optional<std::string_view> next_keyword(int skips,
                                                 end_test test = end_test::after_each_skip);

    // Offers every keyword field to record until the text ends; false when a record stopped the
    // read.
    template <class Record>
    bool read_records(int skips, Record record) {
        while (const auto field = next_keyword(skips)) {
            const flow f = record(*field);
            if (f == flow::stop) return false;
            if (f == flow::to_end) break;
        }
        return true;
    }

    // Discards the text, then records the code (with a position where given).
    flow stop(std::int32_t code);
    flow stop(std::int32_t code, std::int32_t position);
    // An object outside the grid (code 15 or 26) ends the records; the text is still finished.
    flow outside_grid(std::int32_t code, std::int32_t position);
    flow beyond_end(std::int32_t position) {
        return outside_grid(result::beyond_route_grid, position);
    }

    // A profile record: its position and its value.
    flow profile_record(profile_fill& f, std::int32_t halt_at);
    // Cells from the cursor up to, not including, end_cell get the value in force. The body runs
    // at least once, and never writes at halt_at or past it.
    void fill_profile(profile_fill& f, std::int32_t end_cell, std::int32_t halt_at);
    // Warnings for records the format takes in file order: a later record at a lower position
    // fills or draws from where the earlier one left off, not from its own position.
    void note_order(const char* what, std::int32_t p, std::optional<std::int32_t>& last);

    route_cell& cell(std::int32_t i) { return m_.route_grid[static_cast<std::size_t>(i)]; }

    compile_context& c_;
    scenario_model& m_;
    text_cursor cur_;

  private:
    std::int64_t whole_number();
    template <class Record, std::size_t... I>
    Record numbers(std::index_sequence<I...>) {
        return Record{((void)I, number())...};
    }

    const description_kind kind_;
};

}  // namespace compattatore
