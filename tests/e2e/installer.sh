# Helpers for the installer's end-to-end tests, on top of lib/wine.sh.
# Source after e2e_begin.

# Builds a package of the probe screensaver with the example texts into
# "$E2E_TEST_DIR/NAME" and prints its path. Extra saverpack options follow.
pack_probe() {
  local out=$E2E_TEST_DIR/$1
  shift
  "$SAVERPACK" build -o "$out" --stub "$SETUP_EXE" --screensaver "$PROBE_SCR" --title Aurora \
    --readme "$EXAMPLES_DIR/readme.txt" --license "$EXAMPLES_DIR/license.txt" \
    --uninstall-entry --program-group --desktop-shortcut "$@" || fail "saverpack build failed"
  echo "$out"
}

# The prefix's drive C: as a Linux path.
drive_c() { echo "$WINEPREFIX/drive_c"; }

# The Linux path of the current user's profile folder in the prefix.
user_profile() {
  local profile
  for profile in "$(drive_c)"/users/*; do
    [[ $(basename "$profile") == Public ]] && continue
    echo "$profile"
    return
  done
  fail "no user profile in the prefix"
}

user_desktop() { echo "$(user_profile)/Desktop"; }
user_programs() { echo "$(user_profile)/AppData/Roaming/Microsoft/Windows/Start Menu/Programs"; }

UNINSTALL_KEY='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Aurora'
SETTINGS_KEY='HKCU\Software\Lumivane\Aurora'

# Fails unless the lnk file LINK points at the Windows path TARGET.
check_link() {
  local link=$1 target=$2
  check '[[ -f $link ]]' "link $(basename "$link") exists"
  check_eq "$(lnk_target "$link")" "$target" "target of $(basename "$link")"
}

# Waits until FILE exists (a program writes it in the background).
wait_for_file() {
  local file=$1 seconds=${2:-$E2E_TIMEOUT} waited=0
  until [[ -e $file ]]; do
    ((waited++ < seconds * 10)) || fail "$file did not appear within $seconds s"
    sleep 0.1
  done
}

# Waits until FILE is gone.
wait_for_no_file() {
  local file=$1 seconds=${2:-$E2E_TIMEOUT} waited=0
  while [[ -e $file ]]; do
    ((waited++ < seconds * 10)) || fail "$file still there after $seconds s"
    sleep 0.1
  done
}
