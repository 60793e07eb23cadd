// compattatore view: the route viewer's page of a scenario, from its descriptions or its files.

#include <optional>

#include "ground/files.hpp"
#include "toolkit/check_author.hpp"
#include "toolkit/commands.hpp"
#include "toolkit/compile_names.hpp"
#include "toolkit/folders.hpp"
#include "toolkit/scenario_files.hpp"
#include "toolkit/view_data.hpp"
#include "toolkit/view_page.hpp"

namespace compattatore {

namespace {

namespace fs = std::filesystem;

struct view_usage : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The name a description's file gives: "<line>_linea.txt" and "<line>_<train>-.txt".
std::string name_from_file(const fs::path& p, bool line) {
    const std::string name = p.filename().string();
    if (line) {
        return name.ends_with("_linea.txt") ? name.substr(0, name.size() - 10) : "";
    }
    if (!name.ends_with("-.txt")) return "";
    const std::string stem = name.substr(0, name.size() - 5);
    const auto underscore = stem.rfind('_');
    return underscore == std::string::npos ? "" : stem.substr(underscore + 1);
}

struct page_result {
    std::string page;
    int status = toolkit_status::ok;
};

page_result from_descriptions(const view_options& o) {
    if (o.inputs.size() != 2) throw view_usage("view takes two descriptions: LINE TRAIN");
    const std::string line = o.line_name.empty() ? name_from_file(o.inputs[0], true) : o.line_name;
    const std::string train =
        o.train_number.empty() ? name_from_file(o.inputs[1], false) : o.train_number;
    if (line.empty() || train.empty()) {
        throw view_usage("name the line and the train with --line and --train");
    }
    const author_identity id = read_identity(line, train, true);
    if (!id.problem.empty()) throw view_usage(id.problem);
    author_sources sources;
    try {
        sources.line_text = read_input(o.inputs[0]);
        sources.train_text = read_input(o.inputs[1]);
    } catch (const file_error& e) {
        throw unusable_file(e.what());
    }
    sources.line_name = id.line_name;
    sources.train_number = id.train_number;
    const author_check c = check_author_sources(std::move(sources));
    const scenario_model& m = c.compile.model;
    view_input in;
    in.profile = m.line_profile.dimensioned() ? &m.line_profile : nullptr;
    in.grid = m.route_grid.empty() ? nullptr : &m.route_grid;
    in.table = &m.station_table;
    in.diagnostics = &c.diagnostics;
    in.files = {o.inputs[0].string(), o.inputs[1].string()};
    in.places = &c.places;
    in.source = "compiled from " + in.files.line + " and " + in.files.train;
    const bool clean = c.count(severity::error) == 0;
    return {view_page(view_data(in)), clean ? toolkit_status::ok : toolkit_status::errors};
}

struct loaded_files {
    std::optional<line_profile_t> profile;
    std::optional<station_table_t> table;
    std::optional<route_grid_t> grid;
};

template <class Table>
void load_into(std::optional<Table>& slot, const fs::path& p, binary_file_kind kind) {
    slot = std::get<Table>(load_simulator_file(p, kind).content);
}

// Which file is which is settled from the names before any is read.
void check_kinds(const std::vector<fs::path>& inputs) {
    int counts[3] = {0, 0, 0};
    for (const fs::path& p : inputs) ++counts[static_cast<int>(*classify_binary_file(p))];
    for (const auto kind : {binary_file_kind::line_profile, binary_file_kind::station_table,
                            binary_file_kind::route_grid}) {
        if (counts[static_cast<int>(kind)] > 1) {
            throw view_usage("view takes one " + std::string(kind_title(kind)) + " file");
        }
    }
    if (counts[static_cast<int>(binary_file_kind::route_grid)] == 0) {
        throw view_usage("view of compiled files needs the route grid FILE.dat");
    }
}

page_result from_files(const view_options& o) {
    check_kinds(o.inputs);
    loaded_files f;
    std::string source;
    for (const fs::path& p : o.inputs) {
        const binary_file_kind kind = *classify_binary_file(p);
        if (kind == binary_file_kind::line_profile) load_into(f.profile, p, kind);
        if (kind == binary_file_kind::station_table) load_into(f.table, p, kind);
        if (kind == binary_file_kind::route_grid) load_into(f.grid, p, kind);
        source += (source.empty() ? "" : ", ") + p.string();
    }
    view_input in;
    in.profile = f.profile ? &*f.profile : nullptr;
    in.grid = &*f.grid;
    in.table = f.table ? &*f.table : nullptr;
    in.source = "from " + source;
    return {view_page(view_data(in)), toolkit_status::ok};
}

page_result make_page(const view_options& o) {
    const bool all_compiled = std::ranges::all_of(
        o.inputs, [](const fs::path& p) { return classify_binary_file(p).has_value(); });
    if (all_compiled && (!o.line_name.empty() || !o.train_number.empty())) {
        throw view_usage("--line and --train name descriptions, not compiled files");
    }
    return all_compiled ? from_files(o) : from_descriptions(o);
}

}  // namespace

int view_command(const view_options& o, std::ostream& out, std::ostream& err) {
    const bool to_stdout = o.output == "-";
    const fs::path folder = o.output.has_parent_path() ? o.output.parent_path() : fs::path(".");
    if (!to_stdout) {
        if (const auto problem = output_folder_problem(folder)) return refuse(err, *problem);
    }
    page_result r;
    try {
        if (!to_stdout) require_replaceable(o.output);
        r = make_page(o);
        if (to_stdout) {
            out << r.page;
            return r.status;
        }
        replace_file(o.output, r.page);
    } catch (const view_usage& e) {
        return refuse(err,
                      std::string(e.what()) + "; run 'compattatore view --help' for the options");
    } catch (const unusable_file& e) {
        return refuse(err, e.what());
    } catch (const file_error& e) {
        return refuse(err, e.what());
    }
    out << "wrote " << written_text(o.output, r.page.size()) << "\n";
    return r.status;
}

}  // namespace compattatore
