// The language server after an edit: the whole check of a maximum-length line and its train and
// the diagnostics published for both, as an editor would wait for them.

#include <benchmark/benchmark.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

#include "support/generated_descriptions.hpp"
#include "support/temp_dir.hpp"
#include "toolkit/lsp_server.hpp"
#include "toolkit/lsp_text.hpp"

namespace compattatore {
namespace {

using nlohmann::json;

std::string message(const std::string& method, json params, int id = -1) {
    json m = {{"jsonrpc", "2.0"}, {"method", method}, {"params", std::move(params)}};
    if (id >= 0) m["id"] = id;
    return m.dump();
}

std::string open_message(const std::string& uri, const std::string& text) {
    return message(
        "textDocument/didOpen",
        {{"textDocument", {{"uri", uri}, {"languageId", "text"}, {"version", 1}, {"text", text}}}});
}

// Both descriptions open; each iteration sends one whole-text change of `which`, alternating two
// texts so every change is a real one.
void change_and_publish(benchmark::State& state, bool change_line) {
    testing::temp_dir dir;
    const std::string line = testing::maximum_line_description();
    const std::string train = testing::maximum_train_description();
    const std::string line_uri = lsp::path_uri(dir / "Bench_linea.txt");
    const std::string train_uri = lsp::path_uri(dir / "Bench_1-.txt");
    std::ostringstream out, log;
    lsp::language_server server(out, log);
    server.handle(message("initialize", {{"capabilities", json::object()}}, 0));
    server.handle(open_message(line_uri, line));
    server.handle(open_message(train_uri, train));
    const std::string& text = change_line ? line : train;
    const std::string& uri = change_line ? line_uri : train_uri;
    const std::string changes[2] = {
        message("textDocument/didChange",
                {{"textDocument", {{"uri", uri}, {"version", 2}}},
                 {"contentChanges", json::array({{{"text", text + "\r\n"}}})}}),
        message("textDocument/didChange", {{"textDocument", {{"uri", uri}, {"version", 3}}},
                                           {"contentChanges", json::array({{{"text", text}}})}}),
    };
    if (out.str().find("\"diagnostics\":[]") == std::string::npos) {
        state.SkipWithError("the maximum descriptions are not clean");
        return;
    }
    std::size_t n = 0;
    for (auto _ : state) {
        out.str("");
        server.handle(changes[n++ % 2]);
        benchmark::DoNotOptimize(out.str().size());
    }
    state.counters["text_bytes"] = static_cast<double>(text.size());
}

void BM_lsp_change_maximum_line(benchmark::State& state) {
    change_and_publish(state, true);
}
BENCHMARK(BM_lsp_change_maximum_line)->Unit(benchmark::kMillisecond);

void BM_lsp_change_maximum_train(benchmark::State& state) {
    change_and_publish(state, false);
}
BENCHMARK(BM_lsp_change_maximum_train)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace compattatore
BENCHMARK_MAIN();
