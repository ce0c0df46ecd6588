#!/bin/sh
# Fuzzes the SZDD codec for a while from the inputs of stress-inputs.sh,
# plain and packed (so that mutations reach the token decoder), all made
# from SEED; a failing input is kept in WORKDIR/artifacts.
#   run_szdd_fuzz.sh FUZZER SZDD WORKDIR [SECONDS] [SEED]
set -eu
fuzzer=$1
szdd=$2
work=$3
seconds=${4:-12}
seed=${5:-1}

rm -rf "$work"
mkdir -p "$work/corpus" "$work/artifacts"
sh "$(dirname "$0")/../tools/stress-inputs.sh" "$work/seeds" "$seed"
for f in "$work"/seeds/*; do
  "$szdd" pack -c x "$f" "$f.sz"
done
# Longer inputs would only slow every run: libFuzzer cuts them to -max_len.
find "$work/seeds" -size +12000c -delete

"$fuzzer" -seed="$seed" -max_total_time="$seconds" -max_len=12000 -timeout=20 \
  -artifact_prefix="$work/artifacts/" -print_final_stats=1 \
  "$work/corpus" "$work/seeds"
