#!/bin/sh
# Fuzzes the SZDD codec for a bounded time from a seed corpus made here:
# streams packed by szdd (so that mutations reach the token decoder) and the
# plain files they came from.
#   run_szdd_fuzz.sh FUZZER SZDD WORKDIR [SECONDS]
set -eu
fuzzer=$1
szdd=$2
work=$3
seconds=${4:-20}

rm -rf "$work"
mkdir -p "$work/seeds" "$work/corpus" "$work/artifacts"
seeds=$work/seeds

printf '' > "$seeds/empty"
printf 'a' > "$seeds/one"
printf '                                hello   world' > "$seeds/spaces"
printf 'abcabcabcabcabcabcabcabcabcabcabcabcabcabcabcabcabcabcabc' > "$seeds/run"
head -c 3000 /dev/urandom > "$seeds/random"
# Far repeats: the same block 4095 and 4096 bytes apart.
head -c 64 /dev/urandom > "$work/block"
{ cat "$work/block"; head -c 4031 /dev/zero; cat "$work/block"; head -c 1 /dev/zero; cat "$work/block"; } > "$seeds/far"
rm -f "$work/block"
i=0
for f in "$seeds"/*; do
  i=$((i + 1))
  "$szdd" pack -c x "$f" "$seeds/packed$i.sz"
done

"$fuzzer" -max_total_time="$seconds" -max_len=12000 -timeout=20 \
  -artifact_prefix="$work/artifacts/" -print_final_stats=1 \
  "$work/corpus" "$seeds"
