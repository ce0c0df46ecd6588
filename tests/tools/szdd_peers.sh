#!/bin/sh
# szdd_peers.sh SZDD WORKDIR: our packer and reader against an independent
# implementation of the format (Debian's mscompress, which the bootstrap
# installs, so that its absence fails), on the inputs of stress-inputs.sh and
# part of a real program, both ways.
set -eu
szdd=$1
work=$2
if ! command -v msexpand >/dev/null || ! command -v mscompress >/dev/null; then
  echo "FAIL: msexpand and mscompress are needed (Debian package mscompress)"
  exit 1
fi
rm -rf "$work"
sh "$(dirname "$0")/stress-inputs.sh" "$work/in"
# msexpand takes seconds a megabyte: the 4 KB random inputs will do.
rm "$work/in/random-1m"
head -c 300000 "$szdd" > "$work/in/program"  # a real program, in part
mkdir "$work/ms"

fail=0
for f in "$work"/in/*; do
  name=$(basename "$f")
  "$szdd" pack "$f" "$work/$name.sz"
  if ! msexpand < "$work/$name.sz" > "$work/$name.out" || ! cmp -s "$f" "$work/$name.out"; then
    echo "FAIL: msexpand does not give back szdd's $name"
    fail=1
  fi
  # mscompress mangles files under 16 bytes.
  [ "$(wc -c < "$f")" -ge 16 ] || continue
  cp "$f" "$work/ms/$name"
  (cd "$work/ms" && mscompress "$name" && rm "$name")
  if ! "$szdd" unpack "$work"/ms/* "$work/$name.out" || ! cmp -s "$f" "$work/$name.out"; then
    echo "FAIL: szdd unpack does not give back mscompress's $name"
    fail=1
  fi
  rm "$work"/ms/*
done
[ $fail -eq 0 ]
rm -rf "$work"
echo "all peer checks passed"
