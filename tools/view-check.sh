#!/usr/bin/env bash
# The route viewer in a real browser: builds the program and the longest line's description
# writer, then drives Debian's headless Chromium through chromedriver (python3-selenium) over
# the pages of the scenario, a small scenario, a broken text and the longest line. Screenshots
# and pages stay in build/default/view-check for a person to look at.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh chromium chromium-driver python3-selenium
cmake --preset default >/dev/null
cmake --build --preset default --target compattatore write_maximum_descriptions
out=build/default/view-check
rm -rf "$out"
mkdir -p "$out"
COMPATTATORE_EXE="$PWD/build/default/compattatore" \
  WRITE_MAXIMUM="$PWD/build/default/tests/write_maximum_descriptions" \
  VIEW_CHECK_DIR="$out" \
  /usr/bin/python3 tests/browser/view_browser_test.py
