#!/usr/bin/env bash
# Builds and runs every test suite: the format check, the function size check, the plain
# build's tests, the same tests under AddressSanitizer and UndefinedBehaviorSanitizer, the route
# viewer's pages in headless Chromium, the Windows program under wine (same bytes as the Linux
# build, window and message box checks), the author's commands on Windows (the same bytes as the
# Linux build's), the Debian package (built, installed and run), and a bounded fuzz run of the
# description readers, the whole compile and the simulator's files. A failed suite does not stop
# the others.
# Ends with "suites: N passed, M failed" and exits non-zero when any suite failed.
set -uo pipefail
cd "$(dirname "$0")/.."
# The ctest suites validate SARIF output with python3-jsonschema and drive the language server
# from neovim.
tools/install-deps.sh python3-jsonschema neovim || { echo "cannot install the build's packages" >&2; exit 1; }

passed=0
failed=0
failed_suites=()

# Runs one suite (a command and its arguments) and counts it.
suite() {
  local name=$1
  shift
  echo "=== suite: $name ==="
  if "$@"; then
    passed=$((passed + 1))
    echo "=== suite passed: $name"
  else
    failed=$((failed + 1))
    failed_suites+=("$name")
    echo "=== suite FAILED: $name"
  fi
}

ctest_suite() {
  cmake --preset "$1" >/dev/null && cmake --build --preset "$1" && ctest --preset "$1"
}

suite "format check" tools/format-check.sh
suite "function size check" tools/size-check.sh
suite "tests" ctest_suite default
suite "tests under the address and undefined-behaviour sanitizers" ctest_suite asan
suite "route viewer in a real browser" tools/view-check.sh
suite "Windows program under wine" tools/windows-check.sh
suite "author's commands on Windows under wine, against the Linux build" tools/windows-tools-check.sh
suite "Debian package built, installed and run" tools/package-check.sh
suite "bounded fuzz run of the readers, the whole compile and the simulator's files" tools/fuzz.sh --ci

if [ $failed -gt 0 ]; then
  printf "failed suite: %s\n" "${failed_suites[@]}"
fi
echo "suites: $passed passed, $failed failed"
[ $failed -eq 0 ]
