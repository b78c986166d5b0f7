#!/usr/bin/env bash
set -euo pipefail
cmake=$1 build=$2 prefix=$3 otherLibrary=$4
rm -rf "$prefix"
"$cmake" --install "$build" --prefix "$prefix" >/dev/null
fail() { echo "FAILED: $1" >&2; exit 1; }
for program in tarvo-cli tarvo-camsim; do
  "$prefix/bin/$program" --version | grep -q "^$program [0-9]" || fail "$program --version"
done
[ -f "$prefix/share/applications/orva-tarvo-programmer.desktop" ] || fail "desktop entry"
[ -f "$prefix/share/icons/hicolor/scalable/apps/orva-tarvo-programmer.svg" ] || fail "icon"
[ ! -e "$prefix/bin/libqlm_usb.so" ] || fail "interface library installed beside the programs"
# tarvo-cli's manual page and bash completion, made from its command table.
man -l "$prefix/share/man/man1/tarvo-cli.1" 2>/dev/null | grep -q "tarvo-cli packet build" ||
  fail "manual page without the commands"
bash -c "source '$prefix/share/bash-completion/completions/tarvo-cli' && complete -p tarvo-cli" \
  >/dev/null || fail "bash completion"

export QLM_SIM_DIR="$prefix/camera" TARVO_DATA_DIR="$prefix/data" TARVO_TIME_SCALE=0
unset LD_LIBRARY_PATH
"$prefix/bin/tarvo-camsim" init --serial 2468 >/dev/null
"$prefix/bin/tarvo-cli" info 2>/dev/null | grep -q "SN 2468" ||
  fail "installed tarvo-cli does not reach the installed simulated camera"

# Another library of the same name beside the programs is loaded instead of the simulated one
# (this one answers with an empty camera type, which the program refuses).
cp "$otherLibrary" "$prefix/bin/libqlm_usb.so"
if output=$("$prefix/bin/tarvo-cli" info 2>&1); then
  fail "the simulated camera was used although a library stands beside the program"
fi
grep -q "Camera found is not a orva.tarvo!" <<<"$output" ||
  fail "the library beside the program was not the one loaded: $output"
echo "install: programs, simulated camera folder and precedence as expected"
