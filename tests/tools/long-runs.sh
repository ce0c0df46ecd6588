#!/bin/sh
# long-runs.sh SZDD OUT: writes OUT, 600 runs of 19 to 218 copies of one
# byte (every value but 0 in turn, 71,100 bytes), the same on every run.
# Packed by SZDD, most of its matches must be 18 bytes long, the most the
# length field can say: streams that readers rarely get from other
# packers.  Fails when they are not.
set -eu
szdd=$1
out=$2

LC_ALL=C awk 'BEGIN {
  for (i = 0; i < 600; i++) {
    b = sprintf("%c", (i * 37) % 255 + 1)
    s = ""
    for (k = 19 + (i * 53) % 200; k > 0; k--) s = s b
    printf "%s", s
  }
}' > "$out"

# Walk the packed tokens: each control byte, least significant bit first,
# announces a literal (1) or a two-byte match whose low four bits are the
# length less 3.
"$szdd" pack -c _ "$out" "$out.check.sz"
counts=$(od -An -v -tu1 -j14 "$out.check.sz" | awk '
  { for (i = 1; i <= NF; i++) b[n++] = $i }
  END {
    p = 0; matches = 0; longest = 0
    while (p < n) {
      c = b[p++]
      for (k = 0; k < 8 && p < n; k++) {
        if (int(c / 2 ^ k) % 2) { p++ }
        else { matches++; if (b[p + 1] % 16 == 15) longest++; p += 2 }
      }
    }
    print matches, longest
  }')
rm -f "$out.check.sz"
set -- $counts
echo "long runs: $2 of $1 matches are 18 bytes long"
if [ "$1" -eq 0 ] || [ $(( $2 * 4 )) -lt $(( $1 * 3 )) ]; then
  echo "FAIL: fewer than three in four matches of $out are 18 bytes long" >&2
  exit 1
fi
