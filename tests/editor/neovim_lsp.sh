#!/usr/bin/env bash
# Drives the language server from a real editor: Neovim, headless, with its built-in client
# configured by neovim_lsp.lua, on the scenario's descriptions with one station record broken.
# Usage: neovim_lsp.sh COMPATTATORE TRANSCRIPT
# Exit status 0 when every check passed, 1 otherwise, 77 (skipped) when nvim is not installed.
set -euo pipefail
exe=$1
transcript=$2
if ! command -v nvim >/dev/null; then
  echo "nvim is not installed (tools/install-deps.sh neovim)" >&2
  exit 77
fi
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
"$exe" sources -o "$folder" >/dev/null
# A station length that is not a multiple of 100 m, on TORINO LINGOTTO's record (line 38).
sed -i 's/^stazione,    4850, 12,  600,/stazione,    4850, 12,  650,/' "$folder/Torino_Piacenza_2063-.txt"
grep -q '^stazione,    4850, 12,  650,' "$folder/Torino_Piacenza_2063-.txt"
# What `check` says of the same text: the editor must show the same words.
expected=$("$exe" check "$folder/Torino_Piacenza_linea.txt" "$folder/Torino_Piacenza_2063-.txt" \
  --color=never 2>&1 >/dev/null | sed -n 's/^[^ ]*: error: //p' | head -n 1) || true
status=0
COMPATTATORE_EXE=$exe LSP_FOLDER=$folder LSP_TRANSCRIPT=$transcript LSP_EXPECTED=$expected \
  timeout 60 nvim --headless --clean -u "$(dirname "$0")/neovim_lsp.lua" || status=$?
cat "$transcript" 2>/dev/null || echo "no transcript written" >&2
exit $status
