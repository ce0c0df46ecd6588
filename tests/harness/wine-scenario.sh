#!/bin/bash
# wine-scenario.sh [OPTIONS] PROGRAM.exe [ARGS...]: runs one Windows test
# program under wine64 in a fresh copy of the template prefix, with a Wine
# server of its own (so that runs may go on at once), and exits with the
# program's exit code (124 when it timed out).
#
#   --template DIR     the template prefix (scripts/wine-template.sh makes it)
#   --artifacts DIR    screenshots and log; emptied first, *.bmp made PNG after
#   --display WxH      a virtual display of its own (else the DISPLAY given)
#   --env VAR=VALUE    set inside Wine; WINEDLLOVERRIDES adds to ours
#   --timeout SECONDS  bound on the run (default 120)
# KESTROVA_SMALL_DRIVE=L:SIZE maps drive L: to a tmpfs of SIZE that fills
# up (mounting needs root; without it the run fails).
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../scripts" && pwd)
# shellcheck source=scripts/wine-env.sh
. "$here/wine-env.sh"

template='' artifacts='' display_size='' run_timeout=120 wine_env=()
while [[ $# -gt 0 ]]; do
  case $1 in
  --template) template=$2; shift 2 ;;
  --artifacts) artifacts=$2; shift 2 ;;
  --display) display_size=$2; shift 2 ;;
  --timeout) run_timeout=$2; shift 2 ;;
  --env)
    case $2 in
    WINEDLLOVERRIDES=*) wine_env+=("WINEDLLOVERRIDES=$WINEDLLOVERRIDES;${2#*=}") ;;
    *=*) wine_env+=("$2") ;;
    *) kestrova_die "--env needs VAR=VALUE" ;;
    esac
    shift 2
    ;;
  -*) kestrova_die "unknown option $1" ;;
  *) break ;;
  esac
done
[[ $# -ge 1 && -f ${1:-} && -f "$template/$KESTROVA_TEMPLATE_MARKER" ]] ||
  kestrova_die "no program, or no template prefix made by scripts/wine-template.sh"
[[ -z $artifacts ]] || { mkdir -p "$artifacts" && rm -f "$artifacts"/*.{bmp,png,log}; }

prefix='' small_mount=''
# shellcheck disable=SC2317  # runs from the EXIT trap
cleanup() {
  local rc=$? bmp
  if [[ -n $prefix ]]; then
    timeout 30 "$WINESERVER" -k 2>/dev/null || true
    timeout 30 "$WINESERVER" -w 2>/dev/null || true
    rm -rf "$prefix"
  fi
  [[ -z $small_mount ]] || { umount "$small_mount" && rmdir "$small_mount"; } 2>/dev/null || true
  kestrova_stop_xvfb
  for bmp in "${artifacts:-/nonexistent}"/*.bmp; do
    [[ -f $bmp ]] && convert "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"
  done
  exit "$rc"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

prefix=$(mktemp -d "${TMPDIR:-/tmp}/kestrova-wine.XXXXXX")
cp -a "$template/." "$prefix/"
export WINEPREFIX=$prefix
if [[ -n ${KESTROVA_SMALL_DRIVE:-} ]]; then
  [[ $KESTROVA_SMALL_DRIVE =~ ^([a-yA-Y]):([0-9]+[kKmM]?)$ ]] ||
    kestrova_die "KESTROVA_SMALL_DRIVE needs L:SIZE, e.g. s:16k"
  letter=${BASH_REMATCH[1],,}
  small_mount=$(mktemp -d "${TMPDIR:-/tmp}/kestrova-small.XXXXXX")
  # Writable by its owner alone, as a drive's root is: the installer
  # refuses one that every user may change.
  mount -t tmpfs -o "size=${BASH_REMATCH[2]},mode=755" tmpfs "$small_mount" ||
    kestrova_die "cannot mount a small drive $letter: (mounting needs root)"
  ln -sfn "$small_mount" "$prefix/dosdevices/$letter:"
fi
[[ -z $display_size ]] || kestrova_start_xvfb "$display_size"

# One server for the whole run: the test program and the programs it
# starts must not lose each other when one of them is briefly alone.
timeout 30 "$WINESERVER" -p || kestrova_die "the Wine server did not start"
start=$(kestrova_now_ms)
rc=0
env ${wine_env[@]+"${wine_env[@]}"} \
  timeout --kill-after=10 "$run_timeout" "$WINE64" "$@" || rc=$?
kestrova_log "${1##*/} ran $(kestrova_elapsed "$start") s, exit code $rc"
exit "$rc"
