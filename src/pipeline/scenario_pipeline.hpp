#pragma once
// One compile of a scenario from its two description texts to a finished route: the model is
// reset as the route finishing frame leaves it, the compiler reads both texts, and when a route
// grid was dimensioned the cab-code pass and the closing checks finish it. The default run and
// the author's compile both go through here, so they cannot drift apart.

#include <cstdint>

#include "compiler/compile_report.hpp"
#include "compiler/description_files.hpp"
#include "ground/model.hpp"

namespace compattatore {

struct pipeline_outcome {
    // False when the line description never dimensioned the route grid: the closing stamps live
    // in cell 1, so there is nothing the simulator could load and nothing may be written.
    bool finished = false;
    // 1250 or 1251 when a closing check stopped the run; no binary file may be written then.
    std::int32_t closing_code = 0;

    bool writable() const { return finished && closing_code == 0; }
};

// Needs the model's identity set. profile_option non-zero builds the line profile. When report
// is given it receives every compiler diagnostic, then the cab-code pass's conflict (if any, on
// the train description) and a closing check's stop (on the line description).
pipeline_outcome compile_scenario(scenario_model& model, std::int32_t profile_option,
                                  description_files& files, compile_report* report = nullptr);

}  // namespace compattatore
