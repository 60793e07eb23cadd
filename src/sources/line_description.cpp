// The line description of the scenario's line, Torino - Piacenza: general values, curves,
// gradients, the mountain, the maximum-speed boards and the direction boards.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "ground/record_keywords.hpp"
#include "sources/line_list.hpp"
#include "sources/text_format.hpp"
#include "sources/writers.hpp"

namespace compattatore {

namespace {

// A keyword and its first `count` values.
struct general_row {
    const char* keyword;
    std::size_t count;
    std::array<std::int32_t, 3> values;
};

// side: 'd' right, 's' left; curve_class: 1 (gentlest) to 6.
struct curve_row {
    char side;
    int curve_class;
    std::int32_t start;
    std::int32_t length;
};

struct gradient_row {
    std::int32_t position;
    std::int32_t per_mille;
};

struct mountain_row {
    std::int32_t start;
    std::int32_t end;
    std::int32_t type;
};

// The three speeds hold for both sides of the line; the stripes are always 0 here.
struct speed_board_row {
    std::int32_t position;
    std::int32_t speed_a;
    std::int32_t speed_b;
    std::int32_t speed_c;
};

struct direction_board_row {
    std::int32_t position;
    const char* text;
};

constexpr general_row general_rows[] = {
    {line_keyword::line_length.written, 1, {188000}},
    {line_keyword::progressive_one.written, 3, {90800, -90800, 0}},
    {line_keyword::progressive_two.written, 3, {0, 0, 0}},
    {line_keyword::progressive_three.written, 3, {0, 0, 0}},
    {line_keyword::background_one.written, 1, {1}},
    {line_keyword::background_two.written, 1, {0}},
    {line_keyword::background_three.written, 1, {0}},
    {line_keyword::repetition.written, 2, {0, 188000}},
};

constexpr curve_row curve_rows[] = {
    {'d', 4, 1700, 500},   {'s', 5, 2300, 300},   {'s', 2, 3900, 900},   {'s', 2, 5100, 900},
    {'s', 3, 7900, 1000},  {'d', 2, 10500, 1000}, {'s', 3, 14800, 1300}, {'d', 3, 31300, 800},
    {'s', 5, 32300, 300},  {'d', 3, 32600, 800},  {'s', 2, 33800, 1050}, {'d', 4, 35800, 200},
    {'d', 4, 37200, 300},  {'s', 3, 38000, 400},  {'d', 4, 39600, 400},  {'s', 3, 42200, 800},
    {'d', 4, 45200, 600},  {'s', 3, 47700, 1800}, {'d', 2, 51500, 500},  {'d', 2, 52800, 1200},
    {'d', 2, 59100, 2000}, {'s', 2, 65000, 1100}, {'d', 2, 66500, 1000}, {'s', 2, 68500, 2200},
    {'d', 4, 87450, 800},  {'d', 3, 88250, 400},  {'s', 5, 94000, 600},  {'s', 3, 111500, 600},
    {'s', 3, 114000, 300}, {'d', 4, 122000, 600}, {'d', 4, 130000, 600}, {'s', 4, 130900, 600},
    {'s', 2, 142000, 350}, {'d', 2, 148000, 400}, {'s', 4, 150600, 400}, {'d', 4, 152100, 1000},
    {'d', 4, 161400, 500}, {'s', 3, 164900, 350}, {'s', 4, 165300, 450}, {'d', 4, 166000, 400},
    {'d', 3, 168900, 300}, {'s', 4, 172050, 400}, {'d', 3, 174150, 200}, {'d', 4, 179800, 300},
    {'s', 4, 180600, 350}, {'s', 3, 182000, 300}, {'s', 2, 185000, 300}, {'d', 5, 186800, 400},
};

constexpr gradient_row gradient_rows[] = {
    {0, 1},      {2450, 0},   {8600, 1},  {29500, 0},  {34500, -10}, {40000, 0},  {42000, -3},
    {42900, -8}, {45900, -6}, {54950, 0}, {63450, -3}, {66450, -1},  {86850, -2}, {88850, 0},
};

constexpr mountain_row mountain_rows[] = {
    {1500, 1550, 2},
};

constexpr speed_board_row speed_board_rows[] = {
    {1200, 100, 110, 120},   {2900, 110, 120, 130},   {5400, 140, 160, 160},
    {16100, 140, 160, 180},  {27600, 125, 125, 140},  {28000, 125, 125, 140},
    {28400, 125, 125, 140},  {34900, 140, 140, 150},  {43700, 120, 135, 140},
    {44100, 120, 135, 140},  {44500, 120, 135, 140},  {49500, 140, 160, 180},
    {53500, 140, 150, 160},  {53900, 140, 150, 160},  {54300, 140, 150, 160},
    {56300, 140, 160, 180},  {64300, 130, 140, 150},  {64700, 130, 140, 150},
    {65100, 130, 140, 150},  {70600, 140, 160, 180},  {84100, 140, 140, 150},
    {84450, 140, 140, 150},  {84800, 140, 140, 150},  {87000, 90, 90, 90},
    {87400, 90, 90, 90},     {87800, 90, 90, 90},     {91900, 140, 150, 160},
    {114500, 140, 150, 160}, {115500, 140, 160, 160}, {125000, 120, 120, 120},
    {125400, 120, 120, 120}, {125800, 120, 120, 120}, {126800, 60, 60, 60},
    {127200, 60, 60, 60},    {127600, 60, 60, 60},    {132350, 140, 150, 160},
    {162500, 100, 105, 105}, {162900, 100, 105, 105}, {163300, 100, 105, 105},
    {169300, 140, 160, 160}, {184650, 90, 100, 110},  {185050, 90, 100, 110},
    {185450, 90, 100, 110},
};

constexpr direction_board_row direction_board_rows[] = {
    {13700, "(Bivio     )(per Savona)(per Genova)"},
    {89500, "(Ponte       )(Fiume Tanaro)"},
    {182500, "(Ponte        )(Fiume Trebbia)"},
};

// Each value after its comma and a separator of blanks; the separators are the format's own.
using text::record;

std::string general_line(const general_row& r) {
    return record(r.keyword, std::span(r.values).first(r.count), "    ");
}

std::string curve_line(const curve_row& r) {
    std::string keyword = line_keyword::curve.written;
    keyword += r.side;
    keyword += static_cast<char>('0' + r.curve_class);
    return record(std::move(keyword), {r.start, r.length}, "  ");
}

std::string gradient_line(const gradient_row& r) {
    return record(record(line_keyword::gradient.written, {r.position}, "  "), {r.per_mille}, "   ");
}

std::string mountain_line(const mountain_row& r) {
    return record(record(line_keyword::mountain.written, {r.start}, "   "), {r.end, r.type}, "  ");
}

std::string speed_board_line(const speed_board_row& r) {
    constexpr std::int32_t no_stripes = 0;
    return record(line_keyword::speed_board.written,
                  {r.position, r.speed_a, r.speed_b, r.speed_c, no_stripes, r.speed_a, r.speed_b,
                   r.speed_c, no_stripes},
                  "  ");
}

std::string direction_board_line(const direction_board_row& r) {
    return record(line_keyword::direction_board.written, {r.position}, "  ") + ",   " + r.text;
}

template <typename Rows, typename Format>
void append_rows(std::vector<std::string>& lines, const Rows& rows, Format format) {
    for (const auto& r : rows) lines.push_back(format(r));
}

}  // namespace

std::vector<std::string> dati_linea_lines() {
    std::vector<std::string> lines;
    lines.reserve(line_list_capacity);
    lines.emplace_back(section::general);
    append_rows(lines, general_rows, general_line);
    lines.emplace_back(section::curves);
    append_rows(lines, curve_rows, curve_line);
    lines.emplace_back(section::gradients);
    append_rows(lines, gradient_rows, gradient_line);
    lines.emplace_back(section::mountains);
    append_rows(lines, mountain_rows, mountain_line);
    lines.emplace_back(section::speed_boards);
    append_rows(lines, speed_board_rows, speed_board_line);
    lines.emplace_back(section::direction_boards);
    append_rows(lines, direction_board_rows, direction_board_line);
    lines.emplace_back(section::end);
    lines.emplace_back(end_sentinel);
    return lines;
}

}  // namespace compattatore
