#!/usr/bin/env bash
# rebuild_elsewhere.sh [ROOT]: builds the shipping PE32 of ROOT a second
# time, later, from a copy of its sources in another folder, with another
# time zone, locale and umask, and compares every file it is made from
# byte for byte with ROOT/build/win32 (which scripts/build.sh made).  A
# time stamp, an absolute path or an order taken from the file system shows
# as a file and the first offset that differs.  The host tools of
# ROOT/build/host are reused: the generated files they write are compared.
set -euo pipefail
shopt -s nullglob
export LC_ALL=C
root=$(cd "${1:-$(dirname "$0")/../..}" && pwd)
work=$(mktemp -d /tmp/kestrova-rebuild.XXXXXX)
trap 'rm -rf "$work"' EXIT
src=$work/second/checkout
mkdir -p "$src"
# The sources as they are in ROOT, committed or not, so that both builds
# are of the same text.
(cd "$root" && git ls-files -z | tar -c --null --ignore-failed-read -T -) | tar -x -C "$src"

# The clock is not shifted: a time stamp is in seconds, and the second
# build comes minutes after the first.  (Shifting it by preloading a fake
# clock hung the sanitizer-built host tools that the build runs.)
elsewhere=(env TZ=Pacific/Kiritimati LC_ALL=C.UTF-8)
if ! (umask 077 && "${elsewhere[@]}" cmake -S "$src" -B "$src/build/win32" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$src/cmake/mingw-i686.cmake" \
        -DKESTROVA_HOST_TOOLS="$root/build/host" &&
      "${elsewhere[@]}" cmake --build "$src/build/win32" -j "$(nproc)" --target Kestrova) \
      >"$work/build.log" 2>&1; then
  cat "$work/build.log" >&2
  echo "rebuild_elsewhere: the second build failed" >&2
  exit 1
fi

# Upstream first, so that the first file named is where a difference enters.
shipped() {
  cd "$1"
  printf '%s\n' product/generated/* product/*.exe product/*.dll product/*.hlp product/*.cnt \
    generated/payload/* generated/*.* Kestrova-nopayload.exe Kestrova.exe
}
a=$root/build/win32 b=$src/build/win32
compared=0 differing=0
if ! diff <(shipped "$a") <(shipped "$b") >&2; then
  echo "rebuild_elsewhere: the two builds made different files (above)" >&2
  differing=1
fi
while read -r f; do
  compared=$((compared + 1))
  # cmp counts from 1: "differ: char N, line L", or "EOF on F after byte N".
  if ! out=$(cmp -- "$a/$f" "$b/$f" 2>&1); then
    byte=$(sed -n 's/.* \(char\|byte\) \([0-9]*\).*/\2/p' <<<"$out")
    [[ "$out" == *EOF* ]] || byte=$((byte - 1))
    printf 'rebuild_elsewhere: %s differs, first at offset %d\n' "$f" "${byte:-0}" >&2
    differing=$((differing + 1))
  fi
done < <(shipped "$a")
if ((differing)); then
  echo "rebuild_elsewhere: $differing of $compared files differ; the first named is the first difference" >&2
  exit 1
fi
echo "rebuild_elsewhere: $compared files byte-identical in a second build from another folder"
