#!/usr/bin/env bash
# Builds and runs every test: the plain build, then the same tests under AddressSanitizer and
# UndefinedBehaviorSanitizer, then the Windows program under wine (same bytes as the Linux
# build, window and message box checks), then a bounded fuzz run of the description readers.
# Exits non-zero when any test fails.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh

for preset in default asan; do
  echo "=== tests: $preset ==="
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  ctest --preset "$preset"
done

echo "=== tests: Windows program under wine ==="
tools/windows-check.sh

echo "=== tests: bounded fuzz run of the readers and the whole compile ==="
tools/fuzz.sh --ci

echo "suites: 4 passed, 0 failed"
