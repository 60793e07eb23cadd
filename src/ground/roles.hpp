#pragma once
// What the kind-dependent fields mean. A route cell's four values and a station entry's fields
// mean different things for each kind of cell and each role of entry; code that reads or writes
// them by meaning goes through these views, so the meaning is written down once.
//
// A view holds a reference to the cell or entry; its accessors return references to the field,
// const for a const cell or entry.

#include <cstdint>
#include <string>
#include <type_traits>

#include "ground/model.hpp"

namespace compattatore {

namespace roles_detail {
template <class Record, class Whole>
using field_t = std::conditional_t<std::is_const_v<Record>, const Whole, Whole>;
}

// ---- Route cells ---------------------------------------------------------------------------

// Signal cell: three aspect pairs packed as 10 x s + d, and 10 x rapp + 3 x sx + dx.
template <class Cell>
struct signal_cell {
    Cell& cell;
    auto& aspects_1() const { return cell.value_a; }
    auto& aspects_2() const { return cell.value_b; }
    auto& aspects_3() const { return cell.value_c; }
    auto& type() const { return cell.value_d; }
};

// Slowdown start, end and warning cells: the speed in km/h, d_v, and (start and end) f_tt.
template <class Cell>
struct slowdown_cell {
    Cell& cell;
    auto& speed_kmh() const { return cell.value_a; }
    auto& d_v() const { return cell.value_b; }
    auto& f_tt() const { return cell.value_c; }
};

// Slowdown pre-warning cell: a countdown 1-4, repeated in value_b when d_v is set.
template <class Cell>
struct prewarning_cell {
    Cell& cell;
    auto& countdown() const { return cell.value_a; }
    auto& d_v_countdown() const { return cell.value_b; }
};

// Speed board cell: three packed speed pairs (boards A, B, C) and the packed stripes.
template <class Cell>
struct speed_board_cell {
    Cell& cell;
    auto& speeds_a() const { return cell.value_a; }
    auto& speeds_b() const { return cell.value_b; }
    auto& speeds_c() const { return cell.value_c; }
    auto& stripes() const { return cell.value_d; }
};

// Station stop and direction board cells point at a station table entry; code point cells
// carry their cab code.
template <class Cell>
auto& station_entry_of(Cell& cell) {
    return cell.value_a;
}
template <class Cell>
auto& board_text_entry_of(Cell& cell) {
    return cell.value_a;
}
template <class Cell>
auto& cab_code_of(Cell& cell) {
    return cell.value_a;
}

// Cell 1 carries the route stamp and the plain checksum of the scenario identity.
inline constexpr std::size_t stamp_cell = 1;
template <class Cell>
struct stamp_cell_fields {
    Cell& cell;
    auto& stamp() const { return cell.value_a; }
    auto& plain_checksum() const { return cell.value_b; }
};

// ---- Station table entries -----------------------------------------------------------------

// Entries 81-83: a kilometre progressive.
template <class Entry>
struct progressive_entry {
    Entry& entry;
    auto& start() const { return entry.area_start; }
    auto& offset() const { return entry.area_end; }
    auto& flag() const { return entry.position; }
};

// Entry 84: values of the train and the line.
template <class Entry>
struct train_and_line_entry {
    Entry& entry;
    auto& braked_mass_percentage() const { return entry.area_start; }
    auto& line_length() const { return entry.area_end; }
    auto& coach_count() const { return entry.position; }
};

// Entry 85: the line header, with the closing stamp and the weighted checksum.
template <class Entry>
struct line_header_entry {
    Entry& entry;
    auto& background_one() const { return entry.area_start; }
    auto& background_two() const { return entry.position; }
    auto& background_three() const { return entry.area_end; }
    auto& line_name() const { return entry.name; }
    auto& stamp() const { return entry.group_a1; }
    auto& weighted_checksum() const { return entry.timetable_time; }
};

// Entry 86: the train header.
template <class Entry>
struct train_header_entry {
    Entry& entry;
    auto& repetition_start() const { return entry.area_start; }
    auto& repetition_end() const { return entry.area_end; }
    auto& repetition_codes() const { return entry.position; }
    auto& train_number() const { return entry.name; }
    auto& sand_supply() const { return entry.group_a1; }
    auto& clock_hours() const { return entry.group_b1; }
    auto& clock_minutes() const { return entry.group_b2; }
    auto& clock_seconds() const { return entry.group_b3; }
};

// Deduction guides, so a view can be written `signal_cell view{cell}` with every compiler
// (older ones deduce no aggregate templates by themselves).
template <class Cell>
signal_cell(Cell&) -> signal_cell<Cell>;
template <class Cell>
slowdown_cell(Cell&) -> slowdown_cell<Cell>;
template <class Cell>
prewarning_cell(Cell&) -> prewarning_cell<Cell>;
template <class Cell>
speed_board_cell(Cell&) -> speed_board_cell<Cell>;
template <class Cell>
stamp_cell_fields(Cell&) -> stamp_cell_fields<Cell>;
template <class Entry>
progressive_entry(Entry&) -> progressive_entry<Entry>;
template <class Entry>
train_and_line_entry(Entry&) -> train_and_line_entry<Entry>;
template <class Entry>
line_header_entry(Entry&) -> line_header_entry<Entry>;
template <class Entry>
train_header_entry(Entry&) -> train_header_entry<Entry>;

template <class Table>
using entry_of_t = roles_detail::field_t<Table, station_entry>;

// slot is one of station_slot::progressives.
template <class Table>
progressive_entry<entry_of_t<Table>> progressive(Table& t, int slot) {
    return {t[static_cast<std::size_t>(slot)]};
}
template <class Table>
train_and_line_entry<entry_of_t<Table>> train_and_line(Table& t) {
    return {t[station_slot::train_and_line]};
}
template <class Table>
line_header_entry<entry_of_t<Table>> line_header(Table& t) {
    return {t[station_slot::line_header]};
}
template <class Table>
train_header_entry<entry_of_t<Table>> train_header(Table& t) {
    return {t[station_slot::train_header]};
}

// What an entry of the table holds. Board texts count down from entry 80 to lowest_board.
enum class slot_role {
    unused,
    station,
    board_text,
    progressive,
    train_and_line,
    line_header,
    train_header
};

constexpr slot_role role_of_slot(int index, int lowest_board) {
    if (index == station_slot::train_header) return slot_role::train_header;
    if (index == station_slot::line_header) return slot_role::line_header;
    if (index == station_slot::train_and_line) return slot_role::train_and_line;
    if (index >= station_slot::progressive_three && index <= station_slot::progressive_one) {
        return slot_role::progressive;
    }
    if (index >= lowest_board && index <= station_slot::first_board) return slot_role::board_text;
    if (index >= 1 && index < station_slot::count) return slot_role::station;
    return slot_role::unused;
}

}  // namespace compattatore
