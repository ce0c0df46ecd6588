#!/usr/bin/env bash
# rebuild_elsewhere.sh [ROOT]: builds the shipping Windows files of ROOT a
# second time, later, from a copy of its sources in another folder, with
# another time zone, locale and umask, and compares them
# byte for byte with ROOT/build/win32 and ROOT/build/win64 (which
# scripts/build.sh made).  A time stamp, an absolute path or an order taken
# from the file system shows as a file and the first offset that differs.
# The host tools of ROOT/build/host are reused: the generated files they
# write are among those compared.
set -euo pipefail
shopt -s nullglob
export LC_ALL=C
root=$(cd "${1:-$(dirname "$0")/../..}" && pwd)
jobs=${KESTROVA_JOBS:-$(nproc)}

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
for tree in win64:x86_64 win32:i686; do
  dir=$src/build/${tree%%:*}
  # Configured as scripts/build.sh configures it; only what ships is built.
  if ! (umask 077 && "${elsewhere[@]}" cmake -S "$src" -B "$dir" -DCMAKE_BUILD_TYPE=Release \
          -DCMAKE_TOOLCHAIN_FILE="$src/cmake/mingw-${tree##*:}.cmake" \
          -DKESTROVA_HOST_TOOLS="$root/build/host" &&
        "${elsewhere[@]}" cmake --build "$dir" -j "$jobs" --target Kestrova) >"$work/build.log" 2>&1; then
    cat "$work/build.log" >&2
    echo "rebuild_elsewhere: the second build of ${tree%%:*} failed" >&2
    exit 1
  fi
done

# Upstream first, so that the first file named is where a difference enters.
shipped() {
  cd "$1"
  printf '%s\n' product/generated/* product/*.exe product/*.dll product/*.hlp product/*.cnt \
    generated/payload/* generated/*.* Kestrova-nopayload.exe Kestrova.exe
}

compared=0 differing=0
for tree in win32 win64; do
  a=$root/build/$tree b=$src/build/$tree
  if ! diff <(shipped "$a") <(shipped "$b") >"$work/names"; then
    echo "rebuild_elsewhere: build/$tree: the two builds made different files:" >&2
    cat "$work/names" >&2
    differing=$((differing + 1))
  fi
  while read -r f; do
    compared=$((compared + 1))
    if [[ ! -f "$a/$f" || ! -f "$b/$f" ]]; then
      echo "rebuild_elsewhere: build/$tree/$f is missing from one of the builds" >&2
      differing=$((differing + 1))
      continue
    fi
    # cmp counts from 1: "differ: char N, line L", or "EOF on F after byte N".
    if ! out=$(cmp -- "$a/$f" "$b/$f" 2>&1); then
      byte=$(sed -n 's/.* \(char\|byte\) \([0-9]*\).*/\2/p' <<<"$out")
      [[ "$out" == *EOF* ]] || byte=$((byte - 1))
      printf 'rebuild_elsewhere: build/%s/%s differs, first at offset %d (0x%x)\n' \
        "$tree" "$f" "$byte" "$byte" >&2
      differing=$((differing + 1))
    fi
  done < <(shipped "$a")
done

if ((differing)); then
  echo "rebuild_elsewhere: $differing of $compared files differ; the first named is the first difference" >&2
  exit 1
fi
echo "rebuild_elsewhere: $compared files byte-identical in a second build from another folder"
