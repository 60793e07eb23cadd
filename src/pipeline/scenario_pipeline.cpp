#include "pipeline/scenario_pipeline.hpp"

#include <optional>
#include <utility>

#include "compiler/memorizza_dati.hpp"
#include "finishing/finishing.hpp"
#include "ground/result_codes.hpp"

namespace compattatore {

namespace {

// A problem with no place in a text: the pass's conflicts and the closing checks.
void add_error(compile_report* report, description_kind file, std::int32_t code,
               std::optional<std::int32_t> position) {
    if (report == nullptr) return;
    diagnostic d;
    d.level = severity::error;
    d.where = {file, 0, 0};
    d.code = code;
    if (position.has_value()) {
        d.has_position = true;
        d.position = *position;
    }
    report->diagnostics.push_back(std::move(d));
}

// The pass tells of a conflict only by replacing the model's result code (a later conflict
// replacing an earlier one). To see whether it recorded one, the code is cleared for the pass and
// the compiler's code put back when it recorded none: the model ends exactly as if the pass had
// run on it unchanged.
void finish_route(scenario_model& m, compile_report* report) {
    const std::int32_t code_before = m.result_code;
    m.result_code = result::none;
    cab_code_pass(m);
    if (m.result_code == result::none) {
        m.result_code = code_before;
        return;
    }
    const result_code_info* info = find_result_code(m.result_code);
    add_error(
        report, description_kind::train, m.result_code,
        info != nullptr && info->has_position ? std::optional(m.error_position) : std::nullopt);
}

}  // namespace

pipeline_outcome compile_scenario(scenario_model& m, std::int32_t profile_option,
                                  description_files& files, compile_report* report) {
    m.profile_option = profile_option;
    m.result_code = result::none;
    m.station_table = station_table_t{};

    memorizza_dati(m, files, report);
    pipeline_outcome outcome;
    // The stamps go into cell 1: a grid the line description never dimensioned has no cell 1.
    if (m.route_grid.size() < 2) return outcome;
    outcome.finished = true;

    finish_route(m, report);
    outcome.closing_code = closing_checks(m);
    if (outcome.closing_code != result::none) {
        add_error(report, description_kind::line, outcome.closing_code, std::nullopt);
    }
    return outcome;
}

}  // namespace compattatore
