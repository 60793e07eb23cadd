#pragma once
// Result codes: what the compiler and the cab-code pass record about a problem, with the error
// position in metres where the code carries one. The default run never shows them; an author's
// tools print them with the meaning below.

#include <cstdint>
#include <span>
#include <string_view>

namespace compattatore {

namespace result {
inline constexpr std::int32_t none = 0;
inline constexpr std::int32_t line_length_out_of_range = 1;
inline constexpr std::int32_t progressive_not_multiple_of_50 = 2;
inline constexpr std::int32_t repetition_start_not_multiple_of_50 = 3;
inline constexpr std::int32_t repetition_end_not_multiple_of_50 = 4;
inline constexpr std::int32_t repetition_codes_missing = 5;
inline constexpr std::int32_t direction_board_cell_taken = 6;
inline constexpr std::int32_t code_point_cell_taken = 7;
inline constexpr std::int32_t station_position_not_multiple_of_50 = 8;
inline constexpr std::int32_t station_length_not_multiple_of_100 = 9;
inline constexpr std::int32_t station_table_full = 10;
inline constexpr std::int32_t no_cell_before_signal = 11;
inline constexpr std::int32_t no_cell_before_slowdown = 12;
inline constexpr std::int32_t no_cell_in_slowdown = 13;
inline constexpr std::int32_t beyond_route_grid = 15;
inline constexpr std::int32_t signal_cell_taken = 16;
inline constexpr std::int32_t warning_cell_taken = 17;
inline constexpr std::int32_t start_cell_taken = 18;
inline constexpr std::int32_t end_cell_taken = 19;
inline constexpr std::int32_t prewarning_cells_taken = 20;
inline constexpr std::int32_t speed_board_cell_taken = 21;
inline constexpr std::int32_t stations_too_close = 22;
inline constexpr std::int32_t stop_cell_before_cell_2 = 24;
inline constexpr std::int32_t compiler_failure = 25;
// Codes this system adds for descriptions that would otherwise reach outside a table.
inline constexpr std::int32_t before_route_grid = 26;
inline constexpr std::int32_t too_many_mountains = 27;
inline constexpr std::int32_t too_many_direction_boards = 28;
inline constexpr std::int32_t slowdown_without_end = 29;
inline constexpr std::int32_t line_file_missing = 101;
inline constexpr std::int32_t no_general_section = 102;
inline constexpr std::int32_t bad_curve = 103;
// Shown through errore, never stored.
inline constexpr std::int32_t stamp_slots_taken = 1250;
inline constexpr std::int32_t checksum_slots_taken = 1251;
}  // namespace result

struct result_code_info {
    std::int32_t code;
    bool has_position;  // whether the error position goes with the code
    std::string_view meaning;
};

// Every code in ascending order.
std::span<const result_code_info> result_code_table();

// nullptr for a number that is not a result code.
const result_code_info* find_result_code(std::int32_t code);

}  // namespace compattatore
