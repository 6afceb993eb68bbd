#!/bin/bash
# Unattended removal: the uninstaller started the way the entry's
# QuietUninstallString says asks nothing, opens no window, removes the
# installation and its own file, and ends with exit code 0. An uninstall
# entry of the same title under HKEY_CURRENT_USER that names another
# uninstaller belongs to another installation and stays.
set -euo pipefail
here=$(dirname "$0")
source "$here/lib/wine.sh"
e2e_begin
source "$here/installer.sh"

log_probe_runs  # elsewhere than beside the screensaver
package=$(pack_probe Aurora-setup.exe --web https://example.org/aurora)
check_eq 0 "$(wine_run "$package" -silent)" "silent installation"
folder="$(program_files)/Aurora"
uninstaller_win="$PROGRAM_FILES\\Aurora\\uninstall probe.exe"
check_eq "\"$uninstaller_win\" -quiet" "$(reg_query "$UNINSTALL_KEY" QuietUninstallString)" \
  "QuietUninstallString"
check_eq https://example.org/aurora "$(reg_query "$UNINSTALL_KEY" URLInfoAbout)" "URLInfoAbout"
other_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Aurora'
reg_set "$other_key" UninstallString REG_SZ '"C:\Other\uninstall probe.exe"'

handle=$(wine_run_bg "$uninstaller_win" -QUIET)
no_window_appears '.' 3
check_eq 0 "$(wine_wait "$handle")" "the quiet uninstaller exits with 0"
wait_for_no_file "$folder/uninstall probe.exe"
no_window_appears '.' 3
check_eq "" "$(ls -A "$folder")" "the installation folder is left empty"
check '! reg_key_exists "$UNINSTALL_KEY"' "its uninstall entry removed"
check_eq '"C:\Other\uninstall probe.exe"' "$(reg_query "$other_key" UninstallString)" \
  "the entry naming another uninstaller stays"
check '[[ ! -e "$(user_desktop)/Preview Aurora.lnk" ]]' "desktop link removed"
check '[[ ! -e "$(user_programs)/Aurora" ]]' "program group removed"
check '! reg_query "$SETTINGS_KEY" FileName_ >/dev/null' "remembered file name removed"
