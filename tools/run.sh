#!/usr/bin/env bash
# Builds compattatore and runs the default scenario. Its files appear beside the executable,
# in build/default/.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target compattatore
build/default/compattatore
echo "output files in $(pwd)/build/default:"
ls -l build/default/Torino_Piacenza_*
