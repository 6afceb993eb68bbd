#!/bin/bash
# A destination disk too small for the screensaver: drive E: is a 2 MiB file
# system, the screensaver 4 MiB. The copy fails once the disk is full, and
# the installation takes back what it did: the partly written screensaver is
# deleted, the folders it created are removed, and it registers nothing (no
# uninstall entry, shortcuts or remembered file name). Under -silent the run
# ends with exit code 2 and no window; in the wizard a box captioned like the
# wizard says "There was an error installing Aurora. Installation is not
# complete." and the wizard closes. The disk is left empty.
set -euo pipefail
here=$(dirname "$0")
source "$here/lib/wine.sh"
e2e_private_mounts "$@"
e2e_begin
source "$here/installer.sh"

failure_text='There was an error installing Aurora. Installation is not complete.'
disk=$E2E_TEST_DIR/disk
mkdir "$disk"
mount -t tmpfs -o size=2m tmpfs "$disk"
map_drive E "$disk"
package=$(pack_big_probe Aurora-setup.exe $((4 << 20)))
before=$(snapshot)

start=$(e2e_now_ms)
check_eq 2 "$(wine_run -t 60 "$package" -silent 'E:\Savers\Aurora')" "-silent onto a full disk ends with exit code 2"
no_window_appears '.' 0.5
echo "timing: silent run $(e2e_elapsed "$start")"
check_nothing_installed "-silent onto a full disk" "$disk/Savers"
check_eq "" "$(ls -A "$disk")" "-silent onto a full disk: the disk is left empty"
check_eq "$before" "$(snapshot)" "-silent onto a full disk: nothing written on drive C:"

start=$(e2e_now_ms)
handle=$(wine_run_bg "$package")
wizard=$(wait_window '^Aurora Setup$')
wizard_install_into "$wizard" 'E:\Aurora'
expect_failure_box "$wizard" "$handle" disk-full "$failure_text"
no_window_appears '.' 0.5
echo "timing: wizard $(e2e_elapsed "$start")"
check_nothing_installed "the wizard onto a full disk" "$disk/Aurora"
check_eq "" "$(ls -A "$disk")" "the wizard onto a full disk: the disk is left empty"
check_eq "$before" "$(snapshot)" "the wizard onto a full disk: nothing written on drive C:"
