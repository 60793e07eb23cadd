#include "ground/record_schema.hpp"

#include <array>
#include <limits>

#include "ground/keyword_match.hpp"
#include "ground/units.hpp"

namespace compattatore {

namespace {

constexpr value_range i32{std::numeric_limits<std::int32_t>::min(),
                          std::numeric_limits<std::int32_t>::max()};
constexpr value_range i16{std::numeric_limits<std::int16_t>::min(),
                          std::numeric_limits<std::int16_t>::max()};
constexpr value_range u8{0, 255};
constexpr value_range any_length{0, static_cast<std::int64_t>(max_name_length)};
// The longest line and the 7000 m the route runs on past its end.
constexpr value_range route{0, 1007000};
constexpr value_range flag{0, 1};
constexpr value_range digit{0, 9};
constexpr value_range speed{0, 300};

constexpr field_schema position(std::string_view meaning, std::int32_t multiple = 0) {
    return {"position", "m", value_kind::number, i32, route, multiple, meaning};
}
constexpr field_schema plain(std::string_view name, value_range allowed, value_range plausible,
                             std::string_view meaning, std::string_view unit = "") {
    return {name, unit, value_kind::number, allowed, plausible, 0, meaning};
}
constexpr field_schema kept_low(std::string_view name, value_range allowed, value_range plausible,
                                std::string_view meaning, std::string_view unit = "") {
    return {name, unit, value_kind::wraps, allowed, plausible, 0, meaning};
}
constexpr field_schema text(std::string_view name, std::string_view meaning) {
    return {name, "", value_kind::text, any_length, any_length, 0, meaning};
}

// Line description, general section.
constexpr std::array line_length_fields{
    field_schema{"length",
                 "m",
                 value_kind::number,
                 {0, 1000000},
                 {1000, 1000000},
                 0,
                 "length of the line; the route grid runs 7000 m past it"},
};
constexpr std::array progressive_fields{
    field_schema{"start", "m", value_kind::number, i32, route, 50,
                 "route position where the kilometre count changes"},
    field_schema{"offset",
                 "m",
                 value_kind::number,
                 i32,
                 {-1007000, 1007000},
                 50,
                 "added to the route position from the start on"},
    plain("flag", i32, flag, "1: the count runs backwards from the start"),
};
constexpr std::array background_fields{
    plain("background", i32, digit, "scenery background the simulator shows"),
};
constexpr std::array repetition_fields{
    field_schema{"start", "m", value_kind::number, i32, route, 50,
                 "where the cab-signal repetition begins"},
    field_schema{"end", "m", value_kind::number, i32, route, 50, "where it ends; 0: no repetition"},
};
// Line description, record section.
constexpr std::array gradient_fields{
    position("where the gradient changes"),
    kept_low("gradient", {-100, 155}, {-40, 40},
             "new gradient from the position on; positive "
             "climbs",
             "per mille"),
};
constexpr std::array curve_fields{
    position("where the curve starts"),
    plain("length", i32, {1, 5000}, "length of the curve", "m"),
};
constexpr std::array mountain_fields{
    field_schema{"start", "m", value_kind::number, i32, route, 0, "where the mountain begins"},
    field_schema{"end", "m", value_kind::number, i32, route, 0, "where it ends"},
    kept_low("type", u8, {0, 20}, "scenery type; above 10: type minus 10 with marker cells"),
};
constexpr std::array speed_board_fields{
    position("where the board stands"),
    plain("vas", i32, speed, "left board, speed for category A trains", "km/h"),
    plain("vbs", i32, speed, "left board, category B", "km/h"),
    plain("vcs", i32, speed, "left board, category C", "km/h"),
    kept_low("strisces", i32, digit, "stripes on the left board"),
    plain("vad", i32, speed, "right board, category A", "km/h"),
    plain("vbd", i32, speed, "right board, category B", "km/h"),
    plain("vcd", i32, speed, "right board, category C", "km/h"),
    kept_low("strisced", i32, digit, "stripes on the right board"),
};
constexpr std::array direction_board_fields{
    position("where the board stands"),
    text("text", "what the board reads, to the end of the line; no comma"),
};

// Train description.
constexpr std::array braked_mass_fields{
    plain("percentage", i32, {0, 250}, "braked mass of the train", "%"),
};
constexpr std::array coach_fields{plain("coaches", i32, {0, 50}, "coaches of the train")};
constexpr std::array speed_limit_fields{
    position("where the limit starts; positions ascend"),
    field_schema{"speed",
                 "km/h",
                 value_kind::number,
                 {0, 1277},
                 speed,
                 0,
                 "limit in force up to the next limit; stored divided by 5"},
};
constexpr std::array adhesion_fields{
    position("where the level starts; positions ascend"),
    kept_low("level", u8, {0, 100}, "adhesion in force up to the next record"),
};
constexpr std::array clock_fields{
    plain("hours", i16, {0, 23}, "start clock", "h"),
    plain("minutes", i16, {0, 59}, "start clock", "min"),
    plain("seconds", i16, {0, 59}, "start clock", "s"),
};
constexpr std::array sand_fields{plain("sand", i16, {0, 1000}, "sand supply")};
constexpr std::array signal_fields{
    position("where the signal stands"),
    plain("sx", i32, {0, 2}, "first group's type; 2 also keeps the opening delay"),
    plain("s1", i32, digit, "first group, first value"),
    plain("s2", i32, digit, "first group, second value"),
    plain("s3", i32, digit, "first group, third value"),
    plain("rapp", i32, digit, "tens of the signal's packed type"),
    plain("dx", i32, {0, 2}, "second group's type"),
    plain("d1", i32, digit, "second group, first value"),
    plain("d2", i32, digit, "second group, second value"),
    plain("d3", i32, digit, "second group, third value"),
    kept_low("tempo", i32, {0, 255}, "opening delay; 0 none, 1 to 100 become 101", "s"),
};
constexpr std::array slowdown_fields{
    position("where the slowdown starts"),
    kept_low("v", i16, speed, "speed of the slowdown", "km/h"),
    plain("l", i32, {0, 100000}, "length; the slowdown ends at position plus length", "m"),
    kept_low("f_tt", i16, flag, "value kept on the start and end cells"),
    plain("f_ta", i32, flag, "non-zero: four pre-warning cells before the warning cell"),
    kept_low("d_v", i16, speed, "value kept on the warning, start and end cells when non-zero",
             "km/h"),
};
constexpr std::array code_point_fields{
    position("where the cab code changes"),
    plain("code", {i32.min, i16.max}, {0, 400},
          "cab code from here on; 0 or below: the code goes off"),
};
constexpr std::array station_fields{
    position("station position", 50),
    plain("kind", u8, {1, 30},
          "5, 6: area reaches back the length and 150 m ahead; 7, 8: the length both ways; "
          "others: centred; 25 and above: no stop"),
    field_schema{"length",
                 "m",
                 value_kind::number,
                 i32,
                 {100, 2000},
                 100,
                 "length of the station area; below 600 clears value 5"},
    plain("first value", u8, flag, "first station value, kept as read"),
    plain("second value", u8, flag, "second station value; kept from 600 m of length on"),
    plain("end extension", u8, flag, "non-zero: a centred area ends 50 m further"),
    plain("group a1", i16, digit, "group a, first"),
    plain("group a2", i16, digit, "group a, second"),
    plain("group a3", u8, digit, "group a, third"),
    plain("group b1", i16, digit, "group b, first"),
    plain("group b2", i16, digit, "group b, second"),
    plain("group b3", i16, digit, "group b, third"),
    plain("third value", u8, u8, "third station value, kept as read"),
    plain("hour", i32, {0, 23}, "timetable time; all three 0: no time", "h"),
    plain("minute", i32, {0, 59}, "timetable time", "min"),
    plain("second", i32, {0, 59}, "timetable time", "s"),
    text("name", "station name, to the end of the line; no comma"),
};

using lk = description_kind;

constexpr record_schema line_record(std::string_view name, const record_keyword& k,
                                    std::string_view section_name, bool general,
                                    std::string_view meaning,
                                    std::span<const field_schema> fields) {
    return {lk::line, name, &k, section_name, general, meaning, fields};
}
constexpr record_schema train_record(std::string_view name, const record_keyword& k,
                                     std::string_view section_name, std::string_view meaning,
                                     std::span<const field_schema> fields) {
    return {lk::train, name, &k, section_name, false, meaning, fields};
}

namespace lw = line_keyword;
namespace tw = train_keyword;

const std::array<record_schema, 23> records{
    line_record("line length", lw::line_length, section::general, true,
                "dimensions the route grid; every later record needs it", line_length_fields),
    line_record("kilometre progressive three", lw::progressive_three, section::general, true,
                "third change of the kilometre count", progressive_fields),
    line_record("kilometre progressive two", lw::progressive_two, section::general, true,
                "second change of the kilometre count", progressive_fields),
    line_record("kilometre progressive one", lw::progressive_one, section::general, true,
                "first change of the kilometre count", progressive_fields),
    line_record("background one", lw::background_one, section::general, true,
                "first scenery background", background_fields),
    line_record("background two", lw::background_two, section::general, true,
                "second scenery background", background_fields),
    line_record("background three", lw::background_three, section::general, true,
                "third scenery background", background_fields),
    line_record("signal repetition", lw::repetition, section::general, true,
                "stretch with cab-signal repetition; the keyword carries 4 or 9, the number of "
                "codes",
                repetition_fields),
    line_record("gradient", lw::gradient, section::gradients, false,
                "the gradient from a position on", gradient_fields),
    line_record("curve", lw::curve, section::curves, false,
                "a curve of the line's plan; the keyword carries the side (s left, d right) and "
                "the class digit 1 to 6; read only when the plan is drawn",
                curve_fields),
    line_record("mountain", lw::mountain, section::mountains, false, "scenery beside the line",
                mountain_fields),
    line_record("speed board", lw::speed_board, section::speed_boards, false,
                "maximum-speed boards on both sides", speed_board_fields),
    line_record("direction board", lw::direction_board, section::direction_boards, false,
                "a board with a text", direction_board_fields),
    train_record("braked mass", tw::braked_mass, section::general, "braked-mass percentage",
                 braked_mass_fields),
    train_record("coach count", tw::coach_count, section::general, "number of coaches",
                 coach_fields),
    train_record("speed limit", tw::speed_limit, section::speed_limits,
                 "the speed limit from a position on", speed_limit_fields),
    train_record("adhesion", tw::adhesion, section::adhesions,
                 "the adhesion level from a position on", adhesion_fields),
    train_record("clock", tw::clock, section::general,
                 "start clock; its values may be separated by blanks alone", clock_fields),
    train_record("sand", tw::sand, section::general, "sand supply", sand_fields),
    train_record("signal", tw::signal, section::signals, "a signal and its two groups",
                 signal_fields),
    train_record("slowdown", tw::slowdown, section::slowdowns, "a temporary slowdown",
                 slowdown_fields),
    train_record("code point", tw::code_point, section::code_points, "where the cab code changes",
                 code_point_fields),
    train_record("station", tw::station, section::stations,
                 "a station, its area, its values and its timetable time", station_fields),
};

struct span_of {
    std::size_t start = 0;
    std::size_t length = 0;
};

bool blank(char c) {
    return c == ' ' || c == '\t';
}

std::size_t skip_blanks(std::string_view line, std::size_t i) {
    while (i < line.size() && blank(line[i])) ++i;
    return i;
}

// One field from i as the reader takes it; i moves past its separator.
span_of next_field(std::string_view line, std::size_t& i, description_kind file, bool is_text,
                   bool last_text) {
    i = skip_blanks(line, i);
    const std::size_t start = i;
    const bool quoted = file == lk::train && is_text && i < line.size() && line[i] == '"';
    if (quoted) {
        const std::size_t close = line.find('"', i + 1);
        i = close == std::string_view::npos ? line.size() : close + 1;
    } else if (last_text && file == lk::line) {
        i = line.size();
    } else {
        const bool blank_ends = file == lk::train && !is_text;
        while (i < line.size() && line[i] != ',' && !(blank_ends && blank(line[i]))) ++i;
    }
    span_of s{start, i - start};
    if (file == lk::line && !is_text) {
        while (s.length > 0 && blank(line[s.start + s.length - 1])) --s.length;
    }
    i = skip_blanks(line, i);
    if (i < line.size() && line[i] == ',') ++i;
    return s;
}

bool covers(span_of s, std::int32_t column) {
    const auto c = static_cast<std::size_t>(column - 1);
    return c >= s.start && c <= s.start + s.length;
}

field_at hit(const record_schema* r, std::optional<std::size_t> value, span_of s) {
    return {r, value, static_cast<std::int32_t>(s.start + 1), static_cast<std::int32_t>(s.length)};
}

}  // namespace

std::span<const record_schema> all_records() {
    return records;
}

std::vector<const record_schema*> records_named(description_kind file, std::string_view field,
                                                bool general) {
    std::vector<const record_schema*> found;
    for (const record_schema& r : records) {
        if (r.file != file || (file == lk::line && r.general != general)) continue;
        if (names(*r.keyword, field)) found.push_back(&r);
    }
    return found;
}

const field_schema* field_of(const record_schema& record, std::size_t index) {
    return index < record.fields.size() ? &record.fields[index] : nullptr;
}

std::optional<field_at> field_under_column(description_kind file, std::string_view line,
                                           std::int32_t column, bool general) {
    if (column < 1) return std::nullopt;
    std::size_t i = 0;
    const span_of keyword_span = next_field(line, i, file, true, false);
    const auto named =
        records_named(file, line.substr(keyword_span.start, keyword_span.length), general);
    if (named.empty()) return std::nullopt;
    const record_schema* r = named.front();
    if (covers(keyword_span, column)) return hit(r, std::nullopt, keyword_span);
    for (std::size_t v = 0; v < r->fields.size() && i < line.size(); ++v) {
        const bool is_text = r->fields[v].kind == value_kind::text;
        const span_of s = next_field(line, i, file, is_text, v + 1 == r->fields.size());
        if (covers(s, column)) return hit(r, v, s);
    }
    return std::nullopt;
}

}  // namespace compattatore
