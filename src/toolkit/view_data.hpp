#pragma once
// What the route viewer's page shows of a compiled scenario, as one JSON object: the plan, the
// per-cell profiles as runs, every object of the grid with its decoded values, the stations,
// the kilometre progressives and the diagnostics. The page draws from this alone.

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "compiler/compile_report.hpp"
#include "ground/model.hpp"
#include "toolkit/check_author.hpp"
#include "toolkit/compile_diagnostics.hpp"

namespace compattatore {

// The plan goes to the page through at most this many points: enough to draw curves smoothly at
// any zoom a screen shows of the longest line, small enough to open at once.
inline constexpr std::size_t view_plan_point_budget = 60000;

struct view_input {
    const line_profile_t* profile = nullptr;  // each may be missing
    const route_grid_t* grid = nullptr;
    const station_table_t* table = nullptr;
    const std::vector<diagnostic>* diagnostics = nullptr;  // with descriptions only
    diagnostic_files files;                                // how the diagnostics name them
    // With descriptions only: the records behind the cells and stations, each object's "source".
    const record_places* places = nullptr;
    std::string source;  // what the page was made from, for its subtitle
};

nlohmann::json view_data(const view_input& in);

// A direction board's text without its layout: the parenthesised groups "(Ponte   )(Fiume
// Tanaro)" as their trimmed contents, "Ponte", "Fiume Tanaro"; a text without groups as itself.
std::vector<std::string> board_text_lines(std::string_view utf8);

}  // namespace compattatore
