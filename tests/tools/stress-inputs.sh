#!/bin/sh
# stress-inputs.sh OUTDIR [SEED]: inputs that stress an SZDD packer and its
# readers: sizes around the 4096-byte window, runs, 18-byte matches (which
# mscompress never writes), leading spaces that match the ring's initial
# fill, text, and blocks repeated 4095 and 4096 bytes later.  Random
# bytes come from awk seeded with SEED (1 if not given): the same files.
set -eu
mkdir -p "$1"
cd "$1"
seed=${2:-1}

# random SEED COUNT FILE; an awk that cannot print a NUL byte writes fewer.
random() {
  LC_ALL=C awk -v seed="$1" -v n="$2" \
    'BEGIN { srand(seed); for (i = 0; i < n; i++) printf "%c", int(rand() * 256) }' > "$3"
  if [ "$(wc -c < "$3")" -ne "$2" ]; then
    echo "FAIL: awk wrote $(wc -c < "$3") bytes of $3, not $2" >&2
    exit 1
  fi
}

: > empty
printf 'x' > one-byte
for n in 4095 4096 4097; do random $((seed + n - 4095)) $n random-$n; done
random $((seed + 3)) 1048576 random-1m
head -c 70000 /dev/zero | tr '\0' a > run-70000
# 600 runs of 19 to 218 copies of one byte, every value but 0 in turn.
LC_ALL=C awk 'BEGIN {
  for (i = 0; i < 600; i++)
    for (k = 19 + (i * 53) % 200; k > 0; k--) printf "%c", (i * 37) % 255 + 1
}' > long-runs
{ head -c 5000 /dev/zero | tr '\0' ' '; echo "after the spaces"; } > leading-spaces
for i in $(seq 1 400); do echo "line $i of a text that repeats itself with small changes"; done > text
random $((seed + 4)) 128 ab
{ head -c 64 ab; head -c 4031 /dev/zero; cat ab; head -c 4032 /dev/zero; tail -c 64 ab; } \
  > far-repeats
rm ab
