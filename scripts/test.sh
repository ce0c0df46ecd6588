#!/usr/bin/env bash
# Builds everything and runs every test: a second build of the shipping
# Windows files in another folder, compared byte for byte with the first;
# the native unit tests, then the Windows tests and end-to-end scenarios
# under wine64 on a virtual display, then the shipping PE32's scenarios in
# a virtual machine with 32-bit Wine (scripts/pe32-guest.sh; its first run
# builds the guest).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

"$root/scripts/build.sh"

jobs=${KESTROVA_JOBS:-$(nproc)}
status=0
"$root/tests/repro/rebuild_elsewhere.sh" "$root" || status=1
ctest --test-dir build/host --output-on-failure -j "$jobs" || status=1
"$root/scripts/with-display.sh" \
  ctest --test-dir build/win64 --output-on-failure -j "$jobs" || status=1
"$root/tests/harness/pe32-guest.sh" run || status=1
exit $status
