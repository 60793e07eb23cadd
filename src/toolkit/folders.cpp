#include "toolkit/folders.hpp"

#include <cerrno>
#include <fstream>
#include <random>
#include <system_error>

#include "ground/files.hpp"
#include "toolkit/commands.hpp"

namespace compattatore {

namespace fs = std::filesystem;

std::optional<std::string> output_folder_problem(const fs::path& dir) {
    std::error_code ec;
    if (!fs::exists(dir, ec)) return "output folder " + dir.string() + " does not exist";
    if (!fs::is_directory(dir, ec)) return "output folder " + dir.string() + " is not a folder";
    // Permissions alone do not tell (root, read-only mounts): try a file.
    std::random_device rd;
    const fs::path probe = dir / (".compattatore-probe-" + std::to_string(rd()));
    {
        std::ofstream f(probe, std::ios::binary);
        if (!f) return "output folder " + dir.string() + " is not writable";
    }
    fs::remove(probe, ec);
    return std::nullopt;
}

int refuse(std::ostream& err, const std::string& line) {
    err << "compattatore: " << line << "\n";
    return toolkit_status::usage;
}

std::optional<std::string> read_input(const fs::path& path) {
    std::error_code ec;
    if (fs::is_directory(path, ec)) throw file_error(path, "read", "it is a folder");
    return read_file(path);
}

std::string written_text(const fs::path& path, std::uintmax_t bytes) {
    return path.string() + " (" + std::to_string(bytes) + " bytes)";
}

}  // namespace compattatore
