#!/usr/bin/env bash
# Checks that every C++ file git tracks is formatted as .clang-format says, with the Debian
# clang-format 14 (another version may lay out some constructs differently).
# Prints each file that differs, then "format: N of M files differ"; exits non-zero when any does.
# Format a file with: clang-format-14 -i FILE
set -uo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh clang-format-14 git || { echo "format: cannot install clang-format-14"; exit 1; }

mapfile -t files < <(git ls-files -- '*.cpp' '*.hpp' '*.h' '*.cc' '*.hh' '*.ipp')
if [ ${#files[@]} -eq 0 ]; then
  echo "format: git lists no C++ file (not a git checkout?)" >&2
  exit 1
fi

checked=0
differ=0
for f in "${files[@]}"; do
  [ -f "$f" ] || continue  # deleted in the work tree, not yet committed
  checked=$((checked + 1))
  if ! report=$(clang-format-14 --dry-run --Werror "$f" 2>&1); then
    differ=$((differ + 1))
    places=$(grep -c ': error: code should be clang-formatted' <<<"$report")
    if [ "$places" -gt 0 ]; then
      echo "differs: $f ($places places, the first at $(grep -m1 ': error: ' <<<"$report" | cut -d: -f2,3))"
    else
      echo "differs: $f (clang-format failed: $(head -n1 <<<"$report"))"
    fi
  fi
done

echo "format: $differ of $checked files differ"
[ $differ -eq 0 ]
