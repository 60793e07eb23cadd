#include "toolkit/inspect_cell_values.hpp"

#include <sstream>

#include "ground/code_page_850.hpp"
#include "ground/roles.hpp"

namespace compattatore {

std::string_view cell_kind_name(std::uint8_t kind) {
    switch (kind) {
        case cell_kind::empty:
            return "empty";
        case cell_kind::signal:
            return "signal";
        case cell_kind::slowdown_end:
            return "slowdown end";
        case cell_kind::slowdown_start:
            return "slowdown start";
        case cell_kind::slowdown_warning:
            return "slowdown warning";
        case cell_kind::slowdown_prewarning:
            return "slowdown pre-warning";
        case cell_kind::speed_board:
            return "speed board";
        case cell_kind::station_stop:
            return "station stop";
        case cell_kind::mountain_marker:
            return "mountain marker";
        case cell_kind::code_point:
            return "code point";
        case cell_kind::code_off_point:
            return "code-off point";
        case cell_kind::direction_board:
            return "direction board";
        default:
            return "unknown kind";
    }
}

namespace {

// Floor division, so a negative packed value still splits into digits that pack back.
int tens(int v) {
    return v >= 0 ? v / 10 : -((-v + 9) / 10);
}
int units(int v) {
    return v - 10 * tens(v);
}

std::string entry_name(const station_table_t* names, int entry) {
    if (names == nullptr || entry < 0 || entry >= station_slot::count) return "";
    return " \"" + cp850_to_utf8((*names)[static_cast<std::size_t>(entry)].name) + "\"";
}

}  // namespace

signal_values split_signal(const route_cell& c) {
    const signal_cell s{c};
    signal_values v{};
    v.s1 = tens(s.aspects_1());
    v.d1 = units(s.aspects_1());
    v.s2 = tens(s.aspects_2());
    v.d2 = units(s.aspects_2());
    v.s3 = tens(s.aspects_3());
    v.d3 = units(s.aspects_3());
    v.rapp = tens(s.type());
    // dx is 0 to 2 in every description, so the units split into 3 x sx + dx one way only.
    v.sx = units(s.type()) / 3;
    v.dx = units(s.type()) % 3;
    return v;
}

speed_pair unpack_speeds(std::int16_t packed) {
    const int p = packed;
    const int s = p >= 0 ? p / 100 : -((-p + 99) / 100);
    return {5 * s, 5 * (p - 100 * s)};
}

namespace {

void describe_signal(std::ostream& out, const route_cell& c) {
    const signal_values s = split_signal(c);
    out << " " << s.s1 << "," << s.s2 << "," << s.s3 << " / " << s.d1 << "," << s.d2 << "," << s.d3
        << ", type " << signal_cell{c}.type() << " (rapp " << s.rapp << ", sx " << s.sx << ", dx "
        << s.dx << ")";
    if (c.signal_delay != 0) out << ", delay " << int(c.signal_delay);
}

void describe_speed_board(std::ostream& out, const route_cell& c) {
    const speed_board_cell board{c};
    const std::int16_t packed[] = {board.speeds_a(), board.speeds_b(), board.speeds_c()};
    const char* names[] = {"A", "B", "C"};
    for (int i = 0; i < 3; ++i) {
        const speed_pair p = unpack_speeds(packed[i]);
        out << (i == 0 ? " " : ", ") << names[i] << " " << p.s_kmh << "/" << p.d_kmh << " km/h";
    }
    out << ", stripes " << tens(board.stripes()) << "/" << units(board.stripes());
}

}  // namespace

std::string describe_cell(const route_cell& c, const station_table_t* names) {
    std::ostringstream out;
    out << cell_kind_name(c.kind);
    switch (c.kind) {
        case cell_kind::signal:
            describe_signal(out, c);
            break;
        case cell_kind::slowdown_end:
        case cell_kind::slowdown_start: {
            const slowdown_cell s{c};
            out << " " << s.speed_kmh() << " km/h, d_v " << s.d_v() << ", f_tt " << s.f_tt();
            break;
        }
        case cell_kind::slowdown_warning: {
            const slowdown_cell s{c};
            out << " " << s.speed_kmh() << " km/h, d_v " << s.d_v();
            break;
        }
        case cell_kind::slowdown_prewarning: {
            const prewarning_cell p{c};
            out << " " << p.countdown() << " (countdown " << p.d_v_countdown() << ")";
            break;
        }
        case cell_kind::speed_board:
            describe_speed_board(out, c);
            break;
        case cell_kind::station_stop:
            out << " of entry " << station_entry_of(c) << entry_name(names, station_entry_of(c));
            break;
        case cell_kind::code_point:
            out << " code " << cab_code_of(c);
            break;
        case cell_kind::direction_board:
            out << " text entry " << board_text_entry_of(c)
                << entry_name(names, board_text_entry_of(c));
            break;
        case cell_kind::code_off_point:
        case cell_kind::mountain_marker:
        case cell_kind::empty:
            break;
        default:
            out << " " << int(c.kind) << ": " << c.value_a << ", " << c.value_b << ", " << c.value_c
                << ", " << c.value_d;
            break;
    }
    return out.str();
}

}  // namespace compattatore
