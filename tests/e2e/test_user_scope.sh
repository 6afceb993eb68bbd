#!/bin/bash
# A user-scope package: its installer asks for no elevation, installs into
# the user's own programs folder with the uninstall entry under
# HKEY_CURRENT_USER and nothing under HKEY_LOCAL_MACHINE, and its uninstaller
# removes all of it.
set -euo pipefail
here=$(dirname "$0")
source "$here/lib/wine.sh"
e2e_begin
source "$here/installer.sh"

log_probe_runs
package=$(pack_probe_bare Aurora-setup.exe --scope user)
check_eq user "$(package_field "$package" InstallScope)" "inspect shows the scope"
check_eq 1 "$(grep -c 'level="asInvoker"' "$package")" "the package's installer asks for no elevation"
check_eq 0 "$(grep -c 'highestAvailable' "$package")" "and nothing else"

user_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Aurora'
own_folder="$(user_profile)/AppData/Local/Programs/Aurora"
own_win=$(win_path "$own_folder")
check_eq 0 "$(wine_run "$package" -silent)" "silent installation"
check 'cmp -s "$PROBE_SCR" "$own_folder/probe.scr"' "installed into the user's programs folder"
check '[[ ! -e $(program_files)/Aurora ]]' "nothing in the program files folder"
check_eq "\"$own_win\\uninstall probe.exe\"" "$(reg_query "$user_key" UninstallString)" \
  "the entry under HKEY_CURRENT_USER"
check '! reg_key_exists "$UNINSTALL_KEY"' "nothing under HKEY_LOCAL_MACHINE"
check_link "$(user_programs)/Aurora/Uninstall Aurora.lnk" "$own_win\\uninstall probe.exe"

check_eq 0 "$(wine_run "$own_win\\uninstall probe.exe" -quiet)" "quiet removal"
wait_for_no_file "$own_folder/uninstall probe.exe"
check_eq "" "$(ls -A "$own_folder")" "the installation folder is left empty"
check '! reg_key_exists "$user_key"' "the entry under HKEY_CURRENT_USER removed"
check '! reg_key_exists "$UNINSTALL_KEY"' "still nothing under HKEY_LOCAL_MACHINE"
check '[[ ! -e "$(user_programs)/Aurora" ]]' "program group removed"
