#!/usr/bin/env bash
# Builds everything and runs every test: the native unit tests, then the
# Windows tests and end-to-end scenarios under wine64 on a virtual display.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

"$root/scripts/build.sh"

jobs=${KESTROVA_JOBS:-$(nproc)}
status=0
ctest --test-dir build/host --output-on-failure -j "$jobs" || status=1
"$root/scripts/with-display.sh" \
  ctest --test-dir build/win64 --output-on-failure -j "$jobs" || status=1
exit $status
