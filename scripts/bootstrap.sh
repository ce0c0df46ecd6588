#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need; quick when they
# are all there.  Never adds a foreign architecture: 32-bit Wine packages
# would replace the system's libraries and break the 64-bit Wine.  (The
# PE32's 32-bit Wine lives only inside the virtual machine that
# tests/harness/pe32-guest.sh builds with debootstrap and runs with qemu.)
set -euo pipefail

packages=(
  cmake make g++ clang libclang-rt-14-dev
  g++-mingw-w64-x86-64 g++-mingw-w64-i686 binutils-mingw-w64-x86-64 binutils-mingw-w64-i686
  wine wine64 xvfb xauth x11-utils
  googletest libgtest-dev
  imagemagick mscompress locales osslsigncode openssl
  debootstrap qemu-system-x86 e2fsprogs
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done

if ((${#missing[@]})); then
  echo "bootstrap: installing ${missing[*]}"
  sudo=""
  [[ $(id -u) -eq 0 ]] || sudo=sudo
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
