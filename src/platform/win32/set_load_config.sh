#!/bin/bash
# Points data directory entry 10, the load-configuration directory, of a
# linked program at its _load_config_used (load_config.cc), whose address
# the link map gives: this toolchain's linker leaves the entry empty. The
# entry's size is the directory's own Size field. Then sets the header
# checksum again.
# usage: set_load_config.sh PROGRAM LINK_MAP
set -euo pipefail
program=$1 map=$2

number() {  # OFFSET BYTES: the little-endian number stored there
  od -An -v --endian=little -t "u$2" -j "$1" -N "$2" "$program" | tr -d ' '
}
put32() {  # OFFSET VALUE
  local v=$2
  # shellcheck disable=SC2059
  printf "$(printf '\\x%02x\\x%02x\\x%02x\\x%02x' $((v & 255)) $((v >> 8 & 255)) \
    $((v >> 16 & 255)) $((v >> 24 & 255)))" |
    dd of="$program" bs=1 seek="$1" conv=notrunc status=none
}
fail() { echo "set_load_config: $*" >&2; exit 1; }

address=$(awk '$2 ~ /^_?_load_config_used$/ {print $1; exit}' "$map")
[[ -n $address ]] || fail "no _load_config_used in $map"

pe=$(number 60 4)
optional=$((pe + 24))
case $(number $optional 2) in
  267) image_base=$(number $((optional + 28)) 4); directories=$((optional + 96)) ;;   # PE32
  523) image_base=$(number $((optional + 24)) 8); directories=$((optional + 112)) ;;  # PE32+
  *) fail "$program is no PE program" ;;
esac
rva=$((address - image_base))

# The file offset of the directory, through the section that holds it.
sections=$((optional + $(number $((pe + 20)) 2)))
offset=
for ((i = 0; i < $(number $((pe + 6)) 2); ++i)); do
  header=$((sections + 40 * i))
  start=$(number $((header + 12)) 4) length=$(number $((header + 16)) 4)
  if ((rva >= start && rva < start + length)); then
    offset=$(($(number $((header + 20)) 4) + rva - start))
  fi
done
[[ -n $offset ]] || fail "_load_config_used lies in no section of $program"

put32 $((directories + 8 * 10)) $rva
put32 $((directories + 8 * 10 + 4)) "$(number $offset 4)"

# The checksum: 16-bit sums with the carries folded in, leaving out the
# checksum field itself, plus the file's length.
checksum=$((optional + 64))
put32 $checksum 0
sum=$(od -An -v --endian=little -t u2 "$program" |
  awk '{ for (i = 1; i <= NF; ++i) { s += $i; if (s > 65535) s = s % 65536 + int(s / 65536) } }
       END { print s }')
put32 $checksum $((sum + $(stat -c %s "$program")))
