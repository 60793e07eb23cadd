#!/usr/bin/env bash
# Builds the libFuzzer harnesses of the description readers, of the whole compile, of the author's
# check, of the readers of the simulator's files with inspect and plot, and of the language
# server's message reader and dispatch, and runs each for a bounded time.
# Exits non-zero when any harness finds a crash, a leak, a broken invariant or a hang.
#
# Usage: tools/fuzz.sh [--ci | --minutes N] [harness ...]
#   --ci         about 60 s per harness, starting from the seed corpora only (the default)
#   --minutes N  N minutes per harness; the grown corpus is kept in build/fuzz/corpus/
#   harness      fuzz_line_reader, fuzz_train_reader, fuzz_compile, fuzz_check,
#                fuzz_binary_files, fuzz_lsp_messages (default: all six)
# A failing input is left in build/fuzz/artifacts/; copy it into tests/fuzz/regressions/<kind>/
# (line, train, compile for fuzz_compile and fuzz_check, binary, lsp) with its row in the
# replaying test's table, so the tests replay it from then on.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=60
keep_corpus=0
harnesses=()
while [ $# -gt 0 ]; do
  case "$1" in
    --ci) seconds=60; shift ;;
    --minutes) seconds=$(( $2 * 60 )); keep_corpus=1; shift 2 ;;
    fuzz_*) harnesses+=("$1"); shift ;;
    *) echo "usage: tools/fuzz.sh [--ci | --minutes N] [harness ...]" >&2; exit 2 ;;
  esac
done
[ ${#harnesses[@]} -gt 0 ] || harnesses=(fuzz_line_reader fuzz_train_reader fuzz_compile fuzz_binary_files fuzz_check fuzz_lsp_messages)

tools/install-deps.sh clang libclang-rt-14-dev
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --parallel 2 --target fuzz_line_reader fuzz_train_reader fuzz_compile fuzz_binary_files fuzz_check fuzz_lsp_messages \
  fuzz_seeds

build=build/fuzz
seeds=$build/seeds
rm -rf "$seeds" && "$build/tests/fuzz/fuzz_seeds" "$seeds"
mkdir -p "$build/artifacts"

failed=()
for h in "${harnesses[@]}"; do
  case "$h" in
    fuzz_line_reader) kind=line dict=descriptions ;;
    fuzz_train_reader) kind=train dict=descriptions ;;
    fuzz_compile) kind=compile dict=descriptions ;;
    fuzz_check) kind=compile dict=descriptions ;;
    fuzz_binary_files) kind=binary dict=binary_files ;;
    fuzz_lsp_messages) kind=lsp dict=lsp_messages ;;
    *) echo "unknown harness $h" >&2; exit 2 ;;
  esac
  corpus=$build/corpus/$h
  [ "$keep_corpus" -eq 1 ] || rm -rf "$corpus"
  mkdir -p "$corpus"
  log=$build/$h.log
  echo "=== $h: ${seconds} s ==="
  # Inputs up to 64 KiB hold every description the scenario writes, and the small scenario's
  # files with the profile cut short; a single input that runs longer than 20 s is a hang.
  set +e
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "$build/tests/fuzz/$h" -max_len=65536 -timeout=20 -rss_limit_mb=2048 \
    -max_total_time="$seconds" -print_final_stats=1 -dict="tests/fuzz/$dict.dict" \
    -artifact_prefix="$build/artifacts/$h-" \
    "$corpus" "$seeds/$kind" "tests/fuzz/regressions/$kind" >"$log" 2>&1
  status=$?
  set -e
  grep -E '^#[0-9]+[[:space:]]+(DONE|INITED)' "$log" | tail -n 2 || true
  grep -E '^stat::number_of_executed_units|^stat::peak_rss_mb' "$log" || true
  if [ $status -ne 0 ]; then
    echo "$h FAILED (status $status); see $log" >&2
    grep -E 'ERROR|invariant broken|Test unit written' "$log" | head -n 5 >&2 || true
    failed+=("$h")
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzzing found failures in: ${failed[*]}" >&2
  exit 1
fi
echo "fuzzing: no failure in ${#harnesses[@]} harnesses"
