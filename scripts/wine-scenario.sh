#!/bin/bash
# wine-scenario.sh [OPTIONS] PROGRAM.exe [ARGS...]
#
# Runs one Windows test program under wine64 in a fresh copy of the template
# prefix and exits with the program's exit code (124 when it timed out).
# Several runs may go on at once: each has its own prefix, and so its own
# Wine server.
#
# Options (each may also come from the environment variable named):
#   --template DIR    template prefix made by wine-template.sh
#                     (KESTROVA_WINE_TEMPLATE)
#   --artifacts DIR   folder of the run's screenshots and log; made if
#                     missing, emptied of old ones first, and every *.bmp
#                     left in it is turned into a PNG after the run
#                     (KESTROVA_ARTIFACTS)
#   --display WxH     run on a virtual display of its own of that size and
#                     24-bit depth (KESTROVA_DISPLAY_SIZE); without it the
#                     DISPLAY given is used
#   --env VAR=VALUE   set VAR inside Wine, for instance LANG; may be given
#                     more than once.  WINEDLLOVERRIDES is added to the
#                     overrides of wine-env.sh rather than replacing them.
#   --timeout SECONDS bound on the program's run (KESTROVA_WINE_TIMEOUT,
#                     default 120)
#   --small-drive L:SIZE  map Wine drive L: to a tmpfs of SIZE (e.g. s:16k),
#                     a drive that fills up (KESTROVA_SMALL_DRIVE); needs
#                     the right to mount, and fails the run without it
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source-path=SCRIPTDIR source=wine-env.sh
. "$here/wine-env.sh"

usage() {
  sed -n '2,/^set -euo/p' "${BASH_SOURCE[0]}" | sed '$d; s/^# \{0,1\}//' >&2
  exit "${1:-2}"
}

template=${KESTROVA_WINE_TEMPLATE:-}
artifacts=${KESTROVA_ARTIFACTS:-}
display_size=${KESTROVA_DISPLAY_SIZE:-}
small_drive=${KESTROVA_SMALL_DRIVE:-}
run_timeout=${KESTROVA_WINE_TIMEOUT:-120}
wine_env=()

while [[ $# -gt 0 ]]; do
  case $1 in
  --template) template=${2:?--template needs a folder}; shift 2 ;;
  --artifacts) artifacts=${2:?--artifacts needs a folder}; shift 2 ;;
  --display) display_size=${2:?--display needs WxH}; shift 2 ;;
  --env)
    [[ ${2:-} == [A-Za-z_]*=* ]] || kestrova_die "--env needs VAR=VALUE"
    wine_env+=("$2")
    shift 2
    ;;
  --timeout) run_timeout=${2:?--timeout needs seconds}; shift 2 ;;
  --small-drive) small_drive=${2:?--small-drive needs L:SIZE}; shift 2 ;;
  --help | -h) usage 0 ;;
  --) shift; break ;;
  -*) kestrova_die "unknown option $1" ;;
  *) break ;;
  esac
