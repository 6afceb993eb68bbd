#!/bin/bash
# Checks how the i686 tests meet a machine without a 32-bit code segment,
# on any machine: with the probe made to answer "no", a script sourcing
# lib/wine.sh as i686 ends with the one skip line and status 77, or fails
# with E2E_REQUIRE_32BIT=1, while an x86_64 one runs; the real probe gives
# a valid answer that i686 scripts follow; and CTest knows every _i686 test
# as one that requires the probe and may skip (E2E_BUILD_DIR).
set -euo pipefail
lib=$(cd "$(dirname "$0")/lib" && pwd)
source "$lib/wine.sh"
root=$E2E_WORK/skip_path
rm -rf "$root"

# Runs a script that sources wine.sh as ARCH in WORK, with more VAR=VALUE
# settings (and none of the two switches unless given); prints its status
# and output.
run_script() {  # WORK ARCH [VAR=VALUE...]
    local work=$1 arch=$2 status=0 output
    shift 2
    output=$(env -u E2E_ASSUME_NO_32BIT_SEGMENT -u E2E_REQUIRE_32BIT E2E_WORK="$work" E2E_ARCH="$arch" E2E_TEST_NAME=skip_path_script "$@" \
        bash -c 'set -euo pipefail; source "$1"; echo "ran"' _ "$lib/wine.sh" 2>&1) || status=$?
    echo "$status $output"
}

# The skip path, whatever this machine can do.
forced=$(E2E_WORK=$root/forced E2E_ASSUME_NO_32BIT_SEGMENT=1 bash "$lib/code_segment.sh")
check_eq "32-bit code segment: no (E2E_ASSUME_NO_32BIT_SEGMENT=1)" "$forced" "the forced probe's line"
check_eq "no" "$(cat "$root/forced/code-segment")" "the forced probe's kept answer"
check_eq "77 skipped: $E2E_NO_SEGMENT_REASON" "$(run_script "$root/forced" i686)" "an i686 script"
check_eq "0 ran" "$(run_script "$root/forced" x86_64)" "an x86_64 script"
required=$(run_script "$root/forced" i686 E2E_REQUIRE_32BIT=1)
check '[[ $required == "1 "*"$E2E_NO_SEGMENT_REASON (E2E_REQUIRE_32BIT=1: not skipped)" ]]' \
    "E2E_REQUIRE_32BIT=1 fails an i686 script instead of skipping it: $required"
# Without a kept answer, an i686 script probes itself (a test run by hand).
check_eq "77 32-bit code segment: no (E2E_ASSUME_NO_32BIT_SEGMENT=1)
skipped: $E2E_NO_SEGMENT_REASON" \
    "$(run_script "$root/unprobed" i686 E2E_ASSUME_NO_32BIT_SEGMENT=1)" "an i686 script run alone"

# The real probe: its answer and what an i686 script does with it.
real=$(env -u E2E_ASSUME_NO_32BIT_SEGMENT E2E_WORK="$root/real" bash "$lib/code_segment.sh")
echo "$real"
case $(cat "$root/real/code-segment") in
yes) check_eq "0 ran" "$(run_script "$root/real" i686)" "an i686 script where 32-bit code runs" ;;
no) check_eq "77 skipped: $E2E_NO_SEGMENT_REASON" "$(run_script "$root/real" i686)" \
    "an i686 script where 32-bit code cannot run" ;;
*) fail "the probe's answer is neither yes nor no: $real" ;;
esac

# Every registered _i686 test requires the probe and skips with status 77.
unmarked=$(ctest --test-dir "$E2E_BUILD_DIR" --show-only=json-v1 | python3 -c '
import json, sys
tests = json.load(sys.stdin)["tests"]
i686 = [t for t in tests if t["name"].endswith("_i686")]
if not i686:
    print("no _i686 test is registered")
for t in i686:
    props = {p["name"]: p["value"] for p in t.get("properties", [])}
    if props.get("SKIP_RETURN_CODE") != 77 or "code_segment" not in props.get("FIXTURES_REQUIRED", []):
        print(t["name"])
')
check_eq "" "$unmarked" "_i686 tests without the probe fixture or status 77"
rm -rf "$root"
echo "skip path: ok"
