#!/bin/bash
# make bench: prints figures, each beside the reference it is held against,
# measured in the same run. Nothing here passes or fails on time; the script
# fails only when something it measures does not work (a build, a wrong
# result, an installation that does not succeed).
#
#   1. stub size: both setup.exe files against the 128 KiB goal for i686,
#      their imported DLLs, sections, and (from a linker map of an identical
#      i686 build in a temporary folder) the largest contributors
#   2. LocatePackage over 64 MiB appended after the end signature, against a
#      plain sequential read of the same bytes
#   3. "setup.exe -silent" of a package with a BENCH_COPY_MIB (default 512)
#      MiB screensaver under Wine, against "cmd /c copy" of the same bytes in
#      the same prefix, and the fixed cost: a small package with every
#      registration, and the same without them, against "cmd /c exit";
#      median and best of BENCH_RUNS (default 5) runs each
#   4. only with BENCH_LARGE=1 (minutes, 3+ GiB of disk): "setup.exe -silent"
#      of a package with a BENCH_LARGE_MIB (default 1024) MiB screensaver under
#      Wine, against cp of the same file, with the installer's peak memory
#   5. "saverpack build" of a BENCH_BUILD_MIB (default 512) MiB screensaver,
#      which takes the check block's CRC-32 as the bytes pass, against cat of
#      the same bytes into a file: best of BENCH_RUNS runs each
#   6. the fixed cost against the peer installer (Debian's nsis, a reference
#      only, script bench/peer_small.nsi): the same small silent installation
#      by both, BENCH_PEER_RUNS (default 15) interleaved pairs, median of the
#      pairs' ratios; and the first wizard page until visible, BENCH_PAGE_RUNS
#      (default 7) pairs. x86_64 against the amd64-unicode target, i686
#      against x86-unicode where the machine runs 32-bit code (BENCH_I686=0
#      skips the probe)
#   7. the CRC-32 paths over 512 MiB in memory (crc32_bench)
#
# Settings: BENCH_SECTIONS="1 6 7" runs only those sections; BENCH_MAP=0 skips the map build; BENCH_MAP_DIR (default
# ${TMPDIR:-/tmp}/scrsetup-bench-map-win32) is where it goes. SETUP_EXE
# (default build/win64/bin/setup.exe) is the stub of sections 3 and 4.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$root/build/bench
SAVERPACK=${SAVERPACK:-$root/build/native/bin/saverpack}
LOCATE_BENCH=${LOCATE_BENCH:-$root/build/native/bin/locate_package_bench}
CRC32_BENCH=${CRC32_BENCH:-$root/build/native/bin/crc32_bench}
STUB_GOAL_I686=$((128 * 1024))
SETUP_EXE=${SETUP_EXE:-$root/build/win64/bin/setup.exe}
mkdir -p "$out"

heading() { printf '\n== %s\n' "$*"; }
# Whether section $1 runs: BENCH_SECTIONS (default: all) lists the ones to run.
wanted() { [[ " ${BENCH_SECTIONS:-1 2 3 3b 4 5 6 7} " == *" $1 "* ]]; }
kib() { awk -v n="$1" 'BEGIN { printf "%.1f KiB", n / 1024 }'; }

# ------------------------------------------------------------ stub size

# Prints "SIZE OUTPUT_SECTION INPUT_SECTION FILE" for every input section a
# GNU ld map file shows in the image (debug sections left out).
map_input_sections() {
    awk '
        function hex(text,   i, n) {
            n = 0
            text = tolower(substr(text, 3))
            for (i = 1; i <= length(text); i++) n = n * 16 + index("0123456789abcdef", substr(text, i, 1)) - 1
            return n
        }
        function emit(name, size, file,   n) {
            n = hex(size)
            if (n > 0 && output !~ /^[.](debug|stab)/) print n, output, name, file
        }
        /^Linker script and memory map/ { in_map = 1; next }
        !in_map { next }
        /^[.][^ ]/ { output = $1; next }
        /^ [.*][^ ]*$/ { pending = $1; next }
        /^ [.][^ ]* +0x[0-9a-f]+ +0x[0-9a-f]+ / { emit($1, $3, $4); pending = ""; next }
        pending != "" && /^ +0x[0-9a-f]+ +0x[0-9a-f]+ [^ ]/ { emit(pending, $2, $3) }
        { pending = "" }
    ' "$1"
}

