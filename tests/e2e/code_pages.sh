# Helpers for the end-to-end tests of packages in other languages and code
# pages, on top of lib/wine.sh and installer.sh. Source after installer.sh.
#
# Wine takes a program's ANSI and OEM code pages from its Unix locale, so a
# run under LC_ALL=ru_RU.UTF-8 sees Windows as a Russian system does (ANSI
# 1251, OEM 866). The locales are generated once per test run into
# "$E2E_WORK/locales" (LOCPATH), which needs no change to the machine.

# Generates the UTF-8 locale NAME (e.g. de_DE) unless it is there, and makes
# every later Windows program of this test run under it.
use_locale() {
  local name=$1 folder=$E2E_WORK/locales lock
  mkdir -p "$folder"
  exec {lock}>"$folder/.lock"
  flock "$lock"
  if [[ ! -d $folder/$name.UTF-8 ]]; then
    localedef -i "$name" -f UTF-8 "$folder/$name.UTF-8.tmp" >>"$E2E_TEST_DIR/build.log" 2>&1 ||
      fail "localedef cannot build $name.UTF-8, see $E2E_TEST_DIR/build.log"
    mv "$folder/$name.UTF-8.tmp" "$folder/$name.UTF-8"
  fi
  exec {lock}>&-
  export LOCPATH=$folder
  # Bash itself cannot load the locale (it reads LOCPATH only at start) and
  # stays as it was; the programs it starts get it.
  { export LC_ALL=$name.UTF-8; } 2>/dev/null
}

# Prints TEXT (UTF-8) as the bytes code page CP holds it.
in_code_page() { printf '%s' "$2" | iconv -f UTF-8 -t "CP$1"; }

