#!/usr/bin/env bash
# Times the whole default run as a process (in a fresh empty folder each time) against copying
# the same six output files into an empty folder, and prints the ratio of the medians.
# Usage: tools/time-run.sh [path/to/compattatore] [rounds]
set -euo pipefail
exe=$(realpath "${1:-build/default/compattatore}")
rounds=${2:-31}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

now_ns() { date +%s%N; }
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

# One run to have the six files to copy.
mkdir "$work/ref" && cp "$exe" "$work/ref/" && (cd "$work/ref" && ./compattatore >/dev/null)
outputs=("$work"/ref/Torino_Piacenza_*)
[ ${#outputs[@]} -eq 6 ] || { echo "expected six output files, found ${#outputs[@]}" >&2; exit 1; }

run_times=() copy_times=()
for i in $(seq "$rounds"); do
  d="$work/run$i"; mkdir "$d"; cp "$exe" "$d/"
  t0=$(now_ns); "$d/compattatore" >/dev/null; t1=$(now_ns)
  run_times+=($((t1 - t0)))
  c="$work/copy$i"; mkdir "$c"
  t0=$(now_ns); cp "${outputs[@]}" "$c/"; t1=$(now_ns)
  copy_times+=($((t1 - t0)))
  rm -rf "$d" "$c"
done
run_med=$(printf '%s\n' "${run_times[@]}" | median)
copy_med=$(printf '%s\n' "${copy_times[@]}" | median)
awk -v r="$run_med" -v c="$copy_med" -v n="$rounds" 'BEGIN {
  printf "whole default run: median %.2f ms over %d rounds\n", r / 1e6, n;
  printf "copy of its six files: median %.2f ms\n", c / 1e6;
  printf "ratio run/copy: %.2f (target: at most 3)\n", r / c }'
