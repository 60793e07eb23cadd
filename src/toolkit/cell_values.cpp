#include "toolkit/cell_values.hpp"

#include <sstream>

#include "ground/code_page_850.hpp"

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
    signal_values v{};
    v.s1 = tens(c.value_a);
    v.d1 = units(c.value_a);
    v.s2 = tens(c.value_b);
    v.d2 = units(c.value_b);
    v.s3 = tens(c.value_c);
    v.d3 = units(c.value_c);
    v.rapp = tens(c.value_d);
    // dx is 0 to 2 in every description, so the units split into 3 x sx + dx one way only.
    v.sx = units(c.value_d) / 3;
    v.dx = units(c.value_d) % 3;
    return v;
}

speed_pair unpack_speeds(std::int16_t packed) {
    const int p = packed;
    const int s = p >= 0 ? p / 100 : -((-p + 99) / 100);
    return {5 * s, 5 * (p - 100 * s)};
}

std::string describe_cell(const route_cell& c, const station_table_t* names) {
    std::ostringstream out;
    out << cell_kind_name(c.kind);
    switch (c.kind) {
        case cell_kind::signal: {
            const signal_values s = split_signal(c);
            out << " " << s.s1 << "," << s.s2 << "," << s.s3 << " / " << s.d1 << "," << s.d2 << ","
                << s.d3 << ", type " << c.value_d << " (rapp " << s.rapp << ", sx " << s.sx
                << ", dx " << s.dx << ")";
            if (c.signal_delay != 0) out << ", delay " << int(c.signal_delay);
            break;
        }
        case cell_kind::slowdown_end:
        case cell_kind::slowdown_start:
            out << " " << c.value_a << " km/h, d_v " << c.value_b << ", f_tt " << c.value_c;
            break;
        case cell_kind::slowdown_warning:
            out << " " << c.value_a << " km/h, d_v " << c.value_b;
            break;
        case cell_kind::slowdown_prewarning:
            out << " " << c.value_a << " (countdown " << c.value_b << ")";
            break;
        case cell_kind::speed_board: {
            const char* abc[] = {"A", "B", "C"};
            const std::int16_t packed[] = {c.value_a, c.value_b, c.value_c};
            for (int i = 0; i < 3; ++i) {
                const speed_pair p = unpack_speeds(packed[i]);
                out << (i == 0 ? " " : ", ") << abc[i] << " " << p.s_kmh << "/" << p.d_kmh
                    << " km/h";
            }
            out << ", stripes " << tens(c.value_d) << "/" << units(c.value_d);
            break;
        }
        case cell_kind::station_stop:
            out << " of entry " << c.value_a << entry_name(names, c.value_a);
            break;
        case cell_kind::code_point:
            out << " code " << c.value_a;
            break;
        case cell_kind::direction_board:
            out << " text entry " << c.value_a << entry_name(names, c.value_a);
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
