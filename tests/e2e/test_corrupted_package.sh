#!/bin/bash
# A damaged package: under -silent the run ends with no window and exit code
# 1; without it the corrupted-file message box appears with the application
# title as caption, and closing it ends the run.
set -euo pipefail
source "$(dirname "$0")/lib/wine.sh"
e2e_begin

package="$E2E_TEST_DIR/Aurora-setup.exe"
"$SAVERPACK" build -o "$package" --stub "$SETUP_EXE" --screensaver "$PROBE_SCR" --title Aurora
# Damage the record signature and make the package an uninstaller, which
# examines it; then nothing of it may be trusted.
# PackageEnd: the check block follows the end signature.
end=$("$SAVERPACK" inspect --json "$package" | sed -n 's/^ *"PackageEnd": \([0-9]*\),$/\1/p')
printf 'XXXXXXXXXX' | dd of="$package" bs=1 seek=$((end - 10 - 16)) conv=notrunc status=none
printf 'ScUnin.sig' | dd of="$package" bs=1 seek=$((end - 10)) conv=notrunc status=none

code=$(wine_run "$package" -silent)
check_eq 1 "$code" "silent run of a damaged package ends with exit code 1"
no_window_appears '.' 1

handle=$(wine_run_bg "$package")
box=$(wait_window '^Screensaver Setup$')
screenshot corrupted >/dev/null
close_message_box "$box"
check_eq 0 "$(wine_wait "$handle")" "the reported run ends with exit code 0"
no_window_appears '.' 1

# A file that is no package at all: the plain stub.
cp "$SETUP_EXE" "$E2E_TEST_DIR/bare.exe"
check_eq 1 "$(wine_run "$E2E_TEST_DIR/bare.exe" -SILENT)" "a bare stub is no package"
