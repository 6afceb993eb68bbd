#!/bin/bash
# Fails when a file under src/ includes a header of a layer above its own,
# and likewise for the authoring tool under tools/saverpack/. Unit tests
# (*_test.cc) are left out: they may drive a whole run from the top.
# A file's layer is the first folder of LAYERS its path starts with; quoted
# includes ("folder/file.h") are taken from src/. The layers, top first, are
# the tree of docs/architecture.md, which is checked to list the same.
# The tool's layers, top first, are TOOL_LAYERS (folders on one line side by
# side, none above the other; "saverpack" is the command line at the top);
# its includes ("saverpack/host/host_file.h") are taken from tools/. The core
# never includes the tool.
#
#   tests/layer_check.sh [REPOSITORY_ROOT]
set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
LAYERS=(platform/win32 entry wizard uninstall install package lang platform)
TOOL_LAYERS=(saverpack "saverpack/build saverpack/inspect saverpack/winget" saverpack/text
             saverpack/host)

rank() {  # rank PATH: index of its layer in LAYERS, or nothing
    local i
    for i in "${!LAYERS[@]}"; do
        [[ $1 == "${LAYERS[$i]}"/* ]] && { echo "$i"; return 0; }
    done
    return 0
}

documented=$(sed -n '/^## Layers/,/^## /p' "$root/docs/architecture.md" |
    sed -n '/^```/,/^```/p' | sed -n 's#^ *\([a-z0-9_/]*[a-z0-9_]\)/ .*#\1#p' | tr '\n' ' ')
if [[ $documented != "${LAYERS[*]} " ]]; then
    echo "docs/architecture.md lists the layers as: $documented"
    echo "this check knows them as:                ${LAYERS[*]}"
    exit 1
fi

# tool_rank PATH: sets rank to the index in TOOL_LAYERS of the layer of PATH
# (from tools/), or to nothing; a file directly in saverpack/ is the top layer.
tool_rank() {
    local i folder
    rank=
    for i in "${!TOOL_LAYERS[@]}"; do
        ((i == 0)) && continue
        for folder in ${TOOL_LAYERS[$i]}; do
            [[ $1 == "$folder"/* ]] && { rank=$i; return 0; }
        done
    done
    [[ $1 == saverpack/* ]] && rank=0
    return 0
}

failures=0
while IFS= read -r file; do
    path=${file#"$root/src/"}
    own=$(rank "$path")
    [[ -n $own ]] || continue
    while IFS= read -r included; do
        other=$(rank "$included")
        if [[ -n $other && $other -lt $own ]]; then
            echo "src/$path includes $included, a layer above its own"
            failures=$((failures + 1))
        fi
    done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
done < <(find "$root/src" \( -name '*.h' -o -name '*.cc' \) ! -name '*_test.cc' | sort)

while IFS= read -r file; do
    path=${file#"$root/"}
    if [[ $path == src/* ]]; then
        own=${#TOOL_LAYERS[@]}  # the core, below the whole tool
    else
        tool_rank "${path#tools/}"
        own=$rank
    fi
    while IFS= read -r included; do
        tool_rank "$included"
        if [[ -n $rank && $rank -lt $own ]]; then
            echo "$path includes $included, a layer above its own"
            failures=$((failures + 1))
        fi
    done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
done < <(find "$root/src" "$root/tools/saverpack" \( -name '*.h' -o -name '*.cc' \) \
         ! -name '*_test.cc' | sort)
if ((failures > 0)); then
    echo "$failures upward include(s)"
    exit 1
fi
echo "no file includes a layer above its own (${LAYERS[*]}; ${TOOL_LAYERS[*]})"
