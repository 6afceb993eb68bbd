#!/bin/bash
# Checks both installer stubs as files: they import only system DLLs, carry
# the application manifest, and hold no end signature of their own (a stub
# without a package must never be taken for one).
set -euo pipefail

status=0
check() {  # CONDITION MESSAGE
  if eval "$1"; then echo "ok: $2"; else echo "FAILED: $2"; status=1; fi
}

system_dlls='^(KERNEL32|USER32|GDI32|SHELL32|OLE32|OLEAUT32|COMCTL32|ADVAPI32|COMDLG32|MSVCRT|UXTHEME|SHLWAPI)\.DLL$'
for stub in "$SETUP_EXE" "$SETUP_EXE_I686"; do
  arch=$(basename "$(dirname "$(dirname "$stub")")")
  check '[[ -f $stub ]]' "$arch stub exists"
  [[ -f $stub ]] || continue
  objdump=x86_64-w64-mingw32-objdump
  [[ $arch == win32 ]] && objdump=i686-w64-mingw32-objdump
  imports=$($objdump -p "$stub" | awk '/DLL Name:/ {print toupper($3)}' | sort -u)
  echo "$arch imports: $(echo $imports) ($(stat -c %s "$stub") bytes)"
  foreign=$(grep -Ev "$system_dlls" <<<"$imports" || true)
  check '[[ -z $foreign ]]' "$arch stub imports only system DLLs${foreign:+ (not: $foreign)}"
  check '! grep -qa -e Vornex.sig -e ScUnin.sig "$stub"' "$arch stub holds no end signature"
  check 'grep -qa "Microsoft.Windows.Common-Controls" "$stub"' "$arch stub asks for common controls 6"
  check 'grep -qa "highestAvailable" "$stub"' "$arch stub requests the highest available level"
  check '! grep -qa "supportedOS" "$stub"' "$arch stub declares no supported OS (GetVersionExA stays as it is)"
done
[[ $status == 0 ]] && echo "stub files: passed"
exit $status
