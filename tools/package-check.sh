#!/usr/bin/env bash
# Checks the Debian package: builds it with CPack, looks at its fields and files, installs it and
# runs the installed program.
#
# With CI=true and as root it installs the package with apt-get, as a user would on a fresh
# machine, and removes it at the end; otherwise it unpacks it with dpkg-deb -x into a temporary
# folder and runs the copy there. Then: --version, the default scenario from a copy of the
# installed program in a fresh folder (the default run writes beside its executable, and /usr/bin
# is no place for a user's files) compared byte for byte with the build's own run, sources and
# compile from the installed program, check when the build has it, and the bash completion.
#
# Usage: tools/package-check.sh
# Ends with "PASS: N passed, N failed" or "FAIL: ..." and exits non-zero on any failure.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
# CPack reads the libraries the program needs with dpkg-shlibdeps and finds the programs with
# file; zsh runs the zsh completion.
tools/install-deps.sh dpkg-dev file zsh || { echo "FAIL: cannot install dpkg-dev, file, zsh"; exit 1; }

started=$SECONDS
work=$(mktemp -d /tmp/package-check.XXXXXX)
installed_by_apt=
cleanup() {
  if [ -n "$installed_by_apt" ]; then apt-get remove -y -qq compattatore >/dev/null 2>&1; fi
  rm -rf "$work"
}
trap cleanup EXIT

passed=0
failed=0
pass() { passed=$((passed + 1)); echo "PASS $1"; }
fail() { failed=$((failed + 1)); echo "FAIL $1"; }
show_log() { sed 's/^/    | /' "$1"; }
elapsed() { echo "$((SECONDS - started)) s"; }
finish() {
  echo "== total time $(elapsed)"
  if [ $failed -eq 0 ]; then echo "PASS: $passed passed, $failed failed"
  else echo "FAIL: $passed passed, $failed failed"; fi
  [ $failed -eq 0 ]
  exit
}
# check NAME COMMAND...: one check that passes when the command succeeds.
check() {
  local name=$1; shift
  if "$@" >"$work/check.log" 2>&1; then pass "$name"; else fail "$name"; show_log "$work/check.log"; fi
}

# --- the package -------------------------------------------------------------------------------
echo "== building the program and its package"
build=$root/build/default
rm -rf "$build/packages"
if cmake --preset default >"$work/build.log" 2>&1 &&
   cmake --build --preset default --target compattatore -j2 >>"$work/build.log" 2>&1 &&
   (cd "$build" && cpack -G DEB >>"$work/build.log" 2>&1); then
  pass "package built ($(elapsed))"
else
  fail "package"; show_log "$work/build.log"; finish
fi
deb=$(ls "$build"/packages/compattatore_*.deb)
version=$("$build/compattatore" --version | cut -d' ' -f2)

field() { dpkg-deb -f "$deb" "$1"; }
check "package name, version $version and architecture" \
  test "$(field Package) $(field Version) $(field Architecture)" = "compattatore $version $(dpkg --print-architecture)"
check "package depends on the C and C++ runtimes it was linked with" \
  bash -c "dpkg-deb -f '$deb' Depends | grep -q 'libc6' && dpkg-deb -f '$deb' Depends | grep -q 'libstdc++6'"
dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./||' >"$work/contents"
for f in usr/bin/compattatore usr/share/doc/compattatore/README.md \
         usr/share/doc/compattatore/authors.md \
         usr/share/bash-completion/completions/compattatore \
         usr/share/zsh/vendor-completions/_compattatore; do
  check "package holds /$f" grep -qx "$f" "$work/contents"
done
echo "   package: $(basename "$deb"), $(stat -c %s "$deb") bytes"

# --- installing --------------------------------------------------------------------------------
if [ "${CI:-}" = true ] && [ "$(id -u)" -eq 0 ]; then
  echo "== installing with apt-get"
  if DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >"$work/install.log" 2>&1; then
    installed_by_apt=yes
    prefix=
    pass "apt-get install ./$(basename "$deb")"
  else
    fail "apt-get install"; show_log "$work/install.log"; finish
  fi
else
  echo "== unpacking with dpkg-deb -x (not root in CI: nothing is installed on this machine)"
  prefix=$work/installed
  check "dpkg-deb -x" dpkg-deb -x "$deb" "$prefix"
fi
program=$prefix/usr/bin/compattatore

check "installed program prints its version" test "$("$program" --version)" = "compattatore $version"

