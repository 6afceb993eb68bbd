#!/bin/bash
# A silent installation into a new prefix: the installed files, the
# uninstaller, the registry values and the links, read back from Linux.
set -euo pipefail
here=$(dirname "$0")
source "$here/lib/wine.sh"
e2e_begin
source "$here/installer.sh"

log_probe_runs
package=$(pack_probe Aurora-setup.exe --web https://example.org/aurora \
  --version 2.1.0 --publisher 'Example Makers' --help-link https://example.org/aurora/help)

check_eq 0 "$(wine_run "$package" -silent)" "silent installation exits with 0"
no_window_appears '.' 1

folder="$(program_files)/Aurora"
win_folder="$PROGRAM_FILES\\Aurora"
check 'cmp -s "$PROBE_SCR" "$folder/probe.scr"' "installed screensaver is byte-identical to the payload"
check 'cmp -s "$EXAMPLES_DIR/readme.txt" "$folder/Aurora Readme.txt"' "readme file written"
uninstaller="$folder/uninstall probe.exe"
check '[[ -f $uninstaller ]]' "uninstaller written"

# The uninstaller carries the same record and blocks, with its own signature.
"$SAVERPACK" inspect --json "$package" >"$E2E_TEST_DIR/setup.json"
"$SAVERPACK" inspect --json "$uninstaller" >"$E2E_TEST_DIR/uninstaller.json"
field() { grep -o "\"$1\": *[^,}]*" "$2" | head -n1; }
check_eq '"Kind": "uninstaller"' "$(field Kind "$E2E_TEST_DIR/uninstaller.json")" "uninstaller kind"
for name in PayloadSize ScreensaverFile Title WebAddress ExtrasSize ReadmeSize LicenseSize LanguageSize \
            DefaultFolder DefaultSubfolder LicenseMode AddUninstallEntry CreateProgramGroup CreateDesktopShortcut; do
  check_eq "$(field $name "$E2E_TEST_DIR/setup.json")" "$(field $name "$E2E_TEST_DIR/uninstaller.json")" \
    "uninstaller record field $name"
done
# Past its header (whose checksum is cleared) the uninstaller starts with the stub.
stub_size=$(stat -c %s "$SETUP_EXE")
check 'cmp -s -n 64 "$SETUP_EXE" "$uninstaller"' "uninstaller starts with the stub's MS-DOS header"
check 'cmp -s -i 4096 -n $((stub_size - 4096)) "$SETUP_EXE" "$uninstaller"' "uninstaller carries the stub"

check_eq Aurora "$(reg_query "$UNINSTALL_KEY" DisplayName)" "uninstall entry DisplayName"
check_eq "\"$win_folder\\uninstall probe.exe\"" "$(reg_query "$UNINSTALL_KEY" UninstallString)" \
  "uninstall entry UninstallString"
check_eq "$win_folder\\probe.scr" "$(reg_query "$UNINSTALL_KEY" DisplayIcon)" "uninstall entry DisplayIcon"
check_eq "$win_folder" "$(reg_query "$UNINSTALL_KEY" InstallLocation)" "uninstall entry InstallLocation"
check_eq 0x1 "$(reg_query "$UNINSTALL_KEY" NoModify)" "uninstall entry NoModify"
check_eq 0x1 "$(reg_query "$UNINSTALL_KEY" NoRepair)" "uninstall entry NoRepair"
check '[[ $(reg_query "$UNINSTALL_KEY" EstimatedSize) == 0x* ]]' "uninstall entry EstimatedSize"
# What the package's check block tells of the screensaver.
check_eq 2.1.0 "$(reg_query "$UNINSTALL_KEY" DisplayVersion)" "uninstall entry DisplayVersion"
check_eq 'Example Makers' "$(reg_query "$UNINSTALL_KEY" Publisher)" "uninstall entry Publisher"
check_eq https://example.org/aurora/help "$(reg_query "$UNINSTALL_KEY" HelpLink)" "uninstall entry HelpLink"
check_eq "$win_folder\\probe.scr" "$(reg_query "$SETTINGS_KEY" FileName_)" "remembered file name"

group="$(user_programs)/Aurora"
check_link "$(user_desktop)/Preview Aurora.lnk" "$win_folder\\probe.scr"
check_link "$group/Preview Aurora.lnk" "$win_folder\\probe.scr"
check_link "$group/Readme.lnk" "$win_folder\\Aurora Readme.txt"
check_link "$group/Uninstall Aurora.lnk" "$win_folder\\uninstall probe.exe"

# The shell's "install" verb started the screensaver.
wait_for_file "$E2E_TEST_DIR/probe.log"
check 'grep -qi "probe.scr" "$E2E_TEST_DIR/probe.log"' "the install verb started the installed screensaver"

# A folder given on the command line, with a blank in it.
check_eq 0 "$(wine_run "$package" -silent 'C:\My Savers')" "silent installation into a given folder"
check 'cmp -s "$PROBE_SCR" "$(drive_c)/My Savers/probe.scr"' "installed into the given folder"
check_eq 'C:\My Savers\probe.scr' "$(reg_query "$SETTINGS_KEY" FileName_)" "remembered the new file"

# A folder that cannot be made: a file stands where it should go.
echo blocker >"$(drive_c)/Blocked"
check_eq 2 "$(wine_run "$package" -silent 'C:\Blocked\Savers')" "a folder that cannot be made ends with exit code 2"
no_window_appears '.' 1
check '[[ ! -e "$(drive_c)/Blocked/Savers" ]]' "nothing installed there"
