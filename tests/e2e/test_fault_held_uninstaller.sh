#!/bin/bash
# The uninstaller's file held open by another program (as a virus scanner
# might) while the uninstallation runs: its hidden temporary copy keeps trying
# to delete it and says goodbye only once the file is free and gone. The
# uninstaller itself is deleted then, not left to the next restart; only the
# temporary copy is.
set -euo pipefail
here=$(dirname "$0")
source "$here/lib/wine.sh"
e2e_begin
source "$here/installer.sh"

hold_ms=5000
hold_file=$(build_helper hold_file)
package=$(pack_probe Aurora-setup.exe)
check_eq 0 "$(wine_run "$package" -silent)" "silent installation"
uninstall_string=$(reg_query "$UNINSTALL_KEY" UninstallString)
uninstaller_win=${uninstall_string//\"/}
uninstaller=$(unix_path "$uninstaller_win")
check '[[ -f $uninstaller ]]' "the uninstaller named by the uninstall entry exists"

handle=$(wine_run_bg "$uninstaller_win")
question=$(wait_window '^Aurora Uninstall$')
# Take hold of the file while the uninstaller runs from it.
hold=$(wine_run_bg "$hold_file" "$uninstaller_win" "$hold_ms")
wait_until 10 grep -Fxq "holding $uninstaller_win" "$E2E_TEST_DIR/wine.log" ||
  fail "hold_file did not take hold of the uninstaller, see $E2E_TEST_DIR/wine.log"
held_at=$(e2e_now_ms)
press_key "$question" alt+y
wait_window_gone "$question"
echo "timing: question gone $(e2e_elapsed "$held_at") after the hold began"
# The temporary copy works hidden: no window while the file is still held.
quiet_ms=$((hold_ms - ($(e2e_now_ms) - held_at) - 500))
((quiet_ms > 0)) || fail "the question took the whole hold to close; lengthen hold_ms"
no_window_appears '.' "$(printf '%d.%03d' $((quiet_ms / 1000)) $((quiet_ms % 1000)))"

farewell=$(wait_window '^Screensaver Setup$' $((hold_ms / 1000 + 30)))
waited=$(e2e_elapsed "$held_at")
check 'grep -Fxq "releasing $uninstaller_win" "$E2E_TEST_DIR/wine.log"' \
  "the closing message appears only after the file was let go (after $waited)"
check '[[ ! -e $uninstaller ]]' "the uninstaller's file is gone when the closing message appears"
screenshot farewell >/dev/null
check_eq 'Aurora has been successfully removed from your computer.' "$(message_box_text 'Screensaver Setup')" \
  "closing message"
echo "timing: closing message $waited after the hold began (hold: $hold_ms ms)"
close_message_box "$farewell"
check_eq 0 "$(wine_wait "$handle")" "the uninstaller exits with 0"
check_eq 0 "$(wine_wait "$hold")" "hold_file ends normally"
no_window_appears '.' 1

pending=$(reg_query 'HKLM\System\CurrentControlSet\Control\Session Manager' PendingFileRenameOperations) ||
  fail "nothing is pending deletion at restart"
# Pairs of "\??\SOURCE" and an empty destination, joined by \0.
first=${pending%%\\0*}
check '[[ ${first,,} == *\\temp\\vornexuninst*.exe ]]' "the temporary copy waits for deletion at restart: $first"
check '[[ -f $(unix_path "$first") ]]' "the temporary copy is still there until the restart"
check '[[ ${pending,,} != *"uninst~"* && ${pending,,} != *"uninstall probe"* ]]' \
  "the uninstaller itself is not left to the restart"
