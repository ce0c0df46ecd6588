#!/bin/bash
# wine-template.sh DIR: makes the Wine prefix that every Windows test starts
# from, once.  A fresh prefix costs about ten seconds; a copy of this one
# about one, so each test copies it (tests/harness/wine-scenario.sh).
#
# Safe to run twice at once: the second run waits on a lock and then finds
# the prefix made.  The prefix is built in a temporary folder and renamed
# into place only when it is whole, so an interrupted run leaves nothing
# that a later one would take for finished.  A template made by another
# Wine version is made again.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source-path=SCRIPTDIR source=wine-env.sh
. "$here/wine-env.sh"

if [[ $# -ne 1 ]]; then
  printf 'usage: %s DIR\n' "${0##*/}" >&2
  exit 2
fi
dir=$1
[[ $dir == /* ]] || dir="$PWD/$dir"
dir=${dir%/}
mkdir -p "$(dirname "$dir")"

version=$(kestrova_wine_version)

template_ready() {
  [[ -f "$dir/$KESTROVA_TEMPLATE_MARKER" ]] &&
    [[ $(cat "$dir/$KESTROVA_TEMPLATE_MARKER") == "$version" ]]
}

if template_ready; then
  kestrova_log "template $dir is ready ($version)"
  exit 0
fi

exec {lockfd}>"$dir.lock"
if ! flock -w 600 "$lockfd"; then
  kestrova_die "timed out waiting for the lock $dir.lock"
fi
if template_ready; then
  kestrova_log "template $dir was made meanwhile"
  exit 0
fi

work=$(mktemp -d "$dir.tmp.XXXXXX")
cleanup() {
  if [[ -n ${work:-} && -d $work ]]; then
    WINEPREFIX=$work timeout 30 "$WINESERVER" -k 2>/dev/null || true
    rm -rf "$work"
  fi
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

export WINEPREFIX=$work
start=$(kestrova_now_ms)

# wineboot needs no display; without one it only says so.
if ! timeout 300 "$WINE64" wineboot -i >"$work.log" 2>&1; then
  cat "$work.log" >&2
  rm -f "$work.log"
  kestrova_die "wineboot -i failed or timed out"
fi
rm -f "$work.log"

# Without a window manager every closing dialog stalls for about two
# seconds unless Wine manages its windows itself.
if ! timeout 60 "$WINE64" reg add 'HKCU\Software\Wine\X11 Driver' \
  /v Managed /t REG_SZ /d N /f >/dev/null; then
  kestrova_die "could not set the X11 driver's Managed value"
fi

# The registry files are written when the server ends.
if ! timeout 120 "$WINESERVER" -w; then
  kestrova_die "the Wine server did not end"
fi
grep -q '^"Managed"="N"' "$work/user.reg" ||
  kestrova_die "user.reg lacks the Managed value"

printf '%s\n' "$version" >"$work/$KESTROVA_TEMPLATE_MARKER"
rm -rf "$dir"
mv "$work" "$dir"
work=

kestrova_log "template $dir made in $(kestrova_elapsed "$start") s ($(du -sh "$dir" | cut -f1))"
