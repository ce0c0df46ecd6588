#!/usr/bin/env bash
# make-lz32-samples.sh SZDD OUTDIR: writes inputs that stress an SZDD
# reader (empty, one byte, sizes around the 4096-byte window, runs, leading
# spaces that match the initial fill, random data, runs packed mostly into
# 18-byte matches, a real program) and the packed form of each as NAME.sz.
set -euo pipefail
szdd=$1 out=$2
here=$(cd "$(dirname "$0")" && pwd)
rm -rf "$out"
mkdir -p "$out"
cd "$out"
: > empty
printf 'x' > one-byte
head -c 4095 /dev/urandom > random-4095
head -c 4096 /dev/urandom > random-4096
head -c 4097 /dev/urandom > random-4097
head -c 1048576 /dev/urandom > random-1m
head -c 70000 /dev/zero | tr '\0' a > run-70000
sh "$here/../tools/long-runs.sh" "$szdd" long-runs
{ head -c 5000 /dev/zero | tr '\0' ' '; echo "after the spaces"; } > leading-spaces
for i in $(seq 1 400); do echo "line $i of a text that repeats itself with small changes"; done > text
cp "$szdd" program
for f in *; do
  [[ "$f" == *.sz ]] && continue
  "$szdd" pack -c _ "$f" "$f.sz"
done