# --- the default scenario from a copy of the installed program -----------------------------------
outputs=(Torino_Piacenza_2063_note.txt Torino_Piacenza_2063_rallentamenti.txt
         Torino_Piacenza_2063_scheda_treno.txt Torino_Piacenza_linea.dat Torino_Piacenza_2063.sim
         Torino_Piacenza_2063.dat)
mkdir -p "$work/from-package" "$work/from-build"
cp "$program" "$work/from-package/"
cp "$build/compattatore" "$work/from-build/"
(cd "$work/from-package" && timeout 300 ./compattatore >"$work/run-package.log" 2>&1)
status=$?
(cd "$work/from-build" && timeout 300 ./compattatore >"$work/run-build.log" 2>&1)
if [ $status -eq 0 ]; then pass "default run of the installed program ended with status 0 ($(elapsed))"
else fail "default run of the installed program ended with status $status"; show_log "$work/run-package.log"; fi
for f in "${outputs[@]}"; do
  check "$f identical to the build's run" cmp "$work/from-package/$f" "$work/from-build/$f"
done
check "the installed program's run left no other file" \
  test "$(cd "$work/from-package" && ls -A | LC_ALL=C sort | tr '\n' ' ')" = \
       "$(printf '%s\n' compattatore "${outputs[@]}" | LC_ALL=C sort | tr '\n' ' ')"

# --- the author's commands from the installed program --------------------------------------------
mkdir -p "$work/author"
check "sources from the installed program" "$program" sources -o "$work/author"
check "compile from the installed program" "$program" compile \
  "$work/author/Torino_Piacenza_linea.txt" "$work/author/Torino_Piacenza_2063-.txt" \
  --line Torino_Piacenza --train 2063 -o "$work/author"
check "compiled files identical to the default run's" bash -c "
  for f in Torino_Piacenza_linea.dat Torino_Piacenza_2063.sim Torino_Piacenza_2063.dat; do
    cmp '$work/author/'\$f '$work/from-build/'\$f || exit 1
  done"
if "$program" check --help >/dev/null 2>&1; then
  check "check from the installed program" "$program" check \
    "$work/author/Torino_Piacenza_linea.txt" "$work/author/Torino_Piacenza_2063-.txt"
else
  echo "SKIP check: the build has no 'check' command"
fi

# --- completion ----------------------------------------------------------------------------------
# What bash offers after "compattatore co" and "compattatore compile --j", with the installed
# program first on the path.
completion=$prefix/usr/share/bash-completion/completions/compattatore
complete_words() {
  PATH="$prefix/usr/bin:$PATH" bash -c '
    source "$1"; shift
    COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); _compattatore
    printf "%s\n" "${COMPREPLY[@]}"' completion "$completion" "$@"
}
check "bash completes the commands" bash -c '[ "$1" = compile ]' _ "$(complete_words compattatore co)"
check "bash completes a command's options" bash -c '[ "$1" = --json ]' _ \
  "$(complete_words compattatore compile --j)"

# The zsh completion, with zsh's completion functions standing in as ones that print what they
# were given (zsh offers only what matches the typed prefix).
zsh_words() {
  PATH="$prefix/usr/bin:$PATH" zsh -c '
    _describe() { print -l -- "${(@P)2}"; }
    _arguments() { :; }
    compadd() { shift; print -l -- "$@"; }
    _files() { print FILES; }
    file=$1; shift; words=("$@"); CURRENT=$#; PREFIX=${words[-1]}
    source "$file"' zsh "$prefix/usr/share/zsh/vendor-completions/_compattatore" "$@" | tr '\n' ' '
}
# Every command of the program, in whatever order its help lists them.
check "zsh offers the commands" bash -c 'for c in compile check sources inspect plot view lsp; do
    [[ " $1 " == *" $c "* ]] || exit 1; done' _ "$(zsh_words compattatore co)"
check "zsh offers a command's options" bash -c '[[ " $1" == *" --json "* && " $1" == *" --line "* ]]' _ \
  "$(zsh_words compattatore compile --j)"
check "zsh offers files for the arguments" test "$(zsh_words compattatore compile T)" = "FILES "

if [ -n "$installed_by_apt" ]; then
  check "apt-get remove compattatore" apt-get remove -y -qq compattatore
  installed_by_apt=
  check "removal takes the program away" test ! -e /usr/bin/compattatore
fi
finish
