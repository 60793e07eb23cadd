#!/usr/bin/env bash
# Checks the Windows console program, compattatore.com, against the Linux program.
#
# Builds the Linux compattatore and compattatore.com, runs both without arguments (the default
# run) each in a fresh folder and compares the files they leave; then makes a fixture folder
# (the scenario's descriptions in a folder named "Città", broken copies of them, the scenario's
# compiled files, a language-server session), and runs every case of the case list with both
# programs, the .com under wine, each in a fresh copy of the fixture. The exit status, standard
# output, standard error and every file left in the folder must be the same (see the case list
# for the one allowance: "\" between names on Windows). A case whose command the Linux program
# does not have yet is skipped.
#
# Usage: tools/windows-tools-check.sh [CASE_LIST]   (default tools/windows-tools-cases.txt)
# Ends with "PASS: N passed, N failed, N skipped" or "FAIL: ..." and exits non-zero on a failure.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
cases=$(realpath -m "${1:-tools/windows-tools-cases.txt}")
[ -f "$cases" ] || { echo "usage: $0 [CASE_LIST]" >&2; exit 2; }

tools/install-deps.sh mingw-w64 wine wine64 || { echo "FAIL: cannot install mingw-w64 and wine"; exit 1; }

started=$SECONDS
work=$(mktemp -d /tmp/windows-tools-check.XXXXXX)
export WINEPREFIX=$work/wineprefix WINEARCH=win64 WINEDEBUG=-all
# No .NET or HTML engine: wine would otherwise offer to fetch them while setting up the prefix.
export WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
  if [ -d "$WINEPREFIX" ]; then wineserver -k >/dev/null 2>&1 || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

passed=0
failed=0
skipped=0
pass() { passed=$((passed + 1)); echo "PASS $1"; }
fail() { failed=$((failed + 1)); echo "FAIL $1"; }
show_log() { sed 's/^/    | /' "$1"; }
elapsed() { echo "$((SECONDS - started)) s"; }
finish() {
  echo "== total time $(elapsed)"
  local verdict=PASS
  [ $failed -eq 0 ] || verdict=FAIL
  echo "$verdict: $passed passed, $failed failed, $skipped skipped"
  [ $failed -eq 0 ]
  exit
}

# --- builds ------------------------------------------------------------------------------------
echo "== building the Linux program and the Windows console program"
if cmake --preset default >"$work/build.log" 2>&1 &&
   cmake --build --preset default --target compattatore -j2 >>"$work/build.log" 2>&1 &&
   cmake --preset windows >>"$work/build.log" 2>&1 &&
   cmake --build --preset windows --target compattatore compattatore-console -j2 >>"$work/build.log" 2>&1; then
  pass "builds ($(elapsed))"
else
  fail "builds"; show_log "$work/build.log"; finish
fi
linux_exe=$root/build/default/compattatore
windows_exe=$root/build/windows/compattatore.com

# A console program needs no display; creating a prefix has been seen to fail once in a while and
# then work in a fresh one.
boot_prefix() { wineboot -i >>"$work/wineboot.log" 2>&1 && wineserver -w; }
if boot_prefix || { wineserver -k >/dev/null 2>&1; rm -rf "$WINEPREFIX"; boot_prefix; }; then
  pass "wine prefix ready ($(elapsed))"
else
  fail "wine prefix"; show_log "$work/wineboot.log"; finish
fi

