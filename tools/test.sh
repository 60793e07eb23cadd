#!/usr/bin/env bash
# Builds and runs every test: the plain build, then the same tests under AddressSanitizer and
# UndefinedBehaviorSanitizer. Exits non-zero when any test fails.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh

for preset in default asan; do
  echo "=== tests: $preset ==="
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  ctest --preset "$preset"
done
