#pragma once
// The names an author gives a compile on the command line. --line and --train are names, not
// paths: they are typed in UTF-8, the files carry them in code page 850, and the output file
// names are built from them, so each must be a name the simulator's files can hold.

#include <string>
#include <string_view>
#include <vector>

#include "ground/model.hpp"

namespace compattatore {

struct author_identity {
    std::string line_name;     // code page 850
    std::string train_number;  // code page 850
    std::string problem;       // empty when both name the files; else one line to show
};

// The compile's output file names in the order they are written: the line profile (when it is
// built), the station table, the route grid.
std::vector<std::string> output_names(const scenario_model& m);

// Converts and checks the two names. A problem is the first of: a name that is not UTF-8, holds a
// character code page 850 lacks, or cannot be a name (scenario_names.hpp); an output file name
// that is too long; two outputs with one name.
author_identity read_identity(std::string_view line_utf8, std::string_view train_utf8,
                              bool profile);

}  // namespace compattatore
