#!/usr/bin/env bash
# make-lz32-samples.sh SZDD OUTDIR: the inputs of tests/tools/stress-inputs.sh
# (fixed seed) and a real program, each with its packed form as NAME.sz.
set -euo pipefail
szdd=$1 out=$2
here=$(cd "$(dirname "$0")" && pwd)
rm -rf "$out"
sh "$here/../tools/stress-inputs.sh" "$out"
cp "$szdd" "$out/program"
for f in "$out"/*; do
  "$szdd" pack -c _ "$f" "$f.sz"
done
