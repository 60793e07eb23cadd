// Writes the seed corpora of the harnesses into the folder given: the scenario's own descriptions
// and the small texts the compiler tests start from; for the binary harness, the files the small
// texts compile to; for the language server, whole sessions on the small texts.
// Usage: fuzz_seeds <corpus folder>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "compiler/description_fixture.hpp"
#include "fuzz/binary_checks.hpp"
#include "fuzz/fuzz_checks.hpp"
#include "fuzz/lsp_checks.hpp"
#include "sources/writers.hpp"
#include "support/generated_descriptions.hpp"  // join_crlf

namespace {

namespace fs = std::filesystem;
using namespace compattatore;

void put(const fs::path& dir, const std::string& name, const std::string& bytes) {
    fs::create_directories(dir);
    std::ofstream(dir / name, std::ios::binary) << bytes;
}

// The fixed texts' three files, alone and as each plot takes them. The profile keeps its first
// points only, so every seed stays within the harness's input size.
void put_binary_seeds(const fs::path& dir) {
    scenario_model m;
    m.line_name = "Linea";
    m.train_number = "99";
    borrowed_description_files texts{std::string(fuzzing::fixed_line_text),
                                     std::string(fuzzing::fixed_train_text)};
    compile_scenario(m, 1, texts);
    line_profile_t cut;
    cut.dimension(999);
    for (std::size_t p = 0; p < cut.points(); ++p) {
        cut.x(p) = m.line_profile.x(p);
        cut.y(p) = m.line_profile.y(p);
    }
    const std::string profile = encode_line_profile(cut);
    const std::string table = encode_station_table(m.station_table);
    const std::string grid = encode_route_grid(m.route_grid);
    const std::string sep(fuzzing::binary_separator);
    put(dir, "profile", '\0' + profile);
    put(dir, "table", '\1' + table);
    put(dir, "grid", '\2' + grid);
    put(dir, "plan", '\3' + profile);
    put(dir, "plan-labelled", '\3' + profile + sep + table + sep + grid);
    put(dir, "route-chart", '\4' + grid);
    put(dir, "route-chart-named", '\4' + grid + sep + table);
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
    put_binary_seeds(root / "binary");
    for (const auto& [name, session] : fuzzing::lsp_seed_sessions())
        put(root / "lsp", name, session);
    return 0;
}
