#!/bin/bash
# A package whose screensaver was changed after it was built (one bit flipped
# in the middle of it, as a bad download or a failing disk might): the package
# reads well, but the screensaver's check sum no longer matches the one its
# check block carries, which the installer finds as it copies. It reports "The
# file is corrupted. Setup can not continue." (captioned with the application
# title) and the wizard closes; under -silent the run ends with exit code 1
# and no window. Nothing of the copy is left: no screensaver, no folder the
# run created, no registration. A flipped bit in the readme or the record is
# found as the package is read, before any window.
set -euo pipefail
here=$(dirname "$0")
source "$here/lib/wine.sh"
e2e_begin
source "$here/installer.sh"

package=$(pack_big_probe Aurora-setup.exe $((4 << 20)))
check_eq present "$(package_field "$package" CheckBlock)" "saverpack writes the check block"
flip_byte "$package" $(($(package_field "$package" StubSize) + (2 << 20)))
check_eq no "$(package_field "$package" CheckMatchesFile)" "the package no longer matches its check block"
before=$(snapshot)

check_eq 1 "$(wine_run -t 60 "$package" -silent 'C:\Savers\Aurora')" "-silent with a damaged screensaver ends with exit code 1"
no_window_appears '.' 0.5
check_nothing_installed "-silent" "$(drive_c)/Savers"
check_eq "$before" "$(snapshot)" "-silent: nothing written on drive C:"

handle=$(wine_run_bg "$package")
wizard=$(wait_window '^Aurora Setup$')
wizard_install_into "$wizard" 'C:\Aurora'
box=$(wait_window '^Screensaver Setup$' 60)
screenshot corrupted >/dev/null
check_eq 'The file is corrupted. Setup can not continue.' "$(message_box_text 'Screensaver Setup')" \
  "message for the damaged screensaver"
close_message_box "$box"
wait_window_gone "$wizard" 10
check_eq 0 "$(wine_wait "$handle" 10)" "the wizard's run ends with exit code 0"
check_nothing_installed "the wizard" "$(drive_c)/Aurora"
check_eq "$before" "$(snapshot)" "the wizard: nothing written on drive C:"

# The readme and the record are checked when the package is read, before any
# window: one flipped bit in either ends a silent run with exit code 1 and
# nothing written.
full=$(pack_probe Full-setup.exe)
package_end=$(package_field "$full" PackageEnd)
readme_start=$((package_end - 946 - $(package_field "$full" ExtrasSize)))
for case in "readme|$((readme_start + 5))" "record title|$((package_end - 946 + 0x104))" \
            "record flags|$((package_end - 946 + 0x18a))"; do
  what=${case%%|*}
  damaged=$E2E_TEST_DIR/damaged.exe
  cp "$full" "$damaged"
  flip_byte "$damaged" "${case#*|}"
  check_eq no "$(package_field "$damaged" CheckMatchesFile)" "$what: the package no longer matches its check block"
  check_eq 1 "$(wine_run -t 30 "$damaged" -silent 'C:\Savers\Aurora')" "-silent with a damaged $what ends with exit code 1"
  no_window_appears '.' 0.5
  check_nothing_installed "-silent, damaged $what" "$(drive_c)/Savers"
  check_eq "$before" "$(snapshot)" "-silent, damaged $what: nothing written on drive C:"
done
