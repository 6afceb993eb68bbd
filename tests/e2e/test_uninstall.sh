#!/bin/bash
# The uninstaller, started the way the uninstall entry says: No changes
# nothing; Yes removes the installation, keeps only "StartID" in the settings
# key, deletes the uninstaller once it has ended through its temporary copy,
# which says goodbye and is left for deletion at the next restart.
set -euo pipefail
here=$(dirname "$0")
source "$here/lib/wine.sh"
e2e_begin
source "$here/installer.sh"

package=$(pack_probe Aurora-setup.exe)
check_eq 0 "$(wine_run "$package" -silent)" "silent installation"
reg_set "$SETTINGS_KEY" StartID REG_DWORD 7
reg_set "$SETTINGS_KEY" Speed REG_SZ fast
reg_set "$SETTINGS_KEY\\PlayList\\First" Name REG_SZ one

folder="$(program_files)/Aurora"
uninstall_string=$(reg_query "$UNINSTALL_KEY" UninstallString)
uninstaller_win=${uninstall_string//\"/}
check_eq "$PROGRAM_FILES\\Aurora\\uninstall probe.exe" "$uninstaller_win" "uninstall string names the uninstaller"
group="$(user_programs)/Aurora"


# No: nothing changes, no further window.
before=$(snapshot)
handle=$(wine_run_bg "$uninstaller_win")
question=$(wait_window '^Aurora Uninstall$')
screenshot question >/dev/null
press_key "$question" alt+n
check_eq 0 "$(wine_wait "$handle")" "uninstaller answered No exits with 0"
no_window_appears '.' 1
check_eq "$before" "$(snapshot)" "No leaves every file in place"
check 'reg_key_exists "$UNINSTALL_KEY"' "No leaves the uninstall entry"

# Yes: everything goes.
handle=$(wine_run_bg "$uninstaller_win")
question=$(wait_window '^Aurora Uninstall$')
press_key "$question" alt+y
farewell=$(wait_window '^Screensaver Setup$')
screenshot farewell >/dev/null
check_eq 0 "$(wine_wait "$handle")" "uninstaller exits with 0"
check '[[ ! -e $folder/probe.scr ]]' "screensaver file removed"
check '[[ ! -e "$folder/Aurora Readme.txt" ]]' "readme removed"
check '! reg_key_exists "$UNINSTALL_KEY"' "uninstall entry removed"
check '[[ ! -e "$(user_desktop)/Preview Aurora.lnk" ]]' "desktop link removed"
check '[[ ! -e $group ]]' "program group removed"
check_eq 0x7 "$(reg_query "$SETTINGS_KEY" StartID)" "StartID kept"
check '! reg_query "$SETTINGS_KEY" Speed >/dev/null' "other settings removed"
check '! reg_query "$SETTINGS_KEY" FileName_ >/dev/null' "remembered file name removed"
check '! reg_key_exists "$SETTINGS_KEY\\PlayList"' "PlayList removed"
check_eq "    StartID    REG_DWORD    0x7" "$(reg_values "$SETTINGS_KEY" /s)" "the settings key holds StartID only"
"$E2E_WINE" reg delete "$SETTINGS_KEY" /v StartID /f >/dev/null 2>&1 </dev/null
check 'reg_values "$SETTINGS_KEY" /s >/dev/null' "the settings key stays, empty"
check_eq "" "$(reg_values "$SETTINGS_KEY" /s)" "an empty key lists no values"
check '! reg_values "$UNINSTALL_KEY" >/dev/null' "a removed key is missing"
wait_for_no_file "$folder/uninstall probe.exe"
close_message_box "$farewell"
no_window_appears '.' 2

pending=$(reg_query 'HKLM\System\CurrentControlSet\Control\Session Manager' PendingFileRenameOperations || true)
check '[[ ${pending,,} == *vornexuninst*.exe* ]]' "the temporary copy waits for deletion at restart"
