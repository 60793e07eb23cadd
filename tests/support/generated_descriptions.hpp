#pragma once
// Description texts made by program: the scenario's own, joined as the writers write them, and
// large lines for benchmarks and limit tests.

#include <cstdint>
#include <string>
#include <vector>

namespace compattatore::testing {

// Appends the pieces and a line end. Appending piece by piece also keeps GCC 12 from a false
// -Wrestrict warning on long chains of string additions.
template <class... Pieces>
void append_line(std::string& text, const Pieces&... pieces) {
    (text.append(pieces), ...);
    text += "\r\n";
}

inline std::string join_crlf(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) {
        if (line == "riferimento fine del file") break;
        text += line;
        text += "\r\n";
    }
    return text;
}

// A line of the greatest accepted length, 1000000 m, with curves all along it: a 1000 m curve
// every 2000 m, sides alternating, classes cycling through 1 to 6, plus a gradient and a speed
// board every 5000 m (boards on even cells, clear of the train's odd signal cells).
inline std::string maximum_line_description() {
    std::string t =
        "[generale]\r\nlunghezza percorso, 1000000\r\n"
        "progressiva chilometrica uno, 0, 0, 0\r\n"
        "ripetizione segnali 9 codici, 0, 1000000\r\n[curve]\r\n";
    int n = 0;
    for (std::int32_t s = 1000; s + 1000 <= 999000; s += 2000, ++n) {
        append_line(t, std::string("curva"), std::string(n % 2 ? "s" : "d"),
                    std::to_string(1 + n % 6), std::string(", "), std::to_string(s),
                    std::string(", 1000"));
    }
    t += "[pendenze]\r\n";
    for (std::int32_t p = 0; p < 1000000; p += 5000) {
        append_line(t, std::string("pendenza, "), std::to_string(p), std::string(", "),
                    std::to_string((p / 5000) % 21 - 10));
    }
    t += "[cartelli]\r\n";
    for (std::int32_t p = 2550; p < 1000000; p += 5000) {
        append_line(t, std::string("indicatori_vmax, "), std::to_string(p),
                    std::string(", 100, 110, 120, 0, 100, 110, 120, 0"));
    }
    t += "[fine]\r\n";
    return t;
}

// A train for the maximum line: speed limits, adhesion, a station every 20 km, signals every
// 1300 m, code points every 500 m, a slowdown every 50 km.
inline std::string maximum_train_description() {
    std::string t =
        "[generale]\r\nnumero vetture, 8\r\npercentuale massa frenata, 125\r\n"
        "sabbia, 120\r\norologio, 11 49 0\r\n[vel_limite]\r\n";
    for (std::int32_t p = 0; p < 1000000; p += 10000) {
        append_line(t, std::string("velocita, "), std::to_string(p), std::string(", "),
                    std::to_string(p % 20000 ? 160 : 120));
    }
    t += "[aderenze]\r\naderenza, 0, 90\r\n[stazioni]\r\n";
    for (std::int32_t p = 20000; p < 1000000; p += 20000) {
        append_line(t, std::string("stazione, "), std::to_string(p),
                    std::string(", 12, 500, 0, 0, 0, 1, 1, 0, 4, 1, 1, 60, 12, 0, 0, STAZIONE "),
                    std::to_string(p));
    }
    t += "[rallentamenti]\r\n";
    for (std::int32_t p = 45000; p < 1000000; p += 50000) {
        append_line(t, std::string("rallentamento, "), std::to_string(p),
                    std::string(", 60, 2000, 0, 1, 60"));
    }
    t += "[segnali]\r\n";
    for (std::int32_t p = 1300; p < 1000000; p += 1300) {
        // Keep clear of the slowdowns' cells and of the stations' stop cells and marks.
        const std::int32_t from_slowdown = (p - 45000 % 50000 + 50000) % 50000;
        if (from_slowdown < 2500 || from_slowdown > 48000) continue;
        if (p % 20000 < 700 || p % 20000 > 19500) continue;
        append_line(t, std::string("segnale, "), std::to_string(p),
                    std::string(", 2, 4, 1, 1, 0, 2, 2, 1, 1, 0"));
    }
    t += "[codici]\r\n";
    for (std::int32_t p = 500; p < 1000000; p += 500) {
        append_line(t, std::string("abbattimento, "), std::to_string(p), std::string(", 270"));
    }
    t += "[fine]\r\n";
    return t;
}

