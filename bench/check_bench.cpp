// The author's check, compile included, on the scenario's own texts and on a line of the greatest
// accepted length; and the compile alone on the same texts, for the check's own share.

#include <benchmark/benchmark.h>

#include <string>

#include "sources/writers.hpp"
#include "support/generated_descriptions.hpp"
#include "toolkit/check_author.hpp"

namespace compattatore {
namespace {

author_sources sources(const std::string& line, const std::string& train) {
    author_sources s;
    s.line_text = line;
    s.train_text = train;
    s.line_name = std::string("Bench");
    s.train_number = std::string("1");
    return s;
}

template <class Run>
void run(benchmark::State& state, const std::string& line, const std::string& train, Run r) {
    for (auto _ : state) {
        state.PauseTiming();
        author_sources s = sources(line, train);  // the copies the command would read
        state.ResumeTiming();
        const bool clean = r(std::move(s));
        if (!clean) {
            state.SkipWithError("the benchmark texts do not check cleanly");
            break;
        }
    }
}

bool check_only(author_sources s) {
    const author_check c = check_author_sources(std::move(s));
    return c.diagnostics.empty() && c.compile.writable();
}

bool compile_only(author_sources s) {
    return compile_author_sources(std::move(s)).clean();
}

void BM_check_scenario(benchmark::State& state) {
    run(state, testing::join_crlf(dati_linea_lines()), testing::join_crlf(dati_treno_lines()),
        check_only);
}
void BM_compile_scenario(benchmark::State& state) {
    run(state, testing::join_crlf(dati_linea_lines()), testing::join_crlf(dati_treno_lines()),
        compile_only);
}
void BM_check_maximum_line(benchmark::State& state) {
    run(state, testing::maximum_line_description(), testing::maximum_train_description(),
        check_only);
}
void BM_compile_maximum_line(benchmark::State& state) {
    run(state, testing::maximum_line_description(), testing::maximum_train_description(),
        compile_only);
}

BENCHMARK(BM_check_scenario)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_compile_scenario)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_check_maximum_line)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_compile_maximum_line)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace compattatore

BENCHMARK_MAIN();
