#!/bin/bash
# A destination on a read-only file system (drive E:, a small disk mounted
# read-only, holding an empty folder Savers): a new folder there cannot be
# created ("Unable to create the directory..."), and in the existing folder
# no file can ("Unable to copy the files. Access is denied..."). Under -silent
# the run ends with exit code 2 and no window; in the wizard the message box
# appears and the wizard is back on the Directory page. Nothing is written
# or registered anywhere.
set -euo pipefail
here=$(dirname "$0")
source "$here/lib/wine.sh"
e2e_private_mounts "$@"
e2e_begin
source "$here/installer.sh"

disk=$E2E_TEST_DIR/disk
mkdir "$disk"
mount -t tmpfs -o size=2m tmpfs "$disk"
mkdir "$disk/Savers"
mount -o remount,ro "$disk"
! touch "$disk/probe" 2>/dev/null || fail "the disk was not made read-only"
map_drive E "$disk"

# folder|message
cases=(
  'E:\Aurora|Unable to create the directory. Please select a different directory.'
  'E:\Savers|Unable to copy the files. Access is denied. Please select a different directory.'
  'E:\|Unable to copy the files. Access is denied. Please select a different directory.'
)

package=$(pack_probe_bare Aurora-setup.exe)
before=$(snapshot)
for case in "${cases[@]}"; do
  IFS='|' read -r folder _ <<<"$case"
  check_eq 2 "$(wine_run -t 15 "$package" -silent "$folder")" "-silent $folder ends with exit code 2"
  no_window_appears '.' 0.5
  check_nothing_installed "-silent $folder" "$disk" Savers
done

handle=$(wine_run_bg "$package")
wizard=$(wait_window '^Aurora Setup$')
shot=1
for case in "${cases[@]}"; do
  IFS='|' read -r folder message <<<"$case"
  wizard_install_into "$wizard" "$folder"
  box=$(wait_window '^Screensaver Setup$')
  screenshot "message-$shot" >/dev/null
  check_eq "$message" "$(message_box_text 'Screensaver Setup')" "message for $folder"
  close_message_box "$box"
  wait_until 5 eval 'window_texts TSCRSetup "Aurora Setup" | grep -Fxq "Static: Select Destination Directory"' ||
    fail "back on the Directory page after the message for $folder"
  shot=$((shot + 1))
done
press_key "$wizard" alt+F4
wait_window_gone "$wizard" 10
check_eq 0 "$(wine_wait "$handle" 10)" "the wizard's run ends with exit code 0"

check_nothing_installed "the wizard" "$disk" Savers
check_eq "" "$(ls -A "$disk/Savers")" "the folder Savers stays empty"
check_eq "$before" "$(snapshot)" "nothing written on drive C:"
