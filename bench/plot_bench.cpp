// What the pictures cost on the worst grids: every cell a slowdown start (each start's box runs
// to the first end after it), and direction boards on every cell naming a text as long as a
// name may be. Timed at several sizes, so the fitted complexity shows whether drawing stays
// linear. The route chart is drawn from the grid in memory, so sizes beyond the largest file the
// readers take show the drawing alone.

#include <benchmark/benchmark.h>

#include <string>

#include "compiler/description_fixture.hpp"
#include "ground/model.hpp"
#include "toolkit/plot.hpp"

namespace compattatore {
namespace {

void BM_route_chart_slowdown_starts(benchmark::State& state) {
    route_grid_t grid(static_cast<std::size_t>(state.range(0)));
    for (route_cell& c : grid) {
        c.kind = cell_kind::slowdown_start;
        c.value_a = 60;
    }
    for (auto _ : state) benchmark::DoNotOptimize(route_svg(grid, nullptr).size());
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_route_chart_slowdown_starts)
    ->RangeMultiplier(2)
    ->Range(2500, 320000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

void BM_plan_boards_with_longest_text(benchmark::State& state) {
    const auto c = testing::compile(testing::description_pair{});
    station_table_t table = c->model.station_table;
    table[80].name = std::string(0x7FFF, 'b');
    route_grid_t grid(static_cast<std::size_t>(state.range(0)));
    // The small line's profile spans 200 cells: the boards stand on its drawn points.
    for (std::size_t i = 0; i < grid.size(); ++i) {
        grid[i].kind = cell_kind::direction_board;
        grid[i].value_a = 80;
    }
    std::size_t bytes = 0;
    for (auto _ : state) {
        bytes = plan_svg(c->model.line_profile, &table, &grid).size();
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["svg_MB"] = static_cast<double>(bytes) / 1e6;
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_plan_boards_with_longest_text)
    ->RangeMultiplier(2)
    ->Range(25, 200)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

}  // namespace
}  // namespace compattatore

BENCHMARK_MAIN();