done
[[ $# -ge 1 ]] || usage
program=$1
shift

[[ -n $template ]] || kestrova_die "no template prefix given (--template)"
[[ -f "$template/$KESTROVA_TEMPLATE_MARKER" ]] ||
  kestrova_die "$template is not a finished template prefix (run wine-template.sh)"
[[ -f $program ]] || kestrova_die "no program $program"
[[ $run_timeout =~ ^[0-9]+$ ]] || kestrova_die "--timeout needs whole seconds"

# Overrides asked for by a test come after ours, so they win for the
# libraries they name and ours stay for the rest.
for i in "${!wine_env[@]}"; do
  if [[ ${wine_env[$i]} == WINEDLLOVERRIDES=* ]]; then
    wine_env[i]="WINEDLLOVERRIDES=$WINEDLLOVERRIDES;${wine_env[$i]#WINEDLLOVERRIDES=}"
  fi
done

if [[ -n $artifacts ]]; then
  mkdir -p "$artifacts"
  rm -f "$artifacts"/*.bmp "$artifacts"/*.png "$artifacts"/*.log
fi

prefix=
wineserver_started=0
small_mount=

# The functions below run from the EXIT trap.
# shellcheck disable=SC2317
convert_screenshots() {
  local bmp
  [[ -n $artifacts && -d $artifacts ]] || return 0
  for bmp in "$artifacts"/*.bmp; do
    [[ -f $bmp ]] || continue
    if convert "$bmp" "${bmp%.bmp}.png"; then
      rm -f "$bmp"
    else
      kestrova_log "could not convert $bmp; kept as it is"
    fi
  done
}

# The server keeps its socket in a folder named after the prefix's device
# and inode, under the temporary folder that the prefix's file "wineserver"
# names (Debian's Wine); each run removes its own.
# shellcheck disable=SC2317
server_dir() {
  local tmpname dev inode
  [[ -f "$prefix/wineserver" ]] || return 0
  tmpname=$(cat "$prefix/wineserver")
  [[ $tmpname =~ ^wine-[A-Za-z0-9]+$ ]] || return 0
  dev=$(stat -c '%D' "$prefix")
  inode=$(stat -c '%i' "$prefix")
  printf '/tmp/%s/server-%s-%x\n' "$tmpname" "$dev" "$inode"
}

# shellcheck disable=SC2317
cleanup() {
  local rc=$? socket_dir='' start
  start=$(kestrova_now_ms)
  if [[ -n $prefix && -d $prefix ]]; then
    socket_dir=$(server_dir)
  fi
  if [[ $wineserver_started -eq 1 ]]; then
    timeout 30 "$WINESERVER" -k 2>/dev/null || true
    timeout 30 "$WINESERVER" -w 2>/dev/null || true
  fi
  if [[ -n $socket_dir && -d $socket_dir ]]; then
    rm -rf "$socket_dir"
  fi
  if [[ -n $small_mount ]]; then
    umount "$small_mount" 2>/dev/null || true
    rmdir "$small_mount" 2>/dev/null || true
  fi
  if [[ -n $prefix && -d $prefix ]]; then
    rm -rf "$prefix"
  fi
  kestrova_stop_xvfb
  convert_screenshots
  kestrova_log "cleaned up in $(kestrova_elapsed "$start") s"
  exit "$rc"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

prefix=$(mktemp -d "${TMPDIR:-/tmp}/kestrova-wine.XXXXXX")
start=$(kestrova_now_ms)
cp -a "$template/." "$prefix/"
kestrova_log "prefix $prefix copied in $(kestrova_elapsed "$start") s"
export WINEPREFIX=$prefix

if [[ -n $small_drive ]]; then
  [[ $small_drive =~ ^([a-yA-Y]):([0-9]+[kKmM]?)$ ]] ||
    kestrova_die "--small-drive needs L:SIZE, e.g. s:16k"
  letter=$(tr '[:upper:]' '[:lower:]' <<<"${BASH_REMATCH[1]}")
  small_mount=$(mktemp -d "${TMPDIR:-/tmp}/kestrova-small.XXXXXX")
  mount -t tmpfs -o "size=${BASH_REMATCH[2]}" tmpfs "$small_mount" ||
    kestrova_die "cannot mount a small tmpfs for drive $letter: (mounting needs root)"
  ln -sfn "$small_mount" "$prefix/dosdevices/$letter:"
  kestrova_log "drive $letter: is a tmpfs of ${BASH_REMATCH[2]}"
fi

if [[ -n $display_size ]]; then
  kestrova_start_xvfb "$display_size"
  kestrova_log "display $DISPLAY (${display_size}x24)"
fi

# One server for the whole run: the test program and the programs that it
# starts must not lose each other when one of them is briefly alone.
timeout 30 "$WINESERVER" -p || kestrova_die "the Wine server did not start"
wineserver_started=1

start=$(kestrova_now_ms)
rc=0
env ${wine_env[@]+"${wine_env[@]}"} \
  timeout --kill-after=10 "$run_timeout" "$WINE64" "$program" "$@" || rc=$?
if [[ $rc -eq 124 || $rc -eq 137 ]]; then
  kestrova_log "${program##*/} timed out after $run_timeout s"
fi
kestrova_log "${program##*/} ran $(kestrova_elapsed "$start") s, exit code $rc"
exit "$rc"
