// The floor the whole default run is measured against: writes given files into a folder the
// same durable way the run does (temporary file flushed to the disk, renamed, folder flushed),
// with nothing else to do. Usage: durable_floor FOLDER FILE...
#include <cstdio>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>

#include "ground/files.hpp"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fputs("usage: durable_floor FOLDER FILE...\n", stderr);
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    try {
        for (int i = 2; i < argc; ++i) {
            const std::filesystem::path source = argv[i];
            const std::optional<std::string> bytes = compattatore::read_file(source);
            if (!bytes) throw std::runtime_error("no file " + source.string());
            compattatore::replace_file(folder / source.filename(), *bytes);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "durable_floor: %s\n", e.what());
        return 3;
    }
    return 0;
}
