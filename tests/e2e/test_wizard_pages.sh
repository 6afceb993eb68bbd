#!/bin/bash
# The wizard walked page by page with the mouse and keyboard, in English and
# with the German language table: the licence page keeps Next disabled until
# the agreement is accepted, Next and Back move between License and Directory
# (pre-filled with the default folder), Install leads to the Readme page, then
# the Finished page, and Finish ends the run with exit code 0 and the
# screensaver installed. A package without the folder page goes from License
# to Ready and back, and Cancel ends it with nothing installed.
# Every page is kept as a screenshot LANG-N-PAGE.png in the test folder.
set -euo pipefail
here=$(dirname "$0")
source "$here/lib/wine.sh"
e2e_begin
source "$here/installer.sh"

log_probe_runs

folder="$(program_files)/Aurora"

# Texts of one language: the wizard's caption, the page titles and the
# buttons' captions, as window_texts prints them (converted to UTF-8).
declare -A en=(
  [caption]='Aurora Setup' [license]='License Agreement' [directory]='Select Destination Directory'
  [ready]='Ready to Install' [readme]='Information' [finished]='Finish'
  [next]='Next >' [install]='Install' [finish]='Finish' [cancel]='Cancel'
)
declare -A de=(
  [caption]='Aurora Installation' [license]='Lizenzvereinbarung' [directory]='Zielordner auswählen'
  [ready]='Bereit zur Installation' [readme]='Informationen' [finished]='Fertig stellen'
  [next]='Weiter >' [install]='Installieren' [finish]='Fertig stellen' [cancel]='Abbrechen'
)

# The texts of the wizard captioned CAPTION; the tables hold Windows-1252 text.
wizard_texts() { window_texts TSCRSetup "$1" | iconv -f CP1252 -t UTF-8; }
wizard_shows() { wizard_texts "$1" | grep -Fxq -- "$2"; }
# Waits until the wizard captioned CAPTION shows the line TEXT; fails with MESSAGE.
expect_text() {
  wait_until 5 wizard_shows "$1" "$2" || fail "$3: no line '$2' in: $(wizard_texts "$1" | tr '\n' '|')"
}

# xdotool's "mousemove --sync" waits about 15 s when the pointer is already
# at the target, so park the pointer in the screen's corner before each click.
# The pause keeps two clicks on the same spot from making a double click.
click_button() { sleep 0.6 && xdotool mousemove 0 0 && click_at "$@"; }
click_next() { click_button "$1" 377 348; }    # btnNext at 337,336, 80 x 25
click_back() { click_button "$1" 296 348; }    # btnBack at 256,336, 81 x 25
click_cancel() { click_button "$1" 464 348; }  # btnCancel at 424,336, 81 x 25

