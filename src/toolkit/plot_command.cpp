// compattatore plot: the track plan or the route chart of compiled files, as SVG.

#include "ground/files.hpp"
#include "toolkit/commands.hpp"
#include "toolkit/folders.hpp"
#include "toolkit/plot.hpp"
#include "toolkit/scenario_files.hpp"

namespace compattatore {

namespace {

namespace fs = std::filesystem;

// Each option names one kind of file; a name of another kind is refused before it is read.
template <class Table>
std::optional<Table> load_option(const std::optional<fs::path>& path, binary_file_kind kind) {
    if (!path) return std::nullopt;
    if (classify_binary_file(*path) != kind) {
        throw unusable_file(path->string() + ": not a " + std::string(kind_title(kind)) + " file");
    }
    return std::get<Table>(load_simulator_file(*path, kind).content);
}

std::string draw(const plot_options& o) {
    const auto table = load_option<station_table_t>(o.sim, binary_file_kind::station_table);
    const auto grid =
        load_option<route_grid_t>(o.route ? o.route : o.dat, binary_file_kind::route_grid);
    const station_table_t* names = table ? &*table : nullptr;
    if (!o.profile) return route_svg(*grid, names);
    const auto profile = load_option<line_profile_t>(o.profile, binary_file_kind::line_profile);
    return plan_svg(*profile, names, grid ? &*grid : nullptr);
}

}  // namespace

int plot_command(const plot_options& o, std::ostream& out, std::ostream& err) {
    if (o.profile.has_value() == o.route.has_value()) {
        return refuse(err,
                      "plot takes one of --profile and --route; run 'compattatore plot --help' "
                      "for the options");
    }
    // "-" is standard output: the picture goes there and nothing else does.
    const bool to_stdout = o.output == "-";
    const fs::path folder = o.output.has_parent_path() ? o.output.parent_path() : fs::path(".");
    if (!to_stdout) {
        if (const auto problem = output_folder_problem(folder)) return refuse(err, *problem);
    }
    std::string picture;
    try {
        if (!to_stdout) require_replaceable(o.output);
        picture = draw(o);
        if (to_stdout) {
            out << picture;
            return toolkit_status::ok;
        }
        replace_file(o.output, picture);
    } catch (const unusable_file& e) {
        return refuse(err, e.what());
    } catch (const file_error& e) {
        return refuse(err, e.what());
    }
    out << "wrote " << written_text(o.output, picture.size()) << "\n";
    return toolkit_status::ok;
}

}  // namespace compattatore