# --- the default run ---------------------------------------------------------------------------
# It writes beside the executable, so each program runs from a copy in a folder of its own.
default_run() {
  local a=$work/default/linux b=$work/default/windows problems=()
  mkdir -p "$a" "$b"
  cp "$linux_exe" "$a/" && cp "$windows_exe" "$b/"
  (cd "$a" && timeout 300 ./compattatore >"$a.stdout" 2>"$a.stderr"; echo $? >"$a.status")
  (cd "$b" && timeout 300 wine ./compattatore.com >"$b.stdout" 2>"$b.stderr"; echo $? >"$b.status")
  for part in status stdout stderr; do cmp -s "$a.$part" "$b.$part" || problems+=("$part"); done
  rm "$a/compattatore" "$b/compattatore.com"
  local files_a files_b
  files_a=$(cd "$a" && ls -A | LC_ALL=C sort); files_b=$(cd "$b" && ls -A | LC_ALL=C sort)
  [ "$files_a" = "$files_b" ] || problems+=("the files left: $(echo $files_a) / $(echo $files_b)")
  for f in $files_a; do [ -f "$b/$f" ] && { cmp -s "$a/$f" "$b/$f" || problems+=("$f"); }; done
  if [ ${#problems[@]} -eq 0 ] && [ "$(cat "$a.status")" = 0 ] && [ "$(echo "$files_a" | wc -l)" = 6 ]; then
    pass "default run: status 0, the six files alike ($(elapsed))"
  else
    fail "default run differs: ${problems[*]} (status $(cat "$a.status") and $(cat "$b.status"))"
    show_log "$b.stderr"
  fi
}
default_run

# A console told "compattatore" in the folder of both programs starts the console program.
mkdir -p "$work/both"
cp "$windows_exe" "$root/build/windows/compattatore.exe" "$work/both/"
typed=$(cd "$work/both" && timeout 60 wine cmd /c compattatore --version 2>&1 | tr -d '\r')
if [ "$typed" = "$("$linux_exe" --version)" ]; then pass "'compattatore --version' typed in a console: $typed"
else fail "'compattatore --version' typed in a console printed: $typed"; fi

# --- the fixture -------------------------------------------------------------------------------
# One language-server message: its header and its JSON body.
lsp_message() { printf 'Content-Length: %d\r\n\r\n%s' "${#1}" "$1"; }

make_fixture() {
  local f=$work/fixture line train
  mkdir -p "$f/Città" "$f/rotto" "$f/compilati" "$f/lsp"
  (cd "$f" && "$linux_exe" sources -o Città >/dev/null &&
     "$linux_exe" compile Città/Torino_Piacenza_linea.txt Città/Torino_Piacenza_2063-.txt \
       --line Torino_Piacenza --train 2063 -o compilati >/dev/null) || return 1
  line=$f/Città/Torino_Piacenza_linea.txt
  train=$f/Città/Torino_Piacenza_2063-.txt
  sed 's/^lunghezza percorso,.*/lunghezza percorso,    1000001\r/' "$line" >"$f/rotto/lunghezza_linea.txt"
  sed 's/^ripetizione segnali 9 codici,.*/ripetizione segnali 9 codici,    25,    188000\r/' \
    "$line" >"$f/rotto/ripetizione_linea.txt"
  sed -e 's/^sabbia,.*/sabbia,    molta\r/' \
      -e 's/^\[stazioni\]\r$/&\nstazione, 2025, 12, 400, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, X\r/' \
    "$train" >"$f/rotto/stazione-.txt"
  head -c 2000 "$line" >"$f/rotto/troncato_linea.txt"
  head -c 3000 "$train" >"$f/rotto/troncato-.txt"
  head -c 100 "$f/compilati/Torino_Piacenza_2063.sim" >"$f/rotto/Corrotto_1.sim"
  # A session of the language server: the text is sent with the message, so the file it names
  # need not exist and the session is the same bytes on both systems.
  local text
  # The text as a JSON string in ASCII: every byte outside printable ASCII as \u00XX.
  text=$(perl -0777 -ne 's/(["\\])/\\$1/g; s/([^\x20-\x7e])/sprintf("\\u%04x", ord($1))/ge;
                         print "\"$_\""' "$f/rotto/ripetizione_linea.txt")
  {
    lsp_message '{"jsonrpc":"2.0","id":1,"method":"initialize","params":{"processId":null,"rootUri":null,"capabilities":{}}}'
    lsp_message '{"jsonrpc":"2.0","method":"initialized","params":{}}'
    lsp_message '{"jsonrpc":"2.0","method":"textDocument/didOpen","params":{"textDocument":{"uri":"file:///scenario/Torino_Piacenza_linea.txt","languageId":"compattatore","version":1,"text":'"$text"'}}}'
    lsp_message '{"jsonrpc":"2.0","id":2,"method":"shutdown","params":null}'
    lsp_message '{"jsonrpc":"2.0","method":"exit","params":null}'
  } >"$f/lsp/sessione.txt"
}
if make_fixture 2>"$work/fixture.log"; then pass "fixture ($(du -sh "$work/fixture" | cut -f1))"
else fail "fixture"; show_log "$work/fixture.log"; finish; fi

# --- the cases ---------------------------------------------------------------------------------
# The folder as the Windows program sees it: wine maps the root of the Linux file system to Z:.
windows_form() { printf 'Z:%s' "${1//\//\\}"; }

trim() { local s=$1; s=${s#"${s%%[![:space:]]*}"}; printf '%s' "${s%"${s##*[![:space:]]}"}"; }

# run_side SIDE FOLDER ARGUMENTS: runs one program in FOLDER and keeps what it printed in
# FOLDER.out/.
run_side() {
  local side=$1 dir=$2 arguments=$3 stdin=/dev/null
  local -a args
  if [[ $arguments == *" < "* ]]; then
    stdin=$dir/$(trim "${arguments##*" < "}")
    arguments=${arguments%" < "*}
  fi
  read -r -a args <<<"$arguments"
  mkdir -p "$dir.out"
  if [ "$side" = linux ]; then
    (cd "$dir" && timeout 120 "$linux_exe" "${args[@]}" <"$stdin" >"$dir.out/stdout" 2>"$dir.out/stderr")
  else
    (cd "$dir" && timeout 120 wine "$windows_exe" "${args[@]}" <"$stdin" >"$dir.out/stdout" 2>"$dir.out/stderr")
  fi
  echo $? >"$dir.out/status"
}

# What each side printed, with its own folder read as {here}; for "paths" cases the Windows
# side's separators (escaped "\\" in JSON, "\" in text) read as "/".
normalise() {
  local file=$1 here=$2 mode=$3 side=$4
  local here_json=${here//\\/\\\\}
  here="$here" here_json="$here_json" perl -pi -e 's/\Q$ENV{here_json}\E/{here}/g; s/\Q$ENV{here}\E/{here}/g' "$file"
  if [ "$mode" = paths ] && [ "$side" = windows ]; then perl -pi -e 's/\\\\/\//g; s/\\/\//g' "$file"; fi
}

# A name the Linux program wrote in code page 850 bytes, as the characters it stands for: what
# Windows names the file.
names_as_characters() {
  local dir=$1 f
  iconv -f CP850 -t UTF-8 "$dir.out/stdout" >"$dir.out/stdout.utf8" && mv "$dir.out/stdout.utf8" "$dir.out/stdout"
  while IFS= read -r f; do
    [ "$f" = "$(iconv -f UTF-8 -t UTF-8 <<<"$f" 2>/dev/null)" ] ||
      mv "$f" "$(dirname "$f")/$(basename "$f" | iconv -f CP850 -t UTF-8)"
  done < <(find "$dir" -type f)
}

compare_case() {
  local name=$1 mode=$2 a=$3 b=$4 problems=()
  if [ "$mode" = cp850-names ]; then names_as_characters "$a"; mode=paths; fi
  for part in status stdout stderr; do
    normalise "$a.out/$part" "$a" "$mode" linux
    normalise "$b.out/$part" "$(windows_form "$b")" "$mode" windows
    cmp -s "$a.out/$part" "$b.out/$part" || problems+=("$part")
  done
  local files_a files_b
  files_a=$(cd "$a" && find . -type f | LC_ALL=C sort)
  files_b=$(cd "$b" && find . -type f | LC_ALL=C sort)
  if [ "$files_a" != "$files_b" ]; then
    problems+=("files: $(diff <(echo "$files_a") <(echo "$files_b") | grep -a '^[<>]' | tr '\n' ' ')")
  else
    while IFS= read -r f; do cmp -s "$a/$f" "$b/$f" || problems+=("${f#./}"); done <<<"$files_a"
  fi
  if [ ${#problems[@]} -eq 0 ]; then
    pass "$name: status $(cat "$a.out/status"), $(stat -c %s "$a.out/stdout") + $(stat -c %s "$a.out/stderr") bytes printed, $(echo "$files_a" | wc -l) files alike"
  else
    fail "$name differs: ${problems[*]}"
    for part in status stdout stderr; do
      cmp -s "$a.out/$part" "$b.out/$part" && continue
      echo "    $part, Linux then Windows:"
      diff <(head -c 2000 "$a.out/$part") <(head -c 2000 "$b.out/$part") | head -n 12 | sed 's/^/    | /'
    done
  fi
}

# Whether the Linux program has the case's command (an option such as --version always runs).
known_command() {
  local first=${1%% *}
  [[ $first == -* ]] || "$linux_exe" "$first" --help >/dev/null 2>&1
}

number=0
while IFS='|' read -r name mode arguments windows_arguments; do
  name=$(trim "$name"); mode=$(trim "$mode"); arguments=$(trim "$arguments")
  windows_arguments=$(trim "${windows_arguments:-$arguments}")
  [ -z "$name" ] || [[ $name == \#* ]] && continue
  if ! known_command "$arguments"; then
    skipped=$((skipped + 1)); echo "SKIP $name: the build has no '${arguments%% *}' command"; continue
  fi
  number=$((number + 1))
  a=$work/cases/$number/linux b=$work/cases/$number/windows
  mkdir -p "$work/cases/$number"
  cp -a "$work/fixture" "$a" && cp -a "$work/fixture" "$b"
  run_side linux "$a" "${arguments//\{here\}/$a}"
  run_side windows "$b" "${windows_arguments//\{here\}/$(windows_form "$b")}"
  compare_case "$name" "$mode" "$a" "$b"
  rm -rf "$a" "$b"
done <"$cases"

finish
