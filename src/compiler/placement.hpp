#pragma once
// Placement rules: each lays one object of the line or the train into the model. They act only
// on the model passed to them; each returns the result code it recorded (0 when placed), having
// also recorded it in the model. None of them ever writes outside the route grid, and none
// changes the record it is given.

#include <cstdint>

#include "ground/model.hpp"

namespace compattatore {

// Metres along the route throughout.
struct mountain_record {
    std::int32_t start;
    std::int32_t end;
    std::int32_t type;  // above 10: type - 10, with marker cells
};

// Two groups of three speeds (km/h) and stripes; each packed pair puts the first group's speed in
// the hundreds.
struct speed_board_record {
    std::int32_t position;
    std::int32_t first_speed_a, first_speed_b, first_speed_c, first_stripes;
    std::int32_t second_speed_a, second_speed_b, second_speed_c, second_stripes;
};

// Two groups of a type and three aspects, the tens of the packed type, and the opening delay.
struct signal_record {
    std::int32_t position;
    std::int32_t first_type, first_aspect_1, first_aspect_2, first_aspect_3;
    std::int32_t type_tens;
    std::int32_t second_type, second_aspect_1, second_aspect_2, second_aspect_3;
    std::int32_t opening_delay;
};

struct slowdown_record {
    std::int32_t start;
    std::int32_t speed_kmh;
    std::int32_t length;
    std::int32_t f_tt;         // stored on the start and end cells
    std::int32_t prewarnings;  // non-zero: four pre-warning cells before the warning cell
    std::int32_t d_v;          // stored on the warning, start and end cells when non-zero
};

// The cell after the one a position falls in: where boards, signals and slowdowns stand.
std::int32_t cell_after(std::int64_t metres);

// Puts the three kilometre progressives of entries 81 to 83 into their fixed order.
void progressive_ordina(station_table_t& table);

std::int32_t memo_montagna(scenario_model& m, const mountain_record& r);
std::int32_t memo_indicatori_v_max(scenario_model& m, const speed_board_record& r);
std::int32_t memo_segnale(scenario_model& m, const signal_record& r);
std::int32_t memo_rallentamento(scenario_model& m, const slowdown_record& r);

// The delay a signal keeps: 1 to 100 is too short to mean anything to the simulator and becomes
// 101; other values stay.
std::int32_t raised_opening_delay(std::int32_t delay);

}  // namespace compattatore
