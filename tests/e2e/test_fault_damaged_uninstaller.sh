#!/bin/bash
# The uninstaller in a damaged state. Its own file damaged (one byte of its
# record signature flipped, or the file cut short so that its end signature
# is gone): it trusts nothing of it and removes nothing; under -silent the
# run ends with exit code 1 and no window, otherwise "The file is corrupted.
# Setup can not continue." appears. The uninstall entry already removed by
# hand: the uninstaller, started from its Start-menu link, removes the rest.
# The installation folder already gone, the uninstaller kept elsewhere: it
# removes the registrations and its own file, and leaves the user's file
# beside it. A file of the user's in the installation folder always stays.
set -euo pipefail
here=$(dirname "$0")
source "$here/lib/wine.sh"
e2e_begin
source "$here/installer.sh"
log_probe_runs  # the probe started by the "install" verb logs outside the folder

package=$(pack_probe Aurora-setup.exe)
folder="$(program_files)/Aurora"
uninstaller="$folder/uninstall probe.exe"
uninstaller_win="$PROGRAM_FILES\\Aurora\\uninstall probe.exe"
check_eq 0 "$(wine_run "$package" -silent)" "installation"
wait_for_file "$E2E_TEST_DIR/probe.log"  # the "install" verb has run the probe
echo "the user's own notes" >"$folder/notes.txt"
good=$E2E_TEST_DIR/uninstaller.good
cp "$uninstaller" "$good"
before=$(installation_state "$folder")

# The record's signature starts 16 bytes before the record's end, which the
# 10-byte end signature follows.
size=$(stat -c %s "$good")
damaged_cases=(
  "a flipped byte in its record signature|flip_byte \"$uninstaller\" $((size - 10 - 16))"
  "the file cut short by 1000 bytes|truncate -s $((size - 1000)) \"$uninstaller\""
)
for case in "${damaged_cases[@]}"; do
  IFS='|' read -r what damage <<<"$case"
  eval "$damage"
  check '! cmp -s "$good" "$uninstaller"' "$what: the uninstaller is damaged"
  check_eq 1 "$(wine_run -t 15 "$uninstaller_win" -silent)" "$what: -silent ends with exit code 1"
  no_window_appears '.' 0.5
  handle=$(wine_run_bg "$uninstaller_win")
  box=$(wait_window '^Screensaver Setup$')
  check_eq 'The file is corrupted. Setup can not continue.' "$(message_box_text 'Screensaver Setup')" \
    "$what: the report"
  close_message_box "$box"
  check_eq 0 "$(wine_wait "$handle")" "$what: the reported run ends with exit code 0"
  no_window_appears '.' 0.5
  cp "$good" "$uninstaller"
  check_eq "$before" "$(installation_state "$folder")" "$what: nothing is removed"
done

# The uninstall entry removed by hand; the Start-menu link still starts it.
"$E2E_WINE" reg delete "$UNINSTALL_KEY" /f >/dev/null 2>&1 </dev/null
check '! reg_key_exists "$UNINSTALL_KEY"' "the uninstall entry is removed by hand"
check_eq "$uninstaller_win" "$(lnk_target "$(user_programs)/Aurora/Uninstall Aurora.lnk")" \
  "the Start-menu link names the uninstaller"
uninstall_confirmed "$uninstaller_win"
check_eq "notes.txt" "$(ls -A "$folder")" "without its uninstall entry: the installation's files are removed, the user's stay"
check_eq "" "$(reg_values "$SETTINGS_KEY" /s)" "without its uninstall entry: the settings key is emptied"
"$E2E_WINE" reg delete "$SETTINGS_KEY" /f >/dev/null 2>&1 </dev/null
check_nothing_installed "without its uninstall entry"

# The installation folder gone, the uninstaller kept in a folder of its own
# beside a file of the user's.
check_eq 0 "$(wine_run "$package" -silent)" "second installation"
elsewhere=$E2E_TEST_DIR/elsewhere
mkdir "$elsewhere"
cp "$uninstaller" "$elsewhere/"
echo "the user's own notes" >"$elsewhere/notes.txt"
rm -rf "$folder"
uninstall_confirmed "$(win_path "$elsewhere/uninstall probe.exe")"
check_eq notes.txt "$(ls -A "$elsewhere")" "with the folder gone: the uninstaller deletes itself, not the user's file"
check '[[ ! -e $folder ]]' "with the folder gone: the folder is not created again"
check_eq "" "$(reg_values "$SETTINGS_KEY" /s)" "with the folder gone: the settings key is emptied"
# The entry names the uninstaller in the vanished folder, not this copy: an
# uninstaller removes only the entry that names it, so this one stays.
check 'reg_key_exists "$UNINSTALL_KEY"' "with the folder gone: the entry that names another uninstaller is left alone"
"$E2E_WINE" reg delete "$UNINSTALL_KEY" /f >/dev/null 2>&1 </dev/null
"$E2E_WINE" reg delete "$SETTINGS_KEY" /f >/dev/null 2>&1 </dev/null
check_nothing_installed "with the folder gone"
