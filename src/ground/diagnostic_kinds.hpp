#pragma once
// The stable names of the kinds of problem the checker reports, with what each means. Tools that
// read the checker's output match on these names; a name never changes meaning.

#include <string_view>

namespace compattatore {

struct diagnostic_kind_info {
    std::string_view name;
    std::string_view meaning;
};

namespace problem {
// Errors: the compile stops, or would stop, with a result code.
inline constexpr std::string_view not_a_number = "not-a-number";
inline constexpr std::string_view out_of_range = "value-out-of-range";
inline constexpr std::string_view ends_in_record = "text-ends-in-record";
inline constexpr std::string_view wrong_separator = "wrong-separator";
inline constexpr std::string_view no_line_length = "line-length-missing";
inline constexpr std::string_view not_multiple = "not-a-multiple";
inline constexpr std::string_view collision = "overlap";
inline constexpr std::string_view beyond_grid = "beyond-route-grid";
inline constexpr std::string_view before_grid = "before-route-grid";
inline constexpr std::string_view stations_too_close = "stations-too-close";
inline constexpr std::string_view curve_class_missing = "curve-class-missing";
inline constexpr std::string_view result_code = "result-code";
inline constexpr std::string_view not_in_code_page = "not-in-code-page";
// Warnings: what is written is not what the author meant, or is unlike any real data.
inline constexpr std::string_view unknown_keyword = "unknown-keyword";
inline constexpr std::string_view hyphen_skip = "lost-to-hyphen-skip";
inline constexpr std::string_view trailing_text = "rest-of-field-ignored";
inline constexpr std::string_view utf8_text = "utf8-text";
inline constexpr std::string_view timetable_backwards = "timetable-backwards";
inline constexpr std::string_view time_of_day = "time-out-of-day";
inline constexpr std::string_view implausible = "implausible-value";
inline constexpr std::string_view value_changed = "value-changed";
inline constexpr std::string_view no_gradient = "no-gradient";
inline constexpr std::string_view no_adhesion = "no-adhesion";
inline constexpr std::string_view curve_letters = "curve-letters-ignored";
inline constexpr std::string_view moved_to_grid = "moved-to-grid";
inline constexpr std::string_view files_swapped = "files-swapped";
inline constexpr std::string_view out_of_order = "out-of-order";
inline constexpr std::string_view curve_overlap = "curve-overlap";
inline constexpr std::string_view curve_ignored = "curve-without-profile";
}  // namespace problem

inline constexpr diagnostic_kind_info diagnostic_kinds[] = {
    {problem::not_a_number, "a value field holds no whole number (R25)"},
    {problem::out_of_range, "a value does not fit the field that stores it (R25)"},
    {problem::ends_in_record, "the text ends before the record's last value (R25)"},
    {problem::wrong_separator, "values separated by something other than commas (R25)"},
    {problem::no_line_length, "a record needs the route grid, which no line length made (R25)"},
    {problem::not_multiple, "a position or length that must be a multiple of 50 or 100 is not"},
    {problem::collision, "a record meets a cell or a stretch another record already took"},
    {problem::beyond_grid, "a position leaves no room before the end of the route grid (R15)"},
    {problem::before_grid, "a position before the start of the route grid (R26)"},
    {problem::stations_too_close, "a station area starts less than 350 m after the one before"},
    {problem::curve_class_missing, "a curve keyword without a class digit 1 to 6"},
    {problem::result_code, "any other result code the compile stops with"},
    {problem::not_in_code_page, "a UTF-8 character code page 850 lacks (with UTF-8 input)"},
    {problem::unknown_keyword, "a keyword field names no record; its line is dropped"},
    {problem::hyphen_skip, "a keyword with a hyphen is passed over with its record"},
    {problem::trailing_text, "a number is followed by more text the reader ignores"},
    {problem::utf8_text,
     "text that is UTF-8, not code page 850: the simulator shows other "
     "characters"},
    {problem::timetable_backwards, "a station's time is earlier than the station before it"},
    {problem::time_of_day, "a time outside 0:00:00 to 23:59:59"},
    {problem::implausible, "a value outside the range real data keeps to"},
    {problem::value_changed, "a field keeps only its low bits: the stored value differs"},
    {problem::no_gradient, "the line description has no gradient record"},
    {problem::no_adhesion, "the train description has no adhesion record"},
    {problem::curve_letters, "letters in a curve keyword that the curve rule ignores"},
    {problem::moved_to_grid, "a position off the 50 m grid, placed at the nearest cell"},
    {problem::files_swapped, "the line and train descriptions look given in each other's place"},
    {problem::out_of_order, "a profile or curve record below the position of the one before"},
    {problem::curve_overlap, "a curve that starts inside the curve before it"},
    {problem::curve_ignored, "a curve record read while the line's plan is not drawn"},
};

}  // namespace compattatore
