#!/usr/bin/env bash
# Runs a whole default installation under wine64 and prints the time of each
# phase of the installing page against the floor that its fixed pauses set
# for the built payload table, as a ratio.  Builds first unless told not to
# (--no-build).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
[[ "${1:-}" == --no-build ]] || "$root/scripts/build.sh" >/dev/null
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
"$root/scripts/wine-template.sh" "$root/build/win64/wine-template" >/dev/null
"$root/scripts/wine-scenario.sh" --template "$root/build/win64/wine-template" \
  --artifacts "$out" --display 1024x768 \
  "$root/build/win64/tests/e2e/kestrova_e2e.exe" bench_install \
  "$root/build/win64/Kestrova.exe" "$out" >/dev/null 2>&1 || {
  echo "bench-install: the installation did not complete; its log:" >&2
  cat "$out/e2e.log" >&2
  exit 1
}
sed -n 's/^.*BENCH //p' "$out/e2e.log"
