#!/bin/bash
# Two silent installations of the same package into one folder at the same
# time (a double click taken twice, two deployment scripts). Each ends with
# exit code 0 or 2, at least one installs, and the folder never holds a
# broken installation: every screensaver file in it is complete, each has
# its uninstaller beside it ("uninstall NAME.exe", an uninstaller package
# with the package's record), no temporary file is left, and the uninstall
# entry and the remembered file name name files that are there.
set -euo pipefail
here=$(dirname "$0")
source "$here/lib/wine.sh"
e2e_begin
source "$here/installer.sh"

# A large screensaver, so that the two copies overlap.
package=$(pack_big_probe Aurora-setup.exe $((32 << 20)))
payload=$E2E_TEST_DIR/big/probe.scr
folder=$(drive_c)/Savers
log_probe_runs

start=$(e2e_now_ms)
first=$(wine_run_bg "$package" -silent 'C:\Savers')
second=$(wine_run_bg "$package" -silent 'C:\Savers')
codes="$(wine_wait "$first" 120) $(wine_wait "$second" 120)"
echo "timing: both installations done in $(e2e_elapsed "$start"), exit codes $codes"
for code in $codes; do
  check '[[ $code == 0 || $code == 2 ]]' "each installation ends with exit code 0 or 2 (got $codes)"
done
check '[[ " $codes " == *" 0 "* ]]' "at least one installation succeeds (got $codes)"

# The setup record's fields as "saverpack inspect" reports them.
record_fields='PayloadSize|ScreensaverFile|Title|WebAddress|AddUninstallEntry|CreateProgramGroup'
record_fields+='|CreateDesktopShortcut|ExtrasSize|ReadmeSize|LicenseSize|LanguageSize|DefaultFolder'
record_fields+='|DefaultSubfolder|SkipFolderPage|RecordSignature|LicenseMode'
record_of() {
  "$SAVERPACK" inspect --json "$1" | grep -E "^ *\"($record_fields)\":" ||
    fail "saverpack inspect $1 failed"
}

screensavers=0
for file in "$folder"/*; do
  name=$(basename "$file")
  case $name in
  *.scr)
    screensavers=$((screensavers + 1))
    check 'cmp -s "$payload" "$file"' "$name is complete"
    uninstaller="$folder/uninstall ${name%.scr}.exe"
    check '[[ -f $uninstaller ]]' "$name has its uninstaller beside it"
    check_eq uninstaller "$(package_field "$uninstaller" Kind)" "$(basename "$uninstaller") is an uninstaller package"
    check_eq "$(record_of "$package")" "$(record_of "$uninstaller")" "$(basename "$uninstaller") carries the package's record"
    ;;
  uninstall\ *.exe)
    base=${name#uninstall }
    check '[[ -f $folder/${base%.exe}.scr ]]' "$name belongs to a screensaver file"
    ;;
  probe.scr.runs.txt) ;;  # the probe's own record of its runs (the "install" verb)
  *) fail "a file no installation leaves: $name" ;;
  esac
done
check '((screensavers >= 1))' "a screensaver file is installed"

uninstaller_win=$(reg_query "$UNINSTALL_KEY" UninstallString) || fail "no uninstall entry"
check '[[ -f $(unix_path "${uninstaller_win//\"/}") ]]' "the uninstall entry names an uninstaller that is there"
remembered=$(reg_query "$SETTINGS_KEY" FileName_) || fail "no remembered file name"
check 'cmp -s "$payload" "$(unix_path "$remembered")"' "the remembered file name names a complete screensaver"
