#!/bin/bash
# Runs once after all end-to-end tests: stops every wineserver still
# running for a prefix of either architecture under E2E_WORK (with the Windows programs of that
# prefix) and every Xvfb or wineserver recorded by tests that were killed
# before they could clean up. Keeps the templates for the next run.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/wine.sh"
e2e_require_work

servers=0
for prefix in "$E2E_WORK"/template-* "$E2E_WORK"/*/prefix; do
    if e2e_kill_wineserver "$prefix"; then
        servers=$((servers + 1))
        echo "teardown: stopped the wineserver of $prefix"
    fi
done

recorded=0
for file in "$E2E_WORK"/pids/*; do
    [[ -f $file ]] || continue
    name=${file##*/}
    recorded=$((recorded + $(e2e_stop_recorded "${name%.*}")))
done

echo "teardown: stopped $servers wineserver(s) by prefix, $recorded leftover process(es) by pid"
