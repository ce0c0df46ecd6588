#!/usr/bin/env bash
# sign-pe.sh FILE: run on the uninstaller and the installer after each is
# linked (the uninstaller before the installer packs it).
#
# Signing: given KESTROVA_SIGN_PFX (a PKCS#12 file with the certificate and
# its key) and KESTROVA_SIGN_PASSWORD_FILE (a file whose first line is its
# password), FILE is signed in place with SHA-256.  Without them it stays
# unsigned, as an ordinary build leaves it.
#
# Checking a release (scripts/check-release.sh): given
# KESTROVA_SIGNED_UNINSTALLER, the release's signed Zelmunin.exe must be
# this build's with its signature removed, byte for byte; it then takes the
# built one's place, so that the installer is rebuilt around it.
set -euo pipefail
file=$1
name=$(basename "$file")
fail() { echo "sign-pe: $name: $*" >&2; exit 1; }

if [[ -n ${KESTROVA_SIGNED_UNINSTALLER:-} ]]; then
  [[ $name == Zelmunin.exe ]] || exit 0
  unsigned=$(mktemp)
  trap 'rm -f "$unsigned" "$unsigned.out"' EXIT
  osslsigncode remove-signature -in "$KESTROVA_SIGNED_UNINSTALLER" -out "$unsigned.out" >/dev/null ||
    fail "cannot remove the signature of $KESTROVA_SIGNED_UNINSTALLER"
  cmp -s "$unsigned.out" "$file" ||
    fail "the release's uninstaller, its signature removed, is not the one this build makes"
  cp "$KESTROVA_SIGNED_UNINSTALLER" "$file"
  exit 0
fi

[[ -n ${KESTROVA_SIGN_PFX:-} ]] || exit 0
[[ -f $KESTROVA_SIGN_PFX && -f ${KESTROVA_SIGN_PASSWORD_FILE:-} ]] ||
  fail "KESTROVA_SIGN_PFX and KESTROVA_SIGN_PASSWORD_FILE must name existing files"
rm -f "$file.signed"
osslsigncode sign -pkcs12 "$KESTROVA_SIGN_PFX" -readpass "$KESTROVA_SIGN_PASSWORD_FILE" \
  -h sha256 -n "Quorvik 3.02" -i "https://www.halvenor.com/" \
  -in "$file" -out "$file.signed" >/dev/null || fail "signing failed"
mv "$file.signed" "$file"
echo "sign-pe: $name signed"
