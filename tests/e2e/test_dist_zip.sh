#!/bin/bash
# The Windows release zip as an author gets it: one folder with saverpack.exe
# (i686, runs on every Windows), setup-x86.exe and setup-x64.exe (the two
# stubs), README.md and LICENSE.txt. Unpacked, its saverpack.exe, given no
# --stub, builds for --arch x86 (the default) and x64 the very packages the
# Linux tool builds on the build tree's stubs. The i686 run starts the zip's
# own saverpack.exe; Debian's wine64 runs no 32-bit program, so the x86_64
# run puts the x86_64 build's saverpack.exe in its place, which finds the
# stubs the same way. Alone in a folder, saverpack.exe names every place it
# looked in.
set -euo pipefail
source "$(dirname "$0")/lib/wine.sh"
e2e_begin

dir=$E2E_TEST_DIR
zip=$DIST_DIR/saverpack-$VERSION-windows.zip
mkdir "$dir/zip"
(cd "$dir/zip" && cmake -E tar xf "$zip")
folder=$dir/zip/saverpack-$VERSION-windows
check_eq "LICENSE.txt README.md saverpack.exe saverpackConfig.cmake setup-x64.exe setup-x86.exe" \
  "$(cd "$dir/zip" && ls saverpack-$VERSION-windows | tr '\n' ' ' | sed 's/ $//')" \
  "the zip holds one folder with the tool, both stubs, the CMake package, README and licence"
check 'cmp "$folder/setup-x86.exe" "$WIN32_BIN_DIR/setup.exe"' "setup-x86.exe is the i686 stub"
check 'cmp "$folder/setup-x64.exe" "$WIN64_BIN_DIR/setup.exe"' "setup-x64.exe is the x86_64 stub"
check 'i686-w64-mingw32-objdump -f "$folder/saverpack.exe" | grep -q "file format pei-i386"' \
  "the zip's saverpack.exe is an i686 program"
if [[ $E2E_ARCH == x86_64 ]]; then
  cp "$WIN64_BIN_DIR/saverpack.exe" "$folder/saverpack.exe"
fi
tool=$folder/saverpack.exe

# Runs the Windows tool; its output without CRs.
windows_tool() {
  "$E2E_WINE" "$tool" "$@" 2>&1 | tr -d '\r'
  return "${PIPESTATUS[0]}"
}
check_eq "saverpack $VERSION" "$(windows_tool --version)" "saverpack.exe --version"

cp "$AURORA_SCR" "$EXAMPLES_DIR/readme.txt" "$EXAMPLES_DIR/license.txt" "$dir/"
inputs=(--screensaver Aurora.scr --title Aurora --web https://example.org --readme readme.txt
  --license license.txt --language de)
cd "$dir"
"$SAVERPACK" build -o reference-x86.exe --stub "$WIN32_BIN_DIR/setup.exe" "${inputs[@]}"
"$SAVERPACK" build -o reference-x64.exe --stub "$WIN64_BIN_DIR/setup.exe" "${inputs[@]}"
windows_tool build -o default.exe "${inputs[@]}" || fail "saverpack.exe build without --stub failed"
windows_tool build -o x86.exe --arch x86 "${inputs[@]}" || fail "saverpack.exe build --arch x86 failed"
windows_tool build -o x64.exe --arch x64 "${inputs[@]}" || fail "saverpack.exe build --arch x64 failed"
check 'cmp default.exe reference-x86.exe' "without --stub or --arch: the package on the x86 stub"
check 'cmp x86.exe reference-x86.exe' "--arch x86: the package on the x86 stub"
check 'cmp x64.exe reference-x64.exe' "--arch x64: the package on the x64 stub"

# Alone, the tool refuses and names its own folder, its share\saverpack and
# the build tree's place, in Windows paths.
mkdir -p "$dir/a/b/alone"
cp "$tool" "$dir/a/b/alone/saverpack.exe"
tool=$dir/a/b/alone/saverpack.exe
code=0
message=$(windows_tool build -o alone.exe "${inputs[@]}") || code=$?
check_eq 1 "$code" "without stubs beside it, saverpack.exe fails with exit code 1"
for place in "$dir/a/b/alone/setup-x86.exe" "$dir/a/b/share/saverpack/setup-x86.exe" \
  "$dir/a/win32/bin/setup.exe"; do
  windows=$(win_path "$place")
  check 'grep -qiF "  $windows: " <<<"$message"' "the refusal names $windows (got: $message)"
done
check '[[ ! -e alone.exe ]]' "nothing is written"
