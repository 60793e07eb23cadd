#include "toolkit/compile_json.hpp"

#include <algorithm>

#include "ground/code_page_850.hpp"
#include "ground/kilometres.hpp"
#include "ground/result_codes.hpp"
#include "toolkit/author_report.hpp"
#include "toolkit/json_text.hpp"

namespace compattatore {

namespace {

using json = nlohmann::ordered_json;

json place_json(const source_location& where, std::int32_t length, const diagnostic_files& names) {
    json e;
    put_bytes(e, "file", names.of(where.file));
    e["line"] = where.line;
    e["column"] = where.column;
    e["length"] = length;
    e["end_column"] = where.line > 0 && length > 0 ? json(where.column + length) : json(nullptr);
    return e;
}

}  // namespace

json diagnostic_json(const diagnostic& d, const diagnostic_files& names,
                     const station_table_t& table) {
    json e = place_json(d.where, d.length, names);
    e["code"] = d.code;
    e["severity"] = d.level == severity::error ? "error" : "warning";
    e["kind"] = diagnostic_kind(d);
    // Texts may quote the description's own bytes.
    e["message"] = cp850_to_utf8(diagnostic_text(d));
    e["help"] = d.help.empty() ? json(nullptr) : json(cp850_to_utf8(d.help));
    json notes = json::array();
    for (const diagnostic_note& n : d.notes) {
        json note = place_json(n.where, n.length, names);
        note["message"] = cp850_to_utf8(n.message);
        notes.push_back(std::move(note));
    }
    e["notes"] = std::move(notes);
    if (d.has_position) {
        e["position"] = d.position;
        e["position_m"] = d.position;
        e["km"] = kilometres_text(progressive_metres(table, d.position));
    }
    return e;
}

json compile_json(const author_compile& c, const std::vector<diagnostic>& all,
                  const diagnostic_files& names, const std::vector<written_file>& files) {
    const scenario_model& m = c.model;
    const std::int32_t code = c.closing_code != result::none ? c.closing_code : m.result_code;
    json j;
    j["result_code"] = code;
    // A code that carries no position leaves the model's position as an earlier code set it.
    j["error_position"] = code != result::none ? json(m.error_position) : json(nullptr);
    const auto errors =
        static_cast<std::size_t>(std::ranges::count(all, severity::error, &diagnostic::level));
    j["errors"] = errors;
    j["warnings"] = all.size() - errors;
    json diagnostics = json::array();
    for (const diagnostic& d : all) {
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
