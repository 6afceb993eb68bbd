#!/bin/bash
# Proves that the end-to-end library works on this machine, and prints how
# long its steps take. Run by hand: bash tests/e2e/selftest/selftest.sh
# (E2E_WORK defaults to a folder under /tmp; E2E_KEEP=1 keeps the prefix).
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
export E2E_WORK=${E2E_WORK:-${TMPDIR:-/tmp}/e2e-selftest}
export E2E_TEST_NAME=${E2E_TEST_NAME:-selftest}
source "$here/../lib/wine.sh"

# Builds the probe programs into E2E_WORK, replacing each in one step so a
# selftest running at the same time never starts a half-written program.
build_probes() {
    mkdir -p "$E2E_WORK"
    "$E2E_MINGW-gcc" -static -mwindows -O2 -s -Wall -Wextra \
        -o "$E2E_WORK/msgbox.$$.exe" "$here/msgbox.c"
    "$E2E_MINGW-gcc" -static -municode -O2 -s -Wall -Wextra \
        -o "$E2E_WORK/makelink.$$.exe" "$here/makelink.c" -lole32 -luuid
    mv -f "$E2E_WORK/msgbox.$$.exe" "$E2E_WORK/msgbox.exe"
    mv -f "$E2E_WORK/makelink.$$.exe" "$E2E_WORK/makelink.exe"
}

# A failure inside $(...) must stop the script and make it fail.
# shellcheck disable=SC2034 # status and output are read by the checks.
check_fail_stops_script() {
    local status=0 output
    output=$(bash -c 'set -euo pipefail; source "$1"; value=$(fail "probe failure"); echo "still running"' \
        _ "$here/../lib/wine.sh" 2>&1) || status=$?
    check '((status != 0))' "fail inside \$(...) makes the script fail"
    check '[[ $output != *"still running"* ]]' "fail inside \$(...) stops the script"
    check '[[ $output == *"probe failure"* ]]' "fail prints its message"
}

build_probes
check_fail_stops_script

start=$(e2e_now_ms)
bash "$here/../lib/make_template.sh"
echo "timing: make_template.sh $(e2e_elapsed "$start")"

start=$(e2e_now_ms)
e2e_begin
echo "timing: e2e_begin $(e2e_elapsed "$start")"

# Message box: wait for it, photograph it, close it, see its exit code.
start=$(e2e_now_ms)
probe=$(wine_run_bg "$E2E_WORK/msgbox.exe" "Hello from the harness")
box=$(wait_window '^Harness Probe$' 20)
echo "timing: message box visible after $(e2e_elapsed "$start")"
check 'wine_running "$probe"' "msgbox.exe runs while its box is shown"
screenshot msgbox >/dev/null
start=$(e2e_now_ms)
close_message_box "$box"
echo "timing: message box closed after $(e2e_elapsed "$start")"
no_window_appears '^Harness Probe$' 0.5
start=$(e2e_now_ms)
check_eq 3 "$(wine_wait "$probe" 10)" "exit code of msgbox.exe"
echo "timing: msgbox.exe ended $(e2e_elapsed "$start") after its box closed"

# The same box closed by a click on its OK button, centred near the bottom.
probe=$(wine_run_bg "$E2E_WORK/msgbox.exe" "Click OK")
box=$(wait_window '^Harness Probe$' 20)
read -r _ _ width height <<<"$(window_geometry "$box")"
check '((width > 50 && height > 40))' "message box size ${width}x$height is plausible"
click_at "$box" $((width / 2)) $((height - 21))
wait_window_gone "$box" 10
check_eq 3 "$(wine_wait "$probe" 10)" "exit code of msgbox.exe closed by a click"

# A program that runs to completion by itself, through wine_run.
start=$(e2e_now_ms)
check_eq 5 "$(wine_run -t 10 cmd /c exit 5)" "exit code of cmd /c exit 5"
echo "timing: wine_run of a short program $(e2e_elapsed "$start")"

# Registry.
key='HKCU\Software\Screensaver Setup E2E'
reg_set "$key" Greeting REG_SZ 'two  spaces and \ backslash'
reg_set "$key" Count REG_DWORD 7
reg_set "$key" '' REG_SZ 'default data'
reg_set "$key\Sub" Other REG_SZ x
check_eq 'two  spaces and \ backslash' "$(reg_query "$key" greeting)" "string value (name in other case)"
check_eq 0x7 "$(reg_query "$key" Count)" "DWORD value"
check_eq 'default data' "$(reg_query "$key" '')" "default value"
check '! reg_query "$key" Missing' "reg_query fails for a missing value"
check '! reg_query "$key\\Sub" ""' "reg_query fails for an unset default value"
check 'reg_key_exists "$key"' "reg_key_exists finds the key"
check '! reg_key_exists "$key\\Missing"' "reg_key_exists fails for a missing key"

# Paths.
check_eq 'C:\windows\system32' "$(win_path "$WINEPREFIX/drive_c/windows/system32")" "win_path in drive_c"
check_eq 'C:\' "$(win_path "$WINEPREFIX/drive_c")" "win_path of drive_c"
check_eq 'Z:\tmp\x' "$(win_path /tmp/x)" "win_path outside the prefix"
check_eq "$WINEPREFIX/drive_c/windows/notepad.exe" "$(unix_path 'C:\windows\notepad.exe')" "unix_path on C:"
check_eq "$WINEPREFIX/drive_c/x" "$(unix_path '\??\c:\x')" "unix_path of a \\??\\ path"
check_eq /tmp/x "$(unix_path 'Z:\tmp\x')" "unix_path on Z:"

# Shortcuts written by Wine's shell.
link='C:\users\Public\Desktop\Probe.lnk'
check_eq 0 "$(wine_run "$E2E_WORK/makelink.exe" "$link" 'C:\windows\notepad.exe')" "makelink.exe"
check_eq 'C:\windows\notepad.exe' "$(lnk_target "$(unix_path "$link")")" "lnk_target"

# Isolation: folders under users stay real, and HOME points into the test folder.
check '[[ -z $(find "$WINEPREFIX/drive_c/users" -type l) ]]' "no symlinks under drive_c/users"
check '[[ $HOME == "$E2E_TEST_DIR"/* ]]' "HOME inside the test folder"

echo "screenshot: $E2E_TEST_DIR/msgbox.png"
