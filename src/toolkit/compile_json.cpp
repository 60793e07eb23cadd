#include "toolkit/compile_json.hpp"

#include "ground/code_page_850.hpp"
#include "ground/kilometres.hpp"
#include "ground/result_codes.hpp"
#include "toolkit/json_text.hpp"

namespace compattatore {

namespace {

using json = nlohmann::ordered_json;

json diagnostic_json(const diagnostic& d, const diagnostic_files& names,
                     const station_table_t& table) {
    json e;
    put_bytes(e, "file", names.of(d.where.file));
    e["line"] = d.where.line;
    e["column"] = d.where.column;
    e["code"] = d.code;
    e["severity"] = d.level == severity::error ? "error" : "warning";
    // A warning quotes the description's own bytes.
    e["message"] = cp850_to_utf8(diagnostic_text(d));
    if (d.has_position) {
        e["position"] = d.position;
        e["km"] = kilometres_text(progressive_metres(table, d.position));
    }
    return e;
}

}  // namespace

json compile_json(const author_compile& c, const diagnostic_files& names,
                  const std::vector<written_file>& files) {
    const scenario_model& m = c.model;
    const std::int32_t code = c.closing_code != result::none ? c.closing_code : m.result_code;
    json j;
    j["result_code"] = code;
    // A code that carries no position leaves the model's position as an earlier code set it.
    j["error_position"] = code != result::none ? json(m.error_position) : json(nullptr);
    j["errors"] = c.count(severity::error);
    j["warnings"] = c.count(severity::warning);
    json diagnostics = json::array();
    for (const diagnostic& d : c.report.diagnostics) {
        diagnostics.push_back(diagnostic_json(d, names, m.station_table));
    }
    j["diagnostics"] = std::move(diagnostics);
    json written = json::array();
    for (const written_file& f : files) {
        json w;
        put_bytes(w, "name", f.name);
        put_bytes(w, "path", f.path.string());
        w["size"] = f.size;
        written.push_back(std::move(w));
    }
    j["files"] = std::move(written);
    return j;
}

}  // namespace compattatore
