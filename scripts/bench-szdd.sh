#!/bin/sh
# Compares `szdd pack` with `mscompress` on the product files and a few
# others, and measures the packer's speed.
#
#   scripts/bench-szdd.sh [-s SZDD] [-p PRODUCT_DIR] [FILE...]
#
#   -s SZDD         the packer (default: build/host/szdd of this checkout)
#   -p PRODUCT_DIR  folder holding the eight product files (a Windows build's
#                   product/ folder); they head the list
#   FILE...         further files; without any, a text file, a binary and
#                   random data are used
#
# Prints one row per file (sizes, ratio szdd/mscompress), the totals, and
# MB/s for both packers on a several-MB file.  Every szdd stream is also
# unpacked and compared.  Exits 1 when szdd is larger than mscompress on any
# file, or when the product files' total is not at least 2% below
# mscompress's (random data cannot be compressed by either, so the total of
# all files is shown but not judged).  mscompress mangles files under 16
# bytes, so those are listed but left out of the comparison.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
szdd=$root/build/host/szdd
product=
while getopts s:p:h opt; do
  case $opt in
    s) szdd=$OPTARG ;;
    p) product=$OPTARG ;;
    *) sed -n '2,20p' "$0"; exit 2 ;;
  esac
done
shift $((OPTIND - 1))

if [ ! -x "$szdd" ]; then
  echo "bench-szdd: packer not found: $szdd (build the host tools, or pass -s)" >&2
  exit 2
fi
if ! command -v mscompress >/dev/null 2>&1; then
  echo "bench-szdd: mscompress is not installed (Debian package mscompress)" >&2
  exit 2
fi

work=$(mktemp -d /tmp/bench-szdd.XXXXXX)
trap 'rm -rf "$work"' EXIT INT TERM
mkdir "$work/in" "$work/ms"

# The list of files, copied into $work/in (mscompress writes beside its
# input), in order.
list=$work/list
: > "$list"
products=0
add() {
  name=$(basename "$1")
  if [ -e "$work/in/$name" ]; then name="$(wc -l < "$list")-$name"; fi
  cp "$1" "$work/in/$name"
  echo "$name" >> "$list"
}
if [ -n "$product" ]; then
  for f in Zelmunin.exe Quorvik.exe Qvreader.exe Quorvik.hlp Qvnotes.hlp \
           Quorvik.cnt Qvtips.dll Qvshell.dll; do
    if [ -f "$product/$f" ]; then add "$product/$f"; products=$((products + 1)); else echo "bench-szdd: missing product file $product/$f" >&2; fi
  done
fi
if [ $# -gt 0 ]; then
  for f in "$@"; do add "$f"; done
else
  if [ -r /usr/share/common-licenses/GPL-3 ]; then add /usr/share/common-licenses/GPL-3; fi
  bin=$(readlink -f /usr/bin/x86_64-w64-mingw32-g++ 2>/dev/null || true)
  if [ -n "$bin" ] && [ -r "$bin" ]; then
    head -c 600000 "$bin" > "$work/binary-600k"
    add "$work/binary-600k"
  fi
  head -c 262144 /dev/urandom > "$work/random-256k"
  add "$work/random-256k"
fi
if [ ! -s "$list" ]; then echo "bench-szdd: no files to compare" >&2; exit 2; fi

size() { wc -c < "$1" | tr -d ' '; }

fail=0
total_in=0 total_szdd=0 total_ms=0
row=0
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.4f", a / b }'; }
printf '%-22s %10s %10s %10s %8s\n' file bytes szdd mscompress ratio
while IFS= read -r name; do
  row=$((row + 1))
  f=$work/in/$name
  n=$(size "$f")
  "$szdd" pack "$f" "$work/$name.sz"
  "$szdd" unpack "$work/$name.sz" "$work/$name.back"
  if ! cmp -s "$f" "$work/$name.back"; then
    echo "bench-szdd: $name does not survive pack and unpack" >&2
    fail=1
  fi
  s=$(size "$work/$name.sz")
  if [ "$n" -lt 16 ]; then
    printf '%-22s %10d %10d %10s %8s\n' "$name" "$n" "$s" "-" "-"
    continue
  fi
  cp "$f" "$work/ms/$name"
  (cd "$work/ms" && mscompress "$name")
  m=$(size "$work/ms/${name}_")
  note=
  if [ "$s" -gt "$m" ]; then note="  LARGER"; fail=1; fi
  printf '%-22s %10d %10d %10d %8s%s\n' "$name" "$n" "$s" "$m" "$(ratio "$s" "$m")" "$note"
  total_in=$((total_in + n)); total_szdd=$((total_szdd + s)); total_ms=$((total_ms + m))
  if [ "$row" -eq "$products" ] && [ "$products" -gt 0 ]; then
    printf '%-22s %10d %10d %10d %8s\n' "product total" "$total_in" "$total_szdd" "$total_ms" \
      "$(ratio "$total_szdd" "$total_ms")"
    if ! awk -v a="$total_szdd" -v b="$total_ms" 'BEGIN { exit !(a <= 0.98 * b) }'; then
      echo "bench-szdd: product files not at least 2% below mscompress in total" >&2
      fail=1
    fi
  fi
done < "$list"
if [ "$total_ms" -gt 0 ]; then
  printf '%-22s %10d %10d %10d %8s\n' "total" "$total_in" "$total_szdd" "$total_ms" \
    "$(ratio "$total_szdd" "$total_ms")"
fi

# Speed on a several-MB file: the first 8 MB of a large binary, or the
# files above repeated.
sample=$work/speed-sample
big=
for c in /usr/lib/gcc/x86_64-w64-mingw32/*/cc1plus /usr/lib/gcc/x86_64-linux-gnu/*/cc1plus; do
  if [ -r "$c" ]; then big=$c; break; fi
done
if [ -n "$big" ]; then
  head -c 8000000 "$big" > "$sample"
else
  : > "$sample"
  while [ "$(size "$sample")" -lt 8000000 ]; do
    while IFS= read -r name; do cat "$work/in/$name"; done < "$list" >> "$sample"
    head -c 100000 /dev/urandom >> "$sample"
  done
fi
now() { date +%s.%N; }
mb=$(awk -v n="$(size "$sample")" 'BEGIN { printf "%.1f", n / 1e6 }')
t0=$(now); "$szdd" pack "$sample" "$work/sample.sz"; t1=$(now)
cp "$sample" "$work/ms/sample"
t2=$(now); (cd "$work/ms" && mscompress sample); t3=$(now)
awk -v mb="$mb" -v a="$t0" -v b="$t1" -v c="$t2" -v d="$t3" \
    -v s="$(size "$work/sample.sz")" -v m="$(size "$work/ms/sample_")" 'BEGIN {
  printf "speed on %s MB (%s): szdd %.1f MB/s (%.2f s, %d bytes), mscompress %.2f MB/s (%.2f s, %d bytes)\n",
         mb, "'"${big:-mixed}"'", mb / (b - a), b - a, s, mb / (d - c), d - c, m }'

exit $fail