# Prints the COUNT largest sums of SIZE by KEY ("lib": archive, "member":
# archive member or object file) from map_input_sections output on stdin.
sum_by() {
    awk -v key="$1" '{
        file = $4; sub(/.*\//, "", file)
        if (key == "lib") sub(/\(.*/, "", file)
        sum[file] += $1
    } END { for (f in sum) printf "%8d  %s\n", sum[f], f }' | sort -rn | sed -n "1,$2p"
}

stub_report() {
    local arch=$1 exe=$root/build/$1/bin/setup.exe objdump=$2 size
    [[ -f $exe ]] || { echo "$exe is missing: build it with make build-$arch" >&2; return 1; }
    size=$(stat -c %s "$exe")
    printf '%s setup.exe: %d bytes (%s)' "$arch" "$size" "$(kib "$size")"
    if [[ $arch == win32 ]]; then
        printf '   goal: %d bytes (128 KiB); %+d bytes against it (%.2fx the goal)' \
            "$STUB_GOAL_I686" $((size - STUB_GOAL_I686)) "$(awk -v a="$size" -v b="$STUB_GOAL_I686" 'BEGIN { print a / b }')"
    fi
    echo
    printf '  imports: %s\n' "$("$objdump" -p "$exe" | sed -n 's/^\s*DLL Name: //p' | tr '\n' ' ')"
    echo "  sections (bytes in memory):"
    "$objdump" -h "$exe" | awk '$1 ~ /^[0-9]+$/ { printf "    %-9s %7d\n", $2, strtonum_hex($3) }
        function strtonum_hex(text,   i, n) {
            n = 0; text = tolower(text)
            for (i = 1; i <= length(text); i++) n = n * 16 + index("0123456789abcdef", substr(text, i, 1)) - 1
            return n
        }'
}

# Builds the i686 stub once more in a temporary folder, with the same flags,
# and shows where its bytes come from by the linker map its link writes
# (src/platform/win32/setup.map of the build; a map asked for through
# CMAKE_EXE_LINKER_FLAGS would be CMake's test link, not the stub's).
stub_map_report() {
    local dir=${BENCH_MAP_DIR:-${TMPDIR:-/tmp}/scrsetup-bench-map-win32} sections
    (cd "$root" && cmake --preset win32 -B "$dir" >/dev/null &&
        cmake --build "$dir" -j2 --target setup >"$dir.log" 2>&1) ||
        { echo "map build failed, see $dir.log" >&2; return 1; }
    printf 'map build: %s, %d bytes (build/win32/bin/setup.exe: %d)\n' "$dir/bin/setup.exe" \
        "$(stat -c %s "$dir/bin/setup.exe")" "$(stat -c %s "$root/build/win32/bin/setup.exe")"
    sections=$out/setup-win32.sections
    map_input_sections "$dir/src/platform/win32/setup.map" >"$sections"
    echo "  by library (all sections, bytes):"
    sum_by lib 10 <"$sections" | sed 's/^/  /'
    echo "  by object file (all sections, bytes):"
    sum_by member 16 <"$sections" | sed 's/^/  /'
    echo "  largest single input sections of .text (functions when they have their own section):"
    awk '$2 == ".text"' "$sections" | sort -rn | sed -n 1,12p | while read -r size _ name file; do
        name=${name#.text}
        name=${name#\$}
        printf '    %8d  %s  [%s]\n' "$size" "$(c++filt <<<"${name:-(whole .text of the file)}" | cut -c1-70)" "${file##*/}"
    done
}

if wanted 1; then
    heading "1. stub size"
    stub_report win32 i686-w64-mingw32-objdump
    stub_report win64 x86_64-w64-mingw32-objdump
    if [[ ${BENCH_MAP:-1} != 0 ]]; then
        stub_map_report
    fi
fi

# ------------------------------------------------- locating the package

# Prints PackageEnd of package $1: the offset just past its end signature.
package_end() {
    "$SAVERPACK" inspect --json "$1" | sed -n 's/^ *"PackageEnd": *\([0-9]*\).*/\1/p'
}

if wanted 2; then
    heading "2. LocatePackage with 64 MiB after the end signature"
    package=$out/locate/package.exe
    rm -rf "$out/locate"
    mkdir -p "$out/locate"
    "$SAVERPACK" build -o "$package" --stub "$root/build/win64/bin/setup.exe" \
        --screensaver "$root/build/win64/bin/probe.scr" --title Aurora >/dev/null
    # Where the package ends, before the check block that may follow its signature.
    end=$(package_end "$package")
    head -c $((64 * 1024 * 1024)) /dev/urandom >>"$package"
    "$LOCATE_BENCH" "$package" "$end"
    rm -rf "$out/locate"
fi

# ------------------------------------- silent install against cmd /c copy

# Prints the median and the smallest of the numbers given.
median() { printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
best() { printf '%s\n' "$@" | sort -n | head -n 1; }
seconds() { awk -v m="$1" 'BEGIN { printf "%.3f s", m / 1000 }'; }

# Runs wine64 with ARGS in the foreground and prints the milliseconds it
# took; fails when it does not exit with 0.
timed_wine() {
    local t0 code=0
    t0=$(e2e_now_ms)
    "$E2E_WINE" "$@" </dev/null >>"$E2E_TEST_DIR/wine.log" 2>&1 || code=$?
    ((code == 0)) || fail "wine64 $* exited with $code"
    echo $(($(e2e_now_ms) - t0))
}

# Prints the ratio A / B with two decimals.
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
# Prints "LABEL  MEDIAN  BEST" of the milliseconds given after LABEL.
row() {
    local label=$1
    shift
    printf '  %-58s %10s %10s\n' "$label" "$(seconds "$(median "$@")")" "$(seconds "$(best "$@")")"
}
# Prints "LABEL: Nx the time (median), Mx (best)" of the runs in the arrays named A and B.
ratio_row() {
    local -n a=$2 b=$3
    printf '  %s: %sx the time (median), %sx (best)%s\n' "$1" \
        "$(ratio "$(median "${a[@]}")" "$(median "${b[@]}")")" \
        "$(ratio "$(best "${a[@]}")" "$(best "${b[@]}")")" "${4:+   target: $4}"
}

# Prints the median of the ratios A[i] / B[i] of the arrays named A and B.
median_ratio() {
    local -n a=$1 b=$2
    local i ratios=()
    for i in "${!a[@]}"; do ratios+=("$(ratio "${a[$i]}" "${b[$i]}")"); done
    median "${ratios[@]}"
}

# Makes "$2" a screensaver of $1 MiB: the probe screensaver (the "install"
# verb starts it; it exits at once) followed by incompressible bytes.
make_large_screensaver() {
    cp "$root/build/win64/bin/probe.scr" "$2"
    head -c $(($1 * 1024 * 1024 - $(stat -c %s "$2"))) /dev/urandom >>"$2"
}

# In the first run (RUN 0) fails with MESSAGE unless file COPY holds the
# bytes of file PAYLOAD; then deletes COPY's folder, so that no run leaves
# hundreds of MiB of dirty pages behind for the next to pay.
# Usage: settle PAYLOAD COPY RUN MESSAGE
settle() {
    local payload=$1 copy=$2
    (($3 > 0)) || check 'cmp -s "$payload" "$copy"' "$4"
    # The screensaver the "install" verb started may still be ending.
    rm -rf "${copy%/*}" 2>/dev/null || { sleep 2; rm -rf "${copy%/*}"; }
}

# Runs in a subshell: e2e_begin's EXIT trap ends it.
copy_bench() {
    local mib=${BENCH_COPY_MIB:-512} runs=${BENCH_RUNS:-5} drive bench i end block
    local install=() cut=() copy=() exit_ms=() small=() bare=()
    export E2E_WORK=$out/e2e E2E_TEST_NAME=silent_install_copy
    source "$root/tests/e2e/lib/wine.sh"
    e2e_begin
    drive=$WINEPREFIX/drive_c
    bench=$drive/bench
    mkdir -p "$bench"
    make_large_screensaver "$mib" "$bench/Large.scr"
    "$SAVERPACK" build -o "$bench/Large-setup.exe" --stub "$SETUP_EXE" \
        --screensaver "$bench/Large.scr" --title Large >/dev/null
    # The same package cut at PackageEnd: without the check block that
    # follows the end signature, the installer copies without checking.
    end=$(package_end "$bench/Large-setup.exe")
    [[ -n $end ]] || fail "saverpack inspect gives no PackageEnd for the large package"
    block=$(($(stat -c %s "$bench/Large-setup.exe") - end))
    head -c "$end" "$bench/Large-setup.exe" >"$bench/Cut-setup.exe"
    echo "Read me" >"$bench/readme.txt"
    "$SAVERPACK" build -o "$bench/Small-setup.exe" --stub "$SETUP_EXE" \
        --screensaver "$root/build/win64/bin/probe.scr" --title Small --readme "$bench/readme.txt" \
        --uninstall-entry --program-group --desktop-shortcut >/dev/null
    "$SAVERPACK" build -o "$bench/Bare-setup.exe" --stub "$SETUP_EXE" \
        --screensaver "$root/build/win64/bin/probe.scr" --title Bare >/dev/null
    cat "$bench"/*.exe "$bench/Large.scr" >/dev/null  # into the page cache

    for ((i = 0; i < runs; i++)); do
        # The screensaver the "install" verb started may still be ending.
        sleep 0.5
        rm -rf "$drive/Small" "$drive/Bare" 2>/dev/null || { sleep 2; rm -rf "$drive/Small" "$drive/Bare"; }
        mkdir -p "$drive/copy"
        # The two packages take turns at going first.
        if ((i % 2 == 0)); then
            install+=("$(timed_wine 'C:\bench\Large-setup.exe' -silent 'C:\Large')")
            settle "$bench/Large.scr" "$drive/Large/Large.scr" "$i" "installed screensaver is byte-identical to the payload"
        fi
        cut+=("$(timed_wine 'C:\bench\Cut-setup.exe' -silent 'C:\Cut')")
        settle "$bench/Large.scr" "$drive/Cut/Large.scr" "$i" "the cut package installed the same bytes"
        if ((i % 2 == 1)); then
            install+=("$(timed_wine 'C:\bench\Large-setup.exe' -silent 'C:\Large')")
            settle "$bench/Large.scr" "$drive/Large/Large.scr" "$i" "installed screensaver is byte-identical to the payload"
        fi
        copy+=("$(timed_wine cmd /c copy /b 'C:\bench\Large.scr' 'C:\copy\Large.scr')")
        settle "$bench/Large.scr" "$drive/copy/Large.scr" "$i" "cmd /c copy made the same bytes"
        exit_ms+=("$(timed_wine cmd /c exit)")
        small+=("$(timed_wine 'C:\bench\Small-setup.exe' -silent 'C:\Small')")
        bare+=("$(timed_wine 'C:\bench\Bare-setup.exe' -silent 'C:\Bare')")
    done
    check 'test -f "$drive/Small/uninstall probe.exe"' "the small package wrote its uninstaller"

    printf '  payload: %d MiB, onto the prefix'"'"'s disk (%s, page cache, no flush); %d runs each\n' \
        "$mib" "$(df --output=fstype "$drive" | tail -n 1)" "$runs"
    printf '  ms of every run: install %s; cut package %s; copy %s\n' "${install[*]}" "${cut[*]}" "${copy[*]}"
    printf '  %-58s %10s %10s\n' "" median best
    row "setup.exe -silent" "${install[@]}"
    row "reference: cmd /c copy /b of the payload" "${copy[@]}"
    ratio_row "installation / copy" install copy "within 1.05x"
    if ((block > 0)); then
        printf '  check block: %d bytes after PackageEnd\n' "$block"
    else
        printf '  check block: none (this saverpack writes none): both packages are the same bytes\n'
    fi
    row "setup.exe -silent of the package cut at PackageEnd" "${cut[@]}"
    ratio_row "with its check block / cut at PackageEnd" install cut "within 1.05x"
    printf '  the same, median of the pairs'"'"' ratios (each pair run back to back): %sx\n' \
        "$(median_ratio install cut)"
    row "small package, readme, entry, group, desktop link" "${small[@]}"
    row "small package without readme and registrations" "${bare[@]}"
    row "reference: cmd /c exit" "${exit_ms[@]}"
    printf '  fixed cost beyond cmd /c exit (medians): %s with registrations, %s without\n' \
        "$(seconds $(($(median "${small[@]}") - $(median "${exit_ms[@]}"))))" \
        "$(seconds $(($(median "${bare[@]}") - $(median "${exit_ms[@]}"))))"
    rm -rf "$bench"
}

if wanted 3; then
    heading "3. silent installation against cmd /c copy of the same bytes under Wine"
    (copy_bench)
fi

# ---------------------------------------- the same onto a throttled disk

# A slow disk: an ext4 file system in an image on this machine's disk,
# through a loop device with direct I/O (its writes reach the real disk, not
# the page cache of the image file), its writes limited to
# BENCH_SLOW_MIBPS MiB/s by the block I/O controller (cgroup v1 blkio, or v2
# io.max), and its dirty pages to 8 MiB ("strict_limit", "max_bytes" of its
# writeback device), so that a writer is held to the disk's pace as on a slow
# USB stick instead of filling the page cache. Everything runs in a private
# mount namespace (the caller's unshare -m): the mount ends with it.
SLOW_DISK_DIRTY_BYTES=$((8 * 1024 * 1024))

# Sets the write limit of block device MAJ:MIN ($1) to $2 bytes a second (0:
# none again). Fails when neither cgroup version can limit it here. With
# cgroup v2 the limit belongs to a group, not to the device: this shell and
# what it starts (Wine and its server) move into a group of their own, and
# back into their first group afterwards.
limit_writes() {
    local v1=/sys/fs/cgroup/blkio/blkio.throttle.write_bps_device v2=/sys/fs/cgroup
    local group=$v2/scrsetup-bench
    if [[ -w $v1 ]]; then
        echo "$1 $2" >"$v1"
    elif [[ -f $v2/cgroup.subtree_control ]]; then
        if (($2 > 0)); then
            SLOW_DISK_FIRST_GROUP=$v2$(sed -n 's/^0:://p' /proc/self/cgroup)
            grep -qw io "$v2/cgroup.subtree_control" || echo +io >"$v2/cgroup.subtree_control" || return 1
            mkdir -p "$group" && echo "$1 wbps=$2" >"$group/io.max" && echo "$BASHPID" >"$group/cgroup.procs"
        else
            [[ -n ${SLOW_DISK_FIRST_GROUP:-} ]] || return 0
            echo "$BASHPID" >"$SLOW_DISK_FIRST_GROUP/cgroup.procs" && rmdir "$group"
        fi
    else
        return 1
    fi
}

# Runs in its own mount namespace: makes the slow disk at "$out/slow-disk",
# runs slow_disk_copy_bench on it, and takes everything down again, also
# when interrupted.
slow_disk_bench() {
    local device status=0
    SLOW_DISK_IMAGE=$out/slow-disk.img SLOW_DISK=$out/slow-disk SLOW_DISK_NUMBER=
    trap slow_disk_restore EXIT
    trap 'exit 130' INT
    trap 'exit 143' TERM
    rm -f "$SLOW_DISK_IMAGE"
    truncate -s $((BENCH_SLOW_MIB * 3 + 256))M "$SLOW_DISK_IMAGE"
    mkfs.ext4 -q -F "$SLOW_DISK_IMAGE"
    device=$(losetup -f --show --direct-io=on "$SLOW_DISK_IMAGE")
    mkdir -p "$SLOW_DISK"
    # The loop device goes when the file system is unmounted (autoclear).
    mount "$device" "$SLOW_DISK" && losetup -d "$device" || { losetup -d "$device"; return 1; }
    SLOW_DISK_NUMBER=$(lsblk -ndo MAJ:MIN "$device" | tr -d ' ')
    SLOW_DISK_BDI=/sys/class/bdi/$SLOW_DISK_NUMBER
    SLOW_DISK_SAVED="$(cat "$SLOW_DISK_BDI/max_ratio") $(cat "$SLOW_DISK_BDI/strict_limit")"
    if ! limit_writes "$SLOW_DISK_NUMBER" $((BENCH_SLOW_MIBPS * 1024 * 1024)); then
        echo "  skipped: no block I/O controller can limit writes here (neither cgroup v1 blkio nor v2 io.max)"
        return 0
    fi
    echo 1 >"$SLOW_DISK_BDI/strict_limit"
    echo "$SLOW_DISK_DIRTY_BYTES" >"$SLOW_DISK_BDI/max_bytes"
    (slow_disk_copy_bench) || status=$?
    return "$status"
}

# Takes the slow disk down: the write limit and the writeback settings of
# its device back to what they were, the file system unmounted (which frees
# the loop device), the image deleted.
slow_disk_restore() {
    local status=$? ratio strict
    if [[ -n $SLOW_DISK_NUMBER ]]; then
        limit_writes "$SLOW_DISK_NUMBER" 0 || true
        if [[ -n ${SLOW_DISK_SAVED:-} ]]; then
            read -r ratio strict <<<"$SLOW_DISK_SAVED"
            echo "$strict" >"$SLOW_DISK_BDI/strict_limit"
            echo "$ratio" >"$SLOW_DISK_BDI/max_ratio"
        fi
    fi
    mountpoint -q "$SLOW_DISK" && umount "$SLOW_DISK"
    rm -f "$SLOW_DISK_IMAGE"
    rmdir "$SLOW_DISK" 2>/dev/null || true
    exit "$status"
}

# Runs wine64 with ARGS, then flushes the slow disk, and prints the
# milliseconds both took; fails when wine64 does not exit with 0.
timed_flushed_wine() {
    local t0 code=0
    t0=$(e2e_now_ms)
    "$E2E_WINE" "$@" </dev/null >>"$E2E_TEST_DIR/wine.log" 2>&1 || code=$?
    ((code == 0)) || fail "wine64 $* exited with $code"
    sync -f "$SLOW_DISK"
    echo $(($(e2e_now_ms) - t0))
}

# Runs in a subshell: e2e_begin's EXIT trap ends it. The slow disk is
# drive E: of a fresh prefix; the package and the payload stay on C:.
slow_disk_copy_bench() {
    local runs=${BENCH_RUNS:-5} bench i install=() copy=()
    export E2E_WORK=$out/e2e E2E_TEST_NAME=silent_install_slow_disk
    source "$root/tests/e2e/lib/wine.sh"
    e2e_begin
    bench=$WINEPREFIX/drive_c/bench
    mkdir -p "$bench"
    ln -s "$SLOW_DISK" "$WINEPREFIX/dosdevices/e:"
    make_large_screensaver "$BENCH_SLOW_MIB" "$bench/Large.scr"
    "$SAVERPACK" build -o "$bench/Large-setup.exe" --stub "$SETUP_EXE" \
        --screensaver "$bench/Large.scr" --title Large >/dev/null
    cat "$bench"/* >/dev/null  # into the page cache
    for ((i = 0; i < runs; i++)); do
        sleep 0.5
        mkdir -p "$SLOW_DISK/copy"
        sync -f "$SLOW_DISK"
        install+=("$(timed_flushed_wine 'C:\bench\Large-setup.exe' -silent 'E:\Large')")
        settle "$bench/Large.scr" "$SLOW_DISK/Large/Large.scr" "$i" "installed screensaver is byte-identical to the payload"
        copy+=("$(timed_flushed_wine cmd /c copy /b 'C:\bench\Large.scr' 'E:\copy\Large.scr')")
        settle "$bench/Large.scr" "$SLOW_DISK/copy/Large.scr" "$i" "cmd /c copy made the same bytes"
    done
    printf '  payload: %d MiB onto drive E:, ext4 on a loop device (direct I/O) writing at most %d MiB/s,\n' \
        "$BENCH_SLOW_MIB" "$BENCH_SLOW_MIBPS"
    printf '  8 MiB of dirty pages; each run timed up to the end of "sync -f" of E:; %d runs each\n' "$runs"
    printf '  ms of every run: install %s; copy %s\n' "${install[*]}" "${copy[*]}"
    printf '  %-58s %10s %10s\n' "" median best
    row "setup.exe -silent onto the slow disk" "${install[@]}"
    row "reference: cmd /c copy /b onto the slow disk" "${copy[@]}"
    ratio_row "installation / copy" install copy "within 1.05x"
    printf '  (%d MiB at %d MiB/s alone take %s)\n' "$BENCH_SLOW_MIB" "$BENCH_SLOW_MIBPS" \
        "$(seconds $((BENCH_SLOW_MIB * 1000 / BENCH_SLOW_MIBPS)))"
    rm -rf "$bench"
}

if wanted 3b; then
    export BENCH_SLOW_MIB=${BENCH_SLOW_MIB:-128} BENCH_SLOW_MIBPS=${BENCH_SLOW_MIBPS:-40}
    heading "3b. the same onto a slow disk: $BENCH_SLOW_MIB MiB at $BENCH_SLOW_MIBPS MiB/s"
    if [[ ${BENCH_SLOW:-1} == 0 ]]; then
        echo "  skipped (BENCH_SLOW=0)"
    else
        export root out SAVERPACK SETUP_EXE SLOW_DISK_DIRTY_BYTES
        export -f limit_writes slow_disk_bench slow_disk_restore timed_flushed_wine slow_disk_copy_bench make_large_screensaver settle \
            median best seconds ratio row ratio_row
        unshare -m --propagation private bash -c 'set -euo pipefail; slow_disk_bench'
    fi
fi

# ------------------------------------------------ large silent install

# Runs in a subshell: e2e_begin's EXIT trap ends it.
large_install_bench() {
    local mib=${BENCH_LARGE_MIB:-1024} dir payload package folder code rss_file t0 cp_ms install_ms
    local baseline install_rss E2E_WINE_REAL
    export E2E_WORK=$out/e2e E2E_TEST_NAME=silent_install_large
    source "$root/tests/e2e/lib/wine.sh"
    e2e_begin
    dir=$E2E_TEST_DIR
    payload=$dir/Large.scr
    package=$dir/Large-setup.exe
    # A real screensaver (it records its arguments and exits when the shell's
    # "install" verb starts it) followed by incompressible bytes.
    cp "$root/build/win64/bin/probe.scr" "$payload"
    head -c $((mib * 1024 * 1024 - $(stat -c %s "$payload"))) /dev/urandom >>"$payload"
    "$SAVERPACK" build -o "$package" --stub "$SETUP_EXE" \
        --screensaver "$payload" --title Large --uninstall-entry >/dev/null
    folder="$WINEPREFIX/drive_c/Program Files/Large"
    mkdir -p "$WINEPREFIX/drive_c/cp-reference"
    sync

    # Reference: cp of the same bytes into the same prefix, both from the page cache.
    t0=$(e2e_now_ms)
    cp "$payload" "$WINEPREFIX/drive_c/cp-reference/Large.scr"
    cp_ms=$(($(e2e_now_ms) - t0))
    rm -rf "$WINEPREFIX/drive_c/cp-reference"

    # Wine's own cost: starting and ending a program that does nothing.
    rss_file=$dir/wine-baseline.rusage
    E2E_WINE_REAL=$E2E_WINE
    E2E_WINE=$dir/timed-wine64
    printf '#!/bin/sh\nexec /usr/bin/time -f "%%e %%M" -o "$TIME_OUT" %s "$@"\n' "$E2E_WINE_REAL" >"$E2E_WINE"
    chmod +x "$E2E_WINE"
    export TIME_OUT=$rss_file
    wine_run cmd /c exit >/dev/null
    baseline=$(cat "$rss_file")

    rss_file=$dir/install.rusage
    t0=$(e2e_now_ms)
    export TIME_OUT=$rss_file
    code=$(wine_run -t 1800 "$package" -silent)
    install_ms=$(($(e2e_now_ms) - t0))
    E2E_WINE=$E2E_WINE_REAL
    check_eq 0 "$code" "silent installation exits with 0"
    check 'cmp -s "$payload" "$folder/Large.scr"' "installed screensaver is byte-identical to the payload"

    read -r _ install_rss <"$rss_file"
    printf '  payload: %d MiB (%d bytes), package: %d bytes\n' "$mib" "$(stat -c %s "$payload")" "$(stat -c %s "$package")"
    printf '  %-44s %8.2f s\n' "setup.exe -silent (wine64 start to end)" "$(awk -v m="$install_ms" 'BEGIN { print m / 1000 }')"
    printf '  %-44s %8.2f s\n' "reference: cp of the payload" "$(awk -v m="$cp_ms" 'BEGIN { print m / 1000 }')"
    printf '  installation / cp: %.2fx the time (goal: at most 1.5x)\n' "$(awk -v a="$install_ms" -v b="$cp_ms" 'BEGIN { print a / b }')"
    printf '  %-44s %8.1f MiB (goal: under 32 MiB)\n' "installer peak resident memory (max RSS)" "$(awk -v k="$install_rss" 'BEGIN { print k / 1024 }')"
    printf '  %-44s %8.1f MiB, %s s\n' "reference: wine64 cmd /c exit" "$(awk -v k="${baseline#* }" 'BEGIN { print k / 1024 }')" "${baseline%% *}"
    rm -f "$payload" "$package"
}

if wanted 4; then
    if [[ ${BENCH_LARGE:-0} == 1 ]]; then
        heading "4. silent installation of a ${BENCH_LARGE_MIB:-1024} MiB screensaver under Wine"
        (large_install_bench)
    else
        heading "4. silent installation of a large screensaver: skipped (BENCH_LARGE=1 runs it)"
    fi
fi

# ------------------------------------------- saverpack build against cat

# Runs in a subshell: its files go when it ends.
build_bench() {
    local mib=${BENCH_BUILD_MIB:-512} runs=${BENCH_RUNS:-5} dir=$out/build i t0 build=() copy=()
    rm -rf "$dir"
    mkdir -p "$dir"
    trap "rm -rf '$dir'" EXIT
    head -c $((mib * 1024 * 1024)) /dev/urandom >"$dir/Large.scr"
    cat "$dir/Large.scr" >/dev/null  # into the page cache
    for ((i = 0; i < runs; i++)); do
        rm -f "$dir/Large-setup.exe" "$dir/copy.scr"
        t0=$(date +%s%N)
        "$SAVERPACK" build -o "$dir/Large-setup.exe" --stub "$SETUP_EXE" --screensaver "$dir/Large.scr" \
            --title Large >/dev/null
        build+=($((($(date +%s%N) - t0) / 1000000)))
        t0=$(date +%s%N)
        cat "$SETUP_EXE" "$dir/Large.scr" >"$dir/copy.scr"
        copy+=($((($(date +%s%N) - t0) / 1000000)))
    done
    "$SAVERPACK" inspect --verify "$dir/Large-setup.exe" >/dev/null ||
        { echo "the package built does not verify" >&2; return 1; }
    printf '  screensaver: %d MiB; ms of every run: build %s; cat %s\n' "$mib" "${build[*]}" "${copy[*]}"
    printf '  best: saverpack build %s, reference cat %s: %.2fx the time\n' \
        "$(seconds "$(best "${build[@]}")")" "$(seconds "$(best "${copy[@]}")")" \
        "$(awk -v a="$(best "${build[@]}")" -v b="$(best "${copy[@]}")" 'BEGIN { print a / b }')"
}

if wanted 5; then
    heading "5. saverpack build of a large screensaver against cat of the same bytes"
    (build_bench)
fi

# ------------------------------- like for like against the peer installer

# Starts the Windows program $1 (with the arguments after it), waits until
# xdotool finds a visible window whose caption matches the regular
# expression $2, prints the milliseconds from the start, and ends the program.
first_page_ms() {
    local program=$1 caption=$2 handle t0 ms
    shift 2
    t0=$(e2e_now_ms)
    handle=$(wine_run_bg "$program" "$@")
    # Asked every 10 ms (wait_until's 0.1 s would blur the figure).
    until xdotool search --onlyvisible --name "$caption" >/dev/null; do
        (($(e2e_now_ms) - t0 < 30000)) || fail "no window matching '$caption' within 30 s"
        sleep 0.01
    done
    ms=$(($(e2e_now_ms) - t0))
    kill -s KILL "$(e2e_read_line "$E2E_TEST_DIR/.procs/$handle.pid")" 2>/dev/null || true
    wait_until 10 test -f "$E2E_TEST_DIR/.procs/$handle.rc" || true
    echo "$ms"
}

# Runs in a subshell: e2e_begin's EXIT trap ends it. ARCH (x86_64 or i686)
# picks the Wine and the stub; TARGET the peer's target of the same width.
# The same small installation by both, as in section 3: the probe
# screensaver and a readme, the uninstaller, the uninstall entry, a
# Start-menu group of three links, a desktop link, the remembered file name
# and the "install" verb; the peer's script is bench/peer_small.nsi, stored
# and checked (SetCompress off, CRCCheck on). Pairs are interleaved, each
# pair in turn led by the other; each run is timed from the start of Wine to
# its end. Then the first wizard page of each (ours: the Directory page of a
# package without licence; the peer's: its directory page) until xdotool
# finds it visible.
peer_bench() {
    local arch=$1 target=$2 stub=$3 runs=${BENCH_PEER_RUNS:-15} bench drive i
    local ours=() peer=() ours_page=() peer_page=()
    export E2E_WORK=$out/e2e E2E_TEST_NAME=peer_$arch E2E_ARCH=$arch
    source "$root/tests/e2e/lib/wine.sh"
    e2e_begin
    drive=$WINEPREFIX/drive_c
    bench=$drive/bench
    mkdir -p "$bench"
    cp "$root/build/$([[ $arch == i686 ]] && echo win32 || echo win64)/bin/probe.scr" "$bench/probe.scr"
    echo "Read me" >"$bench/readme.txt"
    "$SAVERPACK" build -o "$bench/Small-setup.exe" --stub "$stub" --screensaver "$bench/probe.scr" \
        --title Small --readme "$bench/readme.txt" --uninstall-entry --program-group --desktop-shortcut >/dev/null
    "$SAVERPACK" build -o "$bench/Bare-setup.exe" --stub "$stub" --screensaver "$bench/probe.scr" \
        --title Bare --uninstall-entry --program-group --desktop-shortcut >/dev/null
    makensis -V1 -DTARGET="$target" -DNAME=Peer -DSCREENSAVER="$bench/probe.scr" -DREADME="$bench/readme.txt" \
        -DOUT="$bench/Peer-setup.exe" "$root/bench/peer_small.nsi" >/dev/null ||
        fail "makensis could not build bench/peer_small.nsi for $target"
    cat "$bench"/* >/dev/null  # into the page cache
    # One run of each first, not timed: Wine's first start of each program.
    timed_wine 'C:\bench\Small-setup.exe' -silent 'C:\Small' >/dev/null
    timed_wine 'C:\bench\Peer-setup.exe' /S '/D=C:\Peer' >/dev/null
    check 'test -f "$drive/Small/uninstall probe.exe" && test -f "$drive/Peer/uninstall probe.exe"' \
        "both installers wrote their uninstallers"
    for ((i = 0; i < runs; i++)); do
        sleep 0.5  # the screensavers the "install" verb started may still be ending
        rm -rf "$drive/Small" "$drive/Peer" 2>/dev/null || { sleep 2; rm -rf "$drive/Small" "$drive/Peer"; }
        if ((i % 2 == 0)); then
            ours+=("$(timed_wine 'C:\bench\Small-setup.exe' -silent 'C:\Small')")
            peer+=("$(timed_wine 'C:\bench\Peer-setup.exe' /S '/D=C:\Peer')")
        else
            peer+=("$(timed_wine 'C:\bench\Peer-setup.exe' /S '/D=C:\Peer')")
            ours+=("$(timed_wine 'C:\bench\Small-setup.exe' -silent 'C:\Small')")
        fi
    done
    for ((i = 0; i < ${BENCH_PAGE_RUNS:-7}; i++)); do
        if ((i % 2 == 0)); then
            ours_page+=("$(first_page_ms 'C:\bench\Bare-setup.exe' '^Bare Setup$')")
            peer_page+=("$(first_page_ms 'C:\bench\Peer-setup.exe' '^Peer Setup')")
        else
            peer_page+=("$(first_page_ms 'C:\bench\Peer-setup.exe' '^Peer Setup')")
            ours_page+=("$(first_page_ms 'C:\bench\Bare-setup.exe' '^Bare Setup$')")
        fi
    done
    printf '  %s: our stub %s (%d bytes) against the peer'"'"'s %s target (%d bytes), %d pairs\n' "$arch" \
        "${stub#"$root"/}" "$(stat -c %s "$stub")" "$target" "$(stat -c %s "$bench/Peer-setup.exe")" "$runs"
    printf '  ms of every run: ours %s; peer %s\n' "${ours[*]}" "${peer[*]}"
    printf '  ms to the first page: ours %s; peer %s\n' "${ours_page[*]}" "${peer_page[*]}"
    printf '  %-58s %10s %10s\n' "" median best
    row "setup.exe -silent, small package with every registration" "${ours[@]}"
    row "peer installer /S, the same steps" "${peer[@]}"
    printf '  ours / peer, median of the pairs'"'"' ratios: %sx   target: under 1.00x\n' "$(median_ratio ours peer)"
    row "first wizard page visible: ours" "${ours_page[@]}"
    row "first page visible: peer" "${peer_page[@]}"
    printf '  ours / peer, median of the pairs'"'"' ratios: %sx   target: under 1.00x\n' \
        "$(median_ratio ours_page peer_page)"
}

# Prints the e2e library's answer to whether this machine runs 32-bit code
# ("32-bit code segment: yes" or "no ..."), probed afresh.
code_segment_line() (
    export E2E_WORK=$out/e2e E2E_ARCH=x86_64
    source "$root/tests/e2e/lib/wine.sh"
    e2e_probe_code_segment
)

if wanted 6; then
    heading "6. fixed cost against the peer installer, like for like, under Wine"
    (peer_bench x86_64 amd64-unicode "$SETUP_EXE")
    if [[ ${BENCH_I686:-auto} == 0 ]]; then
        echo "  i686: skipped (BENCH_I686=0)"
    else
        segment=$(code_segment_line)
        if [[ $segment == "32-bit code segment: yes"* ]]; then
            (peer_bench i686 x86-unicode "${SETUP_EXE_I686:-$root/build/win32/bin/setup.exe}")
        else
            echo "  i686: skipped: this machine cannot run 32-bit Windows code ($segment)"
        fi
    fi
fi

if wanted 7; then
    heading "7. CRC-32 of 512 MiB in chunks of 100001 bytes, by each path, against memcpy"
    "$CRC32_BENCH"
fi
