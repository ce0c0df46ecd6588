#!/usr/bin/env bash
# Builds everything and runs the installer under wine64.  With a display
# (DISPLAY set) the installer is shown there, in a Wine prefix kept in
# build/run-prefix.  Without one it runs on a virtual display through the
# default choices and saves a screenshot of every page.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

"$root/scripts/build.sh"
# shellcheck source=scripts/wine-env.sh
source "$root/scripts/wine-env.sh"

installer="$root/build/win64/Kestrova.exe"
if [[ -n "${DISPLAY:-}" ]]; then
  export WINEPREFIX="$root/build/run-prefix"
  [[ -d "$WINEPREFIX" ]] || "$root/scripts/wine-template.sh" "$WINEPREFIX"
  exec "$WINE64" "$installer"
fi

shots="$root/build/tour"
rm -rf "$shots"
mkdir -p "$shots"
"$root/scripts/wine-template.sh" "$root/build/win64/wine-template"
"$root/scripts/with-display.sh" "$root/tests/harness/wine-scenario.sh" \
  --template "$root/build/win64/wine-template" --artifacts "$shots" \
  "$root/build/win64/tests/e2e/kestrova_e2e.exe" tour "$installer" "$shots"
echo "Screenshots of every page: $shots"
ls "$shots"