// A line of the greatest length with a record on every cell: a gradient on every cell, curves of
// 100 m end to end along the whole line, and a speed board on every odd cell from cell 5 on,
// whose even neighbour the train's code points take. The cells before 5 stay clear for the
// closing stamps.
inline std::string every_cell_line_description() {
    constexpr std::int32_t last_position = 1006900;  // 50 x last cell - 100, the room check
    std::string t =
        "[generale]\r\nlunghezza percorso, 1000000\r\n"
        "progressiva chilometrica uno, 0, 0, 0\r\n"
        "ripetizione segnali 9 codici, 0, 1000000\r\n[curve]\r\n";
    // A curve may draw up to point 999999; the plan runs on straight from there.
    for (std::int32_t s = 0, n = 0; s + 100 < 1000000; s += 100, ++n) {
        t += std::string("curva") + (n % 2 ? "s" : "d") + std::to_string(1 + n % 6) + ", " +
             std::to_string(s) + ", 100\r\n";
    }
    t += "[pendenze]\r\n";
    for (std::int32_t p = 0; p <= last_position; p += 50) {
        t += "pendenza, " + std::to_string(p) + ", " + std::to_string((p / 50) % 41 - 20) + "\r\n";
    }
    t += "[cartelli]\r\n";
    for (std::int32_t p = 200; p <= last_position; p += 100) {
        t += "indicatori_vmax, " + std::to_string(p) + ", 100, 110, 120, 0, 100, 110, 120, 0\r\n";
    }
    t += "[fine]\r\n";
    return t;
}

// The train for every_cell_line_description: a speed limit, an adhesion level and a code point on
// every cell the line leaves free.
inline std::string every_cell_train_description() {
    constexpr std::int32_t last_position = 1006900;
    std::string t =
        "[generale]\r\nnumero vetture, 8\r\npercentuale massa frenata, 125\r\n"
        "sabbia, 120\r\norologio, 11 49 0\r\n[vel_limite]\r\n";
    for (std::int32_t p = 0; p <= last_position; p += 50) {
        t += "velocita, " + std::to_string(p) + ", " + std::to_string(30 + (p / 50) % 30 * 5) +
             "\r\n";
    }
    t += "[aderenze]\r\n";
    for (std::int32_t p = 0; p <= last_position; p += 50) {
        t += "aderenza, " + std::to_string(p) + ", " + std::to_string(50 + (p / 50) % 50) + "\r\n";
    }
    t += "[codici]\r\n";
    for (std::int32_t p = 200; p <= last_position; p += 100) {
        t += "abbattimento, " + std::to_string(p) + ", 270\r\n";
    }
    t += "[fine]\r\n";
    return t;
}

// Degenerate texts of about `bytes` bytes, for showing that reading stays linear in the size of
// the text whatever it holds.
enum class degenerate {
    one_long_line,
    commas,
    hyphen_lines,
    blanks,
    many_fields,
    long_number,
    long_board_text,    // one direction board whose text is the whole size
    long_station_name,  // one station whose quoted name never closes
};

inline std::string degenerate_text(degenerate kind, std::size_t bytes) {
    std::string t;
    t.reserve(bytes + 64);
    switch (kind) {
        case degenerate::one_long_line:  // no line end at all
            t = "[generale]";
            t.append(bytes, 'x');
            break;
        case degenerate::commas:
            t = "[generale]\r\n";
            t.append(bytes, ',');
            break;
        case degenerate::hyphen_lines:
            t = "[generale]\r\nlunghezza percorso, 3000\r\n[pendenze]\r\n";
            while (t.size() < bytes) t += "-\r\n";
            break;
        case degenerate::blanks:
            t = "[generale]\r\n";
            t.append(bytes, ' ');
            break;
        case degenerate::many_fields:
            t = "[generale]\r\nlunghezza percorso, 3000\r\n[pendenze]\r\npendenza, 100, 1";
            while (t.size() < bytes) t += ", 7";
            t += "\r\n";
            break;
        case degenerate::long_number:
            t = "[generale]\r\nlunghezza percorso, ";
            t.append(bytes, '0');
            t += "3000\r\n";
            break;
        case degenerate::long_board_text:
            t = "[generale]\r\nlunghezza percorso, 3000\r\n[x]\r\ncartello_indicatore, 1000, ";
            t.append(bytes, 'b');
            t += "\r\n";
            break;
        case degenerate::long_station_name:
            t = "[generale]\r\nstazione, 0, 8, 700, 1, 1, 1, 4, 1, 0, 2, 1, 1, 1, 11, 48, 0, \"";
            t.append(bytes, 'n');
            break;
    }
    return t;
}

}  // namespace compattatore::testing
