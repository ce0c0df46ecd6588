#!/usr/bin/env bash
# Checks a shipping Windows binary after it is linked: the PE machine, the
# GUI subsystem, and that it imports only the system's known DLLs, so that
# nothing a user downloaded beside it can be loaded in its place, and no C
# runtime at all: every shipping program is built freestanding, so an
# import of one means the compiler reached for a library function; and that
# its PE checksum, if set, is that of its final bytes.  Prints
# its size (and, given a payload-free twin, the installer's own weight,
# which may be held to a most).
set -euo pipefail

objdump=objdump machine="" without="" most="" allowed="kernel32 user32 gdi32 shell32 ole32 oleaut32 advapi32 comdlg32 shlwapi"
while [[ $# -gt 1 ]]; do
  case "$1" in
    --objdump) objdump=$2; shift 2 ;;
    --machine) machine=$2; shift 2 ;;
    --size-without-payload) without=$2; shift 2 ;;
    --most-without-payload) most=$2; shift 2 ;;
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

# The linker sets the PE checksum; anything that changes the file after
# linking must recompute it, or Windows may see a damaged image.
u32() { od -An -tu4 -j "$1" -N 4 --endian=little "$binary" | tr -d ' '; }
checksum_at=$(($(u32 60) + 88))
stored=$(u32 "$checksum_at")
if [[ "$stored" != 0 ]]; then
  computed=$(od -An -v -tu2 --endian=little "$binary" | awk -v skip=$((checksum_at / 2)) -v size="$size" '
    { for (i = 1; i <= NF; i++) { if (n != skip && n != skip + 1) { s += $i; s = s % 65536 + int(s / 65536) } n++ } }
    END { printf "%d", s + size }')
  [[ "$computed" == "$stored" ]] ||
    fail "PE checksum $(printf %08x "$stored") is not that of its bytes ($(printf %08x "$computed"))"
fi
if [[ -n "$without" ]]; then
  own=$(stat -c %s "$without")
  awk -v n="$name" -v m="$machine" -v s="$size" -v o="$own" 'BEGIN {
    printf "%s (%s): %d bytes; %d bytes (%.1f KB) without the payload\n", n, m, s, o, o / 1024 }'
  [[ -z "$most" || "$own" -le "$most" ]] ||
    fail "$own bytes without the payload, over the $most it is held to"
else
  printf '%s (%s): %d bytes\n' "$name" "$machine" "$size"
fi
