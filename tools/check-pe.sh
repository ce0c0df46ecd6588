#!/usr/bin/env bash
# Checks a shipping Windows binary after it is linked: the PE machine, the
# GUI subsystem, and that it imports only the system's known DLLs, so that
# nothing a user downloaded beside it can be loaded in its place, and no C
# runtime at all: every shipping program is built freestanding, so an
# import of one means the compiler reached for a library function.  Prints
# its size (and, given a payload-free twin, the installer's own weight).
set -euo pipefail

objdump=objdump machine="" without="" allowed="kernel32 user32 gdi32 shell32 ole32 oleaut32 advapi32 comdlg32 shlwapi"
while [[ $# -gt 1 ]]; do
  case "$1" in
    --objdump) objdump=$2; shift 2 ;;
    --machine) machine=$2; shift 2 ;;
    --size-without-payload) without=$2; shift 2 ;;
    --allow) allowed=$2; shift 2 ;;
    *) break ;;
  esac
done
binary=$1
name=$(basename "$binary")
headers=$("$objdump" -p "$binary")

fail() { echo "check-pe: $name: $*" >&2; exit 1; }

case "$machine" in
  i686)   grep -q '^Magic[[:space:]]*010b' <<<"$headers" || fail "not a PE32 (i386) image" ;;
  x86_64) grep -q '^Magic[[:space:]]*020b' <<<"$headers" || fail "not a PE32+ (x86-64) image" ;;
  "") ;;
  *) fail "unknown machine $machine" ;;
esac
grep -qE '^Subsystem[[:space:]]+0*2[[:space:]]' <<<"$headers" || fail "not a GUI-subsystem program"

while read -r dll; do
  base=$(tr '[:upper:]' '[:lower:]' <<<"${dll%.*}")
  case "$base" in
    msvcr* | ucrtbase* | api-ms-win-crt-*)
      fail "imports the C runtime $dll; shipping programs link none (build freestanding)" ;;
  esac
  [[ " $allowed " == *" $base "* ]] ||
    fail "imports $dll, which is not one of the system's known DLLs ($allowed); load it at run time from the system folder instead"
done < <(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers")

size=$(stat -c %s "$binary")
if [[ -n "$without" ]]; then
  own=$(stat -c %s "$without")
  awk -v n="$name" -v m="$machine" -v s="$size" -v o="$own" 'BEGIN {
    printf "%s (%s): %d bytes; %d bytes (%.1f KB) without the payload\n", n, m, s, o, o / 1024 }'
else
  printf '%s (%s): %d bytes\n' "$name" "$machine" "$size"
fi
