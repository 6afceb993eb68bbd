#!/bin/bash
# Signed from build to removal: "saverpack build --sign" (osslsigncode with a
# throwaway CA and code-signing certificate) signs the package and the
# uninstallers it writes. The installed uninstaller verifies, for a name the
# short-name rule leaves alone and for one it rewrites, under a Windows
# version where the rule applies and one where it does not; so does the
# temporary copy that removes it, a byte copy. A flipped byte in a stored
# table is a damaged package. A package built without --sign, or signed by
# hand afterwards, installs with an unsigned uninstaller.
set -euo pipefail
here=$(dirname "$0")
source "$here/lib/wine.sh"
e2e_begin
source "$here/installer.sh"

keys=$E2E_TEST_DIR/keys
mkdir -p "$keys"
(
  cd "$keys"
  openssl req -x509 -newkey rsa:2048 -nodes -keyout ca.key -out ca.pem -days 2 \
    -subj "/CN=Screensaver Setup test CA" -addext "basicConstraints=critical,CA:TRUE" \
    -addext "keyUsage=critical,keyCertSign"
  openssl req -newkey rsa:2048 -nodes -keyout signer.key -out signer.csr -subj "/CN=Aurora Makers"
  printf 'basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=codeSigning\n' \
    >signer.ext
  openssl x509 -req -in signer.csr -CA ca.pem -CAkey ca.key -CAcreateserial -days 2 \
    -extfile signer.ext -out signer.pem
) >"$E2E_TEST_DIR/keys.log" 2>&1 || fail "making the certificates failed, see keys.log"
sign_command="osslsigncode sign -certs '$keys/signer.pem' -key '$keys/signer.key' -n Aurora \
-in {file} -out {file}.signed && mv {file}.signed {file}"

# Whether FILE carries a signature that verifies against the test CA.
verifies() {
  echo "== $1" >>"$E2E_TEST_DIR/verify.log"
  osslsigncode verify -CAfile "$keys/ca.pem" -in "$1" >>"$E2E_TEST_DIR/verify.log" 2>&1
}

package=$(pack_probe Aurora-setup.exe --sign "$sign_command")
check 'verifies "$package"' "the package verifies"
check '"$SAVERPACK" inspect --verify "$package" >/dev/null' "the package's check block and store match"

# A name the rule leaves alone; the installed uninstaller, then the
# temporary copy that removes it.
check_eq 0 "$(wine_run "$package" -silent)" "silent installation"
uninstaller="$(program_files)/Aurora/uninstall probe.exe"
check 'verifies "$uninstaller"' "the installed uninstaller verifies"
cp "$uninstaller" "$E2E_TEST_DIR/installed-uninstaller.exe"
uninstall_confirmed "$PROGRAM_FILES\\Aurora\\uninstall probe.exe"
pending=$(reg_query 'HKLM\System\CurrentControlSet\Control\Session Manager' PendingFileRenameOperations || true)
copy=$(grep -oi 'C:\\[^?]*vornexuninst[^.]*\.exe' <<<"$pending" | head -n1) ||
  fail "no temporary copy waits for deletion (pending: $pending)"
copy=$(unix_path "$copy")
check 'cmp -s "$copy" "$E2E_TEST_DIR/installed-uninstaller.exe"' "the temporary copy is a byte copy"
check 'verifies "$copy"' "the temporary copy verifies"

# A name the rule rewrites, where the rule applies and where it does not.
cp "$PROBE_SCR" "$E2E_TEST_DIR/Aurora Borealis.scr"
long=$E2E_TEST_DIR/Borealis-setup.exe
"$SAVERPACK" build -o "$long" --stub "$SETUP_EXE" --screensaver "$E2E_TEST_DIR/Aurora Borealis.scr" \
  --title Borealis --sign "$sign_command" >/dev/null || fail "saverpack build --sign failed"
for entry in "win98|Aurora Borealis" "win7|Aurora_B"; do
  IFS='|' read -r version name <<<"$entry"
  reg_set 'HKCU\Software\Wine' Version REG_SZ "$version"
  check_eq 0 "$(wine_run "$long" -silent "C:\\Versions\\$version")" "$version: silent installation"
  check 'verifies "$(drive_c)/Versions/$version/uninstall $name.exe"' \
    "$version: 'uninstall $name.exe' verifies (found: $(ls "$(drive_c)/Versions/$version" | tr '\n' ' '))"
done
reg_set 'HKCU\Software\Wine' Version REG_SZ win7

# A flipped byte in the stored table: the check block's BlockSize (after its
# 8-byte tag and format) says where the store starts.
damaged=$E2E_TEST_DIR/damaged-setup.exe
cp "$package" "$damaged"
tag=$(grep -obUa SCRcheck "$damaged" | tail -n1 | cut -d: -f1)
block_size=$(od -An -tu2 -j $((tag + 10)) -N2 "$damaged" | tr -d ' ')
flip_byte "$damaged" $((tag + block_size + 100))
check_eq 1 "$(wine_run "$damaged" -silent 'C:\Damaged')" "a damaged stored table ends the silent run with 1"
check '[[ ! -e "$(drive_c)/Damaged" ]]' "the damaged package installs nothing"

# Without --sign, and signed by hand after the build: unsigned uninstallers.
plain=$(pack_probe_bare Plain-setup.exe)
by_hand=$E2E_TEST_DIR/ByHand-setup.exe
osslsigncode sign -certs "$keys/signer.pem" -key "$keys/signer.key" -in "$plain" -out "$by_hand" \
  >>"$E2E_TEST_DIR/sign.log" 2>&1 || fail "signing by hand failed, see sign.log"
check 'verifies "$by_hand"' "the package signed by hand verifies"
for setup in "$plain" "$by_hand"; do
  what=$(basename "$setup")
  folder="C:\\Unsigned\\${what%-setup.exe}"
  check_eq 0 "$(wine_run "$setup" -silent "$folder")" "$what: silent installation"
  check '[[ -f "$(unix_path "$folder")/uninstall probe.exe" ]]' "$what: uninstaller written"
  check '! verifies "$(unix_path "$folder")/uninstall probe.exe"' "$what: the uninstaller is unsigned"
done
