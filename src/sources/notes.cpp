// The note that goes with the scenario: what it is based on, how faithful it is and where to
// send suggestions. Written in UTF-8 here and turned into one-byte DOS letters on the way out.

#include "ground/code_page_850.hpp"
#include "sources/line_list.hpp"
#include "sources/text_format.hpp"
#include "sources/writers.hpp"

namespace compattatore {

namespace {

// Paragraphs of 5, 5 and 4 lines, then the two contact lines; one empty line between blocks.
constexpr const char* sources_paragraph[] = {
    "La sequenza delle curve e i loro raggi sono stati rilevati di persona nel",
    "corso di numerosi viaggi in treno su questa linea. Le posizioni delle",
    "stazioni sono la parte meno precisa dello scenario: alcune sono state",
    "ricostruite a memoria, quelle delle stazioni minori sono ricavate",
    "dall'orario ufficiale pubblicato dalle ferrovie.",
};

constexpr const char* slowdowns_paragraph[] = {
    "Lo scenario comprende due rallentamenti. Il secondo è esistito davvero",
    "fino all'estate del 2001, però si estendeva da Voghera fino a Broni: per",
    "lo scenario è stato accorciato.",
    "Alcuni segnali si dispongono a via libera con un certo ritardo: è bene",
    "avvicinarsi a ogni segnale con prudenza.",
};

constexpr const char* train_paragraph[] = {
    "Il treno reale prosegue fino a Bologna C.le ed è trainato da una",
    "locomotiva E632 con 8 carrozze. Nello scenario il treno è un po' più",
    "pesante, perché le 8 carrozze sono del tipo UIC Z: una differenza che",
    "non cambia molto la condotta di guida.",
};

constexpr const char* contact_lines[] = {
    "Suggerimenti, correzioni e segnalazioni di errori sono benvenuti: chi",
    "desidera mettersi in contatto può scrivere a scenari@example.org",
};

constexpr int closing_empty_lines = 4;

template <std::size_t N>
void append_paragraph(std::vector<std::string>& lines, const char* const (&paragraph)[N]) {
    for (const char* line : paragraph) lines.push_back(utf8_to_cp850(line));
}

}  // namespace

std::vector<std::string> dati_note_lines() {
    std::vector<std::string> lines;
    lines.reserve(line_list_capacity);
    append_paragraph(lines, sources_paragraph);
    lines.emplace_back();
    append_paragraph(lines, slowdowns_paragraph);
    lines.emplace_back();
    append_paragraph(lines, train_paragraph);
    lines.emplace_back();
    append_paragraph(lines, contact_lines);
    lines.insert(lines.end(), closing_empty_lines, std::string());
    lines.emplace_back(end_sentinel);
    return lines;
}

}  // namespace compattatore
