#!/bin/sh
# szdd_peers.sh SZDD WORKDIR: what our packer writes, an independent reader
# of the format expands (Debian's mscompress, which the bootstrap installs,
# so that its absence fails): the inputs of stress-inputs.sh and part of a
# real program.  Our own reader only has to agree with our packer.
set -eu
szdd=$1
work=$2
if ! command -v msexpand >/dev/null; then
  echo "FAIL: msexpand is needed (Debian package mscompress)"
  exit 1
fi
rm -rf "$work"
sh "$(dirname "$0")/stress-inputs.sh" "$work/in"
# msexpand takes seconds a megabyte: the 4 KB random inputs will do.
rm "$work/in/random-1m"
head -c 300000 "$szdd" > "$work/in/program"  # a real program, in part

fail=0
for f in "$work"/in/*; do
  name=$(basename "$f")
  "$szdd" pack "$f" "$work/$name.sz"
  if ! msexpand < "$work/$name.sz" > "$work/$name.out" || ! cmp -s "$f" "$work/$name.out"; then
    echo "FAIL: msexpand does not give back szdd's $name"
    fail=1
  fi
done
[ $fail -eq 0 ]
rm -rf "$work"
echo "all peer checks passed"
