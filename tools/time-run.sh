#!/usr/bin/env bash
# Times the whole default run as a process (in a fresh empty folder each time) against two
# floors that put the same six output files into an empty folder: the durable floor writes them
# the way the run does (temporary file flushed to the disk, renamed, folder flushed), the plain
# floor is cp. Prints the medians and the ratios.
# Usage: tools/time-run.sh [path/to/compattatore] [rounds] [path/to/durable_floor]
set -euo pipefail
exe=$(realpath "${1:-build/bench/compattatore}")
rounds=${2:-31}
floor=$(realpath "${3:-$(dirname "$exe")/bench/durable_floor}")
[ -x "$floor" ] || { echo "no durable floor program at $floor (build the bench preset)" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

now_ns() { date +%s%N; }
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

# One run to have the six files to copy.
mkdir "$work/ref" && cp "$exe" "$work/ref/" && (cd "$work/ref" && ./compattatore >/dev/null)
outputs=("$work"/ref/Torino_Piacenza_*)
[ ${#outputs[@]} -eq 6 ] || { echo "expected six output files, found ${#outputs[@]}" >&2; exit 1; }

run_times=() durable_times=() copy_times=()
for i in $(seq "$rounds"); do
  d="$work/run$i"; mkdir "$d"; cp "$exe" "$d/"
  # Each timing starts with nothing left to flush, so no one pays for the one before it.
  sync
  t0=$(now_ns); "$d/compattatore" >/dev/null; t1=$(now_ns)
  run_times+=($((t1 - t0)))
  f="$work/floor$i"; mkdir "$f"; sync
  t0=$(now_ns); "$floor" "$f" "${outputs[@]}"; t1=$(now_ns)
  durable_times+=($((t1 - t0)))
  c="$work/copy$i"; mkdir "$c"; sync
  t0=$(now_ns); cp "${outputs[@]}" "$c/"; t1=$(now_ns)
  copy_times+=($((t1 - t0)))
  cmp -s "$f/Torino_Piacenza_2063.dat" "$d/Torino_Piacenza_2063.dat" || { echo "floor wrote other bytes" >&2; exit 1; }
  rm -rf "$d" "$f" "$c"
done
run_med=$(printf '%s\n' "${run_times[@]}" | median)
durable_med=$(printf '%s\n' "${durable_times[@]}" | median)
copy_med=$(printf '%s\n' "${copy_times[@]}" | median)
awk -v r="$run_med" -v f="$durable_med" -v c="$copy_med" -v n="$rounds" 'BEGIN {
  printf "whole default run: median %.2f ms over %d rounds\n", r / 1e6, n;
  printf "durable floor (same six files, flushed and renamed): median %.2f ms\n", f / 1e6;
  printf "plain copy of its six files: median %.2f ms\n", c / 1e6;
  printf "ratio run/durable floor: %.2f (target: at most 1.5)\n", r / f;
  printf "ratio run/copy: %.2f\n", r / c }'
