#!/bin/bash
# The Linux release packages as a user gets them: the Debian package passes
# lintian without errors, unpacks (dpkg-deb -x), installs and removes
# (dpkg -i / -r into a throwaway root with its own package database), and
# the Linux archive unpacks; each holds the files it should, and its
# saverpack, given no --stub, builds for --arch x86 (the default) and x64
# the very packages the build tree's saverpack builds on the build tree's
# stubs.
#
# Environment: DIST_DIR (packaging/pack.sh's output), VERSION, SAVERPACK
# (the build tree's tool), WIN32_BIN_DIR, WIN64_BIN_DIR, EXAMPLES_DIR, WORK.
set -euo pipefail
deb=$DIST_DIR/saverpack_${VERSION}_amd64.deb
archive=$DIST_DIR/saverpack-$VERSION-linux-x86_64.tar.gz
work=$WORK
rm -rf "$work"
mkdir -p "$work"

status=0
check() {  # CONDITION MESSAGE
  if eval "$1"; then echo "ok: $2"; else echo "FAILED: $2"; status=1; fi
}

# The example package, built by the build tree's tool on STUB into OUT.
reference() {  # OUT STUB
  "$SAVERPACK" build -o "$1" --stub "$2" "${inputs[@]}"
}
inputs=(--screensaver "$WIN64_BIN_DIR/Aurora.scr" --title Aurora --web https://example.org
  --readme "$EXAMPLES_DIR/readme.txt" --license "$EXAMPLES_DIR/license.txt" --language de)
reference "$work/reference-x86.exe" "$WIN32_BIN_DIR/setup.exe"
reference "$work/reference-x64.exe" "$WIN64_BIN_DIR/setup.exe"

# Checks the tool at TOOL (NAME says which package it came from): its
# version, and its packages without --stub against the references.
check_tool() {  # NAME TOOL
  local name=$1 tool=$2 out=$work/$1
  check '[[ $("$tool" --version) == "saverpack $VERSION" ]]' "$name: saverpack --version says $VERSION"
  "$tool" build -o "$out-default.exe" "${inputs[@]}" || true
  "$tool" build -o "$out-x86.exe" --arch x86 "${inputs[@]}" || true
  "$tool" build -o "$out-x64.exe" --arch x64 "${inputs[@]}" || true
  check 'cmp "$out-default.exe" "$work/reference-x86.exe"' \
    "$name: without --stub or --arch, the same package as on build/win32/bin/setup.exe"
  check 'cmp "$out-x86.exe" "$work/reference-x86.exe"' "$name: --arch x86 builds on the x86 stub"
  check 'cmp "$out-x64.exe" "$work/reference-x64.exe"' "$name: --arch x64 builds on the x64 stub"
}

# The files under ROOT/PREFIX, sorted, one line.
listing() {  # ROOT
  (cd "$1" && find . -type f | sort | tr '\n' ' ')
}
files="./bin/saverpack ./share/doc/saverpack/README.md ./share/doc/saverpack/changelog.gz \
./share/doc/saverpack/copyright ./share/man/man1/saverpack.1.gz \
./share/saverpack/cmake/saverpackConfig.cmake ./share/saverpack/setup-x64.exe \
./share/saverpack/setup-x86.exe "

# lintian: errors fail, warnings are shown.
lintian_out=$(lintian "$deb" 2>/dev/null) || true
echo "lintian: ${lintian_out:-no findings}"
check '! grep -q "^E:" <<<"$lintian_out"' "lintian finds no errors in $(basename "$deb")"
check '! grep -q "no-manual-page\|manpage-has" <<<"$lintian_out"' "lintian finds the manual page, and no fault in it"
check '[[ $(dpkg-deb -f "$deb" Version) == "$VERSION" ]]' "the package's version is $VERSION"
check 'dpkg-deb -f "$deb" Depends | grep -q libc6' "the package depends on the C library"

dpkg-deb -x "$deb" "$work/deb"
check '[[ $(listing "$work/deb/usr") == "$files" ]]' "the package holds bin/saverpack, the stubs and its documents under /usr (it holds: $(listing "$work/deb/usr"))"
check 'cmp "$work/deb/usr/share/saverpack/setup-x86.exe" "$WIN32_BIN_DIR/setup.exe"' "setup-x86.exe is the i686 stub"
check 'cmp "$work/deb/usr/share/saverpack/setup-x64.exe" "$WIN64_BIN_DIR/setup.exe"' "setup-x64.exe is the x86_64 stub"
check '! file "$work/deb/usr/bin/saverpack" | grep -q "not stripped"' "saverpack is stripped"
check_tool deb "$work/deb/usr/bin/saverpack"
check '[[ -z $(man -l --warnings=all "$work/deb/usr/share/man/man1/saverpack.1.gz" 2>&1 >/dev/null) ]] &&
  man -l "$work/deb/usr/share/man/man1/saverpack.1.gz" 2>/dev/null | grep -q -- "--uninstall-entry"' \
  "man saverpack shows the build options without a warning"

# dpkg -i and -r into a root of its own: only the package's files, and none
# left after removal. Its dependencies are the host's, so they are not
# checked in the empty database.
root=$work/root
mkdir -p "$root/var/lib/dpkg/updates" "$root/var/lib/dpkg/info"
touch "$root/var/lib/dpkg/status"
dpkg_root() { dpkg --root="$root" --force-not-root --force-depends --log=/dev/null "$@"; }
check 'dpkg_root -i "$deb" >"$work/dpkg.log" 2>&1' "dpkg -i installs the package"
check '[[ $(dpkg-query --admindir="$root/var/lib/dpkg" -W -f="\${Status}" saverpack) == "install ok installed" ]]' "dpkg knows the package as installed"
check_tool installed "$root/usr/bin/saverpack"
check 'dpkg_root -r saverpack >>"$work/dpkg.log" 2>&1' "dpkg -r removes it"
check '[[ -z $(find "$root/usr" -mindepth 1 2>/dev/null) ]]' "nothing of it is left"

mkdir -p "$work/archive"
tar -xzf "$archive" -C "$work/archive"
top=$work/archive/saverpack-$VERSION-linux-x86_64
check '[[ $(listing "$top") == "$files" ]]' "the archive holds one folder with the same files (it holds: $(listing "$top"))"
check_tool archive "$top/bin/saverpack"

echo "sizes: $(stat -c '%n %s' "$deb" "$archive" | sed "s|$DIST_DIR/||g" | tr '\n' ' ')"
[[ $status == 0 ]] && echo "linux packages: passed"
exit $status
