// The checker's rules for a record read whole: each value against its field's ranges, then what
// the placement of the record would meet (the grid's ends, cells already taken, the station
// before), and the timetable.

#include <algorithm>
#include <string>

#include "compiler/placement.hpp"
#include "ground/diagnostic_kinds.hpp"
#include "ground/keyword_match.hpp"
#include "ground/kilometres.hpp"
#include "ground/result_codes.hpp"
#include "ground/rounding.hpp"
#include "ground/units.hpp"
#include "toolkit/check_pass.hpp"

namespace compattatore {

namespace {

namespace lw = line_keyword;
namespace tw = train_keyword;

std::string metres(std::int64_t m) {
    return std::to_string(m) + " m";
}

std::string with_unit(std::int64_t v, std::string_view unit) {
    return unit.empty() ? std::to_string(v) : std::to_string(v) + " " + std::string(unit);
}

std::string value_name(const read_record& r, std::size_t i) {
    return quoted(r.schema->keyword->written) + " " + quoted(r.schema->fields[i].name);
}

bool is(const read_record& r, const record_keyword& k) {
    return r.schema->keyword == &k;
}

std::int32_t value(const read_record& r, std::size_t i) {
    return static_cast<std::int32_t>(r.numbers[i]);
}

// What a field that keeps only its low bits holds of v.
std::int64_t kept_bits(const field_schema& f, std::int64_t v) {
    const std::int64_t span = f.allowed.max - f.allowed.min + 1;
    return ((v - f.allowed.min) % span + span) % span + f.allowed.min;
}

// The code the compile stops with for a value that is not the multiple its field needs.
std::int32_t multiple_code(const read_record& r, std::size_t i) {
    if (is(r, tw::station)) {
        return i == 0 ? result::station_position_not_multiple_of_50
                      : result::station_length_not_multiple_of_100;
    }
    if (is(r, lw::repetition)) {
        return i == 0 ? result::repetition_start_not_multiple_of_50
                      : result::repetition_end_not_multiple_of_50;
    }
    return result::progressive_not_multiple_of_50;
}

bool is_time(const read_record& r, std::size_t i) {
    return is(r, tw::clock) || (is(r, tw::station) && i >= 13 && i <= 15);
}

// False when the value stops the compile.
bool check_value(check_state& s, const read_record& r, std::size_t i) {
    const field_schema& f = r.schema->fields[i];
    const std::int64_t v = r.numbers[i];
    const std::string range =
        std::to_string(f.allowed.min) + " to " + std::to_string(f.allowed.max);
    if (!f.allowed.holds(v) && f.kind == value_kind::number) {
        const std::int32_t code =
            is(r, lw::line_length) ? result::line_length_out_of_range : result::compiler_failure;
        s.error(code, problem::out_of_range, r.at[i], r.lengths[i],
                value_name(r, i) + ": " + with_unit(v, f.unit) + " does not fit its field (" +
                    range + ")");
        return false;
    }
    if (!f.allowed.holds(v)) {
        s.warning(problem::value_changed, r.at[i], r.lengths[i],
                  value_name(r, i) + ": " + with_unit(v, f.unit) + " is outside " + range +
                      ": only its low bits are kept, and the simulator gets " +
                      std::to_string(kept_bits(f, v)));
        return true;
    }
    if (f.multiple_of != 0 && v % f.multiple_of != 0) {
        s.error(multiple_code(r, i), problem::not_multiple, r.at[i], r.lengths[i],
                value_name(r, i) + ": " + with_unit(v, f.unit) + " is not a multiple of " +
                    metres(f.multiple_of));
        return false;
    }
    if (f.name != "position" && !is_time(r, i) && !f.plausible.holds(v)) {
        s.warning(problem::implausible, r.at[i], r.lengths[i],
                  value_name(r, i) + ": " + with_unit(v, f.unit) +
                      " is outside what real data uses (" + std::to_string(f.plausible.min) +
                      " to " + std::to_string(f.plausible.max) + ")");
    }
    return true;
}

}  // namespace

// Defined in check_placement.cpp.
void check_placement(check_state& s, const read_record& r, std::string_view keyword);

void check_record(check_state& s, const read_record& r, std::string_view keyword) {
    bool fits = true;
    for (std::size_t i = 0; i < r.numbers.size(); ++i) fits = check_value(s, r, i) && fits;
    if (!fits) return;
    if (is(r, lw::line_length)) {
        s.last_cell = round32(in_cells(static_cast<double>(value(r, 0)) + 7000.0));
    }
    if (is(r, lw::repetition) && !contains(keyword, lw::four_codes) &&
        !contains(keyword, lw::nine_codes)) {
        s.error(result::repetition_codes_missing, problem::result_code, r.where,
                static_cast<std::int32_t>(keyword.size()),
                quoted(keyword) + " names neither 4 nor 9 codes")
            .help = "write " + quoted(lw::repetition.written);
    }
    check_placement(s, r, keyword);
}

std::optional<std::string_view> nearest_keyword(description_kind file, std::string_view field,
                                                bool general) {
    std::string lower(field);
    std::ranges::transform(lower, lower.begin(), fold_case);
    const auto distance = [](std::string_view a, std::string_view b) {
        std::vector<std::size_t> row(b.size() + 1);
        for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
        for (std::size_t i = 1; i <= a.size(); ++i) {
            std::size_t diagonal = row[0];
            row[0] = i;
            for (std::size_t j = 1; j <= b.size(); ++j) {
                const std::size_t up = row[j];
                row[j] = std::min(
                    {row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0u : 1u)});
                diagonal = up;
            }
        }
        return row[b.size()];
    };
    std::optional<std::string_view> best;
    std::size_t best_distance = 3;
    for (const record_schema& r : all_records()) {
        if (r.file != file || (file == description_kind::line && r.general != general)) continue;
        const std::string_view written = r.keyword->written;
        const std::size_t d = distance(lower, written);
        if (d < best_distance && d * 4 <= written.size()) {
            best = written;
            best_distance = d;
        }
    }
    return best;
}

}  // namespace compattatore
