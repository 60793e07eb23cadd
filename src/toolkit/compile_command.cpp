// compattatore compile: an author's own descriptions through the whole run, with diagnostics.

#include "formats/binary_files.hpp"
#include "ground/file_names.hpp"
#include "ground/files.hpp"
#include "ground/result_codes.hpp"
#include "toolkit/author_report.hpp"
#include "toolkit/check_author.hpp"
#include "toolkit/commands.hpp"
#include "toolkit/compile_author.hpp"
#include "toolkit/compile_diagnostics.hpp"
#include "toolkit/compile_json.hpp"
#include "toolkit/compile_names.hpp"
#include "toolkit/folders.hpp"
#include "toolkit/json_text.hpp"

namespace compattatore {

namespace {

namespace fs = std::filesystem;

std::string plural(std::size_t n, const char* word) {
    return std::to_string(n) + " " + word + (n == 1 ? "" : "s");
}

// The compile's files, written while the folder is held: another compile or run into the same
// folder waits, so the three files always come from one compile. Nothing is written when any
// output name is taken by something other than a regular file.
std::vector<written_file> write_files(const fs::path& dir, const scenario_model& m) {
    const folder_lock hold(dir);
    const std::vector<std::string> names = output_names(m);
    for (const std::string& name : names) require_replaceable(file_name::path_in(dir, name));
    write_binary_files(dir, m);
    std::vector<written_file> files;
    for (const std::string& name : names) {
        files.push_back(
            {name, file_name::path_in(dir, name), fs::file_size(file_name::path_in(dir, name))});
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

// "1 error, 0 warnings; " and what was written.
std::string summary_line(const author_check& k, const std::vector<written_file>& files,
                         bool force) {
    const author_compile& c = k.compile;
    std::string summary = plural(k.count(severity::error), "error") + ", " +
                          plural(k.count(severity::warning), "warning") + "; ";
    if (files.empty()) return summary + why_nothing(c, force);
    summary += "wrote";
    for (std::size_t i = 0; i < files.size(); ++i) {
        summary += (i == 0 ? " " : ", ") + written_text(files[i].path, files[i].size);
    }
    return summary;
}

}  // namespace

int compile_command(const compile_options& o, std::ostream& out, std::ostream& err) {
    compile_options named = o;
    if (const auto problem = complete_names(named)) {
        return refuse(err, *problem + "; run 'compattatore compile --help' for the options");
    }
    const author_identity id = read_identity(*named.line_name, *named.train_number, !o.no_profile);
    if (!id.problem.empty()) return refuse(err, id.problem);
    if (const auto problem = output_folder_problem(o.output)) return refuse(err, *problem);
    auto sources = read_author_texts(named, id, !o.no_profile, err);
    if (!sources) return toolkit_status::usage;

    const author_check k = check_author_sources(std::move(*sources), {o.report.encoding});
    const author_compile& c = k.compile;
    const diagnostic_files names{o.line_file.string(), o.train_file.string()};
    if (!o.json) show_diagnostics(err, k.diagnostics, named, o.report, c.model.station_table);

    // An error only the check finds (a character the code page lacks) counts like the compile's.
    const bool clean = c.clean() && k.count(severity::error) == 0;
    std::vector<written_file> files;
    if (c.writable() && (clean || o.force)) {
        try {
            files = write_files(o.output, c.model);
        } catch (const file_error& e) {
            return refuse(err, e.what());
        }
    }

    if (o.json) {
        out << json_document(compile_json(c, k.diagnostics, names, files));
    } else {
        out << summary_line(k, files, o.force) << "\n";
    }
    return clean ? toolkit_status::ok : toolkit_status::errors;
}

}  // namespace compattatore
