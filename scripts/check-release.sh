#!/usr/bin/env bash
# check-release.sh FOLDER: checks a signed release (FOLDER holds its
# Kestrova.exe and Zelmunin.exe) against this checkout, without the key.
# The PE32 is built again in a folder of its own; the release's signed
# uninstaller, its signature removed, must be the one this build makes, and
# is then packed in its place; the release's installer, its signature
# removed, must then be that build byte for byte.  The host tools of
# build/host (scripts/build.sh) are reused.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
release=$(cd "${1:?usage: check-release.sh FOLDER}" && pwd)
work=$(mktemp -d /tmp/kestrova-check.XXXXXX)
trap 'rm -rf "$work"' EXIT
fail() { echo "check-release: $*" >&2; exit 1; }
[[ -f $release/Kestrova.exe && -f $release/Zelmunin.exe ]] ||
  fail "$release must hold Kestrova.exe and Zelmunin.exe"

if ! (env -u KESTROVA_SIGN_PFX KESTROVA_SIGNED_UNINSTALLER="$release/Zelmunin.exe" \
        cmake -S "$root" -B "$work/win32" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
        -DKESTROVA_HOST_TOOLS="$root/build/host" &&
      env -u KESTROVA_SIGN_PFX KESTROVA_SIGNED_UNINSTALLER="$release/Zelmunin.exe" \
        cmake --build "$work/win32" -j "$(nproc)" --target Kestrova) >"$work/build.log" 2>&1; then
  cat "$work/build.log" >&2
  fail "the build around the release's uninstaller failed (above)"
fi
osslsigncode remove-signature -in "$release/Kestrova.exe" -out "$work/Kestrova.unsigned.exe" \
  >/dev/null || fail "the release's installer carries no signature that can be removed"
cmp "$work/Kestrova.unsigned.exe" "$work/win32/Kestrova.exe" ||
  fail "the release's installer, its signature removed, is not this build"
echo "check-release: Zelmunin.exe and Kestrova.exe are this checkout's build, signed"
