#!/bin/bash
# Checks both installer stubs as files: they import only system DLLs, have a
# load-configuration directory that takes the dependencies of those DLLs from
# the system folder, carry the application manifest, and hold no end
# signature of their own (a stub without a package must never be taken for
# one), and carry the version saverpack --version shows.
set -euo pipefail

status=0
check() {  # CONDITION MESSAGE
  if eval "$1"; then echo "ok: $2"; else echo "FAILED: $2"; status=1; fi
}

# The load-configuration directory of STUB: "RVA SIZE-FIELD DEPENDENT-LOAD-FLAGS"
# (nothing when data directory entry 10 is empty or points outside the file).
load_config() {  # OBJDUMP STUB FLAGS-OFFSET
  local objdump=$1 stub=$2 flags_at=$3 rva size base name vma offset
  read -r rva size < <($objdump -p "$stub" | awk '/^Entry a / {print $3, $4}')
  [[ -n $rva ]] && ((0x$rva != 0)) || return 0
  base=$($objdump -p "$stub" | awk '/^ImageBase/ {print $2}')
  while read -r _ name length vma _ offset _; do
    if ((0x$rva >= 0x$vma - 0x$base && 0x$rva < 0x$vma - 0x$base + 0x$length)); then
      offset=$((0x$offset + 0x$rva - (0x$vma - 0x$base)))
      echo "$((0x$rva)) $(od -An --endian=little -t u4 -j $offset -N 4 "$stub" | tr -d ' ')" \
        "$(od -An --endian=little -t u2 -j $((offset + flags_at)) -N 2 "$stub" | tr -d ' ')"
    fi
  done < <($objdump -h "$stub" | awk '$1 ~ /^[0-9]+$/')
}

version=$("$SAVERPACK" --version)
version=${version#saverpack }.0
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
  flags_at=78 size=112  # DependentLoadFlags and the directory's size, PE32+
  [[ $arch == win32 ]] && flags_at=54 size=72
  read -r rva size_field load_flags < <(load_config $objdump "$stub" $flags_at) || true
  echo "$arch load configuration: rva ${rva:-none}, size ${size_field:-none}, dependent load flags ${load_flags:-none}"
  check '[[ -n $rva && $size_field == "$size" ]]' "$arch stub has a load-configuration directory of $size bytes"
  check '[[ $load_flags == 2048 ]]' "$arch stub loads the dependencies of system DLLs from the system folder"
  check '! grep -qa -e Vornex.sig -e ScUnin.sig "$stub"' "$arch stub holds no end signature"
  check 'grep -qa "Microsoft.Windows.Common-Controls" "$stub"' "$arch stub asks for common controls 6"
  check 'grep -qa "highestAvailable" "$stub"' "$arch stub requests the highest available level"
  check '! grep -qa "supportedOS" "$stub"' "$arch stub declares no supported OS (GetVersionExA stays as it is)"
  # The version resource's strings, UTF-16: with the NULs gone each value
  # follows its name.
  versions=$(tr -d '\0' <"$stub" | grep -ao -e 'FileVersion[0-9.]*' -e 'ProductVersion[0-9.]*' |
    sort | tr '\n' ' ')
  check '[[ $versions == "FileVersion$version ProductVersion$version " ]]' \
    "$arch stub's version resource says $version (it says: $versions)"
done
[[ $status == 0 ]] && echo "stub files: passed"
exit $status
