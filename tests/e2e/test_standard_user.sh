#!/bin/bash
# A machine-scope package run by a user who may write neither the program
# files folder (made immutable from Linux) nor the uninstall entry under
# HKEY_LOCAL_MACHINE (its key denied by a security descriptor): the
# installation goes to the user's own programs folder, silently and in the
# wizard, with its uninstall entry under HKEY_CURRENT_USER, and the
# uninstaller removes it from there. "-silent FOLDER" with the locked folder
# still fails with exit code 2.
set -euo pipefail
here=$(dirname "$0")
source "$here/lib/wine.sh"
e2e_begin
source "$here/installer.sh"

locked=$(program_files)
unlock_at_end "$locked"
chattr +i "$locked" && ! touch "$locked/probe" 2>/dev/null ||
  fail "cannot make $locked unwritable with chattr +i (needs root on ext4)"

entry_path='Software\Microsoft\Windows\CurrentVersion\Uninstall\Aurora'
denied=$("$E2E_WINE" "$(build_helper deny_key)" "$entry_path" </dev/null 2>>"$E2E_TEST_DIR/wine.log")
check_eq "" "$denied" "the machine's uninstall entry is denied"
user_key="HKCU\\$entry_path"
own_folder="$(user_profile)/AppData/Local/Programs/Aurora"
own_win=$(win_path "$own_folder")

# A folder given on the command line is used as given.
package=$(pack_probe_bare Aurora-setup.exe)
check_eq 2 "$(wine_run -t 30 "$package" -silent "$PROGRAM_FILES\\Aurora")" \
  "-silent with the locked folder ends with exit code 2"

# Silently: the user's own folder and entry.
check_eq 0 "$(wine_run "$package" -silent)" "-silent without a folder installs for the user"
no_window_appears '.' 1
check 'cmp -s "$PROBE_SCR" "$own_folder/probe.scr"' "installed into the user's programs folder"
check_eq "\"$own_win\\uninstall probe.exe\"" "$(reg_query "$user_key" UninstallString)" \
  "the entry under HKEY_CURRENT_USER names the uninstaller"
check_eq "\"$own_win\\uninstall probe.exe\" -quiet" "$(reg_query "$user_key" QuietUninstallString)" \
  "QuietUninstallString"
check_eq "" "$(reg_values "$UNINSTALL_KEY")" "nothing under HKEY_LOCAL_MACHINE"
check_link "$(user_desktop)/Preview Aurora.lnk" "$own_win\\probe.scr"
uninstall_confirmed "$own_win\\uninstall probe.exe"
check '[[ ! -e $own_folder/probe.scr ]]' "the uninstaller removed the screensaver"
check '! reg_key_exists "$user_key"' "the uninstaller removed the entry under HKEY_CURRENT_USER"

# In the wizard: the folder box offers the user's own folder.
handle=$(wine_run_bg "$package")
wizard=$(wait_window '^Aurora Setup$')
check 'wait_until 10 eval "window_texts TSCRSetup \"Aurora Setup\" | grep -Fxq -- \"Edit: $own_win\\\\\""' \
  "the wizard offers $own_win\\"
screenshot directory-page >/dev/null
click_at "$wizard" 377 348  # Install (btnNext at 337,336, 80 x 25)
# Without a readme the wizard closes once it has installed.
check_eq 0 "$(wine_wait "$handle")" "the wizard's run ends with exit code 0"
check 'cmp -s "$PROBE_SCR" "$own_folder/probe.scr"' "the wizard installed into the user's programs folder"
check_eq "\"$own_win\\uninstall probe.exe\"" "$(reg_query "$user_key" UninstallString)" \
  "the wizard's entry is under HKEY_CURRENT_USER"
check_eq "" "$(reg_values "$UNINSTALL_KEY")" "still nothing under HKEY_LOCAL_MACHINE"
