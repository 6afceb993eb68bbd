#!/bin/bash
# The CMake package: `cmake --install` puts saverpackConfig.cmake beside the
# tool, and an author's project (author_project/) builds the example
# screensaver with mingw-w64 and its signed setup package through
# find_package(saverpack) and saverpack_add_package.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
fail() { echo "FAIL: $*" >&2; exit 1; }

rm -rf "$WORK"
mkdir -p "$WORK/project"
cmake --install "$NATIVE_BUILD" --prefix "$WORK/prefix" >"$WORK/install.log" ||
  fail "cmake --install failed, see $WORK/install.log"
[[ -f $WORK/prefix/share/saverpack/cmake/saverpackConfig.cmake ]] ||
  fail "cmake --install puts no share/saverpack/cmake/saverpackConfig.cmake"

# The project's package file: the example's, its paths to the build tree left out.
cp "$here/author_project/CMakeLists.txt" "$EXAMPLES_DIR/readme.txt" "$EXAMPLES_DIR/license.txt" \
  "$WORK/project/"
grep -Ev '^(output|stub|screensaver) *=' "$EXAMPLES_DIR/aurora.ini" >"$WORK/project/aurora.ini"

keys=$WORK/keys
mkdir -p "$keys"
openssl req -x509 -newkey rsa:2048 -nodes -keyout "$keys/key.pem" -out "$keys/cert.pem" -days 2 \
  -subj "/CN=Aurora Makers" -addext "extendedKeyUsage=codeSigning" >"$WORK/keys.log" 2>&1 ||
  fail "making a certificate failed"
sign="osslsigncode sign -certs '$keys/cert.pem' -key '$keys/key.pem' -in {file} -out {file}.signed && mv {file}.signed {file}"

cmake -S "$WORK/project" -B "$WORK/build" -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" \
  -Dsaverpack_DIR="$WORK/prefix/share/saverpack/cmake" -DEXAMPLES_DIR="$EXAMPLES_DIR" \
  -DSIGN_COMMAND="$sign" >"$WORK/configure.log" 2>&1 || fail "configuring failed, see $WORK/configure.log"
cmake --build "$WORK/build" >"$WORK/build.log" 2>&1 || fail "building failed, see $WORK/build.log"

package=$WORK/build/Aurora-setup.exe
[[ -f $package ]] || fail "no $package"
"$WORK/prefix/bin/saverpack" inspect --verify "$package" >"$WORK/inspect.txt" ||
  fail "the package does not verify: $(cat "$WORK/inspect.txt")"
grep -q '^ScreensaverFile *"Aurora.scr"' "$WORK/inspect.txt" || fail "not the screensaver: $(cat "$WORK/inspect.txt")"
grep -q '^SignedUninstallers *"as built: ' "$WORK/inspect.txt" ||
  fail "no signed uninstaller: $(grep Signed "$WORK/inspect.txt")"
osslsigncode verify -CAfile "$keys/cert.pem" -in "$package" >"$WORK/verify.log" 2>&1 ||
  fail "the package's signature does not verify, see $WORK/verify.log"
echo "PASS: the example screensaver and its signed package built through find_package(saverpack)"
