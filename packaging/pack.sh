#!/bin/bash
# Packs the release (packaging/CMakeLists.txt) into OUT: the Debian package
# and the Linux archive from the native build, the Windows zip from the win32
# build. The builds (win32, win64 for its stub, native) must be current.
#
#   packaging/pack.sh [OUT [NATIVE_BUILD [WIN32_BUILD]]]   (default build/dist build/native build/win32)
set -euo pipefail
out=${1:-build/dist}
native=${2:-build/native}
win32=${3:-build/win32}
rm -rf "$out"
mkdir -p "$out"
for build in "$native" "$win32"; do
  cpack --config "$build/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1 ||
    { cat "$out/cpack.log"; exit 1; }
done
rm -rf "$out/_CPack_Packages" "$out/cpack.log"
