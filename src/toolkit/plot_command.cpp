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
        err << "compattatore: plot takes one of --profile and --route\n";
        return toolkit_status::usage;
    }
    const fs::path folder = o.output.has_parent_path() ? o.output.parent_path() : fs::path(".");
    if (const auto problem = output_folder_problem(folder)) {
        err << "compattatore: " << *problem << "\n";
        return toolkit_status::usage;
    }
    std::string picture;
    try {
        picture = draw(o);
        replace_file(o.output, picture);
    } catch (const unusable_file& e) {
        err << "compattatore: " << e.what() << "\n";
        return toolkit_status::usage;
    } catch (const file_error& e) {
        err << "compattatore: " << e.what() << "\n";
        return toolkit_status::usage;
    }
    out << "wrote " << written_text(o.output, picture.size()) << "\n";
    return toolkit_status::ok;
}

}  // namespace compattatore
