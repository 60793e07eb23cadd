// compattatore inspect: the simulator's files, decoded and shown readably or as JSON.

#include <variant>

#include "ground/units.hpp"
#include "toolkit/commands.hpp"
#include "toolkit/inspect_views.hpp"
#include "toolkit/json_text.hpp"
#include "toolkit/scenario_files.hpp"

namespace compattatore {

namespace {

namespace fs = std::filesystem;

struct decoded_file {
    fs::path path;
    loaded_file loaded;
};

template <class... F>
struct overloaded : F... {
    using F::operator()...;
};
template <class... F>
overloaded(F...) -> overloaded<F...>;

// Everything is read and decoded first: a bad file gives its one line and no partial listing.
std::vector<decoded_file> load_all(const std::vector<fs::path>& paths) {
    std::vector<decoded_file> files;
    for (const fs::path& path : paths) {
        const auto kind = classify_binary_file(path);
        if (!kind) {
            throw unusable_file(path.string() +
                                ": not a simulator file (names end in _linea.dat, .sim or .dat)");
        }
        files.push_back({path, load_simulator_file(path, *kind)});
    }
    return files;
}

// The last station table given names the stations and board texts of every grid.
const station_table_t* station_names(const std::vector<decoded_file>& files) {
    const station_table_t* names = nullptr;
    for (const decoded_file& f : files) {
        if (const auto* t = std::get_if<station_table_t>(&f.loaded.content)) names = t;
    }
    return names;
}

void write_file_json(const decoded_file& f, const station_table_t* names,
                     const std::optional<point_selection>& points, inspect::json_writer& w) {
    w.open_object();
    const std::string path = f.path.string();
    w.member("file", path);
    if (!is_utf8(path)) w.member("file_bytes", hex_digits(path));
    w.member("bytes", f.loaded.bytes);
    std::visit(overloaded{
                   [&](const line_profile_t& p) {
                       w.member("type", "line_profile");
                       inspect::write_line_profile_json(p, points, w);
                   },
                   [&](const station_table_t& t) {
                       w.member("type", "station_table");
                       inspect::write_station_table_json(t, w);
                   },
                   [&](const route_grid_t& g) {
                       w.member("type", "route_grid");
                       inspect::write_route_grid_json(g, names, w);
                   },
               },
               f.loaded.content);
    w.close();
}

void print_file(const decoded_file& f, const station_table_t* names,
                const std::optional<point_selection>& points, std::ostream& out) {
    const std::string head = f.path.string() + ": ";
    const std::string bytes = std::to_string(f.loaded.bytes) + " bytes\n";
    std::visit(overloaded{
                   [&](const line_profile_t& p) {
                       out << head << "line profile, " << bytes;
                       inspect::print_line_profile(p, points, out);
                   },
                   [&](const station_table_t& t) {
                       out << head << "station table, " << station_slot::count << " entries, "
                           << bytes;
                       inspect::print_station_table(t, out);
                   },
                   [&](const route_grid_t& g) {
                       out << head << "route grid, cells 0 to " << (g.empty() ? 0 : g.size() - 1)
                           << " (" << cell_length_m << " m each), " << bytes;
                       inspect::print_route_grid(g, names, out);
                   },
               },
               f.loaded.content);
}

}  // namespace

std::optional<point_selection> parse_point_selection(const std::string& text) {
    std::vector<std::size_t> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t colon = text.find(':', start);
        const std::string part = text.substr(start, colon - start);
        if (part.empty() || part.find_first_not_of("0123456789") != std::string::npos ||
            part.size() > 9) {
            return std::nullopt;
        }
        parts.push_back(std::stoul(part));
        if (colon == std::string::npos) break;
        start = colon + 1;
    }
    point_selection s;
    if (parts.size() == 1) {
        if (parts[0] == 0) return std::nullopt;
        s.step = parts[0];
    } else if (parts.size() == 2 || parts.size() == 3) {
        if (parts[1] < parts[0]) return std::nullopt;
        s.first = parts[0];
        s.last = parts[1];
        if (parts.size() == 3) {
            if (parts[2] == 0) return std::nullopt;
            s.step = parts[2];
        }
    } else {
        return std::nullopt;
    }
    return s;
}

int inspect_command(const inspect_options& o, std::ostream& out, std::ostream& err) {
    std::vector<decoded_file> files;
    try {
        files = load_all(o.files);
    } catch (const unusable_file& e) {
        err << "compattatore: " << e.what() << "\n";
        return toolkit_status::usage;
    }
    const station_table_t* names = station_names(files);
    if (o.json) {
        inspect::json_writer w(out);
        w.open_object();
        w.key("files");
        w.open_array();
        for (const decoded_file& f : files) write_file_json(f, names, o.points, w);
        w.close();
        w.close();
        out << "\n";
        return toolkit_status::ok;
    }
    for (const decoded_file& f : files) {
        if (&f != &files.front()) out << "\n";
        print_file(f, names, o.points, out);
    }
    return toolkit_status::ok;
}

}  // namespace compattatore
