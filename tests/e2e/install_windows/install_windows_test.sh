#!/usr/bin/env bash
# The Windows programs as installed (and packed into the zip), run under wine: they reach the
# simulated camera in camsim\, a DLL of the same name beside them takes precedence, and the log
# they write has CR LF line ends and a seal that Linux computes the same.
set -euo pipefail
cmake=$1 build=$2 prefix=$3 wine=$4 otherLibrary=$5 otherLibraryRecorder=$6
rm -rf "$prefix"
"$cmake" --install "$build" --prefix "$prefix" >/dev/null
fail() { echo "FAILED: $1" >&2; exit 1; }
for file in tarvo-cli.exe tarvo-camsim.exe camsim/qlm_usb.dll camsim/qlm_usb3.dll \
            camsim/qlm_gige.dll README.md WINDOWS.md; do
  [ -f "$prefix/$file" ] || fail "$file is not installed"
done
[ ! -e "$prefix/qlm_usb.dll" ] || fail "interface library installed beside the programs"

run() { "$wine" "$@" 2>&1 | tr -d '\r'; }
export QLM_SIM_DIR="$prefix/camera" TARVO_DATA_DIR="$prefix/data" TARVO_TIME_SCALE=0
for program in tarvo-cli tarvo-camsim; do
  run "$prefix/$program.exe" --version | grep -q "^$program [0-9]" || fail "$program --version"
done
run "$prefix/tarvo-camsim.exe" init --serial 2468 >/dev/null
run "$prefix/tarvo-cli.exe" info | grep -q "SN 2468" ||
  fail "installed tarvo-cli does not reach the simulated camera in camsim"

# The log: every line ends in CR LF, and the seal is the one this script computes: the bytes up
# to the seal, CR LF counted as LF, summed as signed bytes into 32 bits, XOR 0x5A17C3E9.
log="$prefix/data/orva/TARVO_PROG.log"
[ -f "$log" ] || fail "no log in $prefix/data/orva"
body=$(head -c -8 "$log" | od -An -v -tu1)
sum=0 previous=0
for byte in $body; do
  if [ "$previous" -eq 13 ] && [ "$byte" -eq 10 ]; then sum=$((sum - 13)); fi
  if [ "$byte" -eq 10 ] && [ "$previous" -ne 13 ]; then fail "a line of the log ends in LF only"; fi
  if [ "$byte" -ge 128 ]; then sum=$((sum + byte - 256)); else sum=$((sum + byte)); fi
  previous=$byte
done
expected=$(printf '%08x' $(( (sum ^ 0x5A17C3E9) & 0xFFFFFFFF )))
[ "$(tail -c 8 "$log")" = "$expected" ] ||
  fail "seal $(tail -c 8 "$log") of the Windows log, computed here: $expected"

# Another library of the same name beside the programs is loaded instead of the simulated one
# (this one answers with an empty camera type, which the program refuses).
cp "$otherLibrary" "$otherLibraryRecorder" "$prefix/"
if output=$(run "$prefix/tarvo-cli.exe" info); then
  fail "the simulated camera was used although a DLL stands beside the program"
fi
grep -q "Camera found is not a orva.tarvo!" <<<"$output" ||
  fail "the DLL beside the program was not the one loaded: $output"
echo "install: programs, camsim folder, precedence and the log's seal as expected"
