#include "toolkit/author_compile.hpp"

#include <algorithm>

#include "compiler/description_files.hpp"
#include "compiler/memorizza_dati.hpp"
#include "output/finishing.hpp"
#include "run/result_codes.hpp"

namespace compattatore {

std::size_t author_compile::count(severity level) const {
    return static_cast<std::size_t>(std::ranges::count_if(
        report.diagnostics, [&](const diagnostic& d) { return d.level == level; }));
}

namespace {

void add_error(compile_report& report, description_kind file, std::int32_t code,
               std::optional<std::int32_t> position) {
    diagnostic d;
    d.level = severity::error;
    d.where = {file, 0, 0};
    d.code = code;
    if (position.has_value()) {
        d.has_position = true;
        d.position = *position;
    }
    report.diagnostics.push_back(std::move(d));
}

}  // namespace

author_compile compile_author_sources(const author_sources& sources) {
    author_compile r;
    scenario_model& m = r.model;
    m.line_name = sources.line_name;
    m.train_number = sources.train_number;
    // As the route finishing frame leaves the model before the compiler runs.
    m.profile_option = sources.profile ? 1 : 0;
    m.result_code = 0;
    m.station_table = station_table_t{};

    // Borrowed texts: the author's files are read once and never deleted.
    borrowed_description_files files(sources.line_text, sources.train_text);
    memorizza_dati(m, files, &r.report);
    if (m.route_grid.size() < 2) return r;
    r.finished = true;

    // The pass records its conflicts in the model only, a later one replacing an earlier one;
    // what it recorded is the code standing after it. The model ends as the default run's would.
    const std::int32_t code_before = m.result_code;
    m.result_code = result::none;
    cab_code_pass(m);
    if (m.result_code != result::none) {
        const result_code_info* info = find_result_code(m.result_code);
        add_error(
            r.report, description_kind::train, m.result_code,
            info != nullptr && info->has_position ? std::optional(m.error_position) : std::nullopt);
    } else {
        m.result_code = code_before;
    }

    r.closing_code = closing_checks(m);
    if (r.closing_code != 0) {
        add_error(r.report, description_kind::line, r.closing_code, std::nullopt);
    }
    return r;
}

}  // namespace compattatore
