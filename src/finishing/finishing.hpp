#pragma once
// Route finishing: the cab-code pass over the compiled route grid, the closing checks and
// stamps, and the two checksums of the scenario identity.

#include <cstdint>

#include "ground/model.hpp"
#include "ground/tagged_value.hpp"

namespace compattatore {

// y when x > y, otherwise x.
tagged_value minimo(const tagged_value& x, const tagged_value& y);

// Adds code points (code 180) around every slowdown; records codes 11, 12, 13 (and 29).
void cab_code_pass(scenario_model& m);

// The checks and stamps that close the route: returns 0 when the stamps and both checksums were
// stored, or 1250 / 1251 when the reserved slots were already taken (the run must then stop with
// errore and write no binary file).
std::int32_t closing_checks(scenario_model& m);

// Checksums of the identity in entries 86 and 85.
tagged_value codice_gara_og(const scenario_model& m);
tagged_value codice_gara_st(const scenario_model& m);

}  // namespace compattatore
