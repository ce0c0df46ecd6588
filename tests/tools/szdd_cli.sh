#!/bin/sh
# The szdd command line: the header's character, exit codes and messages.
#   szdd_cli.sh SZDD WORKDIR
set -u
szdd=$1
work=$2
rm -rf "$work"
mkdir -p "$work"
cd "$work" || exit 1
fail=0

# expect CODE DESCRIPTION COMMAND...: exit code and a message on stderr when
# the code is not 0.
expect() {
  want=$1; what=$2; shift 2
  "$@" > out.txt 2> err.txt
  got=$?
  if [ "$got" -ne "$want" ]; then
    echo "FAIL: $what: exit $got, wanted $want"; cat err.txt; fail=1; return
  fi
  if [ "$want" -ne 0 ] && ! grep -q '^szdd: ' err.txt; then
    echo "FAIL: $what: no message on stderr"; fail=1; return
  fi
  echo "ok: $what"
}

# byte9 FILE: the header's missing-character byte.
byte9() { od -An -c -j9 -N1 "$1" | tr -d ' '; }

echo 'Some product file, some product file.' > Quorvik.hlp
expect 0 "pack" "$szdd" pack Quorvik.hlp Quorvik.hl_
[ "$(byte9 Quorvik.hl_)" = p ] || { echo "FAIL: character from name: $(byte9 Quorvik.hl_)"; fail=1; }
mkdir -p sub.d && cp Quorvik.hlp sub.d/Qvtips.dlL
expect 0 "pack from a folder, name's own case" "$szdd" pack sub.d/Qvtips.dlL x.sz
[ "$(byte9 x.sz)" = L ] || { echo "FAIL: character from path: $(byte9 x.sz)"; fail=1; }
expect 0 "pack -c" "$szdd" pack -c t Quorvik.hlp y.sz
[ "$(byte9 y.sz)" = t ] || { echo "FAIL: -c: $(byte9 y.sz)"; fail=1; }
expect 0 "pack --char after the files" "$szdd" pack Quorvik.hlp z.sz --char e
[ "$(byte9 z.sz)" = e ] || { echo "FAIL: --char: $(byte9 z.sz)"; fail=1; }
expect 0 "unpack" "$szdd" unpack Quorvik.hl_ back.hlp
cmp -s Quorvik.hlp back.hlp || { echo "FAIL: unpack differs"; fail=1; }

expect 2 "no command" "$szdd"
expect 2 "unknown command" "$szdd" squeeze a b
expect 2 "pack without OUT" "$szdd" pack Quorvik.hlp
expect 2 "unpack with three files" "$szdd" unpack a b c
expect 2 "-c without a character" "$szdd" pack Quorvik.hlp out -c
expect 2 "-c with two characters" "$szdd" pack -c ab Quorvik.hlp out
expect 2 "unknown option" "$szdd" pack -x Quorvik.hlp out
expect 2 "IN without a file name" "$szdd" pack sub.d/ out

expect 3 "missing input" "$szdd" pack no-such-file out
expect 3 "input is a folder" "$szdd" pack -c x sub.d out
expect 3 "output folder missing" "$szdd" pack Quorvik.hlp no-such-dir/out
expect 3 "unpack missing input" "$szdd" unpack no-such-file out

expect 4 "unpack of a plain file" "$szdd" unpack Quorvik.hlp plain.out
[ ! -e plain.out ] || { echo "FAIL: output written for corrupt input"; fail=1; }
head -c 20 Quorvik.hl_ > cut.sz
expect 4 "unpack of a cut stream" "$szdd" unpack cut.sz cut.out
grep -q 'ends early' err.txt || { echo "FAIL: cut stream message: $(cat err.txt)"; fail=1; }
[ ! -e cut.out ] || { echo "FAIL: output written for cut stream"; fail=1; }
{ cat Quorvik.hl_; printf 'x'; } > long.sz
expect 4 "unpack of a stream with data left over" "$szdd" unpack long.sz long.out
grep -q 'left over' err.txt || { echo "FAIL: left-over message: $(cat err.txt)"; fail=1; }

if [ $fail -ne 0 ]; then exit 1; fi
echo "all command-line checks passed"