# Walks the full wizard of PACKAGE with the texts of the array named LANG
# (en or de), taking the screenshots LANG-N-PAGE.png.
walk_wizard() {
  local lang=$1 package=$2
  local -n t=$lang
  local start handle wizard width height
  start=$(e2e_now_ms)
  handle=$(wine_run_bg "$package")
  wizard=$(wait_window "^${t[caption]}\$")
  read -r _ _ width height <<<"$(window_geometry "$wizard")"
  check_eq 513x370 "${width}x$height" "$lang: size of the wizard's window"

  expect_text "${t[caption]}" "Static: ${t[license]}" "$lang: the wizard opens on the License page"
  expect_text "${t[caption]}" "Button (disabled): ${t[next]}" "$lang: Next is disabled before accepting"
  screenshot "$lang-1-license" >/dev/null
  click_next "$wizard"
  sleep 0.3
  expect_text "${t[caption]}" "Static: ${t[license]}" "$lang: a click on the disabled Next stays on License"

  press_key "$wizard" alt+a
  expect_text "${t[caption]}" "Button: ${t[next]}" "$lang: accepting (Alt+A) enables Next"
  screenshot "$lang-2-license-accepted" >/dev/null

  click_next "$wizard"
  expect_text "${t[caption]}" "Static: ${t[directory]}" "$lang: Next leads to the Directory page"
  expect_text "${t[caption]}" "Edit: $PROGRAM_FILES\\Aurora\\" "$lang: the folder box holds the default folder"
  expect_text "${t[caption]}" "Button: ${t[install]}" "$lang: the Directory page offers Install"
  screenshot "$lang-3-directory" >/dev/null

  click_back "$wizard"
  expect_text "${t[caption]}" "Static: ${t[license]}" "$lang: Back returns to the License page"
  expect_text "${t[caption]}" "Button: ${t[next]}" "$lang: the accepted agreement keeps Next enabled"
  screenshot "$lang-4-license-again" >/dev/null

  click_next "$wizard"
  expect_text "${t[caption]}" "Static: ${t[directory]}" "$lang: Next leads to the Directory page again"
  expect_text "${t[caption]}" "Button: ${t[install]}" "$lang: Install can be clicked"
  click_next "$wizard"  # Install
  expect_text "${t[caption]}" "Static: ${t[readme]}" "$lang: after installing the Readme page shows"
  expect_text "${t[caption]}" "Button: ${t[next]}" "$lang: the Readme page offers Next"
  expect_text "${t[caption]}" "Button (disabled): ${t[cancel]}" "$lang: Cancel is disabled after installing"
  screenshot "$lang-5-readme" >/dev/null

  click_next "$wizard"
  expect_text "${t[caption]}" "Static: ${t[finished]}" "$lang: Next leads to the Finished page"
  expect_text "${t[caption]}" "Button: ${t[finish]}" "$lang: the Finished page offers Finish"
  screenshot "$lang-6-finished" >/dev/null

  click_next "$wizard"  # Finish
  wait_window_gone "$wizard" 10
  check_eq 0 "$(wine_wait "$handle" 10)" "$lang: the wizard's run ends with exit code 0"
  check 'cmp -s "$PROBE_SCR" "$folder/probe.scr"' "$lang: the screensaver is installed"
  echo "timing: $lang wizard $(e2e_elapsed "$start")"
}

# Without the folder page: License, Ready, back to License, Cancel. Runs
# first, on the untouched prefix, so "nothing installed" means nothing at all.
start=$(e2e_now_ms)
package=$(pack_probe Aurora-nofolder.exe --skip-folder-page)
before=$(snapshot)
handle=$(wine_run_bg "$package")
wizard=$(wait_window '^Aurora Setup$')
expect_text 'Aurora Setup' 'Static: License Agreement' "skip: the wizard opens on the License page"
press_key "$wizard" alt+a
expect_text 'Aurora Setup' 'Button: Next >' "skip: accepting enables Next"
click_next "$wizard"
expect_text 'Aurora Setup' 'Static: Ready to Install' "skip: Next leads to the Ready page"
expect_text 'Aurora Setup' 'Button: Install' "skip: the Ready page offers Install"
check '! wizard_texts "Aurora Setup" | grep -q "^Edit: "' "skip: the Ready page has no folder box"
screenshot skip-1-ready >/dev/null
click_back "$wizard"
expect_text 'Aurora Setup' 'Static: License Agreement' "skip: Back returns to the License page"
screenshot skip-2-license >/dev/null
click_cancel "$wizard"
wait_window_gone "$wizard" 10
check_eq 0 "$(wine_wait "$handle" 10)" "skip: Cancel ends the run with exit code 0"
no_window_appears '.' 0.5
check_eq "$before" "$(snapshot)" "skip: no file or folder was written on drive C:"
check '! reg_key_exists "$UNINSTALL_KEY"' "skip: no uninstall entry"
check '! reg_key_exists "$SETTINGS_KEY"' "skip: no settings key"
echo "timing: wizard without folder page $(e2e_elapsed "$start")"

walk_wizard en "$(pack_probe Aurora-en.exe)"
# The German run installs again into the same folder; start it from an empty one.
rm -rf "$folder"
# The example table is already in 1252: stored as it is.
walk_wizard de "$(pack_probe Aurora-de.exe --language "$EXAMPLES_DIR/german.lng" --codepage none)"
