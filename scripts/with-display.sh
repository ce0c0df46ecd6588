#!/bin/bash
# with-display.sh CMD...: runs CMD on a virtual display of 1024 x 768 pixels
# and 24-bit depth, started for it on a free display number and stopped
# after it; exits with CMD's exit code.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source-path=SCRIPTDIR source=wine-env.sh
. "$here/wine-env.sh"

if [[ $# -eq 0 ]]; then
  printf 'usage: %s CMD [ARGS...]\n' "${0##*/}" >&2
  exit 2
fi

trap kestrova_stop_xvfb EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

kestrova_start_xvfb 1024x768
kestrova_log "DISPLAY=$DISPLAY"

rc=0
"$@" || rc=$?
exit "$rc"
