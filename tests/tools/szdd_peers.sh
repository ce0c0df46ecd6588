#!/bin/sh
# Our packer against an independent implementation of the format:
#  - every `szdd pack` stream expands through `msexpand` to the original;
#  - every `mscompress` stream expands through `szdd unpack` to the original.
#   szdd_peers.sh SZDD WORKDIR
# The peers come from Debian's mscompress package, which the bootstrap
# installs; their absence is a failure, not a reason to skip.
set -eu
szdd=$1
work=$2

for tool in msexpand mscompress; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "FAIL: $tool is not installed (Debian package mscompress)"
    exit 1
  fi
done

rm -rf "$work"
mkdir -p "$work/in"
in=$work/in

printf '' > "$in/empty.bin"
printf 'Q' > "$in/one.bin"
head -c 200000 /dev/urandom > "$in/random.bin"
head -c 4096 /dev/urandom > "$in/window.bin"
# Text: several copies of a licence text with the lines shuffled between
# copies, so that repeats are both near and beyond the window.
lic=/usr/share/common-licenses/GPL-3
if [ -r "$lic" ]; then
  { cat "$lic"; sort "$lic"; cat "$lic"; } > "$in/text.txt"
else
  i=0
  while [ $i -lt 3000 ]; do echo "line $i of a made-up text, $((i * 7919 % 1000))"; i=$((i + 1)); done > "$in/text.txt"
fi
# Runs packed mostly into 18-byte matches, which mscompress never writes.
sh "$(dirname "$0")/long-runs.sh" "$szdd" "$in/long-runs.bin"
# Leading spaces: matches that start in the ring's initial fill.
{ printf '%40s' ''; echo 'indented'; printf '%300s' ''; cat "$in/text.txt"; } > "$in/spaces.txt"
# A real binary, or a made one that mixes code-like and zero-filled areas.
bin=$(readlink -f /usr/bin/x86_64-w64-mingw32-g++ 2>/dev/null || true)
if [ -n "$bin" ] && [ -r "$bin" ]; then
  cp "$bin" "$in/binary.exe"
else
  { head -c 300000 "$in/random.bin" | od -An -tx1; head -c 50000 /dev/zero; cat "$in/random.bin"; } > "$in/binary.exe"
fi

fail=0
for f in "$in"/*; do
  name=$(basename "$f")
  "$szdd" pack "$f" "$work/$name.sz"
  if ! msexpand < "$work/$name.sz" > "$work/$name.msexpand" 2> "$work/$name.err"; then
    echo "FAIL: msexpand rejected szdd's $name: $(cat "$work/$name.err")"
    fail=1
  elif ! cmp -s "$f" "$work/$name.msexpand"; then
    echo "FAIL: msexpand of szdd's $name differs from the original"
    fail=1
  else
    echo "ok: szdd pack | msexpand  $name ($(wc -c < "$f") -> $(wc -c < "$work/$name.sz") bytes)"
  fi

  # mscompress mangles files under 16 bytes.
  if [ "$(wc -c < "$f")" -ge 16 ]; then
    mkdir -p "$work/ms"
    cp "$f" "$work/ms/$name"
    (cd "$work/ms" && mscompress "$name")
    packed=$(ls "$work/ms/" | grep -v -x -F "$name" | head -n 1)
    if ! "$szdd" unpack "$work/ms/$packed" "$work/$name.unpack"; then
      echo "FAIL: szdd unpack rejected mscompress's $name"
      fail=1
    elif ! cmp -s "$f" "$work/$name.unpack"; then
      echo "FAIL: szdd unpack of mscompress's $name differs from the original"
      fail=1
    else
      echo "ok: mscompress | szdd unpack  $name"
    fi
    rm -rf "$work/ms"
  fi
done

if [ $fail -ne 0 ]; then exit 1; fi
rm -rf "$work"
echo "all peer checks passed"
