#!/bin/bash
# A destination where nothing can be created: a folder made immutable from
# Linux. Installing into it fails with "Unable to copy the files...", into a
# new folder inside it with "Unable to create the directory...". Under
# -silent the run ends with exit code 2 and no window; in the wizard the
# message box appears and the wizard is back on the Directory page, ready for
# another folder. Nothing is written anywhere.
set -euo pipefail
here=$(dirname "$0")
source "$here/lib/wine.sh"
locked_linux_path() { echo "${E2E_WORK:-}/${E2E_TEST_NAME:-}/prefix/drive_c/Locked"; }
# A run killed while the folder was locked left a prefix e2e_begin cannot delete.
chattr -i "$(locked_linux_path)" 2>/dev/null || true
e2e_begin
source "$here/installer.sh"

locked=$(locked_linux_path)
mkdir "$locked"
unlock_at_end "$locked"

# Lock the folder; where chattr is refused (no root, no ext4), put blockers
# where the screensaver file and the new folder would go instead.
if chattr +i "$locked" 2>/dev/null && ! touch "$locked/probe" 2>/dev/null; then
  echo "destination locked with chattr +i"
else
  chattr -i "$locked" 2>/dev/null || true
  rm -f "$locked/probe"
  mkdir "$locked/probe.scr"
  echo blocker >"$locked/Savers"
  echo "chattr +i refused: blocked by a folder named probe.scr and a file named Savers instead"
fi

# folder|the folder box afterwards|message
cases=(
  'C:\Locked|C:\Locked\|Unable to copy the files. Access is denied. Please select a different directory.'
  'C:\Locked\Savers|C:\Locked\Savers|Unable to create the directory. Please select a different directory.'
)

package=$(pack_probe_bare Aurora-setup.exe)
before=$(snapshot)

start=$(e2e_now_ms)
for case in "${cases[@]}"; do
  IFS='|' read -r folder _ <<<"$case"
  check_eq 2 "$(wine_run -t 15 "$package" -silent "$folder")" "-silent $folder ends with exit code 2"
  no_window_appears '.' 0.5
done
echo "timing: silent runs $(e2e_elapsed "$start")"

wizard_texts() { window_texts TSCRSetup 'Aurora Setup'; }
wizard_shows() { wizard_texts | grep -Fxq -- "$1"; }

start=$(e2e_now_ms)
handle=$(wine_run_bg "$package")
wizard=$(wait_window '^Aurora Setup$')
# Without a window manager the X window is the client area: the layout's
# coordinates at 96 DPI can be clicked as they are.
read -r _ _ width height <<<"$(window_geometry "$wizard")"
check_eq 513x370 "${width}x$height" "size of the wizard's window"
check 'wizard_shows "Static: Select Destination Directory"' "the wizard opens on the Directory page"

shot=1
for case in "${cases[@]}"; do
  IFS='|' read -r folder box_after message <<<"$case"
  click_at "$wizard" 60 142  # the folder box (edDirectory at 40,132, 345 x 21)
  press_key "$wizard" ctrl+a
  type_text "$wizard" "$folder"
  check 'wait_until 5 wizard_shows "Edit: $folder"' "the folder box holds $folder"
  click_at "$wizard" 377 348  # Install (btnNext at 337,336, 80 x 25)
  box=$(wait_window '^Screensaver Setup$')
  screenshot "message-$shot" >/dev/null
  check_eq "$message" "$(message_box_text 'Screensaver Setup')" "message for $folder"
  close_message_box "$box"
  check 'wait_until 5 wizard_shows "Static: Select Destination Directory"' \
    "back on the Directory page after the message for $folder"
  texts=$(wizard_texts)
  check 'grep -Fxq "Button: Install" <<<"$texts"' "Install can be clicked again"
  check 'grep -Fxq "Edit: $box_after" <<<"$texts"' "the folder box holds $box_after"
  screenshot "directory-page-$shot" >/dev/null
  shot=$((shot + 1))
done

# Cancel stays disabled after an installation attempt, so Escape does nothing;
# closing the window (Alt+F4) ends the run.
press_key "$wizard" alt+F4
wait_window_gone "$wizard" 10
check_eq 0 "$(wine_wait "$handle" 10)" "the wizard's run ends with exit code 0"
no_window_appears '.' 0.5
echo "timing: wizard $(e2e_elapsed "$start")"

check_eq "$before" "$(snapshot)" "no file or folder was written on drive C:"
check '! reg_key_exists "$UNINSTALL_KEY"' "no uninstall entry"
check '! reg_query "$SETTINGS_KEY" FileName_ >/dev/null' "no remembered file name"
