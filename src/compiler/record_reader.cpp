#include "compiler/record_reader.hpp"

#include <string>

#include "ground/result_codes.hpp"
#include "ground/rounding.hpp"
#include "ground/units.hpp"

namespace compattatore {

std::string_view record_reader::keyword() {
    const std::string_view field =
        kind_ == description_kind::line ? cur_.read_field() : cur_.read_text_item();
    c_.record_start = cur_.last_start();
    return field;
}

std::int64_t record_reader::whole_number() {
    const std::string_view field =
        kind_ == description_kind::line ? cur_.read_field() : cur_.read_number_item();
    return parse_whole_number(field, cur_.last_start());
}

std::optional<std::string_view> record_reader::next_keyword(int skips, end_test test) {
    if (cur_.at_end()) return std::nullopt;
    std::string_view field = keyword();
    if (cur_.at_end()) return std::nullopt;
    for (int i = 0; i < skips && contains(field, "-"); ++i) {
        c_.note(reader_event::field_lost_to_hyphen_skip, field, c_.record_start);
        field = keyword();
        if (test == end_test::after_each_skip && cur_.at_end()) return std::nullopt;
    }
    return field;
}

flow record_reader::stop(std::int32_t code) {
    c_.discard(kind_);
    c_.fail(code, c_.record_start);
    return flow::stop;
}

flow record_reader::stop(std::int32_t code, std::int32_t position) {
    c_.discard(kind_);
    c_.fail(code, position, c_.record_start);
    return flow::stop;
}

flow record_reader::outside_grid(std::int32_t code, std::int32_t position) {
    c_.fail(code, position, c_.record_start);
    return flow::to_end;
}

flow record_reader::profile_record(profile_fill& f, std::int32_t halt_at) {
    const std::int32_t p = number();
    const std::int32_t value = number();
    if (beyond_grid(m_, p)) return beyond_end(p);
    note_order(f.what, p, f.last_at);
    const std::int32_t n = round32(in_cells(p));
    if (n > 0) fill_profile(f, n, halt_at);
    f.current = value;
    return flow::go_on;
}

// The stored value is worked out for each cell it goes to, never for a cell the fill does not
// write: a value that does not fit fails only where a cell would receive it.
void record_reader::fill_profile(profile_fill& f, std::int32_t end_cell, std::int32_t halt_at) {
    do {
        if (f.cursor >= halt_at) break;
        cell(f.cursor).*f.field = f.stored(f.current);
        ++f.cursor;
    } while (f.cursor < end_cell);
}

void record_reader::note_order(const char* what, std::int32_t p,
                               std::optional<std::int32_t>& last) {
    if (c_.report != nullptr && last.has_value() && p < *last) {
        c_.note(reader_event::out_of_order,
                std::string(what) + " at " + std::to_string(p) + " m comes after one at " +
                    std::to_string(*last) + " m: records out of ascending order",
                c_.record_start);
    }
    last = p;
}

}  // namespace compattatore
