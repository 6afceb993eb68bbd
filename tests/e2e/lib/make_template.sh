#!/bin/bash
# Creates the template Wine prefix "$E2E_WORK/template-$E2E_ARCH" that every
# end-to-end test of that architecture copies. Does nothing when a complete template exists;
# rebuilds one that is missing or was left incomplete by an interrupted run.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/wine.sh"
e2e_make_template
