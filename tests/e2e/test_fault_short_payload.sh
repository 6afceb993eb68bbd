#!/bin/bash
# A screensaver payload that ends before its declared length makes the copy
# fail: in the wizard (the package cut short from Linux after the wizard has
# started) a box captioned like the wizard reports it and the wizard closes;
# the installation takes back what it did: the partly copied screensaver
# file and the folder it created are gone, and nothing is registered or
# remembered. A record whose block sizes do not add up (which would make the
# payload run past the file's end), or whose sizes near the int32 limits would
# wrap around or ask for more memory than a 32-bit program has, is refused
# when the package is read: under -silent the run ends with exit code 1 and
# nothing is created.
set -euo pipefail
here=$(dirname "$0")
source "$here/lib/wine.sh"
e2e_begin
source "$here/installer.sh"

failure_text='There was an error installing Aurora. Installation is not complete.'

# Writes VALUE as a little-endian int32 at OFFSET into FILE.
write_int32() {
  local value=$(($3 & 0xffffffff)) escaped
  escaped=$(printf '\\x%02x\\x%02x\\x%02x\\x%02x' $((value & 255)) $((value >> 8 & 255)) \
    $((value >> 16 & 255)) $((value >> 24 & 255)))
  printf "$escaped" | dd of="$1" bs=1 seek="$2" conv=notrunc status=none
}

# -silent, packages without readme, licence or language block, each with
# record fields overwritten: "what|FIELD=VALUE ..." (offsets in the record).
# A negative ExtrasSize would make the payload (PayloadSize - ExtrasSize - 946
# bytes) run 2000 - 946 bytes past the end of the file; a PayloadSize near
# INT32_MIN gives a positive payload length in 32 bits; one at INT32_MAX puts
# the payload's start before the file; a readme of 2 GB cannot be held.
declare -A field_offset=([PayloadSize]=0 [ExtrasSize]=0x190 [ReadmeSize]=0x194)
damaged_cases=(
  'inconsistent block sizes|ExtrasSize=-2000'
  'PayloadSize near INT32_MIN|PayloadSize=-2147483548'
  'PayloadSize INT32_MAX|PayloadSize=2147483647'
  'a readme block of 2 GB|PayloadSize=2147483647 ExtrasSize=2147482647 ReadmeSize=2147482647'
)
damaged=$(pack_probe_bare Damaged-setup.exe)
record_start=$(($(package_field "$damaged" PackageEnd) - 946))
for case in "${damaged_cases[@]}"; do
  IFS='|' read -r what fields <<<"$case"
  package=$E2E_TEST_DIR/case.exe
  cp "$damaged" "$package"
  for field in $fields; do
    write_int32 "$package" $((record_start + field_offset[${field%%=*}])) "${field#*=}"
    check_eq "${field#*=}" "$(package_field "$package" "${field%%=*}")" "$what: ${field%%=*} of the damaged record"
  done
  check_eq 1 "$(wine_run -t 15 "$package" -silent 'C:\Damaged')" "-silent with $what ends with exit code 1"
  no_window_appears '.' 0.5
  check '[[ ! -e $(drive_c)/Damaged ]]' "-silent with $what: nothing is created"
  check '! reg_key_exists "$UNINSTALL_KEY"' "-silent with $what: no uninstall entry"
done

# The wizard: cut the package 1000 bytes into the screensaver once the wizard
# is up; the stub, which Wine has mapped, stays whole.
package=$(pack_probe_bare Aurora-setup.exe)
stub_size=$(package_field "$package" StubSize)
handle=$(wine_run_bg "$package")
wizard=$(wait_window '^Aurora Setup$')
truncate -s $((stub_size + 1000)) "$package"
click_at "$wizard" 377 348  # Install (btnNext at 337,336, 80 x 25)

expect_failure_box "$wizard" "$handle" copy-failure "$failure_text"
no_window_appears '.' 0.5

check_nothing_installed "after the copy failure" "$(program_files)/Aurora"
