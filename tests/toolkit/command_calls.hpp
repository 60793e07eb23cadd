#pragma once
// The toolkit's commands called in the test's own process, with what they printed captured.

#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "toolkit/commands.hpp"

namespace compattatore::testing {

struct printed {
    int status;
    std::string out, err;
};

inline printed inspect(std::vector<std::filesystem::path> files, bool as_json,
                       std::optional<point_selection> points = std::nullopt) {
    std::ostringstream out, err;
    const int status = inspect_command({std::move(files), as_json, points}, out, err);
    return {status, out.str(), err.str()};
}

inline printed plot(plot_options o) {
    std::ostringstream out, err;
    const int status = plot_command(o, out, err);
    return {status, out.str(), err.str()};
}

}  // namespace compattatore::testing
