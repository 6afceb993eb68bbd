#!/bin/bash
# The behaviours that depend on the Windows version, under every version
# class Wine can report (HKCU\Software\Wine, value Version): the short-name
# rule on the screensaver's file name applies from Windows 2000 on (2000, XP
# and every 6.x) and not to the 9x family, NT 4.0 or version 5.2 (XP x64),
# checked by a silent installation of a screensaver with a long name; and the
# shell's folder dialog of the Browse button (every class Wine offers is 4.0
# or later, where that dialog is the one used), under one version of each
# class.
set -euo pipefail
here=$(dirname "$0")
source "$here/lib/wine.sh"
e2e_begin
source "$here/installer.sh"

long_name='Aurora Borealis.scr'
short_name='Aurora_B.scr'
cp "$PROBE_SCR" "$E2E_TEST_DIR/$long_name"
package=$E2E_TEST_DIR/Borealis-setup.exe
"$SAVERPACK" build -o "$package" --stub "$SETUP_EXE" --screensaver "$E2E_TEST_DIR/$long_name" \
  --title Aurora >/dev/null || fail "saverpack build failed"
os_version=$(build_helper os_version)

# Wine's name|the version a program sees (GetVersionExA: major.minor platform)|installed name.
# Wine reports 6.2 for 8.1 and 10 to a program that declares no supported
# systems in its manifest, as Windows does; the stub declares none.
versions=(
  "win95|4.0 1|$long_name"
  "win98|4.10 1|$long_name"
  "winme|4.90 1|$long_name"
  "nt40|4.0 2|$long_name"
  "win2k|5.0 2|$short_name"
  "winxp|5.1 2|$short_name"
  "winxp64|5.2 2|$long_name"
  "vista|6.0 2|$short_name"
  "win7|6.1 2|$short_name"
  "win8|6.2 2|$short_name"
  "win81|6.2 2|$short_name"
  "win10|6.2 2|$short_name"
)
start=$(e2e_now_ms)
for entry in "${versions[@]}"; do
  IFS='|' read -r version seen expected <<<"$entry"
  reg_set 'HKCU\Software\Wine' Version REG_SZ "$version"
  reported=$("$E2E_WINE" "$os_version" </dev/null 2>>"$E2E_TEST_DIR/wine.log") ||
    fail "$version: os_version failed"
  check_eq "$seen" "$(cut -d' ' -f1,2 <<<"${reported%$'\r'}")" "$version: the version a program sees"
  folder="C:\\Versions\\$version"
  check_eq 0 "$(wine_run "$package" -silent "$folder")" "$version: silent installation"
  check '[[ -f "$(unix_path "$folder")/$expected" ]]' \
    "$version: installed as '$expected' (found: $(ls "$(unix_path "$folder")" | grep -v runs.txt | tr '\n' ' '))"
  check_eq "$folder\\$expected" "$(reg_query "$SETTINGS_KEY" FileName_)" "$version: remembered file name"
done
echo "timing: ${#versions[@]} versions $(e2e_elapsed "$start")"

# The folder dialog under VERSION: it shows the dialog text, starts at the
# folder in the box when that exists, and OK puts the chosen folder back
# without its trailing "\".
wizard_shows() { window_texts TSCRSetup 'Aurora Setup' | grep -Fxq -- "$1"; }
dialog_shows_text() { window_texts '#32770' "$1" | grep -Fxq 'Static: Browse'; }
other_window() { find_windows '.' | grep -vx "$wizard"; }
check_folder_dialog() {
  local version=$1 handle dialog caption
  reg_set 'HKCU\Software\Wine' Version REG_SZ "$version"
  handle=$(wine_run_bg "$bare")
  wizard=$(wait_window '^Aurora Setup$')
  check 'wait_until 5 wizard_shows "Static: Select Destination Directory"' \
    "$version: the wizard opens on the Directory page"
  click_at "$wizard" 60 142  # the folder box (edDirectory at 40,132, 345 x 21)
  press_key "$wizard" ctrl+a
  type_text "$wizard" 'C:\users\'
  check 'wait_until 5 wizard_shows "Edit: C:\\users\\"' "$version: the folder box holds C:\\users\\"
  click_at "$wizard" 433 142  # Browse (btnBrowse at 393,130, 80 x 25)
  dialog=$(wait_until "$E2E_TIMEOUT" other_window) || fail "$version: no folder dialog besides the wizard"
  dialog=${dialog%%$'\n'*}
  caption=$(xdotool getwindowname "$dialog")
  check 'wait_until 5 dialog_shows_text "$caption"' \
    "$version: the folder dialog '$caption' shows the text 'Browse'"
  screenshot "folder-dialog-$version" >/dev/null
  press_key "$dialog" Return
  wait_window_gone "$dialog"
  check 'wait_until 5 wizard_shows "Edit: C:\\users"' \
    "$version: OK puts the chosen folder into the box: $(window_texts TSCRSetup 'Aurora Setup' | grep '^Edit')"
  press_key "$wizard" alt+F4
  wait_window_gone "$wizard" 10
  check_eq 0 "$(wine_wait "$handle" 10)" "$version: the wizard's run ends with exit code 0"
}

# One version of each class: 95, 98, Me, NT 4.0, 2000, XP, XP x64 (5.2),
# and 6.x.
bare=$(pack_probe_bare Aurora-setup.exe)
start=$(e2e_now_ms)
for version in win95 win98 winme nt40 win2k winxp winxp64 win7; do
  check_folder_dialog "$version"
done
echo "timing: folder dialog under 8 versions $(e2e_elapsed "$start")"
