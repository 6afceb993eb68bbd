#!/bin/bash
# DLLs come from the system folder only, once the program runs: the setup
# package started from a downloads folder, the uninstaller started from the
# installation folder and its "-delfile" copy in the temporary folder never
# search their own folder, where a planted DLL would wait. Wine's loader
# trace (+module) shows every search with its folders. The searches Wine makes
# while it starts a process, before the program's first instruction, are
# left aside (there Wine itself looks into the program's folder, and a real
# Windows takes the system DLLs involved from its known DLLs); each program
# makes at least one search after that, when its first window loads the
# display driver.
set -euo pipefail
here=$(dirname "$0")
source "$here/lib/wine.sh"
e2e_begin
source "$here/installer.sh"

downloads="$(user_profile)/Downloads"
folder="$(program_files)/Aurora"
mkdir -p "$downloads"
cp "$(pack_probe_bare Aurora-setup.exe)" "$downloads/"
export WINEDEBUG=+module

# Setup: Install on the Directory page; without a readme the wizard closes
# when the installation is done.
handle=$(wine_run_bg "$downloads/Aurora-setup.exe")
wizard=$(wait_window '^Aurora Setup$')
press_key "$wizard" Return
wait_for_file "$folder/uninstall probe.exe"
check_eq 0 "$(wine_wait "$handle")" "setup exits with 0"

# The uninstaller: Yes, then the copy's closing message.
handle=$(wine_run_bg "$PROGRAM_FILES\\Aurora\\uninstall probe.exe")
question=$(wait_window '^Aurora Uninstall$')
press_key "$question" alt+y
farewell=$(wait_window '^Screensaver Setup$')
check_eq 0 "$(wine_wait "$handle")" "uninstaller exits with 0"
wait_for_no_file "$folder/uninstall probe.exe"
close_message_box "$farewell"
no_window_appears '.' 2
export WINEDEBUG=-all

# Prints "SEARCHES FOREIGN" for the program whose file name matches the
# extended regular expression NAME (lower case): how many DLL searches it made
# after Wine had started it, and how many of those looked into its own folder.
searches_after_start() {
  awk -v name="$1" '
    function folded(text) { return tolower(text) }
    !thread && /trace:module:build_module loaded L"/ {
      path = folded($0); sub(/^[^"]*"/, "", path); sub(/".*$/, "", path)
      file = path; sub(/^.*\\/, "", file)
      if (file ~ "^(" name ")$") { thread = substr($0, 1, index($0, ":")); own = substr(path, 1, length(path) - length(file)); sub(/^\\\\\?\?\\\\/, "", own) }
      next
    }
    thread && index($0, thread) == 1 {
      # The end of an attach that Wine makes while starting the process (its
      # context is not null); what follows it runs in the program.
      if ($0 ~ /process_attach \(/ && $0 ~ / - END$/ && $0 !~ /,0+\) - END$/) { searches = foreign = 0 }
      else if ($0 ~ /load_dll looking for L".*" in L"/) {
        searches++
        list = folded($0); sub(/^.* in l"/, "", list); sub(/"$/, "", list)
        if (index(";" list ";", ";" substr(own, 1, length(own) - 2) ";") || index(";" list ";", ";" own ";")) foreign++
      }
    }
    END { print searches + 0, foreign + 0 }' "$E2E_TEST_DIR/wine.log"
}

for program in 'aurora-setup\.exe' 'uninstall probe\.exe' 'vornexuninst[0-9]+\.exe'; do
  read -r searches foreign < <(searches_after_start "$program")
  echo "$program: $searches DLL searches after start, $foreign in its own folder"
  check '((searches > 0))' "$program searches for a DLL after start"
  check '((foreign == 0))' "$program never searches its own folder for a DLL"
done
