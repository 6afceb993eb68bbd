#!/bin/bash
# Decides, once per test run, whether this machine runs 32-bit code (see
# "32-bit code" in wine.sh) and prints the answer: the CTest fixture that
# every i686 test requires.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/wine.sh"
e2e_probe_code_segment
