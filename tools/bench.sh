#!/usr/bin/env bash
# Benchmarks: compile + finish + write for the default scenario and for a line of the greatest
# accepted length (each in its own process, so peak_rss_MB is that benchmark's own), the plots on
# the worst grids, then the whole default run as a process against copying its six output files.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
cmake --preset bench >/dev/null
cmake --build --preset bench
for name in BM_default_scenario BM_maximum_line_compile_only BM_maximum_line; do
  build/bench/bench/bench_compattatore --benchmark_filter="^${name}\$" --benchmark_repetitions=5 \
    --benchmark_report_aggregates_only=true
done
build/bench/bench/bench_plots
build/bench/bench/bench_lsp --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
tools/time-run.sh build/bench/compattatore
