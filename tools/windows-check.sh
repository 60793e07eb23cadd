#!/usr/bin/env bash
# Checks the Windows program under wine against the Linux one.
#
# Builds the Linux compattatore and the Windows compattatore.exe, runs each alone in a fresh
# folder (the .exe under wine, in a virtual X display, with its message boxes answered), and
# compares the six files they leave byte for byte; nothing else may be left beside them. Then
# runs the Windows test programs (the window, the closing message boxes, the file work) under
# wine, the window test at 96 and at 144 dpi.
#
# Usage: tools/windows-check.sh [--screenshot FILE.png]
#   --screenshot  also saves a picture of the screen while Form1 is up (needs imagemagick).
# Ends with "PASS: N passed, N failed" or "FAIL: ..." and exits non-zero on any failure.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

screenshot=
while [ $# -gt 0 ]; do
  case "$1" in
    --screenshot) screenshot=$(realpath -m "${2:?--screenshot needs a file}"); shift 2 ;;
    *) echo "usage: $0 [--screenshot FILE.png]" >&2; exit 2 ;;
  esac
done

extra=(mingw-w64 wine wine64 xvfb)
[ -n "$screenshot" ] && extra+=(imagemagick)
tools/install-deps.sh "${extra[@]}" || { echo "FAIL: cannot install ${extra[*]}"; exit 1; }

started=$SECONDS
work=$(mktemp -d /tmp/windows-check.XXXXXX)
xvfb_pid=
export WINEPREFIX=$work/wineprefix WINEARCH=win64 WINEDEBUG=-all
# No .NET or HTML engine: wine would otherwise offer to fetch them while setting up the prefix.
export WINEDLLOVERRIDES="mscoree,mshtml="

cleanup() {
  if [ -d "$WINEPREFIX" ]; then wineserver -k >/dev/null 2>&1 || true; fi
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null; fi
  rm -rf "$work"
}
trap cleanup EXIT

passed=0
failed=0
pass() { passed=$((passed + 1)); echo "PASS $1"; }
fail() { failed=$((failed + 1)); echo "FAIL $1"; }
show_log() { sed 's/^/    | /' "$1"; }
elapsed() { echo "$((SECONDS - started)) s"; }

# The six files a clean run leaves beside the executable.
line=Torino_Piacenza
train=${line}_2063
outputs=("${train}_note.txt" "${train}_rallentamenti.txt" "${train}_scheda_treno.txt"
         "${line}_linea.dat" "${train}.sim" "${train}.dat")

# --- builds ------------------------------------------------------------------------------------
echo "== building the Linux program"
if cmake --preset default >"$work/build-linux.log" 2>&1 &&
   cmake --build --preset default --target compattatore -j2 >>"$work/build-linux.log" 2>&1; then
  pass "Linux build ($(elapsed))"
else
  fail "Linux build"; show_log "$work/build-linux.log"
fi

echo "== building the Windows program and its test programs"
if cmake --preset windows >"$work/build-windows.log" 2>&1 &&
   cmake --build --preset windows -j2 >>"$work/build-windows.log" 2>&1; then
  pass "Windows build ($(elapsed))"
else
  fail "Windows build"; show_log "$work/build-windows.log"
  echo "FAIL: $passed passed, $failed failed"
  exit 1
fi
winbuild=$root/build/windows
wintests=$winbuild/tests/windows

# --- a virtual display and a fresh wine prefix ---------------------------------------------------
echo "== starting a virtual display and wine"
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
exec 3>&-
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
if [ ! -s "$work/display" ]; then
  fail "virtual display did not start"; show_log "$work/xvfb.log"
  echo "FAIL: $passed passed, $failed failed"
  exit 1
fi
export DISPLAY=:$(head -n1 "$work/display")
# A crash must end the program with its status, not leave a crash dialog waiting on the display.
boot_prefix() {
  wineboot -i >>"$work/wineboot.log" 2>&1 &&
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
      >>"$work/wineboot.log" 2>&1 &&
    wineserver -w
}
# Creating a prefix has been seen to fail once in a while ("could not load kernel32.dll") and
# then work in a fresh one: a second try starts from nothing, and both logs are shown on failure.
if boot_prefix || { echo "-- first try failed; a fresh prefix --" >>"$work/wineboot.log";
                    wineserver -k >/dev/null 2>&1; rm -rf "$WINEPREFIX"; boot_prefix; }; then
  pass "wine prefix ready on display $DISPLAY ($(elapsed))"
else
  fail "wine prefix"; show_log "$work/wineboot.log"
fi

# --- the two runs --------------------------------------------------------------------------------
mkdir -p "$work/linux" "$work/windows"
cp build/default/compattatore "$work/linux/" 2>/dev/null
cp "$winbuild/compattatore.exe" "$work/windows/"

