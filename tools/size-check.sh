#!/usr/bin/env bash
# Checks that no function under src/ is longer than 60 lines (comments and blank lines count),
# with clang-tidy 14's function-size check over every source file the Linux build compiles and
# the headers under src/ they include. Prints each function over the limit, then
# "size: N functions over 60 lines"; exits non-zero when there is any.
set -uo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh clang-tidy-14 || { echo "size: cannot install clang-tidy-14"; exit 1; }

build=build/size-check
cmake -S . -B "$build" -G Ninja -DCMAKE_EXPORT_COMPILE_COMMANDS=ON -DCOMPATTATORE_TESTS=OFF \
  >/dev/null || { echo "size: cannot configure the build"; exit 1; }
# The route viewer's page includes a header the build generates.
cmake --build "$build" --target view_assets >/dev/null ||
  { echo "size: cannot generate the embedded page assets"; exit 1; }

config='{Checks: "-*,readability-function-size", CheckOptions: [{key: readability-function-size.LineThreshold, value: 60}]}'
mapfile -t files < <(git ls-files -- 'src/*.cpp' | grep -v win32)
report=$(printf '%s\n' "${files[@]}" |
  xargs -P "$(nproc)" -n 4 clang-tidy-14 -p "$build" --quiet --header-filter='src/.*' \
    --config="$config" 2>/dev/null)
over=$(grep -E 'warning: function .* exceeds' <<<"$report" | sed -E "s#^$(pwd)/##; s/ exceeds.*//" | sort -u)
errors=$(grep -E ': error: ' <<<"$report" | sort -u)
[ -n "$over" ] && printf '%s\n' "$over"
[ -n "$errors" ] && printf 'clang-tidy could not read: %s\n' "$errors"
count=$(grep -c . <<<"$over")
echo "size: $count functions over 60 lines in ${#files[@]} files"
[ "$count" -eq 0 ] && [ -z "$errors" ]
