#!/bin/bash
# -previewonly: the wizard runs as usual, but Install only reads the payload
# and shows the notice captioned with the title instead of installing; the
# run then ends (the package has no readme page) and nothing was written:
# no file on drive C:, no uninstall entry, no settings key, no screensaver
# started.
set -euo pipefail
here=$(dirname "$0")
source "$here/lib/wine.sh"
e2e_begin
source "$here/installer.sh"

log_probe_runs
package=$(pack_probe_bare Aurora-setup.exe)
before=$(snapshot)
wizard_shows() { window_texts TSCRSetup 'Aurora Setup' | grep -Fxq -- "$1"; }

start=$(e2e_now_ms)
handle=$(wine_run_bg "$package" -previewonly)
wizard=$(wait_window '^Aurora Setup$')
check 'wait_until 5 wizard_shows "Static: Select Destination Directory"' "the wizard opens on the Directory page"
default_folder="$PROGRAM_FILES\\Aurora\\"
check 'wizard_shows "Edit: $default_folder"' "the folder box holds $default_folder"
screenshot directory >/dev/null
click_at "$wizard" 377 348  # Install (btnNext at 337,336, 80 x 25)

box=$(wait_window '^Aurora$')
screenshot notice >/dev/null
notice=$(message_box_text Aurora)
check '[[ $notice == "After successful installation screensaver setup would open Windows Screen Saver Settings."* ]]' \
  "the preview notice is shown (text: $notice)"
close_message_box "$box"
wait_window_gone "$wizard" 10
check_eq 0 "$(wine_wait "$handle" 10)" "the preview run ends with exit code 0"
no_window_appears '.' 0.5
echo "timing: preview run $(e2e_elapsed "$start")"

check_eq "$before" "$(snapshot)" "no file or folder was written on drive C:"
check '! reg_key_exists "$UNINSTALL_KEY"' "no uninstall entry"
check '! reg_key_exists "$SETTINGS_KEY"' "no settings key"
check '[[ ! -e $E2E_TEST_DIR/probe.log ]]' "the screensaver was not started"
