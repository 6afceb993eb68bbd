#!/bin/bash
# One package carrying German (its main table), French, Russian and Japanese
# speaks each system's language: under a German, French, Russian (1251) and
# Japanese (932) locale the wizard shows that table, and the uninstaller asks
# its question in the same language. A Polish system (1250) has no table in
# its code page and gets English, the German main table being written in
# 1252.
set -euo pipefail
here=$(dirname "$0")
source "$here/lib/wine.sh"
e2e_begin
source "$here/installer.sh"
source "$here/code_pages.sh"

package=$E2E_TEST_DIR/setup-languages.exe
"$SAVERPACK" build -o "$package" --stub "$SETUP_EXE" --screensaver "$PROBE_SCR" \
  --title Aurora --language de,fr,ru,ja --uninstall-entry >>"$E2E_TEST_DIR/build.log" 2>&1 ||
  fail "saverpack build failed, see $E2E_TEST_DIR/build.log"
"$SAVERPACK" inspect "$package" >"$E2E_TEST_DIR/package.txt"

# locale, ANSI code page, and the words the run must show: "Cancel" on the
# wizard's button, "Uninstall" in the uninstaller's caption.
while read -r locale code_page cancel uninstall; do
  use_locale "$locale"
  handle=$(wine_run_bg "$package")
  wizard=$(wait_window '^Aurora ')
  wizard_texts() {
    window_texts TSCRSetup "$(xdotool getwindowname "$wizard")" | iconv -f "CP$code_page" -t UTF-8
  }
  wait_until 10 eval 'wizard_texts | grep -Fxq "Button: $cancel"' ||
    fail "$locale: no '$cancel' button in: $(wizard_texts | tr '\n' '|')"
  screenshot "wizard-$locale" >/dev/null
  press_key "$wizard" Escape
  check_eq 0 "$(wine_wait "$handle")" "$locale: the cancelled wizard ends with exit code 0"

  check_eq 0 "$(wine_run "$package" -silent)" "$locale: silent installation"
  uninstaller="$(program_files)/Aurora/$(ascii_lower "$uninstall") probe.exe"
  check '[[ -f $uninstaller ]]' "$locale: the uninstaller is named in the same language"
  handle=$(wine_run_bg "$(win_path "$uninstaller")")
  question=$(wait_window "^Aurora $uninstall\$")
  press_key "$question" Return
  farewell=$(wait_window '^Screensaver Setup$')
  check_eq 0 "$(wine_wait "$handle")" "$locale: the uninstaller ends with exit code 0"
  wait_for_no_file "$uninstaller"
  close_message_box "$farewell"
done <<'CASES'
de_DE 1252 Abbrechen Deinstallation
fr_FR 1252 Annuler Désinstaller
ru_RU 1251 Отмена Удалить
ja_JP 932 キャンセル アンインストール
pl_PL 1250 Cancel Uninstall
CASES
