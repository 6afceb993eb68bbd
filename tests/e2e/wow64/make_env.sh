#!/bin/bash
# Builds the 32-bit Wine environment that runs the i686 programs: a Debian
# trixie chroot whose Wine (10.0) runs 32-bit Windows programs in its WoW64
# mode inside a 64-bit process, so no 32-bit Linux code is needed.
#
#   bash tests/e2e/wow64/make_env.sh
#
# The chroot lives outside the repository (WOW64_ROOT, default
# /var/cache/scrsetup/wine-wow64) so that every clone reuses it. Does nothing
# when a complete one exists. It is built in "$WOW64_ROOT.new" and renamed
# into place with its stamp only when complete, so an interrupted build is
# simply built again. Every mount the build needs is made in a private mount
# namespace and vanishes with it.
set -euo pipefail

WOW64_ROOT=${WOW64_ROOT:-/var/cache/scrsetup/wine-wow64}
# Bump when the recipe below changes: older environments are rebuilt.
recipe=2
stamp=.scrsetup-wow64-recipe

complete() { [[ $(cat "$WOW64_ROOT/$stamp" 2>/dev/null) == "$recipe" ]]; }

# The Debian mirror apt uses on this machine (deb822 or one-line sources).
debian_mirror() {
    local uri
    uri=$(cat /etc/apt/sources.list.d/*.sources 2>/dev/null |
        awk '/^URIs:/ && $2 ~ /\/debian\/?$/ {print $2; exit}')
    [[ -n $uri ]] || uri=$(awk '$1 == "deb" && $2 ~ /\/debian\/?$/ {print $2; exit}' \
        /etc/apt/sources.list 2>/dev/null)
    echo "${uri:-http://deb.debian.org/debian}"
}

# Runs COMMAND... inside the chroot DIR with /proc and /dev, in a private
# mount namespace.
in_chroot() {
    local dir=$1
    shift
    unshare -m --propagation private bash -c '
        dir=$1; shift
        mount -t proc proc "$dir/proc" && mount --rbind /dev "$dir/dev" &&
            exec chroot "$dir" "$@"' _ "$dir" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin \
        DEBIAN_FRONTEND=noninteractive LC_ALL=C.UTF-8 "$@"
}

build() {
    local dir=$1 mirror version start=$SECONDS
    mirror=$(debian_mirror)
    echo "wow64 environment: debootstrap trixie from $mirror into $dir"
    # debootstrap mounts /proc and /sys in the target; keep those private.
    unshare -m --propagation private \
        debootstrap --variant=minbase trixie "$dir" "$mirror" >"$dir.log" 2>&1 ||
        { tail -n 30 "$dir.log"; echo "debootstrap failed, see $dir.log" >&2; return 1; }
    echo "wow64 environment: installing Wine ($((SECONDS - start)) s)"
    # A Japanese font, so that wizard screenshots under code page 932 show
    # their texts (Wine finds it through fontconfig).
    in_chroot "$dir" apt-get install -y -q --no-install-recommends wine wine64 fonts-wine \
        fonts-ipafont-gothic \
        >>"$dir.log" 2>&1 || { tail -n 30 "$dir.log"; return 1; }
    # Only the PE files of the i386 build are needed: WoW64 runs them in the
    # 64-bit process; none of the package's i386 ELF files ever runs.
    version=$(in_chroot "$dir" dpkg-query -W -f='${Version}' wine64)
    in_chroot "$dir" dpkg --add-architecture i386
    in_chroot "$dir" apt-get update -q >>"$dir.log" 2>&1 || { tail -n 30 "$dir.log"; return 1; }
    in_chroot "$dir" bash -c "cd /tmp && apt-get download -q libwine:i386=$version &&
        dpkg -x libwine_*_i386.deb /tmp/libwine-i386 &&
        cp -a /tmp/libwine-i386/usr/lib/i386-linux-gnu/wine/i386-windows \
            /usr/lib/x86_64-linux-gnu/wine/ &&
        rm -rf /tmp/libwine-i386 libwine_*_i386.deb && apt-get clean" >>"$dir.log" 2>&1 ||
        { tail -n 30 "$dir.log"; return 1; }
    [[ -f $dir/usr/lib/x86_64-linux-gnu/wine/i386-windows/kernel32.dll ]] ||
        { echo "no i386 Windows DLLs in $dir" >&2; return 1; }
    echo "wow64 environment: Wine $version ready ($((SECONDS - start)) s)"
}

if ! complete; then
    mkdir -p "$(dirname "$WOW64_ROOT")"
    exec {lock}>"$WOW64_ROOT.lock"
    flock "$lock"
    if ! complete; then
        rm -rf "$WOW64_ROOT.new" "$WOW64_ROOT.old"
        mkdir -p "$WOW64_ROOT.new"
        build "$WOW64_ROOT.new"
        echo "$recipe" >"$WOW64_ROOT.new/$stamp"
        [[ ! -e $WOW64_ROOT ]] || mv "$WOW64_ROOT" "$WOW64_ROOT.old"
        mv "$WOW64_ROOT.new" "$WOW64_ROOT"
        rm -rf "$WOW64_ROOT.old" "$WOW64_ROOT.new.log"
        echo "wow64 environment: $(du -sh "$WOW64_ROOT" | cut -f1) in $WOW64_ROOT"
    fi
    exec {lock}>&-
fi
