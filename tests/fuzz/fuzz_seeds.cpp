// Writes the seed corpora of the three harnesses into the folder given: the scenario's own
// descriptions and the small texts the compiler tests start from.
// Usage: fuzz_seeds <corpus folder>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "compiler/description_fixture.hpp"
#include "fuzz/fuzz_checks.hpp"
#include "sources/writers.hpp"
#include "support/generated_descriptions.hpp"  // join_crlf

namespace {

namespace fs = std::filesystem;
using namespace compattatore;

void put(const fs::path& dir, const std::string& name, const std::string& bytes) {
    fs::create_directories(dir);
    std::ofstream(dir / name, std::ios::binary) << bytes;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_seeds <corpus folder>\n");
        return 2;
    }
    const fs::path root = argv[1];
    const testing::description_pair small;
    const std::pair<std::string, std::string> pairs[] = {
        {"scenario", testing::join_crlf(dati_linea_lines())},
        {"fixture", small.line_text()},
        {"fixed", std::string(fuzzing::fixed_line_text)},
    };
    const std::pair<std::string, std::string> trains[] = {
        {"scenario", testing::join_crlf(dati_treno_lines())},
        {"fixture", small.train_text()},
        {"fixed", std::string(fuzzing::fixed_train_text)},
    };
    for (const auto& [name, text] : pairs) put(root / "line", name, text);
    for (const auto& [name, text] : trains) put(root / "train", name, text);
    const std::string sep(fuzzing::compile_separator);
    for (std::size_t i = 0; i < 3; ++i) {
        // Option byte '1': profile on; '0': profile off (bit 0 only).
        put(root / "compile", pairs[i].first + "-profile",
            "1" + pairs[i].second + sep + trains[i].second);
        put(root / "compile", pairs[i].first + "-no-profile",
            "0" + pairs[i].second + sep + trains[i].second);
    }
    return 0;
}
