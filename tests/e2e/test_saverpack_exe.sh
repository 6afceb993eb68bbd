#!/bin/bash
# saverpack.exe, the authoring tool for Windows, run under Wine: it writes
# the same packages as the Linux tool, byte for byte, in every code page,
# though one converts with the Win32 code page functions and the other with
# iconv. The texts hold every character of the upper half of each
# single-byte code page and every double-byte character glibc knows; the
# title and the screensaver's file name reach saverpack.exe through the
# wide command line. Refusals read the same on both.
set -euo pipefail
source "$(dirname "$0")/lib/wine.sh"
e2e_begin

dir=$E2E_TEST_DIR
printf 'MZ stub' >"$dir/stub.exe"
single_byte=(874 1250 1251 1252 1253 1254 1255 1256 1257 1258)
double_byte=(932 936 949 950)

# Prints, in UTF-8, every character that code page CP defines for the bytes
# 0x80 to 0xFF (single-byte) or for the pairs LEAD TRAIL (double-byte); the
# C1 controls, which glibc gives for a few bytes, are no characters there.
characters_of() {
  local cp=$1 c1='s/\xc2[\x80-\x9f]//g' lead trail leads=() escaped='' piece
  case $cp in
  932) leads=($(seq 0x81 0x9f) $(seq 0xe0 0xfc)) ;;
  936 | 949 | 950) leads=($(seq 0x81 0xfe)) ;;
  esac
  if ((${#leads[@]})); then
    for lead in "${leads[@]}"; do
      for trail in $(seq 0x40 0xfe); do
        printf -v piece '\\x%02x\\x%02x\\n' "$lead" "$trail"
        escaped+=$piece
      done
    done
  else
    for lead in $(seq 0x80 0xff); do
      printf -v piece '\\x%02x\\n' "$lead"
      escaped+=$piece
    done
  fi
  printf '%b' "$escaped" | iconv -c -f "CP$cp" -t UTF-8 | LC_ALL=C sed "$c1" | grep -v '^$' |
    tr -d '\n'
}

# Both tools build with ARGS into DIR/linux.exe and DIR/windows.exe; prints
# "same" when the packages are identical, else where they differ.
build_both() {
  "$SAVERPACK" build -o "$dir/linux.exe" "$@" >"$dir/linux.err" 2>&1 || {
    cat "$dir/linux.err"
    return
  }
  "$E2E_WINE" "$SAVERPACK_EXE" build -o "$(win_path "$dir/windows.exe")" "$@" \
    >"$dir/windows.err" 2>&1 || { cat "$dir/windows.err"; return; }
  cmp "$dir/linux.exe" "$dir/windows.exe" 2>&1 && echo same
}

start=$(e2e_now_ms)
declare -A title=([1251]='Заставка Ё' [1252]='Über Aurora' [1250]='Łódź' [1253]='Ωμέγα'
  [932]='表示ソフト' [936]='屏幕保护' [949]='화면 보호기' [950]='螢幕保護')
for cp in "${single_byte[@]}" "${double_byte[@]}"; do
  text=$(characters_of "$cp")
  # Four box-drawing characters have two codes in 950; glibc and Windows
  # pick different ones, and either reads back as the same character.
  [[ $cp == 950 ]] && text=$(sed 's/[═╞╪╡]//g' <<<"$text")
  printf '%s\nline two\n' "$text" >"$dir/readme-$cp.txt"
  name=saver.scr
  [[ -n ${title[$cp]:-} ]] && name="${title[$cp]}.scr"
  printf 'saver' >"$dir/$name"
  result=$(cd "$dir" && build_both --stub stub.exe --screensaver "$name" \
    --title "${title[$cp]:-Aurora}" --readme "readme-$cp.txt" --codepage "$cp")
  check_eq same "$result" "code page $cp ($(wc -m <"$dir/readme-$cp.txt") characters): both tools write the same package"
  linux_report=$("$SAVERPACK" inspect --json --codepage "$cp" "$dir/linux.exe")
  windows_report=$("$E2E_WINE" "$SAVERPACK_EXE" inspect --json --codepage "$cp" \
    "$(win_path "$dir/linux.exe")" | tr -d '\r')
  check_eq "$linux_report" "$windows_report" "code page $cp: both tools inspect the package alike"
  check 'grep -qF "\"Title\": \"${title[$cp]:-Aurora}\"" <<<"$windows_report"' \
    "code page $cp: inspect shows the title in UTF-8"
done
echo "timing: $((${#single_byte[@]} + ${#double_byte[@]})) code pages on both tools $(e2e_elapsed "$start")"

# A catalogue language and a UTF-16 licence.
printf '\xff\xfe\x16\x04\n\x00' >"$dir/license.txt"
result=$(cd "$dir" && build_both --stub stub.exe --screensaver saver.scr --title Aurora \
  --license license.txt --language ru --codepage 1251)
check_eq same "$result" "Russian catalogue texts and a UTF-16 licence: the same package"

# A character the code page lacks: the same refusal, and no package.
rm -f "$dir/windows.exe"
printf 'ok\n中\n' >"$dir/chinese.txt"
code=0
message=$("$E2E_WINE" "$SAVERPACK_EXE" build -o "$(win_path "$dir/windows.exe")" \
  --stub "$(win_path "$dir/stub.exe")" --screensaver "$(win_path "$dir/saver.scr")" \
  --title Aurora --readme "$(win_path "$dir/chinese.txt")" 2>&1) || code=$?
check_eq 1 "$code" "a readme character outside 1252 is refused with exit code 1"
check 'grep -qF "line 2: U+4E2D \"中\" has no code in code page 1252" <<<"$message"' \
  "the refusal names the line and the character (got: $message)"
check '[[ ! -e $dir/windows.exe ]]' "nothing is written"

# --sign runs through cmd /c: {file} becomes the quoted path (here with a
# blank), what the command adds is stored for the uninstallers, and a
# command that fails fails the build with its output and writes nothing.
source "$(dirname "$0")/installer.sh"
signer=$(win_path "$(build_helper fake_sign)")
mkdir -p "$dir/signed out"
stub=$(win_path "$SETUP_EXE")
signed="$dir/signed out/Aurora-setup.exe"
"$E2E_WINE" "$SAVERPACK_EXE" build -o "$(win_path "$signed")" --stub "$stub" \
  --screensaver "$(win_path "$dir/saver.scr")" --title Aurora --sign "\"$signer\" {file}" \
  >"$dir/sign.out" 2>&1 || fail "saverpack.exe build --sign failed: $(cat "$dir/sign.out")"
check 'grep -q "^SignedUninstallers  *\"as built: " <(tr -d "\r" <<<"$("$SAVERPACK" inspect "$signed")")' \
  "the package carries the uninstaller's signature ($("$SAVERPACK" inspect "$signed" | grep Signed))"
check '"$SAVERPACK" inspect --verify "$signed" >/dev/null' "the signed package verifies"
check '[[ $(tail -c 16 "$signed") == "fake signed data" ]]' "the package itself is signed last"
code=0
message=$("$E2E_WINE" "$SAVERPACK_EXE" build -o "$(win_path "$dir/refused.exe")" --stub "$stub" \
  --screensaver "$(win_path "$dir/saver.scr")" --title Aurora --sign "echo no key for {file} & exit 3" \
  2>&1) || code=$?
check_eq 1 "$code" "a failing sign command fails the build"
check 'grep -qF "ended with status 3" <<<"$message" && grep -qF "no key for" <<<"$message"' \
  "the failure shows the status and the command's output (got: $message)"
check '[[ ! -e $dir/refused.exe ]] && ! find "$dir" -name "*.sign[0-9]*.exe" | grep -q .' \
  "nothing is written, no work file left"
