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

# Builds a package of the probe screensaver alone, without readme, licence or
# language texts, into "$E2E_TEST_DIR/NAME" and prints its path. Its wizard
# opens on the Directory page. Extra saverpack options follow.
pack_probe_bare() {
  local out=$E2E_TEST_DIR/$1
  shift
  "$SAVERPACK" build -o "$out" --stub "$SETUP_EXE" --screensaver "$PROBE_SCR" --title Aurora \
    --uninstall-entry --program-group --desktop-shortcut "$@" || fail "saverpack build failed"
  echo "$out"
}

# Prints the value of FIELD (a number or a string, without quotes) from the
# output of "saverpack inspect --json PACKAGE".
package_field() {
  local json value
  json=$("$SAVERPACK" inspect --json "$1") || fail "saverpack inspect $1 failed"
  value=$(grep -o "\"$2\": *[^,}]*" <<<"$json" | head -n1) || fail "no field $2 in the report on $1"
  value=${value#*: }
  value=${value#\"}
  echo "${value%\"}"
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

# The Linux path of the program files folder the stub installs into by default.
program_files() { echo "$(drive_c)/${PROGRAM_FILES#C:\\}"; }

user_desktop() { echo "$(user_profile)/Desktop"; }
user_programs() { echo "$(user_profile)/AppData/Roaming/Microsoft/Windows/Start Menu/Programs"; }

# What differs between the architectures on a 64-bit Windows: the i686 stub
# sees the 32-bit view of HKLM\Software (kept under Wow6432Node) and the
# 32-bit program files folder.
if [[ $E2E_ARCH == i686 ]]; then
  HKLM_SOFTWARE='HKLM\Software\Wow6432Node'
  PROGRAM_FILES='C:\Program Files (x86)'
else
  HKLM_SOFTWARE='HKLM\Software'
  PROGRAM_FILES='C:\Program Files'
fi
UNINSTALL_KEY="$HKLM_SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Aurora"
SETTINGS_KEY='HKCU\Software\Lumivane\Aurora'

# Fails unless the lnk file LINK points at the Windows path TARGET.
check_link() {
  local link=$1 target=$2
  check '[[ -f $link ]]' "link $(basename "$link") exists"
  check_eq "$target" "$(lnk_target "$link")" "target of $(basename "$link")"
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

# ------------------------------------------------------ helper programs

HELPERS_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")/helpers" && pwd)

# Builds the Windows helper program helpers/NAME.c for E2E_ARCH into
# "$E2E_TEST_DIR/NAME.exe" (once per test) and prints its path.
build_helper() {
  local exe=$E2E_TEST_DIR/$1.exe
  if [[ ! -f $exe ]]; then
    "$E2E_MINGW-gcc" -static -s -O2 -Wall -Wextra -o "$exe" "$HELPERS_DIR/$1.c" \
      >>"$E2E_TEST_DIR/build.log" 2>&1 || fail "cannot build helper $1, see $E2E_TEST_DIR/build.log"
  fi
  echo "$exe"
}

# Prints the texts of the visible controls of the visible top-level windows
# of window class CLASS ("*": any) captioned exactly CAPTION, one
# "Class: text" or "Class (disabled): text" line each (helpers/window_texts.c).
# Returns 1 if there is no such window.
window_texts() {
  local exe
  exe=$(build_helper window_texts)
  "$E2E_WINE" "$exe" "$1" "$2" </dev/null 2>>"$E2E_TEST_DIR/wine.log"
}

# Prints the text of the message box captioned exactly CAPTION. Fails if no
# such box is shown.
message_box_text() {
  local texts
  texts=$(window_texts '#32770' "$1") || fail "no message box captioned '$1'"
  sed -n 's/^Static: //p' <<<"$texts"
}

# Lists drive C: outside windows\, to compare the machine before and after a run.
snapshot() { (cd "$(drive_c)" && find . -path ./windows -prune -o -print | sort); }

# Makes the probe screensaver log how it was started into "$E2E_TEST_DIR/probe.log".
log_probe_runs() {
  export PROBE_SAVER_LOG
  PROBE_SAVER_LOG=$(win_path "$E2E_TEST_DIR")'\probe.log'
}
