#!/bin/bash
# The unit tests built as a 32-bit Windows program (preset win32-unit), run
# under the 32-bit Wine environment in a copy of the i686 template prefix.
# GoogleTest's report goes to stdout; the exit code is the program's.
set -euo pipefail
source "$(dirname "$0")/lib/wine.sh"
[[ -f ${UNIT_TESTS_EXE:-} ]] ||
  fail "no $UNIT_TESTS_EXE: build it with cmake --preset win32-unit && cmake --build --preset win32-unit"
e2e_begin

# A hung test ends the run with a message before CTest's own timeout.
status=0
timeout 500 "$E2E_WINE" "$UNIT_TESTS_EXE" --gtest_brief=1 </dev/null || status=$?
((status == 0)) || fail "the i686 unit tests failed (exit status $status)"
