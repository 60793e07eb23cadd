// What the worst inputs cost: the longest line with a record on every cell, megabytes of
// degenerate text through each reader (timed at several sizes, so the fitted complexity shows
// whether reading stays linear), and overlapping slowdowns for the cab-code pass.

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <string>

#include "compiler/description_files.hpp"
#include "compiler/memorizza_dati.hpp"
#include "finishing/finishing.hpp"
#include "formats/binary_files.hpp"
#include "fuzz/fuzz_checks.hpp"
#include "support/generated_descriptions.hpp"

namespace compattatore {
namespace {

using testing::degenerate;

void peak_rss(benchmark::State& state) {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_rss_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}

scenario_model compile(const std::string& line, const std::string& train) {
    scenario_model m;
    m.line_name = std::string("Bench");  // a literal assigned here trips a false -Wrestrict
    m.train_number = std::string("1");
    m.profile_option = 1;
    borrowed_description_files files(line, train);
    memorizza_dati(m, files);
    return m;
}

// Compile, finish and encode all three files in memory.
void compile_finish_encode(benchmark::State& state, const std::string& line,
                           const std::string& train) {
    for (auto _ : state) {
        scenario_model m = compile(line, train);
        cab_code_pass(m);
        if (closing_checks(m) != 0) {
            state.SkipWithError("closing checks stopped");
            break;
        }
        benchmark::DoNotOptimize(encode_line_profile(m.line_profile).size());
        benchmark::DoNotOptimize(encode_station_table(m.station_table).size());
        benchmark::DoNotOptimize(encode_route_grid(m.route_grid).size());
    }
    peak_rss(state);
}

void BM_every_cell_line(benchmark::State& state) {
    compile_finish_encode(state, testing::every_cell_line_description(),
                          testing::every_cell_train_description());
    state.counters["line_text_MB"] = testing::every_cell_line_description().size() / 1e6;
    state.counters["train_text_MB"] = testing::every_cell_train_description().size() / 1e6;
}

// 1800 slow slowdowns whose starts lie every 250 m over the first 450 km and whose ends all lie
// beyond them: each one's walk to the first end crosses the starts of all the later ones.
std::string overlapping_slowdowns_train() {
    std::string t = "[generale]\r\n[rallentamenti]\r\n";
    for (int i = 0; i < 1800; ++i) {
        const std::int32_t x = 2000 + 250 * i;
        const std::int32_t end = 500000 + 250 * i + 100;  // its end cell lies after every start
        t += "rallentamento, " + std::to_string(x) + ", 60, " + std::to_string(end - x) +
             ", 0, 0, 60\r\n";
    }
    return t + "[fine]\r\n";
}

void BM_overlapping_slowdowns(benchmark::State& state) {
    const std::string line = "[generale]\r\nlunghezza percorso, 1000000\r\n[fine]\r\n";
    const std::string train = overlapping_slowdowns_train();
    for (auto _ : state) {
        state.PauseTiming();
        scenario_model m = compile(line, train);
        if (m.result_code != 0) {
            state.SkipWithError("the slowdowns did not compile cleanly");
            break;
        }
        state.ResumeTiming();
        cab_code_pass(m);
        benchmark::DoNotOptimize(m.route_grid.data());
    }
    peak_rss(state);
}

// A degenerate text of state.range(0) bytes as the line description (with a small train) or as
// the train description (after a small line).
void degenerate_read(benchmark::State& state, degenerate kind, bool as_line) {
    const auto bytes = static_cast<std::size_t>(state.range(0));
    const std::string text = testing::degenerate_text(kind, bytes);
    const std::string line = as_line ? text : std::string(fuzzing::fixed_line_text);
    const std::string train = as_line ? std::string(fuzzing::fixed_train_text) : text;
    for (auto _ : state) {
        scenario_model m = compile(line, train);
        benchmark::DoNotOptimize(m.result_code);
    }
    state.SetComplexityN(static_cast<std::int64_t>(bytes));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}

}  // namespace
}  // namespace compattatore

int main(int argc, char** argv) {
    using namespace compattatore;
    benchmark::RegisterBenchmark("BM_every_cell_line", BM_every_cell_line)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_overlapping_slowdowns", BM_overlapping_slowdowns)
        ->Unit(benchmark::kMillisecond);
    const std::pair<const char*, degenerate> kinds[] = {
        {"one_long_line", degenerate::one_long_line},
        {"commas", degenerate::commas},
        {"hyphen_lines", degenerate::hyphen_lines},
        {"blanks", degenerate::blanks},
        {"many_fields", degenerate::many_fields},
        {"long_number", degenerate::long_number},
        {"long_board_text", degenerate::long_board_text},
        {"long_station_name", degenerate::long_station_name},
    };
    for (const auto& [name, kind] : kinds) {
        for (const bool as_line : {true, false}) {
            const std::string family =
                std::string("BM_degenerate_") + (as_line ? "line/" : "train/") + name;
            benchmark::RegisterBenchmark(
                family.c_str(),
                [kind = kind, as_line](benchmark::State& s) { degenerate_read(s, kind, as_line); })
                ->RangeMultiplier(2)
                ->Range(1 << 20, 8 << 20)
                ->Unit(benchmark::kMillisecond)
                ->Complexity(benchmark::oN);
        }
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