# Prints the name the installer gives the screensaver file NAME (UTF-8) on
# this Windows version: its short-name rule works on the bytes of code page
# CP, cutting a name whose first "." stands at byte 9 or later to 8 bytes and
# ".scr", and turning every byte but the last 4 that is no ASCII letter or
# digit into "_".
installed_name() (
  local raw head
  raw=$(in_code_page "$1" "$2")
  export LC_ALL=C  # bytes from here on
  head=${raw%%.*}
  [[ $raw == *.* && ${#head} -ge 8 ]] && raw=${raw:0:8}.scr
  if ((${#raw} > 4)); then
    head=${raw:0:${#raw}-4}
    raw=${head//[^A-Za-z0-9]/_}${raw: -4}
  fi
  printf '%s\n' "$raw" | iconv -f "CP$1" -t UTF-8
)

# Fails unless shortcut LINK points at the Windows path TARGET (UTF-8); the
# link holds the path in the ANSI code page CP.
check_link_in() {
  local cp=$1 link=$2 target=$3 shown
  check '[[ -f $link ]]' "link $(basename "$link") exists"
  shown=$(lnkinfo -c "windows-$cp" "$link" 2>/dev/null |
    sed -n 's/^[[:space:]]*Local path[[:space:]]*: //p' | head -n1)
  check_eq "$target" "$shown" "target of $(basename "$link")"
}

# TEXT with A to Z in lower case, as the installer lowers the uninstaller's name.
ascii_lower() { LC_ALL=C tr A-Z a-z <<<"$1"; }

# Prints the data of registry value NAME of KEY in UTF-8; reg.exe writes
# redirected output in the OEM code page OEM.
reg_query_text() {
  local oem=$1
  shift
  reg_query "$@" | iconv -f "CP$oem" -t UTF-8
}

# Builds, shows, installs and uninstalls a package in one language, checking
# each name as Windows shows it. Settings, all UTF-8:
#   L_CODE L_CODEPAGE L_OEM  catalogue language, ANSI and OEM code pages
#   L_TITLE L_FILE           title and screensaver file name
#   L_README L_LICENSE       the readme's and licence's texts (LF line ends)
# and the catalogue's translations of the words the installer puts in names:
#   L_SETUP L_README_WORD L_UNINSTALL L_PREVIEW L_LICENSE_PAGE
localized_round_trip() {
  local dir=$E2E_TEST_DIR package handle wizard texts folder group
  package=$dir/setup-$L_CODE.exe
  cp "$PROBE_SCR" "$dir/$L_FILE"
  printf '%s\n' "$L_README" >"$dir/readme.txt"
  printf '%s\n' "$L_LICENSE" >"$dir/license.txt"
  "$SAVERPACK" build -o "$package" --stub "$SETUP_EXE" --screensaver "$dir/$L_FILE" \
    --title "$L_TITLE" --readme "$dir/readme.txt" --license "$dir/license.txt" \
    --language "$L_CODE" --codepage "$L_CODEPAGE" --uninstall-entry --program-group \
    --desktop-shortcut || fail "saverpack build failed"
  "$SAVERPACK" inspect --codepage "$L_CODEPAGE" "$package" >"$dir/package.txt"

  # The wizard's licence page: caption, page title and licence text.
  local caption="$L_TITLE $L_SETUP"
  handle=$(wine_run_bg "$package")
  wizard=$(wait_window "^$caption\$")
  # Arguments reach Windows programs in UTF-8; the helper prints ANSI text.
  wizard_texts() { window_texts TSCRSetup "$caption" | iconv -f "CP$L_CODEPAGE" -t UTF-8; }
  wait_until 10 eval 'wizard_texts | grep -Fxq "Static: $L_LICENSE_PAGE"' ||
    fail "no licence page titled '$L_LICENSE_PAGE' in: $(wizard_texts | tr '\n' '|')"
  texts=$(wizard_texts)
  local first_line=${L_LICENSE%%$'\n'*}
  check 'grep -Fq -- "$first_line" <<<"$texts"' "the licence page shows the licence text"
  screenshot "license-$L_CODE" >/dev/null
  press_key "$wizard" Escape
  check_eq 0 "$(wine_wait "$handle")" "the cancelled wizard ends with exit code 0"

  check_eq 0 "$(wine_run "$package" -silent)" "silent installation"
  folder="$(program_files)/$L_TITLE"
  group="$(user_programs)/$L_TITLE"
  local installed base uninstaller_file
  installed=$(installed_name "$L_CODEPAGE" "$L_FILE")
  base=${installed%.*}
  uninstaller_file="$(ascii_lower "$L_UNINSTALL") $base.exe"
  check '[[ -f "$folder/$installed" ]]' "installed as $PROGRAM_FILES\\$L_TITLE\\$installed"
  check '[[ -f "$folder/$uninstaller_file" ]]' "uninstaller $uninstaller_file"
  local readme_file="$folder/$L_TITLE $L_README_WORD.txt"
  check '[[ -f $readme_file ]]' "readme file $L_TITLE $L_README_WORD.txt"
  check_eq "$(in_code_page "$L_CODEPAGE" "$L_README"$'\n' | sed 's/$/\r/')" \
    "$(cat "$readme_file")" "the readme file holds the readme in code page $L_CODEPAGE, CR LF lines"
  check_link_in "$L_CODEPAGE" "$(user_desktop)/$L_PREVIEW $L_TITLE.lnk" "$PROGRAM_FILES\\$L_TITLE\\$installed"
  check '[[ -f "$group/$L_PREVIEW $L_TITLE.lnk" ]]' "program group link $L_PREVIEW $L_TITLE"
  check '[[ -f "$group/$L_UNINSTALL $L_TITLE.lnk" ]]' "program group link $L_UNINSTALL $L_TITLE"
  check '[[ -f "$group/$L_README_WORD.lnk" ]]' "program group link $L_README_WORD"
  local entry="$HKLM_SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$L_TITLE"
  local settings="HKCU\\Software\\Lumivane\\$L_TITLE"
  check 'reg_key_exists "$entry"' "uninstall entry $entry"
  check 'reg_key_exists "$settings"' "settings key $settings"
  local uninstaller
  uninstaller=$(reg_query_text "$L_OEM" "$entry" UninstallString)
  check_eq "\"$PROGRAM_FILES\\$L_TITLE\\$uninstaller_file\"" "$uninstaller" \
    "the uninstall entry names the uninstaller"

  # The full uninstallation, answered with the default button (Yes).
  handle=$(wine_run_bg "${uninstaller//\"/}")
  local question farewell
  question=$(wait_window "^$L_TITLE $L_UNINSTALL\$")
  screenshot "uninstall-$L_CODE" >/dev/null
  press_key "$question" Return
  farewell=$(wait_window '^Screensaver Setup$')
  check_eq 0 "$(wine_wait "$handle")" "the uninstaller ends with exit code 0"
  wait_for_no_file "$folder/$uninstaller_file"
  close_message_box "$farewell"
  check '[[ ! -e "$folder/$installed" && ! -e $readme_file ]]' "screensaver and readme removed"
  check '[[ ! -e "$(user_desktop)/$L_PREVIEW $L_TITLE.lnk" && ! -e $group ]]' "links removed"
  check '! reg_key_exists "$entry"' "uninstall entry removed"
  check '! reg_query "$settings" FileName_ >/dev/null' "remembered file name removed"
}

# Walks a wizard in each catalogue language through every page with a
# button (licence, folder, readme, finished; in preview mode, so nothing is
# installed) at the screen's DPI, measuring each button's and radio
# button's text in the wizard's font against its control
# (helpers/caption_fit.c). Fails naming every text that does not fit.
captions_fit_every_language() {
  local catalogue exe dir=$E2E_TEST_DIR code locale cp
  catalogue=$(dirname "${BASH_SOURCE[0]}")/../../tools/saverpack/build/catalogue
  exe=$(build_helper caption_fit)
  printf 'Read me.\n' >"$dir/readme.txt"
  printf 'Licence terms.\n' >"$dir/license.txt"
  : >"$dir/clipped.txt"
  : >"$dir/measured.txt"
  while read -r code locale cp; do
    local package=$dir/setup-$code.exe handle wizard caption next install finish
    "$SAVERPACK" build -o "$package" --stub "$SETUP_EXE" --screensaver "$PROBE_SCR" \
      --title Aurora --readme "$dir/readme.txt" --license "$dir/license.txt" \
      --language "$code" --codepage "$cp" >>"$dir/build.log" 2>&1 ||
      fail "saverpack build for $code failed, see $dir/build.log"
    word() { sed -n "s/^$1=//p" "$catalogue/$code.lng" | head -n1; }
    next="$(word Next) >" install=$(word Install) finish=$(word Finish)
    use_locale "$locale"
    handle=$(wine_run_bg "$package" -previewonly)
    wizard=$(wait_window '^Aurora ')
    caption=$(xdotool getwindowname "$wizard")
    measure() {
      "$E2E_WINE" "$exe" "$caption" Tahoma 8 </dev/null 2>>"$dir/wine.log" | tr -d '\r' |
        iconv -f "CP$cp" -t UTF-8
    }
    # Waits for a page that shows button TEXT, notes what is clipped on it
    # and clicks the control whose line matches PATTERN.
    page_then_click() {
      local text=$1 pattern=$2 measured
      wait_until 20 eval 'measure | grep -Fq -- ": $text ("' ||
        fail "$code: no button '$text' in: $(measure | tr '\n' '|')"
      measured=$(measure)
      sed "s/^/$code: /" <<<"$measured" >>"$dir/measured.txt"
      grep '^CLIPPED' <<<"$measured" | sed "s/^/$code: /" >>"$dir/clipped.txt" || true
      [[ -z ${3:-} ]] || screenshot "$3-$code" >/dev/null
      # shellcheck disable=SC2046  # "X Y", two arguments
      click_at "$wizard" $(grep -m1 -- "$pattern" <<<"$measured" | cut -d' ' -f3,4)
    }
    page_then_click "$next" '^[A-Za-z]* radio'  # the licence page: accept,
    page_then_click "$next" ": $next ("         # then Next
    page_then_click "$install" ": $install (" folder
    close_message_box "$(wait_window '^Aurora$')"
    page_then_click "$next" ": $next ("         # the readme page
    page_then_click "$finish" ": $finish (" finished
    check_eq 0 "$(wine_wait "$handle")" "$code: the preview run ends with exit code 0"
  done <<'LANGUAGES'
de de_DE 1252
fr fr_FR 1252
es es_ES 1252
it it_IT 1252
nl nl_NL 1252
pt-BR pt_BR 1252
pl pl_PL 1250
ru ru_RU 1251
ja ja_JP 932
zh-CN zh_CN 936
LANGUAGES
  check '[[ ! -s $dir/clipped.txt ]]' "every caption fits its control; clipped:
$(sort -u "$dir/clipped.txt")"
}
