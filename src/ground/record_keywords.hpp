#pragma once
// The record keywords and section headers of the two description texts: what the writers put in
// front of a record's values and what the readers look for in a keyword field. One home for
// both, and the build refuses a written keyword its reader would not find.

#include <array>
#include <string_view>

namespace compattatore {

// The two description texts an author writes.
enum class description_kind { line, train };

// A keyword field names the record when it contains every non-empty word, ignoring the case of
// ASCII letters when any_case. The first word names the record's family: a field lost to the
// hyphen skip that carries it was meant as a record. Words are lower case.
struct record_keyword {
    const char* written;                    // as the writers spell it
    std::array<std::string_view, 2> words;  // the second may be empty
    bool any_case = true;
};

namespace section {
inline constexpr std::string_view general = "[generale]";  // the only header a reader looks for
inline constexpr std::string_view end = "[fine]";
// Line description.
inline constexpr std::string_view curves = "[curve]";
inline constexpr std::string_view gradients = "[pendenze]";
inline constexpr std::string_view mountains = "[montagne]";
inline constexpr std::string_view speed_boards = "[cartelli]";
inline constexpr std::string_view direction_boards = "[indicazioni]";
// Train description.
inline constexpr std::string_view adhesions = "[aderenze]";
inline constexpr std::string_view speed_limits = "[vel_limite]";
inline constexpr std::string_view stations = "[stazioni]";
inline constexpr std::string_view slowdowns = "[rallentamenti]";
inline constexpr std::string_view signals = "[segnali]";
inline constexpr std::string_view code_points = "[codici]";
}  // namespace section

namespace line_keyword {
// General section: only the line length ignores case.
inline constexpr record_keyword line_length{"lunghezza percorso", {"lunghezza", "percorso"}};
inline constexpr record_keyword progressive_three{
    "progressiva chilometrica tre", {"progressiva", "tre"}, false};
inline constexpr record_keyword progressive_two{
    "progressiva chilometrica due", {"progressiva", "due"}, false};
inline constexpr record_keyword progressive_one{
    "progressiva chilometrica uno", {"progressiva", "uno"}, false};
inline constexpr record_keyword background_one{"sfondo uno", {"sfondo", "uno"}, false};
inline constexpr record_keyword background_two{"sfondo due", {"sfondo", "due"}, false};
inline constexpr record_keyword background_three{"sfondo tre", {"sfondo", "tre"}, false};
// The digit in the keyword chooses the repetition codes: 4, else 9.
inline constexpr record_keyword repetition{
    "ripetizione segnali 9 codici", {"ripetizione", "segnali"}, false};
inline constexpr std::string_view four_codes = "4";
inline constexpr std::string_view nine_codes = "9";
// Record section. A curve keyword is "curva", its side and its class digit.
inline constexpr record_keyword gradient{"pendenza", {"pendenza", ""}};
inline constexpr record_keyword curve{"curva", {"curva", ""}};
inline constexpr char curve_right = 'd';
inline constexpr char curve_left = 's';
inline constexpr record_keyword mountain{"montagna", {"montagna", ""}};
inline constexpr record_keyword speed_board{"indicatori_vmax", {"indicatori_v", ""}};
inline constexpr record_keyword direction_board{"cartello_indicatore", {"indicat", "cartello"}};

inline constexpr record_keyword all[] = {
    line_length,    progressive_three, progressive_two, progressive_one, background_one,
    background_two, background_three,  repetition,      gradient,        curve,
    mountain,       speed_board,       direction_board,
};
}  // namespace line_keyword

namespace train_keyword {
// Tested in this order, all ignoring case.
inline constexpr record_keyword braked_mass{"percentuale massa frenata", {"frenata", "massa"}};
inline constexpr record_keyword coach_count{"numero vetture", {"vetture", ""}};
inline constexpr record_keyword speed_limit{"velocita", {"velocit", ""}};
inline constexpr record_keyword adhesion{"aderenza", {"aderenza", ""}};
inline constexpr record_keyword clock{"orologio", {"orologio", ""}};
inline constexpr record_keyword sand{"sabbia", {"sabbia", ""}};
inline constexpr record_keyword signal{"segnale", {"segnale", ""}};
inline constexpr record_keyword slowdown{"rallentamento", {"rallentamento", ""}};
inline constexpr record_keyword code_point{"abbattimento", {"abbattimento", ""}};
inline constexpr record_keyword station{"stazione", {"stazione", ""}};

inline constexpr record_keyword all[] = {
    braked_mass, coach_count, speed_limit, adhesion,   clock,
    sand,        signal,      slowdown,    code_point, station,
};
}  // namespace train_keyword

namespace keyword_checks {
constexpr bool lower_case(std::string_view s) {
    for (const char c : s) {
        if (c >= 'A' && c <= 'Z') return false;
    }
    return true;
}
constexpr bool found_by_its_words(const record_keyword& k) {
    const std::string_view written(k.written);
    for (const std::string_view w : k.words) {
        if (!lower_case(w) || written.find(w) == std::string_view::npos) return false;
    }
    return !k.words[0].empty() && lower_case(written);
}
template <std::size_t N>
constexpr bool all_found(const record_keyword (&keywords)[N]) {
    for (const record_keyword& k : keywords) {
        if (!found_by_its_words(k)) return false;
    }
    return true;
}
static_assert(all_found(line_keyword::all));
static_assert(all_found(train_keyword::all));
}  // namespace keyword_checks

}  // namespace compattatore
