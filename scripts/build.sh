#!/usr/bin/env bash
# Builds everything: the host tools and unit tests (build/host), then the
# 64-bit twin (build/win64) and the shipping PE32 (build/win32), which need
# the host tools to pack and describe the product files.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

"$root/scripts/bootstrap.sh"

jobs=${KESTROVA_JOBS:-$(nproc)}

configure() {   # folder, extra arguments
  local dir=$1; shift
  if [[ ! -f "$dir/CMakeCache.txt" ]]; then
    cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
  fi
}

configure build/host -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
cmake --build build/host -j "$jobs"

for target in win64:x86_64 win32:i686; do
  dir=build/${target%%:*}
  configure "$dir" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-${target##*:}.cmake" \
    -DKESTROVA_HOST_TOOLS="$root/build/host"
  # The two signed programs are signed as they are linked (tools/sign-pe.sh,
  # with KESTROVA_SIGN_PFX and KESTROVA_SIGN_PASSWORD_FILE): a change of
  # certificate, or none, links them again.
  signer="${KESTROVA_SIGN_PFX:-unsigned}"
  if [[ "$(cat "$dir/signed-with" 2>/dev/null)" != "$signer" ]]; then
    rm -f "$dir/product/Zelmunin.exe" "$dir/Kestrova.exe"
    printf '%s\n' "$signer" >"$dir/signed-with"
  fi
  cmake --build "$dir" -j "$jobs"
done

# What a user compares with a published installer (README, "Reproducing a
# release").
sha256sum build/win32/Kestrova.exe
