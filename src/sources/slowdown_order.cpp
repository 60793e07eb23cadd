// The slowdown order handed to the driver of train 2063: a one-page form listing the run's two
// temporary speed restrictions, then the key of the specific prescriptions.

#include "sources/line_list.hpp"
#include "sources/text_format.hpp"
#include "sources/writers.hpp"

namespace compattatore {

namespace {

// Rows the form offers beyond the two slowdowns, left empty for hand entries.
constexpr int empty_rows = 24;

constexpr const char* table_head[] = {
    " |   |                            |Inizio dopo |          |         |            |",
    " | N.|      FRA LE STAZIONI       | il cippo   | Velocita'|Lunghezza|Prescrizioni|",
    " |   |   (o nelle Stazioni di)    |chilometrico|          |   metri | specifiche |",
};

constexpr const char* slowdown_rows[] = {
    " | 1 | Torino L.to-Moncalieri     |      6     |    60    |   800   |            |",
    " | 2 | Voghera-Casteggio          |     40     |    90    |  5000   |     A      |",
};

constexpr const char* prescription_key[] = {
    " A - Da rispettare con tutto il treno (per i treni viaggiatori)",
    " B - Interessa anche la stazione di.......",
    " D - Rallentamneto N. ... e N. ...  sono contigui",
    " C - Da rispettare dalle ore ....  alle ore ..... di tutti",
    "     i giorni esclusi i seguenti:.........",
};

// A table line: a blank, then each cell closed by "|".
std::string table_line(char fill) {
    constexpr std::size_t widths[] = {3, 28, 12, 10, 9, 12};
    std::string line = " |";
    for (const std::size_t w : widths) line += text::repeat(fill, w) + "|";
    return line;
}

}  // namespace

std::vector<std::string> dati_rallentamenti_lines() {
    const std::string rule = table_line('_');
    std::vector<std::string> lines;
    lines.reserve(line_list_capacity);
    lines.emplace_back();
    lines.push_back(text::repeat(' ', 31) + "Modulo M. 3");
    lines.push_back(text::repeat(' ', 27) + "ORDINE DI RALLENTAMENTO");
    lines.push_back(" " + text::repeat('_', 80));
    lines.emplace_back("  Linea TORINO-PIACENZA");
    lines.emplace_back();
    lines.emplace_back(
        "  Si ordina al macchinista del treno 2063  di effettuare i seguenti "
        "rallentamenti");
    lines.push_back("  " + text::repeat('_', 79));
    lines.insert(lines.end(), std::begin(table_head), std::end(table_head));
    lines.push_back(rule);
    lines.insert(lines.end(), std::begin(slowdown_rows), std::end(slowdown_rows));
    lines.insert(lines.end(), empty_rows, table_line(' '));
    lines.push_back(rule);
    lines.emplace_back();
    lines.push_back(text::repeat(' ', 14) + "Prescrizioni specifiche");
    lines.insert(lines.end(), std::begin(prescription_key), std::end(prescription_key));
    lines.emplace_back(end_sentinel);
    return lines;
}

}  // namespace compattatore
