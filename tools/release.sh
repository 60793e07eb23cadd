#!/usr/bin/env bash
# Builds everything a release ships into one folder: the Debian package (Linux build), the
# Windows zip (the window program, the console program and the documents) and SHA256SUMS, their SHA-256 sums as sha256sum -c reads them.
#
# Usage: tools/release.sh [FOLDER]   (default release/compattatore-VERSION)
# Prints the folder's files with their sizes; exits non-zero when a step fails.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
tools/install-deps.sh mingw-w64 dpkg-dev file unzip

version=$(sed -n 's/^project(compattatore VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
out=$(realpath -m "${1:-release/compattatore-$version}")
mkdir -p "$out"
rm -f "$out"/compattatore_*.deb "$out"/compattatore-*.zip "$out/SHA256SUMS"

for preset in default windows; do
  echo "== $preset build and package"
  rm -rf "build/$preset/packages"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j2 --target compattatore \
    $([ "$preset" = windows ] && echo compattatore-console)
  (cd "build/$preset" && cpack)
  cp "build/$preset"/packages/*.deb "build/$preset"/packages/*.zip "$out/" 2>/dev/null || true
done

# The zip must hold both programs and the documents, in one folder.
zip=$(ls "$out"/compattatore-"$version"-windows-x86_64.zip)
top=compattatore-$version-windows-x86_64
for f in compattatore.exe compattatore.com docs/README.md docs/authors.md docs/windows.md; do
  unzip -l "$zip" "$top/$f" >/dev/null || { echo "the zip lacks $top/$f" >&2; exit 1; }
done
ls "$out"/compattatore_"$version"_*.deb >/dev/null

(cd "$out" && sha256sum compattatore_*.deb compattatore-*.zip >SHA256SUMS && sha256sum -c --quiet SHA256SUMS)
echo "== $out"
(cd "$out" && ls -l --time-style=+ | awk 'NR > 1 {print "   " $5 " bytes  " $6}')
