#!/usr/bin/env bash
# Takes the screenshot of docs/editors.md from a real Neovim: the scenario's train description
# with one station record broken, opened in nvim inside a tmux terminal with the language server
# attached; the terminal's cells are captured with their colours and drawn by headless chromium.
# Usage: tools/editor/screenshot.sh COMPATTATORE OUTPUT.png
set -euo pipefail
exe=$(realpath "$1")
png=$(realpath -m "$2")
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'tmux kill-session -t compattatore-shot 2>/dev/null || true; rm -rf "$work"' EXIT
"$exe" sources -o "$work" >/dev/null
sed -i 's/^stazione,    4850, 12,  600,/stazione,    4850, 12,  650,/' "$work/Torino_Piacenza_2063-.txt"
tmux new-session -d -s compattatore-shot -x 150 -y 36 \
  "cd '$work' && COMPATTATORE_EXE='$exe' TERM=xterm-256color nvim --clean -u '$here/screenshot.lua' '+e ++enc=cp850' Torino_Piacenza_2063-.txt"
sleep 4
tmux capture-pane -t compattatore-shot -e -p >"$work/screen.ansi"
/usr/bin/python3 "$here/ansi_to_html.py" <"$work/screen.ansi" >"$work/screen.html"
chromium --headless --no-sandbox --disable-gpu --hide-scrollbars --window-size=1110,580 \
  --screenshot="$png" "file://$work/screen.html" >/dev/null 2>&1
echo "wrote $png"
