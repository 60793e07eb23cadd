// The three texts written for the driver: the timetable card, the slowdown order and the notes.

#include <gtest/gtest.h>

#include <algorithm>

#include "sources/line_list.hpp"
#include "sources/writers.hpp"
#include "text_lines.hpp"

namespace compattatore {
namespace {

using testing::before_sentinel;

const std::string card_rule =
    " |_____|_____|__________|_____|____________________________|________________|_____|";
const std::string card_empty_row =
    " |     |     |          |     |                            |                |     |";

std::size_t count_range(const std::vector<std::string>& lines, std::size_t first, std::size_t last,
                        const std::string& line) {
    return static_cast<std::size_t>(
        std::count(lines.begin() + static_cast<std::ptrdiff_t>(first),
                   lines.begin() + static_cast<std::ptrdiff_t>(last + 1), line));
}

TEST(TimetableCard, PageFramesStandAtTheirPlaces) {
    const auto card = before_sentinel(dati_scheda_lines());
    ASSERT_EQ(card.size(), 201u);
    const std::pair<std::size_t, std::string> quoted[] = {
        {0, ""},
        {1, ""},
        {2, "  ___________________                                               ______________"},
        {3, " |                   |                    SCHEDA 1/4               |              |"},
        {4, " |   TRENO n. 2063   |                   da: Torino PN             |    V160 B    |"},
        {5, " |___________________|                    a: Piacenza              |     130%     |"},
        {6, "                                                                   |______________|"},
        {7, "  ___________________                ___________________"},
        {8, " |  CLASSIFICAZIONE  |              |  MASSA BLOCCATA   |       "},
        {9, " |         iR        |              |       490t        |"},
        {10, " |___________________|              |___________________|"},
        {11, ""},
        {12, "  " + std::string(80, '_')},
        {13, " | Vel.| Vel.| Progr Km |  No |   Localita' di  Servizio   |     Orario     | Rec |"},
        {14, " | Lim.|Marc.|          |  Rs |                            |                |     |"},
        {15, card_rule},
        {48, " |_____|_____|_______   |_____|____________________________|________________|_____|"},
        {51, std::string(81, '.')},
        {55, " |                   |                    SCHEDA 2/4               |              |"},
        {56, " |   TRENO n. 2063   |                   da: TORINO P.N.           |    V160 B    |"},
        {57, " |___________________|                    a: PIACENZA              |     130%     |"},
        {99, card_rule},
        {102, std::string(72, '.')},
        {105,
         " |                   |                    SCHEDA 3/4               |              |"},
        {106,
         " |   TRENO n.xxxxx   |                   da: xxxxxx                |    Vxxx C    |"},
        {107,
         " |___________________|                    a: xxxxxx                |     xxx%     |"},
        {111, " |        xxx        |              |      xxxT         |"},
        {149, card_rule},
        {152, std::string(72, '.')},
        {155,
         " |                   |                    SCHEDA 4/4               |              |"},
        {199, card_rule},
        {200, ""},
    };
    for (const auto& [index, line] : quoted) EXPECT_EQ(card[index], line) << index;
    EXPECT_EQ(card[8].substr(card[8].size() - 8), "|       ");  // its 7 trailing blanks are kept

    // Page 2 ends with 9 empty rows, the blank forms with 31 each.
    EXPECT_EQ(count_range(card, 90, 98, card_empty_row), 9u);
    EXPECT_EQ(count_range(card, 118, 148, card_empty_row), 31u);
    EXPECT_EQ(count_range(card, 168, 198, card_empty_row), 31u);
    EXPECT_EQ(std::count(card.begin(), card.end(), card_empty_row), 71);
    // Three dotted lines, none after page 4.
    EXPECT_EQ(std::count_if(card.begin(), card.end(),
                            [](const std::string& l) { return !l.empty() && l[0] == '.'; }),
              3);
}

TEST(TimetableCard, DataRows) {
    const auto card = before_sentinel(dati_scheda_lines());
    const std::pair<std::size_t, std::string> quoted[] = {
        {16, " |  30 |     |    0     |     | TORINO PORTA NUOVA         |     11:48      |     |"},
        {19, " |     |     |  4+850   |     | TORINO LINGOTTO            |  11:54-11:55   |     |"},
        {22, " |     |     | 12+850   |     | Trofarello                 |     12:00      |     |"},
        {25,
         " | 125 |     | 29+300   |     |                            |                |     | "},
        {44,
         " | 90  |     | 88+800   |     |                            |                |     | "},
        {45, " |     |     | 90+800   |     | ALESSANDRIA                |  12:44-12:46   |     |"},
        {46,
         " | 150 |     |  1+000   |     |                            |                |     | "},
        {47, " |     |     |  7+900   |     | Spinetta                   |     12:51      |     |"},
        {68, " |     |     |  13+850  |     | S.Giuliano Piemonte        |     12:53      |     |"},
        {69, " |     |     |  21+950  |     | TORTONA                    |  13:01-13:02   |     |"},
        {74, " | 60  |     |  37+600  |     |                            |                |     |"},
        {87,
         " |     |     |  88+650  |     | San Nicol\x95                 |     13:43      |     |"},
        {89, " |     |     |  97+100  |     | PIACENZA                   |     13:50      |     |"},
    };
    for (const auto& [index, line] : quoted) EXPECT_EQ(card[index], line) << index;

    // Table lines are 83 characters; five rows of page 1 carry one blank more.
    int wide_rows = 0;
    for (std::size_t i = 15; i <= 48; ++i) {
        if (card[i].size() == 84) {
            ++wide_rows;
            EXPECT_EQ(card[i].back(), ' ');
        } else {
            EXPECT_EQ(card[i].size(), 83u) << i;
        }
    }
    EXPECT_EQ(wide_rows, 5);
    for (std::size_t i = 65; i <= 99; ++i) EXPECT_EQ(card[i].size(), 83u) << i;
}

TEST(TimetableCard, TheOnlyByteAboveAsciiIsTheOfSanNicolo) {
    const std::string bytes = line_list_bytes(dati_scheda_lines());
    EXPECT_EQ(bytes.size(), 15255u);
    std::size_t high = 0;
    for (const char ch : bytes) high += static_cast<unsigned char>(ch) >= 0x80 ? 1 : 0;
    EXPECT_EQ(high, 1u);
    EXPECT_NE(bytes.find("San Nicol\x95 "), std::string::npos);
}

TEST(SlowdownOrder, FormLines) {
    const auto order = before_sentinel(dati_rallentamenti_lines());
    ASSERT_EQ(order.size(), 46u);
    const std::string rule =
        " |___|____________________________|____________|__________|_________|____________|";
    const std::vector<std::string> head = {
        "",
        "                               Modulo M. 3",
        "                           ORDINE DI RALLENTAMENTO",
        " " + std::string(80, '_'),
        "  Linea TORINO-PIACENZA",
        "",
        "  Si ordina al macchinista del treno 2063  di effettuare i seguenti rallentamenti",
        "  " + std::string(79, '_'),
        " |   |                            |Inizio dopo |          |         |            |",
        " | N.|      FRA LE STAZIONI       | il cippo   | Velocita'|Lunghezza|Prescrizioni|",
        " |   |   (o nelle Stazioni di)    |chilometrico|          |   metri | specifiche |",
        rule,
        " | 1 | Torino L.to-Moncalieri     |      6     |    60    |   800   |            |",
        " | 2 | Voghera-Casteggio          |     40     |    90    |  5000   |     A      |",
    };
    EXPECT_EQ(std::vector<std::string>(order.begin(), order.begin() + 14), head);
    const std::string empty_row =
        " |   |                            |            |          |         |            |";
    EXPECT_EQ(count_range(order, 14, 37, empty_row), 24u);
    const std::vector<std::string> tail = {
        rule,
        "",
        "              Prescrizioni specifiche",
        " A - Da rispettare con tutto il treno (per i treni viaggiatori)",
        " B - Interessa anche la stazione di.......",
        " D - Rallentamneto N. ... e N. ...  sono contigui",
        " C - Da rispettare dalle ore ....  alle ore ..... di tutti",
        "     i giorni esclusi i seguenti:.........",
    };
    EXPECT_EQ(std::vector<std::string>(order.begin() + 38, order.end()), tail);
    for (std::size_t i = 8; i <= 38; ++i) EXPECT_EQ(order[i].size(), 82u) << i;
}

TEST(Notes, KeepTheirLayout) {
    const auto notes = before_sentinel(dati_note_lines());
    ASSERT_EQ(notes.size(), 23u);
    for (std::size_t i = 0; i < notes.size(); ++i) {
        const bool empty = i == 5 || i == 11 || i == 16 || i >= 19;
        EXPECT_EQ(notes[i].empty(), empty) << i;
        EXPECT_LE(notes[i].size(), 77u) << i;
        if (!notes[i].empty()) {
            EXPECT_NE(notes[i].back(), ' ') << i;
        }
    }
    const std::string bytes = line_list_bytes(dati_note_lines());
    EXPECT_EQ(bytes.substr(bytes.size() - 10), "\r\n\r\n\r\n\r\n\r\n");
    EXPECT_NE(notes[18].find('@'), std::string::npos);  // the contact address
}

TEST(Notes, AccentedLettersAreSingleDosBytes) {
    const std::string bytes = line_list_bytes(dati_note_lines());
    const std::string accented = "\x85\x8A\x82\x95\x97";
    std::size_t high = 0;
    for (const char ch : bytes) {
        if (static_cast<unsigned char>(ch) < 0x80) continue;
        ++high;
        EXPECT_NE(accented.find(ch), std::string::npos)
            << "byte " << static_cast<int>(static_cast<unsigned char>(ch));
    }
    EXPECT_GT(high, 0u);
    for (const char* word : {"\x8A", "pi\x97", "perch\x82", "pu\x95", "per\x95"}) {
        EXPECT_NE(bytes.find(word), std::string::npos) << word;
    }
}

}  // namespace
}  // namespace compattatore
