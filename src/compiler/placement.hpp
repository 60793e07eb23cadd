#pragma once
// Placement rules: each lays one object of the line or the train into the model. They act only
// on the model passed to them; each returns the result code it recorded (0 when placed), having
// also recorded it in the model. None of them ever writes outside the route grid.

#include <cstdint>

#include "ground/model.hpp"

namespace compattatore {

// Puts the three kilometre progressives of entries 81 to 83 into their fixed order.
void progressive_ordina(station_table_t& table);

// A mountain from inizio to fine (metres) of type tipo (above 10: type - 10 with marker cells).
std::int32_t memo_montagna(scenario_model& m, std::int32_t& inizio, std::int32_t& fine,
                           std::int32_t& tipo);

// A maximum-speed board at posizione (metres).
std::int32_t memo_indicatori_v_max(scenario_model& m, std::int32_t posizione, std::int32_t& vas,
                                   std::int32_t& vbs, std::int32_t& vcs, std::int32_t& strisces,
                                   std::int32_t& vad, std::int32_t& vbd, std::int32_t& vcd,
                                   std::int32_t& strisced);

// A signal at posizione (metres); tempo may be raised to 101.
std::int32_t memo_segnale(scenario_model& m, std::int32_t posizione, std::int32_t& sx,
                          std::int32_t& s1, std::int32_t& s2, std::int32_t& s3, std::int32_t& rapp,
                          std::int32_t& dx, std::int32_t& d1, std::int32_t& d2, std::int32_t& d3,
                          std::int32_t& tempo);

// A slowdown from x over l metres at speed v.
std::int32_t memo_rallentamento(scenario_model& m, std::int32_t x, std::int32_t& v, std::int32_t& l,
                                std::int32_t& f_tt, std::int32_t f_ta, std::int32_t& d_v);

}  // namespace compattatore
