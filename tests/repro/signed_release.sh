#!/usr/bin/env bash
# signed_release.sh [ROOT]: signs a build of the PE32 with a throwaway
# certificate, checks both signatures with osslsigncode, then checks that
# release as someone without the key would (scripts/check-release.sh), and
# that the check refuses a release whose uninstaller is another program.
set -euo pipefail
root=$(cd "${1:-$(dirname "$0")/../..}" && pwd)
work=$(mktemp -d /tmp/kestrova-signed.XXXXXX)
trap 'rm -rf "$work"' EXIT
fail() { echo "signed_release: $*" >&2; exit 1; }
cd "$work"

printf 'throwaway\n' >password
openssl req -x509 -newkey rsa:2048 -nodes -keyout key.pem -out cert.pem -days 1 \
  -subj "/CN=Kestrova throwaway" 2>/dev/null
openssl pkcs12 -export -inkey key.pem -in cert.pem -out cert.pfx -passout file:password

signed=(env KESTROVA_SIGN_PFX="$work/cert.pfx" KESTROVA_SIGN_PASSWORD_FILE="$work/password")
if ! ("${signed[@]}" cmake -S "$root" -B win32 -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
        -DKESTROVA_HOST_TOOLS="$root/build/host" &&
      "${signed[@]}" cmake --build win32 -j "$(nproc)" --target Kestrova) >build.log 2>&1; then
  cat build.log >&2
  fail "the signed build failed"
fi
mkdir release
cp win32/Kestrova.exe win32/product/Zelmunin.exe release/
for program in release/*.exe; do
  osslsigncode verify -CAfile cert.pem -in "$program" >verify.log 2>&1 ||
    { cat verify.log >&2; fail "$program: its signature does not verify"; }
done
echo "signed_release: both programs signed and verified"

"$root/scripts/check-release.sh" release || fail "the signed release did not check"
cp release/Kestrova.exe release/Zelmunin.exe
if "$root/scripts/check-release.sh" release 2>check.log; then
  fail "a release whose uninstaller is the installer passed the check"
fi
grep -q "is not the one this build makes" check.log || { cat check.log >&2; fail "refused for another reason"; }
echo "signed_release: a release with another uninstaller is refused"
