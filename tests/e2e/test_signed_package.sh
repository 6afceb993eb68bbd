#!/bin/bash
# A package signed with Authenticode (a throwaway certificate): the appended
# signature verifies, does not disturb loading, and the uninstaller the
# signed package writes is a well-formed unsigned executable.
set -euo pipefail
here=$(dirname "$0")
source "$here/lib/wine.sh"
e2e_begin
source "$here/installer.sh"

package=$(pack_probe Aurora-setup.exe)
keys=$E2E_TEST_DIR/keys
mkdir -p "$keys"
openssl req -x509 -newkey rsa:2048 -nodes -keyout "$keys/key.pem" -out "$keys/cert.pem" \
  -days 2 -subj "/CN=Screensaver Setup test" 2>/dev/null || fail "making a certificate failed"
signed=$E2E_TEST_DIR/Aurora-signed.exe
osslsigncode sign -certs "$keys/cert.pem" -key "$keys/key.pem" -n "Aurora" \
  -in "$package" -out "$signed" >"$E2E_TEST_DIR/sign.log" 2>&1 || fail "signing failed, see sign.log"
check 'osslsigncode verify -CAfile "$keys/cert.pem" -in "$signed" >"$E2E_TEST_DIR/verify.log" 2>&1' \
  "the signed package verifies"
check '(( $(stat -c %s "$signed") > $(stat -c %s "$package") ))' "the signature is appended"
check '"$SAVERPACK" inspect "$signed" >/dev/null' "the signed package still reads as a package"
check '"$SAVERPACK" inspect --verify "$signed" >/dev/null' \
  "the check block after the end signature still matches the signed package"

check_eq 0 "$(wine_run "$signed" -silent)" "silent installation of the signed package"
folder="$(program_files)/Aurora"
check 'cmp -s "$PROBE_SCR" "$folder/probe.scr"' "installed screensaver is byte-identical to the payload"

uninstaller="$folder/uninstall probe.exe"
security=$("$E2E_MINGW-objdump" -p "$uninstaller" | awk '/Security Directory/ {print $3 $4}')
# Address and size of the entry, 8 or 16 hex digits each by architecture.
check '[[ $security =~ ^0{16,}$ ]]' "the uninstaller's certificate table entry is cleared (it holds $security)"
checksum=$("$E2E_MINGW-objdump" -p "$uninstaller" | awk '/^CheckSum/ {print $2}')
check_eq 00000000 "$checksum" "the uninstaller's checksum is cleared"
check '! osslsigncode verify -in "$uninstaller" >/dev/null 2>&1' "the uninstaller carries no signature"
check '"$SAVERPACK" inspect "$uninstaller" | grep -q uninstaller' "the uninstaller reads as an uninstaller package"