echo "== running the Linux program in a fresh folder"
(cd "$work/linux" && timeout 300 ./compattatore >"$work/run-linux.log" 2>&1)
linux_status=$?
echo "   exit status $linux_status ($(elapsed))"
show_log "$work/run-linux.log"

echo "== running the Windows program under wine in a fresh folder"
# answer_boxes starts the program and answers any message box it shows (printing its text), so a
# failing run ends instead of waiting for a person.
(cd "$work/windows" &&
 timeout 330 wine "$wintests/answer_boxes.exe" 300 compattatore.exe >"$work/run-windows.log" 2>&1)
windows_status=$?
echo "   exit status $windows_status ($(elapsed))"
show_log "$work/run-windows.log"

if [ "$linux_status" -eq 0 ]; then pass "Linux run ended with status 0"
else fail "Linux run ended with status $linux_status"; fi
if [ "$windows_status" -eq 0 ]; then pass "Windows run ended with status 0"
else fail "Windows run ended with status $windows_status"; fi
if [ "$linux_status" -eq "$windows_status" ]; then pass "both runs ended alike"
else fail "the runs ended differently: Linux $linux_status, Windows $windows_status"; fi

echo "== comparing the six files"
for f in "${outputs[@]}"; do
  a=$work/linux/$f
  b=$work/windows/$f
  if [ ! -f "$a" ] || [ ! -f "$b" ]; then
    if [ ! -f "$a" ] && [ ! -f "$b" ]; then where="both runs"
    elif [ ! -f "$a" ]; then where="the Linux run"
    else where="the Windows run"; fi
    fail "$f: missing from $where"
  elif cmp "$a" "$b" >"$work/cmp.log" 2>&1; then
    pass "$f identical ($(stat -c %s "$a") bytes)"
  else
    fail "$f differs: $(head -n1 "$work/cmp.log"), sizes $(stat -c %s "$a") and $(stat -c %s "$b")"
  fi
done

# Files a run should not leave (the description texts of a run that stopped early) are still
# worth comparing: it tells which step the two builds already agree on.
for f in $(cd "$work/linux" && ls -A); do
  case " compattatore ${outputs[*]} " in *" $f "*) continue ;; esac
  if [ -f "$work/windows/$f" ]; then
    if cmp -s "$work/linux/$f" "$work/windows/$f"; then echo "   note: left-over $f is identical"
    else echo "   note: left-over $f differs"; fi
  fi
done

for side in linux windows; do
  leftovers=$(cd "$work/$side" && ls -A | grep -v -x -F \
    -e compattatore -e compattatore.exe $(printf -- '-e %s ' "${outputs[@]}"))
  if [ -z "$leftovers" ]; then pass "$side run left no other file"
  else fail "$side run left other files: $(echo $leftovers)"; fi
done

# --- the Windows test programs -------------------------------------------------------------------
run_test() {
  local name=$1; shift
  echo "== $name"
  (cd "$work" && timeout 120 wine "$@" >"$work/$name.log" 2>&1)
  local status=$?
  show_log "$work/$name.log"
  if [ $status -eq 0 ]; then pass "$name ($(elapsed))"; else fail "$name (status $status)"; fi
}

if [ -n "$screenshot" ]; then
  echo "== screenshot of Form1"
  # In a desktop of wine's own, which draws the frame and the title bar that a bare X display
  # without a window manager leaves out.
  (cd "$work" && timeout 60 wine explorer /desktop=check,640x400 \
     "$wintests/window_test.exe" --hold 8 >"$work/hold.log" 2>&1) &
  hold_pid=$!
  sleep 5
  if import -display "$DISPLAY" -window root "$screenshot" 2>"$work/import.log"; then
    echo "   saved $screenshot"
  else
    echo "   no screenshot:"; show_log "$work/import.log"
  fi
  wait $hold_pid
fi

run_test window_test "$wintests/window_test.exe"
run_test errore_test "$wintests/errore_test.exe"
run_test files_test "$wintests/files_test.exe"

# The same window on a display of 144 dpi: every twip figure must scale with it.
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1
wineserver -w
run_test window_test_144dpi "$wintests/window_test.exe"
if grep -q 'display 144 x 144 dpi' "$work/window_test_144dpi.log"; then pass "display switched to 144 dpi"
else fail "the display did not switch to 144 dpi"; fi

echo "== total time $(elapsed)"
if [ $failed -eq 0 ]; then
  echo "PASS: $passed passed, $failed failed"
else
  echo "FAIL: $passed passed, $failed failed"
fi
[ $failed -eq 0 ]
