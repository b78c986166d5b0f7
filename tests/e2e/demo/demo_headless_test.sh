#!/usr/bin/env bash
# Runs the demo without a display and checks what it promises: the camera goes from 4.10 to
# the packet's 4.12 on all nine devices, a backup is written, and the log's seal checks.
set -euo pipefail
demo=$1 bin=$2 dir=$3
rm -rf "$dir"
output=$(DISPLAY= WAYLAND_DISPLAY= "$demo" --headless --bin "$bin" --dir "$dir" 2>&1)
after=$(printf '%s\n' "$output" | sed -n '/== versions after the update/,/== files/p')
before=$(printf '%s\n' "$output" | sed -n '/== versions before the update/,/== versions after/p')
fail() { printf '%s\n' "$output"; echo "FAILED: $1" >&2; exit 1; }
for device in "Boot uP" "Boot FPGA" "Main FPGA" "Mem FPGA 1" "Mem FPGA 2" "Main uP" "Power uP" \
              "HDSDI FPGA" "Color Data"; do
  grep -Eq "^ +$device +001 V04\.10$" <<<"$before" || fail "$device was not at 4.10 before"
  grep -Eq "^ +$device +001 V04\.12$" <<<"$after" || fail "$device is not at 4.12 after"
done
grep -q "Operation Status: Updating firmware in camera SN 4711 successful." <<<"$output" ||
  fail "no successful update"
ls "$dir"/data/orva/orva_tarvo_SN004711_backup.tvf >/dev/null || fail "no backup file"
"$bin/tarvo-cli" packet check "$dir"/data/orva/orva_tarvo_SN004711_backup.tvf >/dev/null ||
  fail "backup packet does not check"
"$bin/tarvo-cli" log check "$dir/data/orva/TARVO_PROG.log" >/dev/null || fail "log seal"
echo "demo: camera updated from 4.10 to 4.12 on all nine devices"
