#!/bin/bash
# A reinstallation while the installed screensaver is held open by another
# program (helpers/hold_file.c: others may read it, nobody may write or
# delete it). The installer finds at once that the earlier file cannot be
# replaced: under -silent the run ends with exit code 2, in the wizard
# "Unable to copy the files. Access is denied..." sends it back to the
# Directory page. The earlier installation stays whole: every file
# byte-identical, no temporary file left beside them, the uninstall entry,
# the shortcuts and the remembered file name as they were. Once the file is
# let go, the uninstaller still removes everything.
set -euo pipefail
here=$(dirname "$0")
source "$here/lib/wine.sh"
e2e_begin
source "$here/installer.sh"
log_probe_runs  # the probe started by the "install" verb logs outside the folder

hold_file=$(build_helper hold_file)
package=$(pack_probe Aurora-setup.exe)
check_eq 0 "$(wine_run "$package" -silent)" "first installation"
wait_for_file "$E2E_TEST_DIR/probe.log"  # the "install" verb has run the probe
folder="$(program_files)/Aurora"
screensaver_win="$PROGRAM_FILES\\Aurora\\probe.scr"
check '[[ -f $folder/probe.scr ]]' "the first installation wrote probe.scr"

# Everything the first installation left, to compare after the second.
kept=$E2E_TEST_DIR/kept
mkdir "$kept"
cp -a "$folder/." "$kept/"
before=$(installation_state "$folder")

hold_ms=20000
hold=$(wine_run_bg "$hold_file" "$screensaver_win" "$hold_ms")
wait_until 10 grep -Fxq "holding $screensaver_win" "$E2E_TEST_DIR/wine.log" ||
  fail "hold_file did not take hold of the screensaver, see $E2E_TEST_DIR/wine.log"
held_at=$(e2e_now_ms)

check_eq 2 "$(wine_run -t 15 "$package" -silent)" "-silent reinstallation over a held file ends with exit code 2"
no_window_appears '.' 0.5
echo "timing: silent reinstallation done $(e2e_elapsed "$held_at") after the hold began"

handle=$(wine_run_bg "$package")
wizard=$(wait_window '^Aurora Setup$')
press_key "$wizard" alt+a  # I accept the agreement
click_at "$wizard" 377 348  # Next (btnNext at 337,336, 80 x 25)
wait_until 5 eval 'window_texts TSCRSetup "Aurora Setup" | grep -Fxq "Static: Select Destination Directory"' ||
  fail "the wizard did not reach the Directory page"
sleep 0.6  # two clicks on one spot must not make a double click
click_at "$wizard" 377 348  # Install, the same button
box=$(wait_window '^Screensaver Setup$')
screenshot access-denied >/dev/null
check_eq 'Unable to copy the files. Access is denied. Please select a different directory.' \
  "$(message_box_text 'Screensaver Setup')" "message for the held file"
close_message_box "$box"
wait_until 5 eval 'window_texts TSCRSetup "Aurora Setup" | grep -Fxq "Static: Select Destination Directory"' ||
  fail "back on the Directory page after the message"
press_key "$wizard" alt+F4
wait_window_gone "$wizard" 10
check_eq 0 "$(wine_wait "$handle" 10)" "the wizard's run ends with exit code 0"
elapsed=$(($(e2e_now_ms) - held_at))
((elapsed < hold_ms)) || fail "the reinstallations took longer than the hold ($elapsed ms); lengthen hold_ms"
echo "timing: both reinstallations done $(e2e_elapsed "$held_at") after the hold began"
check 'wine_running "$hold"' "the file was held through both reinstallations"

check_eq "$before" "$(installation_state "$folder")" "the earlier installation's files and registrations are unchanged"
for file in "$kept"/*; do
  check 'cmp -s "$file" "$folder/$(basename "$file")"' "$(basename "$file") is byte-identical"
done

check_eq 0 "$(wine_wait "$hold" $((hold_ms / 1000 + 10)))" "hold_file ends normally"
uninstaller_win=$(reg_query "$UNINSTALL_KEY" UninstallString)
uninstall_confirmed "${uninstaller_win//\"/}"
# The uninstaller keeps the folder itself and the settings key (emptied).
check_eq "" "$(ls -A "$folder")" "the uninstaller removed every file"
check_eq "" "$(reg_values "$SETTINGS_KEY" /s)" "the settings key is empty"
"$E2E_WINE" reg delete "$SETTINGS_KEY" /f >/dev/null 2>&1 </dev/null
check_nothing_installed "after the uninstallation"
