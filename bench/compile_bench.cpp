// Compile, finish and write: the default scenario and a line of the greatest accepted length.

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <filesystem>
#include <string>

#include "compiler/description_files.hpp"
#include "compiler/memorizza_dati.hpp"
#include "formats/binary_files.hpp"
#include "pipeline/scenario_pipeline.hpp"
#include "sources/writers.hpp"
#include "support/generated_descriptions.hpp"
#include "support/temp_dir.hpp"

namespace compattatore {
namespace {

scenario_model blank_model() {
    scenario_model m;
    m.line_name = std::string("Bench");
    m.train_number = std::string("1");
    return m;
}

void report_peak_rss(benchmark::State& state) {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_rss_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// What the run does after its text sources, through the same pipeline: profile built.
void compile_finish_write(benchmark::State& state, const std::string& line,
                          const std::string& train) {
    testing::temp_dir dir;
    for (auto _ : state) {
        scenario_model m = blank_model();
        borrowed_description_files files(line, train);
        const pipeline_outcome outcome = compile_scenario(m, 1, files);
        if (!outcome.writable() || m.result_code != 0) {
            state.SkipWithError("the benchmark scenario does not compile cleanly");
            break;
        }
        write_binary_files(dir.path(), m);
        benchmark::DoNotOptimize(m.route_grid.data());
    }
    report_peak_rss(state);
}

// The compiler alone on the maximum line, profile included.
void BM_maximum_line_compile_only(benchmark::State& state) {
    const std::string line = testing::maximum_line_description();
    const std::string train = testing::maximum_train_description();
    for (auto _ : state) {
        scenario_model m = blank_model();
        m.profile_option = 1;
        borrowed_description_files files(line, train);
        memorizza_dati(m, files);
        benchmark::DoNotOptimize(m.route_grid.data());
    }
    report_peak_rss(state);
}
BENCHMARK(BM_maximum_line_compile_only)->Unit(benchmark::kMillisecond);

void BM_default_scenario(benchmark::State& state) {
    compile_finish_write(state, testing::join_crlf(dati_linea_lines()),
                         testing::join_crlf(dati_treno_lines()));
}
BENCHMARK(BM_default_scenario)->Unit(benchmark::kMillisecond);

void BM_maximum_line(benchmark::State& state) {
    compile_finish_write(state, testing::maximum_line_description(),
                         testing::maximum_train_description());
}
BENCHMARK(BM_maximum_line)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace compattatore

BENCHMARK_MAIN();
