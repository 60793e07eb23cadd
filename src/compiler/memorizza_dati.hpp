#pragma once
// The scenario compiler: reads the line description and then the train description into the
// model, placing every object of the line and the train in the route grid. Problems are recorded
// in the model's result code and error position; nothing is shown and nothing is thrown for a
// bad description. A description text that cannot be read or deleted is a failure of the run,
// not of the description: the compiler discards what it can, records 25 and throws the
// file_error.

#include "compiler/compile_report.hpp"
#include "compiler/description_files.hpp"
#include "ground/model.hpp"

namespace compattatore {

// Needs the identity and the profile option set and the station table cleared (the route
// finishing frame does both). When report is given, every recorded result code is also added to
// it with the location of the record that caused it.
void memorizza_dati(scenario_model& model, description_files& files,
                    compile_report* report = nullptr);

}  // namespace compattatore
