#!/bin/bash
# The package cannot be read part-way through its screensaver, like a
# damaged disk or a network share that drops: the installer runs from drive
# D:, a FUSE file system (helpers/failing_file.c) whose reads of 4 KiB in the
# middle of the screensaver fail with EIO; everything before and after reads
# well, so the package loads and the copy starts. The copy then fails: under
# -silent the run ends with exit code 2, in the wizard a box captioned like
# the wizard says "There was an error installing Aurora. Installation is not
# complete." and the wizard closes. Either way the installation takes back
# what it did: no file, no folder it created, no registration is left.
set -euo pipefail
here=$(dirname "$0")
source "$here/lib/wine.sh"
e2e_private_mounts "$@"
e2e_begin
source "$here/installer.sh"

[[ -x ${FAILING_FILE:-} ]] ||
  fail "FAILING_FILE (helpers/failing_file.c, built with libfuse3-dev) is missing: '${FAILING_FILE:-}'"
failure_text='There was an error installing Aurora. Installation is not complete.'
package=$(pack_big_probe Aurora-setup.exe $((4 << 20)))
stub_size=$(package_field "$package" StubSize)
bad_start=$((stub_size + (2 << 20)))

source_dir=$E2E_TEST_DIR/source
mkdir "$source_dir"
"$FAILING_FILE" "$package" "$source_dir" "$bad_start" $((bad_start + 4096)) \
  >"$E2E_TEST_DIR/failing_file.log" 2>&1 </dev/null &
e2e_record_pid $! failing_file
wait_until 10 test -f "$source_dir/Aurora-setup.exe" ||
  fail "the FUSE file system did not come up, see $E2E_TEST_DIR/failing_file.log"
cmp -n "$bad_start" "$package" "$source_dir/Aurora-setup.exe" ||
  fail "the FUSE file system serves other bytes than the package's"
map_drive D "$source_dir"
before=$(snapshot)

check_eq 2 "$(wine_run -t 60 'D:\Aurora-setup.exe' -silent 'C:\Savers\Aurora')" \
  "-silent from an unreadable package ends with exit code 2"
no_window_appears '.' 0.5
check 'grep -q "^failed read at" "$E2E_TEST_DIR/failing_file.log"' "the installer met the unreadable bytes"
check_nothing_installed "-silent" "$(drive_c)/Savers"
check_eq "$before" "$(snapshot)" "-silent: nothing written on drive C:"

handle=$(wine_run_bg 'D:\Aurora-setup.exe')
wizard=$(wait_window '^Aurora Setup$')
wizard_install_into "$wizard" 'C:\Aurora'
expect_failure_box "$wizard" "$handle" read-failure "$failure_text"
check_nothing_installed "the wizard" "$(drive_c)/Aurora"
check_eq "$before" "$(snapshot)" "the wizard: nothing written on drive C:"
