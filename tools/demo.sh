#!/bin/bash
# The demo behind `make demo`: packs the example screensaver, inspects the
# package, walks through the wizard under Wine and Xvfb (a screenshot of every
# page it reaches goes to out/demo/), shows what was installed, uninstalls,
# installs again silently and uninstalls again, showing that the machine is
# clean afterwards. Expects `make build` to have run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$root/out/demo
rm -rf "$out"
mkdir -p "$out"
export E2E_WORK=$out/work E2E_TEST_NAME=machine
export SAVERPACK=$root/build/native/bin/saverpack SETUP_EXE=$root/build/win64/bin/setup.exe
examples=$root/examples/aurora
source "$root/tests/e2e/lib/wine.sh"
source "$root/tests/e2e/installer.sh"

section() { printf '\n== %s\n' "$*"; }

# pack OUT STUB SCREENSAVER: the example package, from its package file.
pack() {
  "$SAVERPACK" build "$examples/aurora.ini" -o "$1" --stub "$2" --screensaver "$3"
}

section "Packing the example screensaver (examples/aurora/aurora.ini)"
grep -v '^;' "$examples/aurora.ini" | grep .
pack "$out/Aurora-setup.exe" "$root/build/win32/bin/setup.exe" "$root/build/win32/bin/Aurora.scr"
pack "$out/Aurora-setup-x64.exe" "$SETUP_EXE" "$root/build/win64/bin/Aurora.scr"
# The German wizard's texts come from saverpack's language catalogue, written
# in code page 1252 as the texts of every package are by default.
"$SAVERPACK" build -o "$out/Aurora-setup-de-x64.exe" --stub "$SETUP_EXE" \
  --screensaver "$root/build/win64/bin/Aurora.scr" --title Aurora --license "$examples/license.txt" \
  --language de --codepage 1252
ls -l "$out"/*.exe
section "saverpack languages (the catalogue behind --language CODE)"
"$SAVERPACK" languages
section "saverpack inspect --verify out/demo/Aurora-setup.exe (the 32-bit package to ship)"
"$SAVERPACK" inspect --verify "$out/Aurora-setup.exe"
section "saverpack winget: its manifest, in out/demo/winget/"
mkdir -p "$out/winget"
"$SAVERPACK" winget "$out/Aurora-setup.exe" --id ExampleScreensavers.Aurora \
  --url https://example.org/aurora/Aurora-setup.exe --license "See the licence page" -o "$out/winget"
ls "$out/winget"
cat "$out/winget/ExampleScreensavers.Aurora.installer.yaml"

e2e_begin >/dev/null
programs=$(user_programs)
desktop=$(user_desktop)

# Shows the installation's files, registry values and shortcuts.
show_machine() {
  echo "files in C:\\Program Files\\Aurora:"
  ls -l "$(drive_c)/Program Files/Aurora" 2>/dev/null | sed 1d | sed 's/^/  /' || echo "  (no folder)"
  echo "uninstall entry $UNINSTALL_KEY:"
  show_key "$UNINSTALL_KEY"
  echo "settings key $SETTINGS_KEY:"
  show_key "$SETTINGS_KEY" /s
  echo "shortcuts:"
  local link found=0
  for link in "$desktop"/*.lnk "$programs"/Aurora/*.lnk; do
    [[ -f $link ]] || continue
    found=1
    echo "  ${link#"$(drive_c)"/} -> $(lnk_target "$link")"
  done
  ((found)) || echo "  (none)"
}
# Prints the values of registry key KEY (/s: with its subkeys), indented; an
# empty key and a missing one are told apart.
show_key() {
  local listing
  if ! listing=$(reg_values "$@"); then
    echo "  (no key)"
  elif [[ -z $listing ]]; then
    echo "  (no values)"
  else
    sed 's/^ */  /' <<<"$listing"
  fi
}

# The example screensaver answers the shell's "install" verb (which Wine
# carries out by starting it without arguments) with its settings box.
close_screensaver_box() {
  local box
  box=$(wait_window '^Aurora$' 20)
  close_message_box "$box"
}

wizard_shows() { window_texts TSCRSetup "$1" | grep -Fxq -- "$2"; }
# shoot NAME CAPTION TITLE: waits for the wizard page titled TITLE, saves it.
shoot() {
  wait_until 20 wizard_shows "$2" "Static: $3" || fail "page '$3' did not show"
  cp "$(screenshot "$1")" "$out/$1.png"
}

section "The wizard in German: its first page"
handle=$(wine_run_bg "$out/Aurora-setup-de-x64.exe")
wizard=$(wait_window '^Aurora Setup$')
shoot de-1-license 'Aurora Setup' 'Lizenzvereinbarung'
press_key "$wizard" Escape
echo "German wizard cancelled, exit code $(wine_wait "$handle")"

section "The wizard in English, page by page"
handle=$(wine_run_bg "$out/Aurora-setup-x64.exe")
wizard=$(wait_window '^Aurora Setup$')
shoot 1-license 'Aurora Setup' 'License Agreement'
press_key "$wizard" alt+a
click_at "$wizard" 377 348   # Next
shoot 2-directory 'Aurora Setup' 'Select Destination Directory'
press_key "$wizard" Return   # Install (the focused Next button)
close_screensaver_box
shoot 3-readme 'Aurora Setup' 'Information'
press_key "$wizard" Return   # Next
shoot 4-finished 'Aurora Setup' 'Finish'
press_key "$wizard" Return   # Finish
echo "wizard ended with exit code $(wine_wait "$handle")"
ls "$out"/*.png | sed "s|^$root/||"

section "What the wizard installed"
show_machine

uninstall() {
  local uninstaller handle question farewell
  uninstaller=$(reg_query "$UNINSTALL_KEY" UninstallString)
  echo "running ${uninstaller} and answering Yes"
  handle=$(wine_run_bg "${uninstaller//\"/}")
  question=$(wait_window '^Aurora Uninstall$')
  cp "$(screenshot "$1-question")" "$out/$1-question.png"
  press_key "$question" alt+y
  farewell=$(wait_window '^Screensaver Setup$')
  cp "$(screenshot "$1-removed")" "$out/$1-removed.png"
  wine_wait "$handle" >/dev/null
  wait_for_no_file "$(drive_c)/Program Files/Aurora/uninstall Aurora.exe"
  close_message_box "$farewell"
}

section "Uninstalling"
uninstall 5-uninstall
show_machine

section "Installing silently: Aurora-setup-x64.exe -silent"
wine_run_bg "$out/Aurora-setup-x64.exe" -silent >/dev/null
close_screensaver_box
show_machine

section "Uninstalling again: the machine is clean"
uninstall 6-uninstall
show_machine
pending=$(reg_query 'HKLM\System\CurrentControlSet\Control\Session Manager' PendingFileRenameOperations || true)
echo "left for deletion at the next restart (the uninstallers' temporary copies):"
grep -o 'Vornexuninst[0-9]*\.exe' <<<"$pending" | sed 's/^/  /'
e2e_end
section "Screenshots are in out/demo/"
