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
    "$E2E_MINGW-gcc" -static -s -O2 -Wall -Wextra -o "$exe" "$HELPERS_DIR/$1.c" -lgdi32 \
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

# Undoes `chattr +i` on FOLDER when the test ends, whatever its status, so a
# locked folder never keeps the prefix from being deleted.
unlock_at_end() {
  unlock_at_end_folder=$1
  trap end_unlocked EXIT
}
end_unlocked() {
  local status=$?
  set +e
  chattr -i "$unlock_at_end_folder" 2>/dev/null
  (exit "$status")  # e2e_end takes the test's status from $?
  e2e_end
}

# Lists drive C: outside windows\, to compare the machine before and after a run.
snapshot() { (cd "$(drive_c)" && find . -path ./windows -prune -o -print | sort); }

# Makes the probe screensaver log how it was started into "$E2E_TEST_DIR/probe.log".
log_probe_runs() {
  export PROBE_SAVER_LOG
  PROBE_SAVER_LOG=$(win_path "$E2E_TEST_DIR")'\probe.log'
}

# ------------------------------------------------------ failed installations

# Builds a package like pack_probe_bare whose screensaver, still named
# probe.scr, is the probe with noise appended up to SIZE bytes (a program
# runs the same with data after its image), into "$E2E_TEST_DIR/NAME" and
# prints its path. The screensaver itself is "$E2E_TEST_DIR/big/probe.scr".
# Extra saverpack options follow.
pack_big_probe() {
  local out=$E2E_TEST_DIR/$1 size=$2 scr=$E2E_TEST_DIR/big/probe.scr
  shift 2
  mkdir -p "$E2E_TEST_DIR/big"
  cp "$PROBE_SCR" "$scr"
  head -c $((size - $(stat -c %s "$PROBE_SCR"))) /dev/urandom >>"$scr"
  "$SAVERPACK" build -o "$out" --stub "$SETUP_EXE" --screensaver "$scr" --title Aurora \
    --uninstall-entry --program-group --desktop-shortcut "$@" || fail "saverpack build failed"
  echo "$out"
}

# Flips the lowest bit of the byte at OFFSET in FILE (a damaged package).
flip_byte() {
  local byte
  byte=$(od -An -tu1 -j "$2" -N1 "$1")
  printf "$(printf '\\x%02x' $((byte ^ 1)))" | dd of="$1" bs=1 seek="$2" conv=notrunc status=none
}

# Fails unless no trace of an installation of Aurora is on the machine: no
# uninstall entry, no settings key (so no remembered file name), no desktop
# shortcut, no program group. WHAT names the case in the messages. With
# FOLDER (a Linux path), that folder must be gone as well; with FOLDER and
# LISTING, FOLDER must still be there holding exactly LISTING (the names
# "ls -A" prints, one a line; empty: an empty folder).
check_nothing_installed() {
  local what=$1 folder=${2:-}
  if (($# >= 3)); then
    check '[[ -d $folder ]]' "$what: $folder stays"
    check_eq "$3" "$(ls -A "$folder")" "$what: what $folder holds"
  elif [[ -n $folder ]]; then
    check '[[ ! -e $folder ]]' "$what: $folder is gone (holds: $(ls -A "$folder" 2>&1 | tr '\n' ' '))"
  fi
  check '! reg_key_exists "$UNINSTALL_KEY"' "$what: no uninstall entry"
  check '! reg_key_exists "$SETTINGS_KEY"' "$what: no settings key"
  check '[[ ! -e "$(user_desktop)/Preview Aurora.lnk" ]]' "$what: no desktop shortcut"
  check '[[ ! -e "$(user_programs)/Aurora" ]]' "$what: no program group"
}

# Prints the ids of the visible windows captioned by CAPTION_REGEX other than
# window OTHER; returns 1 if there is none. A message box with the wizard's
# caption is found as the other window of that caption.
other_windows() {
  find_windows "$1" | grep -vx "$2"
}

# After a failed installation in WIZARD, the run HANDLE of it: waits for the
# message box with the wizard's caption, checks that it says TEXT, keeps a
# screenshot SHOT, closes the box, and checks that the wizard closes and the
# run ends with exit code 0.
expect_failure_box() {
  local wizard=$1 handle=$2 shot=$3 text=$4 box
  box=$(wait_until 60 other_windows '^Aurora Setup$' "$wizard") ||
    fail "no message box captioned 'Aurora Setup' besides the wizard"
  box=${box%%$'\n'*}
  screenshot "$shot" >/dev/null
  check_eq "$text" "$(message_box_text 'Aurora Setup')" "message of the failed installation ($shot)"
  close_message_box "$box"
  wait_window_gone "$wizard" 10
  check_eq 0 "$(wine_wait "$handle" 10)" "the wizard's run ends with exit code 0 ($shot)"
}

# Types FOLDER into the folder box of WIZARD (a wizard on its Directory page)
# and presses Install.
wizard_install_into() {
  local wizard=$1 folder=$2
  click_at "$wizard" 60 142  # the folder box (edDirectory at 40,132, 345 x 21)
  press_key "$wizard" ctrl+a
  type_text "$wizard" "$folder"
  wait_until 5 eval 'window_texts TSCRSetup "Aurora Setup" | grep -Fxq -- "Edit: $folder"' ||
    fail "the folder box does not hold $folder"
  click_at "$wizard" 377 348  # Install (btnNext at 337,336, 80 x 25)
}

# Prints what an installation of Aurora into FOLDER (a Linux path) consists
# of, to compare before and after: each file of FOLDER with its checksum,
# the uninstall entry, the settings key and the shortcuts with their targets.
installation_state() {
  local folder=$1 link
  (cd "$folder" && find . -type f -print0 | sort -z | xargs -0r cksum)
  reg_values "$UNINSTALL_KEY" /s || echo "no uninstall entry"
  reg_values "$SETTINGS_KEY" /s || echo "no settings key"
  for link in "$(user_desktop)/Preview Aurora.lnk" "$(user_programs)/Aurora"/*.lnk; do
    echo "$(basename "$link") -> $(lnk_target "$link" || echo missing)"
  done
}

# Runs the uninstaller at the Windows path UNINSTALLER, answers Yes, waits
# for its closing message and closes it; fails unless the run ends with
# exit code 0 and the uninstaller's file is gone.
uninstall_confirmed() {
  local uninstaller=$1 handle question farewell
  handle=$(wine_run_bg "$uninstaller")
  question=$(wait_window '^Aurora Uninstall$')
  press_key "$question" alt+y
  farewell=$(wait_window '^Screensaver Setup$')
  check_eq 'Aurora has been successfully removed from your computer.' \
    "$(message_box_text 'Screensaver Setup')" "closing message of $uninstaller"
  check_eq 0 "$(wine_wait "$handle")" "$uninstaller exits with 0"
  wait_for_no_file "$(unix_path "$uninstaller")"
  close_message_box "$farewell"
}
