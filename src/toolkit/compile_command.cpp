// compattatore compile: an author's own descriptions through the whole run, with diagnostics.

#include <nlohmann/json.hpp>

#include "formats/binary_files.hpp"
#include "ground/file_names.hpp"
#include "ground/files.hpp"
#include "ground/result_codes.hpp"
#include "toolkit/commands.hpp"
#include "toolkit/compile_author.hpp"
#include "toolkit/compile_diagnostics.hpp"
#include "toolkit/folders.hpp"

namespace compattatore {

namespace {

namespace fs = std::filesystem;

struct written_file {
    std::string name;
    fs::path path;
    std::uintmax_t size = 0;
};

std::string plural(std::size_t n, const char* word) {
    return std::to_string(n) + " " + word + (n == 1 ? "" : "s");
}

std::vector<written_file> write_files(const fs::path& dir, const scenario_model& m) {
    write_binary_files(dir, m);
    std::vector<std::string> names;
    if (m.profile_option != 0) names.push_back(file_name::line_profile(m));
    names.push_back(file_name::station_table(m));
    names.push_back(file_name::route_grid(m));
    std::vector<written_file> files;
    for (const std::string& name : names) {
        files.push_back({name, dir / name, fs::file_size(dir / name)});
    }
    return files;
}

// Why nothing was written, for the summary line.
std::string why_nothing(const author_compile& c, bool force) {
    if (!c.finished) return "nothing written: the line description gave no route grid";
    if (c.closing_code != result::none) return "nothing written: a closing check stopped the run";
    return force ? "nothing written"
                 : "nothing written (--force writes what the default run would)";
}

nlohmann::ordered_json to_json(const author_compile& c, const diagnostic_files& names,
                               const std::vector<written_file>& files) {
    using json = nlohmann::ordered_json;
    const scenario_model& m = c.model;
    const std::int32_t code = c.closing_code != result::none ? c.closing_code : m.result_code;
    const result_code_info* info = find_result_code(code);
    json j;
    j["result_code"] = code;
    j["error_position"] = code != result::none && info != nullptr && info->has_position
                              ? json(m.error_position)
                              : json(nullptr);
    j["errors"] = c.count(severity::error);
    j["warnings"] = c.count(severity::warning);
    json diagnostics = json::array();
    for (const diagnostic& d : c.report.diagnostics) {
        json e;
        e["file"] = names.of(d.where.file);
        e["line"] = d.where.line;
        e["column"] = d.where.column;
        e["code"] = d.code;
        e["severity"] = d.level == severity::error ? "error" : "warning";
        e["message"] = diagnostic_text(d);
        if (d.has_position) {
            e["position"] = d.position;
            e["km"] = kilometres_text(progressive_metres(m.station_table, d.position));
        }
        diagnostics.push_back(std::move(e));
    }
    j["diagnostics"] = std::move(diagnostics);
    json written = json::array();
    for (const written_file& f : files) {
        written.push_back({{"name", f.name}, {"path", f.path.string()}, {"size", f.size}});
    }
    j["files"] = std::move(written);
    return j;
}

// "1 error, 0 warnings; " and what was written.
std::string summary_line(const author_compile& c, const std::vector<written_file>& files,
                         bool force) {
    std::string summary = plural(c.count(severity::error), "error") + ", " +
                          plural(c.count(severity::warning), "warning") + "; ";
    if (files.empty()) return summary + why_nothing(c, force);
    summary += "wrote";
    for (std::size_t i = 0; i < files.size(); ++i) {
        summary += (i == 0 ? " " : ", ") + written_text(files[i].path, files[i].size);
    }
    return summary;
}

}  // namespace

int compile_command(const compile_options& o, std::ostream& out, std::ostream& err) {
    if (const auto problem = output_folder_problem(o.output)) {
        err << "compattatore: " << *problem << "\n";
        return toolkit_status::usage;
    }
    author_sources sources;
    try {
        sources.line_text = read_input(o.line_file);
        sources.train_text = read_input(o.train_file);
    } catch (const file_error& e) {
        err << "compattatore: " << e.what() << "\n";
        return toolkit_status::usage;
    }
    sources.line_name = o.line_name;
    sources.train_number = o.train_number;
    sources.profile = !o.no_profile;

    const author_compile c = compile_author_sources(sources);
    const diagnostic_files names{o.line_file.string(), o.train_file.string()};
    if (!o.json) {
        for (const diagnostic& d : c.report.diagnostics) {
            err << format_diagnostic(d, names, c.model.station_table) << "\n";
        }
    }

    std::vector<written_file> files;
    if (c.writable() && (c.clean() || o.force)) {
        try {
            files = write_files(o.output, c.model);
        } catch (const file_error& e) {
            err << "compattatore: " << e.what() << "\n";
            return toolkit_status::usage;
        }
    }

    if (o.json) {
        out << to_json(c, names, files).dump(2) << "\n";
    } else {
        out << summary_line(c, files, o.force) << "\n";
    }
    return c.clean() ? toolkit_status::ok : toolkit_status::errors;
}

}  // namespace compattatore
