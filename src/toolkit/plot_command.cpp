// compattatore plot: the track plan or the route chart of compiled files, as SVG.

#include "formats/binary_layout.hpp"
#include "ground/files.hpp"
#include "toolkit/commands.hpp"
#include "toolkit/folders.hpp"
#include "toolkit/plot.hpp"
#include "toolkit/scenario_files.hpp"

namespace compattatore {

namespace {

namespace fs = std::filesystem;

struct load_failure {
    std::string line;
};

// Reads and decodes one file of the expected kind, or throws load_failure with the one line to
// show.
template <class Table, class Decode>
Table load(const fs::path& path, binary_file_kind expected, const char* what, Decode decode) {
    if (classify_binary_file(path) != expected) {
        throw load_failure{path.string() + ": not a " + what + " file"};
    }
    std::optional<std::string> bytes;
    try {
        bytes = read_input(path);
    } catch (const file_error& e) {
        throw load_failure{e.what()};
    }
    if (!bytes) throw load_failure{path.string() + ": no such file"};
    try {
        return decode(*bytes);
    } catch (const binary_layout::decode_error& e) {
        throw load_failure{path.string() + ": corrupt " + what + " at byte " +
                           std::to_string(e.offset()) + ": " + e.detail()};
    }
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
        std::optional<station_table_t> table;
        std::optional<route_grid_t> grid;
        if (o.sim) {
            table = load<station_table_t>(*o.sim, binary_file_kind::station_table, "station table",
                                          binary_layout::decode_station_table);
        }
        const std::optional<fs::path>& grid_path = o.route ? o.route : o.dat;
        if (grid_path) {
            grid = load<route_grid_t>(*grid_path, binary_file_kind::route_grid, "route grid",
                                      binary_layout::decode_route_grid);
        }
        if (o.profile) {
            const line_profile_t profile =
                load<line_profile_t>(*o.profile, binary_file_kind::line_profile, "line profile",
                                     binary_layout::decode_line_profile);
            picture = plan_svg(profile, table ? &*table : nullptr, grid ? &*grid : nullptr);
        } else {
            picture = route_svg(*grid, table ? &*table : nullptr);
        }
    } catch (const load_failure& f) {
        err << "compattatore: " << f.line << "\n";
        return toolkit_status::usage;
    }
    try {
        replace_file(o.output, picture);
    } catch (const file_error& e) {
        err << "compattatore: " << e.what() << "\n";
        return toolkit_status::usage;
    }
    out << "wrote " << o.output.string() << " (" << picture.size() << " bytes)\n";
    return toolkit_status::ok;
}

}  // namespace compattatore
