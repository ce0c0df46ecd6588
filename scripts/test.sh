#!/usr/bin/env bash
# Builds everything and runs every test: the native unit tests, a second
# build of the shipping files compared byte for byte with the first, the
# Windows tests and end-to-end scenarios under wine64 on virtual displays,
# and the shipping PE32's scenarios in a virtual machine with 32-bit Wine
# (tests/harness/pe32-guest.sh).  The machine needs nothing of the build,
# so its first build starts at once in the background; its scenarios run
# beside the others at a lower priority, which leaves the wine64 scenarios'
# timing checks their bounds (the machine's own waits are four times as long).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

start=$SECONDS
phase() { echo "test.sh: $1 after $((SECONDS - start)) s"; }
"$root/scripts/bootstrap.sh"
logs=$(mktemp -d)
trap 'rm -rf "$logs"' EXIT
"$root/tests/harness/pe32-guest.sh" build >"$logs/guest-build.log" 2>&1 &
"$root/scripts/build.sh"
phase "built"

jobs=${KESTROVA_JOBS:-$(nproc)}
nice -n 10 "$root/tests/harness/pe32-guest.sh" run >"$logs/pe32.log" 2>&1 &
pe32=$!
status=0
ctest --test-dir build/host --output-on-failure -j "$jobs" || status=1
phase "unit tests done"
"$root/tests/repro/rebuild_elsewhere.sh" "$root" || status=1
phase "second build compared"
"$root/scripts/with-display.sh" \
  ctest --test-dir build/win64 --output-on-failure -j "$jobs" || status=1
phase "wine64 tests done"
"$root/tests/repro/signed_release.sh" "$root" || status=1
phase "signed release checked"
if ! wait "$pe32"; then
  status=1
  cat "$logs/guest-build.log"
fi
cat "$logs/pe32.log"
phase "PE32 scenarios done"
exit $status
