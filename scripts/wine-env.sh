# shellcheck shell=bash
# Sourced by the Wine scripts: how Wine is run on these machines, and the
# helpers they share.
#
# Debian's `wine` command picks the 32-bit loader, which cannot run here, so
# the 64-bit loader and the server are called directly.  WINEDEBUG keeps the
# output readable; the overrides keep Wine from writing menu entries into the
# home folder, from asking for add-ons, and from starting its debugger (which
# waits forever for a terminal) when a program crashes.

export WINEDEBUG=-all
export WINEDLLOVERRIDES="winemenubuilder.exe=d;winedbg.exe=d;mscoree,mshtml="
export WINE64=/usr/lib/wine/wine64
export WINESERVER=/usr/lib/wine/wineserver

# Name of the marker file that tells a finished template prefix from a
# half-made one; it holds the Wine version that made the prefix.
export KESTROVA_TEMPLATE_MARKER=.kestrova-template

kestrova_log() {
  printf '%s: %s\n' "${0##*/}" "$*" >&2
}

kestrova_die() {
  kestrova_log "error: $*"
  exit 2
}

# Milliseconds since the epoch, for the timings that the scripts print.
kestrova_now_ms() {
  local ns
  ns=$(date +%s%N)
  printf '%s\n' "$((ns / 1000000))"
}

# kestrova_elapsed START_MS: seconds since START_MS, with one decimal.
kestrova_elapsed() {
  local ms
  ms=$(($(kestrova_now_ms) - $1))
  printf '%d.%d\n' "$((ms / 1000))" "$((ms % 1000 / 100))"
}

# kestrova_wine_version: the version of the 64-bit loader.
kestrova_wine_version() {
  timeout 30 "$WINE64" --version 2>/dev/null || printf 'unknown\n'
}

# kestrova_start_xvfb WxH: starts a virtual display of that size and 24-bit
# depth on a display number that the X server itself finds free
# (-displayfd), waits until it accepts connections, and exports DISPLAY.
# Sets KESTROVA_XVFB_PID; kestrova_stop_xvfb ends it.
KESTROVA_XVFB_PID=
kestrova_start_xvfb() {
  local size=$1 numfile logfile num="" i
  [[ $size =~ ^[0-9]+x[0-9]+$ ]] || kestrova_die "display size '$size' is not WxH"
  numfile=$(mktemp "${TMPDIR:-/tmp}/kestrova-xvfb.XXXXXX")
  logfile="$numfile.log"
  Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$numfile" \
    >"$logfile" 2>&1 &
  KESTROVA_XVFB_PID=$!
  # The server writes the number once it is ready; it normally takes well
  # under a second.
  for ((i = 0; i < 200; i++)); do
    num=$(cat "$numfile")
    [[ $num =~ ^[0-9]+$ ]] && break
    if ! kill -0 "$KESTROVA_XVFB_PID" 2>/dev/null; then
      break
    fi
    sleep 0.05
  done
  if ! [[ $num =~ ^[0-9]+$ ]]; then
    kestrova_log "Xvfb did not start:"
    cat "$logfile" >&2
    rm -f "$numfile" "$logfile"
    kestrova_stop_xvfb
    exit 2
  fi
  rm -f "$numfile" "$logfile"
  export DISPLAY=":$num"
}

kestrova_stop_xvfb() {
  if [[ -n $KESTROVA_XVFB_PID ]]; then
    kill "$KESTROVA_XVFB_PID" 2>/dev/null || true
    wait "$KESTROVA_XVFB_PID" 2>/dev/null || true
    KESTROVA_XVFB_PID=
  fi
}
