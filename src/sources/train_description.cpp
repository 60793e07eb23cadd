// The train description of train 2063 on Torino - Piacenza: general values, adhesion and
// speed-limit profiles, stations with the timetable, slowdowns, signals and cab-code points.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "ground/record_keywords.hpp"
#include "sources/line_list.hpp"
#include "sources/text_format.hpp"
#include "sources/writers.hpp"

namespace compattatore {

namespace {

struct profile_row {
    std::int32_t position;
    std::int32_t value;
};

// Values in the record's order: position, kind, length, value 4, value 5, end extension,
// group a (3), group b (3), value 13, timetable hour, minute, second.
struct station_row {
    std::array<std::int32_t, 16> values;
    const char* name;
};

// x, v, l, f_tt, f_ta, d_v
struct slowdown_row {
    std::array<std::int32_t, 6> values;
};

// sx, s1, s2, s3, rapp, dx, d1, d2, d3, tempo: everything but the position.
using signal_values = std::array<std::int32_t, 10>;

struct signal_exception {
    std::int32_t position;
    signal_values values;
};

struct code_exception {
    std::int32_t position;
    std::int32_t code;
};

// Field widths of each record kind, after the keyword.
constexpr std::size_t profile_widths[] = {8, 6};
constexpr std::size_t first_speed_limit_widths[] = {4, 6};
constexpr std::size_t station_widths[] = {8, 3, 5, 3, 2, 2, 3, 1, 1, 3, 1, 1, 5, 4, 2, 2};
constexpr std::size_t slowdown_widths[] = {8, 6, 5, 2, 3, 4};
constexpr std::size_t signal_widths[] = {8, 4, 2, 2, 3, 2, 5, 3, 1, 1};  // tempo unpadded

constexpr profile_row adhesion_rows[] = {
    {0, 75}, {2350, 90}, {8350, 75}, {49850, 85}, {90250, 95}, {111650, 100},
};

constexpr profile_row speed_limit_rows[] = {
    {0, 30},       {1150, 110},   {2900, 120},   {5350, 160},   {29300, 125},  {34850, 140},
    {45000, 135},  {49450, 160},  {55000, 150},  {56300, 160},  {65700, 140},  {70550, 160},
    {85600, 140},  {88800, 90},   {91800, 150},  {115500, 160}, {126400, 120}, {128400, 60},
    {132300, 150}, {164200, 105}, {169300, 160}, {186200, 100},
};

// clang-format off
constexpr station_row station_rows[] = {
    //  pos     kind len  v4 v5 ext  a1 a2 a3  b1 b2 b3  v13  hh  mm  ss
    {{       0,  8, 700, 1, 0, 0,  4, 1, 0,  2, 1, 1,   1, 11, 48, 0}, "TORINO PORTA NUOVA"},
    {{    4850, 12, 600, 0, 0, 0,  1, 1, 0,  4, 1, 1,  60, 11, 55, 0}, "TORINO LINGOTTO"},
    {{    8000, 22, 400, 0, 0, 0,  0, 0, 0,  4, 1, 1,   0,  0,  0, 0}, "MONCALIERI"},
    {{   13000, 12, 500, 0, 0, 0,  1, 1, 0,  4, 1, 1,   0,  0,  0, 0}, "TROFARELLO"},
    {{   17350, 28, 300, 0, 0, 0,  0, 0, 0,  0, 0, 0,   0,  0,  0, 0}, "CAMBIANO-SANTENA"},
    {{   22300, 22, 300, 0, 0, 0,  0, 0, 0,  4, 1, 1,   0,  0,  0, 0}, "PESSIONE"},
    {{   30600, 22, 400, 0, 0, 0,  0, 0, 0,  4, 1, 1,   0,  0,  0, 0}, "VILLANOVA D'ASTI"},
    {{   33100, 27, 300, 0, 0, 0,  0, 0, 0,  0, 0, 0,   0,  0,  0, 0}, "SAN PAOLO SOLBRITO"},
    {{   40800, 22, 400, 0, 0, 0,  0, 0, 0,  4, 1, 1,   0,  0,  0, 0}, "VILLAFRANCA-CANTARANA"},
    {{   45350, 28, 300, 0, 0, 0,  0, 0, 0,  0, 0, 0,   0,  0,  0, 0}, "BALDICHIERI-TIGLIOLE"},
    {{   48300, 28, 300, 0, 0, 0,  0, 0, 0,  0, 0, 0,   0,  0,  0, 0}, "SAN DAMIANO D'ASTI"},
    {{   55500,  4, 600, 0, 0, 0,  1, 1, 0,  4, 1, 1,  60, 12, 23, 0}, "ASTI"},
    {{   66100, 28, 300, 0, 0, 0,  0, 0, 0,  0, 0, 0,   0,  0,  0, 0}, "CASTELLO D'ANNONE"},
    {{   69250, 27, 300, 0, 0, 0,  0, 0, 0,  0, 0, 0,   0,  0,  0, 0}, "ROCCHETTA TANARO"},
    {{   76150, 28, 300, 0, 0, 0,  0, 0, 0,  0, 0, 0,   0,  0,  0, 0}, "FELIZZANO"},
    {{   81900, 28, 300, 0, 0, 0,  0, 0, 0,  0, 0, 0,   0,  0,  0, 0}, "SOLERO"},
    {{   90800,  4, 600, 1, 0, 0,  4, 1, 0,  2, 1, 1,  80, 12, 46, 0}, "ALESSANDRIA"},
    {{   98700, 27, 300, 0, 0, 0,  0, 0, 0,  0, 0, 0,   0,  0,  0, 0}, "SPINETTA-MARENGO"},
    {{  104700, 22, 300, 0, 0, 0,  0, 0, 0,  4, 1, 1, 208,  0,  0, 0}, "SAN GIULIANO PIEMONTE"},
    {{  112700, 12, 500, 1, 0, 0,  4, 1, 1,  2, 1, 1,  60, 13,  2, 0}, "TORTONA"},
    {{  121850, 28, 300, 0, 0, 0,  0, 0, 0,  0, 0, 0,   0,  0,  0, 0}, "PONTECURONE"},
    {{  129600,  4, 500, 1, 0, 0,  4, 1, 1,  2, 1, 1,  60, 13, 13, 0}, "VOGHERA"},
    {{  138500, 22, 300, 0, 0, 0,  0, 0, 0,  4, 1, 1,   0,  0,  0, 0}, "CASTEGGIO"},
    {{  143500, 27, 300, 0, 0, 0,  0, 0, 0,  0, 0, 0,   0,  0,  0, 0}, "S. GIULIETTA"},
    {{  150500, 28, 300, 0, 0, 0,  0, 0, 0,  0, 0, 0,   0,  0,  0, 0}, "BRONI"},
    {{  154350, 12, 400, 0, 0, 0,  1, 1, 0,  4, 1, 1,  60, 13, 28, 0}, "STRADELLA"},
    {{  158400, 27, 300, 0, 0, 0,  0, 0, 0,  0, 0, 0,   0,  0,  0, 0}, "ARENA PO"},
    {{  165400, 22, 300, 0, 0, 0,  0, 0, 0,  4, 1, 1,  60, 13, 36, 0}, "CASTEL S. GIOVANNI"},
    {{  169400, 28, 300, 0, 0, 0,  0, 0, 0,  0, 0, 0,   0,  0,  0, 0}, "SARMATO"},
    {{  174550, 22, 300, 0, 0, 0,  0, 0, 0,  4, 1, 1,   0,  0,  0, 0}, "ROTTOFRENO"},
    {{  179450, 27, 300, 0, 0, 0,  0, 0, 0,  0, 0, 0,   0,  0,  0, 0}, "SAN NICOLO'"},
    {{  188000,  2, 600, 1, 0, 0,  1, 1, 0,  2, 1, 1,   0, 13, 50, 0}, "PIACENZA"},
};
// clang-format on

constexpr slowdown_row slowdown_rows[] = {
    {{6700, 60, 800, 0, 0, 60}},
    {{131450, 90, 5000, 1, 1, 90}},
};

constexpr std::int32_t signal_positions[] = {
    2800,   4100,   5850,   7200,   9500,   10800,  12100,  15100,  16600,  17900,  19200,  20500,
    21800,  24300,  25600,  26900,  28200,  29500,  32500,  33800,  35100,  36900,  38200,  39500,
    42800,  44200,  45500,  46800,  48800,  50100,  51400,  52700,  54000,  57500,  58800,  60150,
    61450,  62750,  64050,  65300,  66800,  68100,  69600,  70900,  72200,  73500,  74800,  76800,
    78100,  79400,  80700,  82700,  84500,  86300,  87600,  89200,  92550,  93850,  95350,  96600,
    97900,  99700,  101000, 103000, 106200, 107500, 108800, 110100, 111400, 114400, 115700, 117200,
    118500, 119800, 121300, 122900, 124200, 125500, 126900, 128200, 129000, 131700, 133000, 134300,
    135600, 137100, 140100, 141400, 142700, 144100, 145400, 146700, 148000, 149400, 150900, 152200,
    155900, 157200, 158800, 160100, 161400, 162800, 164300, 166800, 168100, 169800, 171100, 172400,
    173500, 176200, 177800, 181000, 182300, 183600, 184450, 186300, 187300,
};

// Most signals of the line are alike; the table lists the ones that are not.
constexpr signal_values common_signal = {2, 4, 1, 1, 0, 2, 2, 1, 1, 0};

// clang-format off
constexpr signal_exception signal_exceptions[] = {
    //         sx s1 s2 s3 rapp dx d1 d2 d3 tempo
    {  4100, {1, 3, 1, 1, 0, 2, 2, 1, 1, 0}},
    {  9500, {2, 3, 1, 1, 0, 2, 2, 1, 1, 0}},
    { 10800, {2, 4, 1, 1, 0, 2, 2, 1, 1, 110}},
    { 25600, {2, 4, 1, 1, 0, 2, 3, 1, 1, 0}},
    { 39500, {2, 4, 1, 1, 0, 2, 2, 1, 1, 115}},
    { 45500, {1, 4, 1, 1, 0, 2, 2, 1, 1, 0}},
    { 54000, {1, 3, 1, 1, 0, 2, 2, 1, 1, 0}},
    { 87600, {2, 6, 5, 1, 0, 2, 2, 1, 1, 0}},
    { 89200, {1, 2, 3, 1, 0, 2, 2, 1, 1, 0}},
    { 92550, {2, 4, 0, 0, 0, 2, 3, 1, 1, 0}},
    { 93850, {2, 4, 0, 0, 0, 2, 3, 1, 1, 0}},
    { 95350, {2, 4, 1, 1, 0, 2, 3, 1, 1, 0}},
    { 96600, {2, 4, 1, 1, 0, 0, 0, 0, 0, 0}},
    { 97900, {2, 4, 1, 1, 0, 0, 0, 0, 0, 0}},
    { 99700, {2, 4, 1, 1, 0, 0, 0, 0, 0, 0}},
    {101000, {2, 4, 1, 1, 0, 0, 0, 0, 0, 0}},
    {103000, {2, 3, 1, 1, 0, 0, 0, 0, 0, 0}},
    {110100, {2, 6, 5, 1, 0, 2, 2, 1, 1, 0}},
    {111400, {2, 2, 3, 1, 0, 2, 3, 1, 1, 0}},
    {114400, {2, 3, 1, 1, 0, 2, 2, 1, 1, 0}},
    {115700, {1, 4, 1, 1, 0, 2, 2, 1, 1, 0}},
    {119800, {2, 4, 1, 1, 0, 2, 3, 1, 1, 0}},
    {121300, {1, 4, 1, 1, 0, 2, 3, 1, 1, 0}},
    {122900, {1, 4, 1, 1, 0, 2, 3, 1, 1, 0}},
    {124200, {1, 4, 1, 1, 0, 2, 3, 1, 1, 0}},
    {125500, {2, 4, 1, 1, 0, 2, 4, 1, 1, 0}},
    {128200, {2, 6, 5, 1, 0, 2, 2, 1, 1, 0}},
    {129000, {2, 2, 3, 1, 0, 2, 2, 1, 1, 0}},
    {133000, {2, 3, 1, 1, 0, 2, 2, 1, 1, 0}},
    {134300, {2, 4, 1, 1, 0, 2, 2, 1, 1, 110}},
    {145400, {2, 4, 1, 1, 0, 2, 3, 1, 1, 0}},
    {146700, {2, 4, 1, 1, 0, 2, 3, 1, 1, 0}},
    {148000, {2, 3, 1, 1, 0, 2, 4, 1, 1, 0}},
    {149400, {2, 4, 1, 1, 0, 2, 2, 1, 1, 120}},
    {152200, {2, 3, 1, 1, 0, 2, 2, 1, 1, 0}},
    {155900, {2, 3, 1, 1, 0, 2, 2, 1, 1, 0}},
    {157200, {2, 3, 1, 1, 0, 2, 2, 1, 1, 114}},
    {158800, {2, 4, 1, 1, 0, 2, 2, 1, 1, 125}},
    {164300, {2, 3, 1, 1, 0, 2, 2, 1, 1, 0}},
    {186300, {2, 6, 5, 1, 0, 2, 2, 1, 1, 0}},
    {187300, {2, 2, 3, 1, 0, 2, 2, 1, 1, 0}},
};
// clang-format on

constexpr std::int32_t code_point_positions[] = {
    0,      500,    1500,   2000,   3500,   5000,   8000,   9000,   9500,   10500,  11000,  12000,
    12500,  13500,  14000,  15000,  15500,  16500,  17000,  17650,  18000,  19000,  19500,  20500,
    21000,  22000,  22500,  23000,  24000,  24300,  25000,  25500,  25700,  26500,  27000,  28000,
    28500,  29500,  30000,  31000,  31500,  32500,  33000,  34000,  34500,  35500,  36000,  37000,
    37500,  38500,  39000,  40000,  40500,  40850,  41500,  42000,  43000,  43500,  44500,  45000,
    46000,  46500,  46700,  47500,  48000,  49000,  49500,  50500,  51000,  51400,  52000,  52500,
    53500,  54000,  55000,  55500,  55850,  56500,  57000,  58000,  58500,  58800,  59150,  59500,
    60000,  60500,  61000,  61450,  62500,  62950,  64000,  64450,  65500,  65950,  67000,  67450,
    68500,  68950,  70000,  70450,  70550,  70900,  71500,  71950,  72400,  73000,  73450,  74500,
    74950,  76000,  76450,  76750,  77500,  77950,  78200,  79000,  79200,  79400,  80500,  80900,
    82000,  82400,  82650,  83500,  83900,  85000,  85400,  86500,  86900,  88000,  88400,  89500,
    89900,  91000,  91400,  92500,  92900,  94000,  94400,  95500,  95900,  97000,  97400,  97900,
    98500,  98900,  100000, 100400, 101500, 101900, 103000, 103400, 104500, 104900, 106000, 106400,
    107500, 107900, 109000, 109400, 110500, 110900, 112000, 112400, 113500, 113900, 115000, 115400,
    115500, 115600, 115700, 116500, 116900, 117200, 118000, 118400, 118500, 119150, 119500, 119900,
    120700, 121400, 122200, 122900, 123700, 124400, 125200, 125900, 126700, 127400, 128200, 128900,
    129700, 130400, 137350, 138250, 138700, 139750, 139900, 140050, 140700, 141250, 141400, 142200,
    142900, 143700, 144200, 145200, 145700, 146700, 147200, 148200, 148700, 149700, 150200, 151200,
    151700, 152700, 153200, 154200, 154700, 155700, 156200, 157200, 157700, 158700, 159200, 160200,
    160700, 161700, 162200, 163200, 163700, 164700, 165200, 165600, 166200, 166700, 166900, 167700,
    168200, 169200, 169700, 169900, 170700, 171200, 172200, 172700, 173700, 174200, 174600, 175200,
    175700, 176700, 177200, 178200, 178700, 179700, 180200, 181200, 181700, 182700, 183200, 183700,
    184650, 185250, 186150, 187300, 188300,
};

constexpr std::int32_t common_code = 270;
constexpr code_exception code_exceptions[] = {
    {162200, 180},
};

constexpr bool strictly_ascending(std::span<const std::int32_t> positions) {
    for (std::size_t i = 1; i < positions.size(); ++i) {
        if (positions[i] <= positions[i - 1]) return false;
    }
    return true;
}

constexpr bool is_listed(std::span<const std::int32_t> positions, std::int32_t p) {
    return std::find(positions.begin(), positions.end(), p) != positions.end();
}

// An exception whose position matched no record would be lost without a trace: the build
// refuses it, as it refuses positions out of order.
static_assert(strictly_ascending(signal_positions));
static_assert(strictly_ascending(code_point_positions));
static_assert(std::all_of(std::begin(signal_exceptions), std::end(signal_exceptions),
                          [](const signal_exception& e) {
                              return is_listed(signal_positions, e.position);
                          }));
static_assert(std::all_of(std::begin(code_exceptions), std::end(code_exceptions),
                          [](const code_exception& e) {
                              return is_listed(code_point_positions, e.position);
                          }));

// The keyword, then each value right-aligned in its width after a comma; the general values
// instead come after a comma and four blanks.
using text::record;

std::string general_line(const char* keyword, std::int32_t value) {
    return record(keyword, {value}, "    ");
}

// The one record whose values are set apart by blanks instead of commas.
std::string clock_line(std::int32_t hours, std::int32_t minutes, std::int32_t seconds) {
    return std::string(train_keyword::clock.written) + "," + text::right(hours, 6) +
           text::right(minutes, 16) + text::right(seconds, 13) + " ";
}

std::string profile_line(const char* keyword, const profile_row& r,
                         std::span<const std::size_t> widths) {
    const std::int32_t values[] = {r.position, r.value};
    return record(keyword, values, widths);
}

std::string station_line(const station_row& r) {
    return record(train_keyword::station.written, r.values, station_widths) + ", " + r.name;
}

std::string slowdown_line(const slowdown_row& r) {
    return record(train_keyword::slowdown.written, r.values, slowdown_widths);
}

std::string signal_line(std::int32_t position, const signal_values& v) {
    std::array<std::int32_t, 10> padded{};
    padded[0] = position;
    std::copy(v.begin(), v.end() - 1, padded.begin() + 1);
    return record(train_keyword::signal.written, padded, signal_widths) + ", " +
           std::to_string(v.back());
}

const signal_values& signal_values_at(std::int32_t position) {
    for (const auto& e : signal_exceptions) {
        if (e.position == position) return e.values;
    }
    return common_signal;
}

std::int32_t code_at(std::int32_t position) {
    for (const auto& e : code_exceptions) {
        if (e.position == position) return e.code;
    }
    return common_code;
}

}  // namespace

std::vector<std::string> dati_treno_lines() {
    std::vector<std::string> lines;
    lines.reserve(line_list_capacity);

    lines.emplace_back(section::general);
    lines.push_back(general_line(train_keyword::coach_count.written, 8));
    lines.push_back(general_line(train_keyword::braked_mass.written, 125));
    lines.push_back(general_line(train_keyword::sand.written, 120));
    lines.push_back(clock_line(11, 49, 0));

    lines.emplace_back(section::adhesions);
    for (const auto& r : adhesion_rows)
        lines.push_back(profile_line(train_keyword::adhesion.written, r, profile_widths));

    lines.emplace_back(section::speed_limits);
    bool first = true;
    for (const auto& r : speed_limit_rows) {
        // The first limit, at the origin, is written with a narrower position field.
        lines.push_back(profile_line(train_keyword::speed_limit.written, r,
                                     first ? first_speed_limit_widths : profile_widths));
        first = false;
    }

    lines.emplace_back(section::stations);
    for (const auto& r : station_rows) lines.push_back(station_line(r));

    lines.emplace_back(section::slowdowns);
    for (const auto& r : slowdown_rows) lines.push_back(slowdown_line(r));

    lines.emplace_back(section::signals);
    for (const std::int32_t p : signal_positions)
        lines.push_back(signal_line(p, signal_values_at(p)));

    lines.emplace_back(section::code_points);
    for (const std::int32_t p : code_point_positions) {
        lines.push_back(
            profile_line(train_keyword::code_point.written, {p, code_at(p)}, profile_widths));
    }

    lines.emplace_back(section::end);
    lines.emplace_back(end_sentinel);
    return lines;
}

}  // namespace compattatore
