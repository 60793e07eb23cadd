// inspect of a station table: every entry with its role, and the header entries by meaning.

#include <algorithm>

#include "ground/kilometres.hpp"
#include "ground/roles.hpp"
#include "toolkit/inspect_views.hpp"
#include "toolkit/printf_text.hpp"
#include "toolkit/scenario_files.hpp"

namespace compattatore::inspect {

namespace {

std::string_view entry_role(const station_table_t& t, int i) {
    switch (role_of_slot(i, lowest_board_entry(t))) {
        case slot_role::progressive:
            return "kilometre progressive";
        case slot_role::train_and_line:
            return "train and line values";
        case slot_role::line_header:
            return "line header";
        case slot_role::train_header:
            return "train header";
        case slot_role::board_text:
            return "board text";
        case slot_role::station:
            return is_station_entry(t, i) ? "station" : "unused";
        case slot_role::unused:
            break;
    }
    return "unused";
}

json entry_json(const station_entry& e) {
    json j = json::object();
    binary_layout::for_each_field(binary_layout::station_entry_fields, [&](const auto& f) {
        j[std::string(f.name)] = field_json(e.*(f.member));
    });
    return j;
}

// A station's stored values read as a person reads them, beside the raw ones: its places as
// railway kilometres and its timetable time on the clock.
void add_decoded(const station_table_t& t, const station_entry& e, json& j) {
    j["position_km"] = kilometres_text(progressive_metres(t, e.position));
    j["area_start_km"] = kilometres_text(progressive_metres(t, e.area_start));
    j["area_end_km"] = kilometres_text(progressive_metres(t, e.area_end));
    j["timetable_clock"] =
        e.timetable_time != 0 ? json(clock_text(e.timetable_time)) : json(nullptr);
}

std::string start_clock_text(const station_table_t& t) {
    const auto h = train_header(t);
    return clock_text(h.clock_hours() * 3600 + h.clock_minutes() * 60 + h.clock_seconds());
}

json header_json(const station_table_t& t) {
    const auto values = train_and_line(t);
    const auto line = line_header(t);
    const auto train = train_header(t);
    return {
        {"braked_mass_percentage", values.braked_mass_percentage()},
        {"line_length", values.line_length()},
        {"coach_count", values.coach_count()},
        {"line_name", cp850_to_utf8(line.line_name())},
        {"background_one", line.background_one()},
        {"background_two", line.background_two()},
        {"background_three", line.background_three()},
        {"stamp", line.stamp()},
        {"weighted_checksum", line.weighted_checksum()},
        {"train_number", cp850_to_utf8(train.train_number())},
        {"repetition_start", train.repetition_start()},
        {"repetition_start_km", kilometres_text(progressive_metres(t, train.repetition_start()))},
        {"repetition_end", train.repetition_end()},
        {"repetition_end_km", kilometres_text(progressive_metres(t, train.repetition_end()))},
        {"repetition_codes", train.repetition_codes()},
        {"sand_supply", train.sand_supply()},
        {"start_clock", start_clock_text(t)},
    };
}

// The name in quotes, padded to a column of 24 bytes. Padded here rather than by %s, which would
// stop at a NUL byte in the name.
std::string quoted_column(const std::string& text) {
    constexpr std::size_t column = 24;
    std::string out;
    out.reserve(std::max(text.size() + 2, column));
    out.append(1, '"').append(text).append(1, '"');
    if (out.size() < column) out.append(column - out.size(), ' ');
    return out;
}

void print_station(const station_entry& e, int i, std::ostream& out) {
    out << printf_text("  %2d  ", i) << quoted_column(cp850_to_utf8(e.name))
        << printf_text(" kind %3d  at %7d m  area %7d to %7d m  time %s", e.kind, e.position,
                       e.area_start, e.area_end, clock_text(e.timetable_time).c_str())
        << "  values " << int(e.param_a) << "," << int(e.param_b) << "," << int(e.end_extension)
        << " a " << e.group_a1 << "," << e.group_a2 << "," << int(e.group_a3) << " b " << e.group_b1
        << "," << e.group_b2 << "," << e.group_b3 << " c " << int(e.param_c) << "\n";
}

void print_header(const station_table_t& t, std::ostream& out) {
    const auto values = train_and_line(t);
    const auto line = line_header(t);
    const auto train = train_header(t);
    out << "  " << station_slot::train_and_line << "  braked mass "
        << values.braked_mass_percentage() << " %, line length " << values.line_length()
        << " m, coaches " << values.coach_count() << "\n";
    out << "  " << station_slot::line_header << "  line \"" << cp850_to_utf8(line.line_name())
        << "\", backgrounds " << line.background_one() << " (one), " << line.background_two()
        << " (two), " << line.background_three() << " (three), stamp " << line.stamp()
        << ", weighted checksum " << line.weighted_checksum() << "\n";
    out << "  " << station_slot::train_header << "  train \"" << cp850_to_utf8(train.train_number())
        << "\", repetition " << train.repetition_start() << " to " << train.repetition_end()
        << " m with " << train.repetition_codes() << " codes, sand " << train.sand_supply()
        << ", start clock " << start_clock_text(t) << "\n";
}

}  // namespace

void write_station_table_json(const station_table_t& t, json_writer& w) {
    w.key("entries");
    w.open_array();
    for (int i = 0; i < station_slot::count; ++i) {
        json e = entry_json(t[static_cast<std::size_t>(i)]);
        e["entry"] = i;
        e["role"] = std::string(entry_role(t, i));
        if (e["role"] == "station") add_decoded(t, t[static_cast<std::size_t>(i)], e);
        w.value(e);
    }
    w.close();
    w.member("header", header_json(t));
}

void print_station_table(const station_table_t& t, std::ostream& out) {
    const int boards = lowest_board_entry(t);
    out << "stations:\n";
    for (int i = 1; i < boards; ++i) {
        if (is_station_entry(t, i)) print_station(t[static_cast<std::size_t>(i)], i, out);
    }
    out << "board texts:\n";
    for (int i = station_slot::first_board; i >= boards; --i) {
        out << "  " << i << "  \"" << cp850_to_utf8(t[static_cast<std::size_t>(i)].name) << "\"\n";
    }
    out << "kilometre progressives:\n";
    for (const int slot : station_slot::progressives) {
        const auto p = progressive(t, slot);
        out << "  " << slot << "  start " << p.start() << " m, offset " << p.offset() << " m, flag "
            << p.flag() << "\n";
    }
    print_header(t, out);
}

}  // namespace compattatore::inspect
