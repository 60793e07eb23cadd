// The driver's timetable card of train 2063: four printable pages, the first two with the run
// from Torino Porta Nuova to Piacenza, the last two blank forms.

#include <cstdint>
#include <span>

#include "ground/code_page_850.hpp"
#include "ground/kilometres.hpp"
#include "sources/line_list.hpp"
#include "sources/text_format.hpp"
#include "sources/writers.hpp"

namespace compattatore {

namespace {

// Texts of the title box and the class box that change from page to page.
struct page_header {
    const char* train_line;
    const char* destination_line;
    const char* values_line;
};

// One data row. The limit is printed left-aligned between the blanks of its cell (the origin's
// " 30" brings its own leading blank, as the printed card has it); time is one "hh:mm" or an
// arrival-departure pair; an empty text leaves its cell blank.
struct card_row {
    const char* limit;
    std::int32_t progressive;  // metres
    const char* station;       // UTF-8
    const char* time;
    bool trailing_blank = false;  // a few rows of page 1 carry one blank after the last "|"
};

constexpr page_header run_header_page_1 = {
    " |   TRENO n. 2063   |                   da: Torino PN             |    V160 B    |",
    " |___________________|                    a: Piacenza              |     130%     |",
    " |         iR        |              |       490t        |",
};

constexpr page_header run_header_page_2 = {
    " |   TRENO n. 2063   |                   da: TORINO P.N.           |    V160 B    |",
    " |___________________|                    a: PIACENZA              |     130%     |",
    " |         iR        |              |       490t        |",
};

constexpr page_header blank_form_header = {
    " |   TRENO n.xxxxx   |                   da: xxxxxx                |    Vxxx C    |",
    " |___________________|                    a: xxxxxx                |     xxx%     |",
    " |        xxx        |              |      xxxT         |",
};

// clang-format off
constexpr card_row page_1_rows[] = {
    {" 30",     0, "TORINO PORTA NUOVA",    "11:48"},
    {"110",  1150, "",                      ""},
    {"120",  2900, "",                      ""},
    {"",     4850, "TORINO LINGOTTO",       "11:54-11:55"},
    {"160",  5350, "",                      ""},
    {"",     8000, "Moncalieri",            "11:57"},
    {"",    12850, "Trofarello",            "12:00"},
    {"",    17350, "Cambiano-Santena",      "12:02"},
    {"",    22300, "Pessione",              "12:04"},
    {"125", 29300, "",                      "", true},
    {"",    30600, "Villanova d'Asti",      "12:08"},
    {"",    33250, "San Paolo Solbrito",    "12:10"},
    {"140", 34850, "",                      ""},
    {"",    40600, "Villafranca-Cantarana", "12:14"},
    {"135", 45000, "",                      ""},
    {"",    45350, "Baldichieri-Tigliole",  "12:16"},
    {"",    48300, "San Damiano d'Asti",    "12:18"},
    {"160", 49450, "",                      ""},
    {"150", 55000, "",                      "", true},
    {"",    55500, "ASTI",                  "12:22-12:23"},
    {"160", 56300, "",                      "", true},
    {"140", 65700, "",                      ""},
    {"",    66100, "Castello d'Annone",     "12:29"},
    {"",    69250, "Rocchetta Tanaro",      "12:31"},
    {"160", 70550, "",                      ""},
    {"",    76100, "Felizzano",             "12:34"},
    {"",    81900, "Solero",                "12:37"},
    {"140", 85600, "",                      ""},
    {"90",  88800, "",                      "", true},
    {"",    90800, "ALESSANDRIA",           "12:44-12:46"},
    // The progressive counts anew after Alessandria.
    {"150",  1000, "",                      "", true},
    {"",     7900, "Spinetta",              "12:51"},
};

constexpr card_row page_2_rows[] = {
    {"",    13850, "S.Giuliano Piemonte",   "12:53"},
    {"",    21950, "TORTONA",               "13:01-13:02"},
    {"150", 23700, "",                      ""},
    {"160", 24700, "",                      ""},
    {"",    31000, "Pontecurone",           "13:07"},
    {"120", 35600, "",                      ""},
    {"60",  37600, "",                      ""},
    {"",    38800, "VOGHERA",               "13:12-13:13"},
    {"150", 41500, "",                      ""},
    {"",    47650, "Casteggio",             "13:19"},
    {"",    52700, "S.Giulietta",           "13:21"},
    {"",    59650, "Broni",                 "13:25"},
    {"",    63550, "STRADELLA",             "13:27-13:28"},
    {"",    67600, "Arena Po",              "13:31"},
    {"105", 73400, "",                      ""},
    {"",    74550, "CASTEL S.GIOVANNI",     "13:35-13:36"},
    {"160", 78500, "",                      ""},
    {"",    78600, "Sarmato",               "13:39"},
    {"",    83700, "Rottofreno",            "13:41"},
    {"",    88650, "San Nicolò",            "13:43"},
    {"100", 95400, "",                      ""},
    {"",    97100, "PIACENZA",              "13:50"},
};
// clang-format on

constexpr int page_2_empty_rows = 9;
constexpr int blank_form_empty_rows = 31;

// Cells of the table, each closed by "|": speed limit, marked speed, progressive, Rs, station,
// time, Rec.
constexpr std::size_t limit_width = 5;
constexpr std::size_t narrow_width = 5;
constexpr std::size_t progressive_width = 10;
constexpr std::size_t station_width = 28;
constexpr std::size_t time_width = 16;

std::string table_line(std::string_view limit, std::string_view progressive,
                       std::string_view station, std::string_view time, char fill) {
    const std::string narrow = text::repeat(fill, narrow_width);
    std::string line = " |";
    for (const std::string_view cell :
         {limit, std::string_view(narrow), progressive, std::string_view(narrow), station, time,
          std::string_view(narrow)}) {
        line += cell;
        line += '|';
    }
    return line;
}

std::string ruled_line(char fill) {
    return table_line(text::repeat(fill, limit_width), text::repeat(fill, progressive_width),
                      text::repeat(fill, station_width), text::repeat(fill, time_width), fill);
}

// Page 1 sets the progressive right-aligned in 7 with 3 blanks after it, the origin's lone "0"
// a little further in; page 2 leaves 2 blanks on each side.
std::string progressive_cell(std::int32_t metres, int page) {
    if (page == 1) {
        if (metres == 0) return "    0     ";
        return text::right(kilometres_text(metres), 7) + "   ";
    }
    return text::right(kilometres_text(metres), 8) + "  ";
}

std::string time_cell(std::string_view time) {
    // A single time is set 5 blanks in, an arrival-departure pair 2 blanks in.
    const std::size_t indent = time.size() == 5 ? 5 : 2;
    std::string cell = text::repeat(' ', time.empty() ? 0 : indent);
    cell += time;
    return text::left(cell, time_width);
}

std::string station_cell(const char* station) {
    std::string cell(1, ' ');
    cell += utf8_to_cp850(station);
    return text::left(cell, station_width);
}

std::string limit_cell(const char* limit) {
    std::string cell(1, ' ');
    cell += text::left(limit, 3);
    cell += ' ';
    return cell;
}

std::string data_row(const card_row& r, int page) {
    std::string line = table_line(limit_cell(r.limit), progressive_cell(r.progressive, page),
                                  station_cell(r.station), time_cell(r.time), ' ');
    if (r.trailing_blank) line += ' ';
    return line;
}

void append_page_head(std::vector<std::string>& lines, int page, const page_header& header) {
    lines.push_back("  " + text::repeat('_', 19) + text::repeat(' ', 47) + text::repeat('_', 14));
    lines.push_back(" |" + text::repeat(' ', 19) + "|" + text::repeat(' ', 20) + "SCHEDA " +
                    std::to_string(page) + "/4" + text::repeat(' ', 15) + "|" +
                    text::repeat(' ', 14) + "|");
    lines.emplace_back(header.train_line);
    lines.emplace_back(header.destination_line);
    lines.push_back(text::repeat(' ', 67) + "|" + text::repeat('_', 14) + "|");

    lines.push_back("  " + text::repeat('_', 19) + text::repeat(' ', 16) + text::repeat('_', 19));
    lines.emplace_back(" |  CLASSIFICAZIONE  |              |  MASSA BLOCCATA   |       ");
    lines.emplace_back(header.values_line);
    lines.push_back(" |" + text::repeat('_', 19) + "|" + text::repeat(' ', 14) + "|" +
                    text::repeat('_', 19) + "|");
    lines.emplace_back();

    lines.push_back("  " + text::repeat('_', 80));
    lines.emplace_back(
        " | Vel.| Vel.| Progr Km |  No |   Localita' di  Servizio   |     Orario     | Rec |");
    lines.emplace_back(
        " | Lim.|Marc.|          |  Rs |                            |                |     |");
    lines.push_back(ruled_line('_'));
}

void append_rows(std::vector<std::string>& lines, std::span<const card_row> rows, int page) {
    for (const auto& r : rows) lines.push_back(data_row(r, page));
}

void append_empty(std::vector<std::string>& lines, int count) {
    lines.insert(lines.end(), count, std::string());
}

}  // namespace

std::vector<std::string> dati_scheda_lines() {
    const std::string rule = ruled_line('_');
    const std::string empty_row = ruled_line(' ');
    std::vector<std::string> lines;
    lines.reserve(line_list_capacity);

    append_empty(lines, 2);
    append_page_head(lines, 1, run_header_page_1);
    append_rows(lines, page_1_rows, 1);
    // Page 1 closes with a rule whose progressive cell stops short.
    lines.push_back(table_line(text::repeat('_', limit_width), text::repeat('_', 7) + "   ",
                               text::repeat('_', station_width), text::repeat('_', time_width),
                               '_'));
    append_empty(lines, 2);
    lines.push_back(text::repeat('.', 81));
    append_empty(lines, 2);

    append_page_head(lines, 2, run_header_page_2);
    append_rows(lines, page_2_rows, 2);
    lines.insert(lines.end(), page_2_empty_rows, empty_row);
    lines.push_back(rule);
    append_empty(lines, 2);

    for (const int page : {3, 4}) {
        lines.push_back(text::repeat('.', 72));
        append_empty(lines, 1);
        append_page_head(lines, page, blank_form_header);
        lines.insert(lines.end(), blank_form_empty_rows, empty_row);
        lines.push_back(rule);
        append_empty(lines, page == 3 ? 2 : 1);
    }

    lines.emplace_back(end_sentinel);
    return lines;
}

}  // namespace compattatore
