# Shared helpers for end-to-end tests that drive Windows programs under Wine.
#
# Source it from a test script:
#     set -euo pipefail
#     source "$(dirname "$0")/lib/wine.sh"
#     e2e_begin
#     ...
# Needs E2E_WORK (work folder shared by one test run) and E2E_TEST_NAME
# (unique per test). Each test gets "$E2E_WORK/$E2E_TEST_NAME" holding its own
# copy of the template prefix, its own HOME, its own Xvfb display, the log of
# every Windows program it ran (wine.log) and its screenshots.
#
# Functions that produce a value print it on stdout; use them as
# value=$(function ...). Functions that check something fail the test
# themselves (see fail), even when called inside $(...).
#
# Architecture: E2E_ARCH picks the Windows programs' architecture and the
# Wine that runs them:
#   x86_64 (default)  Debian's wine64 (/usr/lib/wine/wine64)
#   i686              the 32-bit Wine environment: ../wow64/wine, a chroot
#                     built by ../wow64/make_env.sh (make deps), whose Wine
#                     runs 32-bit programs in a 64-bit (WoW64) prefix
# Each architecture has its own template prefix, "$E2E_WORK/template-ARCH".
# A test script runs the same for both: it calls Windows programs through
# wine_run / wine_run_bg / "$E2E_WINE", builds helpers with the mingw-w64
# tools "$E2E_MINGW-gcc", "$E2E_MINGW-objdump", and names E2E_ARCH where
# the architectures really differ (see installer.sh: Program Files (x86),
# the Wow6432Node registry view). CTest registers every test_NAME.sh once
# per architecture as e2e_test_NAME_ARCH with E2E_TEST_NAME=test_NAME_ARCH,
# so a failure names its architecture; SETUP_EXE and PROBE_SCR are then the
# stub and probe screensaver of that architecture. A new test_NAME.sh needs
# nothing more. By hand: ctest --preset native -R e2e_test_NAME_i686
#
# Faults on real file systems (a full or read-only disk, a FUSE file system):
# e2e_private_mounts before e2e_begin, then mount, then map_drive; see
# "file systems" below and docs/wine.md.
#
# Optional settings: E2E_TIMEOUT (default wait in seconds, 30), E2E_KEEP=1
# (keep the test's prefix after the test), E2E_WINE / E2E_WINESERVER (the
# Wine of E2E_ARCH).

E2E_ARCH=${E2E_ARCH:-x86_64}
E2E_LIB_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# Prints the wine (or with "server": the wineserver) program of architecture ARCH.
e2e_arch_wine() {
    case $1 in
    # The Debian wrapper script for wineserver forces -p0; call the binary itself.
    x86_64) echo "/usr/lib/wine/wine${2-}64" ;;
    i686) echo "$E2E_LIB_DIR/../wow64/wine${2-}" ;;
    *) echo "unknown E2E_ARCH '$1' (x86_64 or i686)" >&2; return 1 ;;
    esac
}

E2E_WINE=${E2E_WINE:-$(e2e_arch_wine "$E2E_ARCH")}
E2E_WINESERVER=${E2E_WINESERVER:-$(e2e_arch_wine "$E2E_ARCH" server)}
E2E_MINGW=$E2E_ARCH-w64-mingw32
E2E_TIMEOUT=${E2E_TIMEOUT:-30}
E2E_TEMPLATE_MARKER=.e2e-template-complete
# Holds the architecture of a prefix (copied with the template).
E2E_ARCH_MARKER=.e2e-arch

# ---------------------------------------------------------------- basics

# Prints the current time in milliseconds.
e2e_now_ms() {
    date +%s%3N
}

# Prints the seconds elapsed since START_MS (from e2e_now_ms), as "1.23 s".
e2e_elapsed() {
    local ms=$(($(e2e_now_ms) - $1))
    printf '%d.%02d s\n' $((ms / 1000)) $((ms % 1000 / 10))
}

# Prints SECONDS (whole or with a fraction, e.g. 0.5) in milliseconds.
e2e_ms() {
    local whole=${1%%.*} fraction=000
    [[ $1 == *.* ]] && fraction=${1#*.}000
    echo $((10#${whole:-0} * 1000 + 10#${fraction:0:3}))
}

# Runs COMMAND [ARGS...] every 0.1 s until it succeeds (status 0) or
# SECONDS have passed; returns 1 then. Use it to wait for anything instead of
# sleeping a fixed time: wait_until 10 test -f "$dir/done.txt"
wait_until() {
    local deadline
    deadline=$(($(e2e_now_ms) + $(e2e_ms "$1")))
    shift
    until "$@"; do
        (($(e2e_now_ms) < deadline)) || return 1
        sleep 0.1
    done
}

# Reports a failed check and ends the test with status 1. Also records the
# message in the test folder and takes failure.png of the test's display.
# Inside a subshell or $(...) it stops the main test script too.
fail() {
    printf 'FAIL [%s, %s]: %s\n' "${E2E_TEST_NAME:-?}" "$E2E_ARCH" "$*" >&2
    if [[ -n ${E2E_TEST_DIR:-} && -d $E2E_TEST_DIR ]]; then
        printf '%s\n' "$*" >>"$E2E_TEST_DIR/FAILED"
        if [[ -n ${E2E_XVFB_PID:-} && ! -e $E2E_TEST_DIR/failure.png ]]; then
            timeout 10 import -display "$DISPLAY" -window root "$E2E_TEST_DIR/failure.png" \
                2>/dev/null || true
        fi
    fi
    if [[ $BASHPID != "$$" ]]; then
        kill -s TERM "$$" 2>/dev/null || true
    fi
    exit 1
}

# Fails with MESSAGE unless the shell CONDITION (a string, evaluated now)
# succeeds. Example: check '[[ -f $dir/app.scr ]]' "screensaver installed"
check() {
    eval "$1" || fail "$2 (condition was: $1)"
}

# Fails with MESSAGE unless ACTUAL equals EXPECTED, showing both values.
check_eq() {
    [[ $2 == "$1" ]] || fail "$3: expected '$1', got '$2'"
}

# Fails unless e2e_begin has prepared this test (guards against Wine
# falling back to ~/.wine and the real HOME).
e2e_require_begun() {
    [[ -n ${E2E_TEST_DIR:-} && ${WINEPREFIX:-} == "$E2E_TEST_DIR/prefix" ]] ||
        fail "${FUNCNAME[1]}: call e2e_begin first"
}

# Fails unless E2E_WORK is set.
e2e_require_work() {
    [[ -n ${E2E_WORK:-} ]] || fail "E2E_WORK is not set"
}

# Prints the first line of FILE; returns 1 if it cannot be read. (Bash 5.2
# exits under set -e when $(<FILE) fails, even after ||.)
e2e_read_line() {
    local line
    { IFS= read -r line <"$1"; } 2>/dev/null || [[ -n ${line:-} ]] || return 1
    echo "$line"
}

# Succeeds if process PID has ended (a zombie counts as ended).
e2e_pid_gone() {
    local stat
    stat=$(e2e_read_line "/proc/$1/stat") || return 0
    stat=${stat##*) }
    [[ ${stat:0:1} == Z ]]
}

# Stops process PID if it is still running the program named COMM: TERM,
# then KILL after 5 s. Succeeds if it had to stop something.
e2e_stop_pid() {
    local pid=$1 comm=$2
    ! e2e_pid_gone "$pid" && [[ $(e2e_read_line "/proc/$pid/comm") == "$comm" ]] || return 1
    kill -s TERM "$pid" 2>/dev/null || true
    wait_until 5 e2e_pid_gone "$pid" || kill -s KILL "$pid" 2>/dev/null || true
}

# Stops the processes listed in the pid files of test NAME (see
# e2e_record_pid) and removes those files. Prints how many were running.
e2e_stop_recorded() {
    local file stopped=0
    for file in "$E2E_WORK/pids/$1".*; do
        [[ -f $file ]] || continue
        e2e_stop_pid "$(e2e_read_line "$file")" "${file##*.}" && stopped=$((stopped + 1))
        rm -f "$file"
    done
    echo "$stopped"
}

# Records PID of program COMM started for the current test, so that
# teardown.sh can stop it if the test is killed.
e2e_record_pid() {
    mkdir -p "$E2E_WORK/pids"
    echo "$1" >"$E2E_WORK/pids/$E2E_TEST_NAME.$2"
}

# ------------------------------------------------------------- prefixes

# Sets E2E_ENV to the environment (NAME=VALUE words) for running Wine in
# prefix PREFIX with home folder HOME_DIR: quiet, no menu entries, no
# Mono/Gecko installers, nothing written outside HOME_DIR.
e2e_wine_env() {
    E2E_ENV=(
        "WINEPREFIX=$1"
        "HOME=$2"
        "XDG_CONFIG_HOME=$2/.config"
        "XDG_DATA_HOME=$2/.local/share"
        "XDG_CACHE_HOME=$2/.cache"
        "WINEDEBUG=-all"
        "WINEDLLOVERRIDES=winemenubuilder.exe=d;mscoree,mshtml="
    )
}

# Kills the wineserver of prefix PREFIX (with the Wine of the prefix's own
# architecture), if one runs, and waits for it to flush the registry files.
# Succeeds if a server was running.
e2e_kill_wineserver() {
    [[ -f $1/system.reg ]] || return 1
    local arch server=$E2E_WINESERVER
    arch=$(e2e_read_line "$1/$E2E_ARCH_MARKER") || arch=$E2E_ARCH
    [[ $arch == "$E2E_ARCH" ]] || server=$(e2e_arch_wine "$arch" server) || return 1
    env "WINEPREFIX=$1" "$server" -k >/dev/null 2>&1 </dev/null
}

# Prints the folder of the template prefix of E2E_ARCH.
e2e_template_dir() {
    echo "$E2E_WORK/template-$E2E_ARCH"
}

# Creates the template prefix of E2E_ARCH (e2e_template_dir) unless it is
# complete. Safe to call from several processes at once.
e2e_make_template() {
    e2e_require_work
    local dir home lock start link
    dir=$(e2e_template_dir)
    home=$E2E_WORK/home-template-$E2E_ARCH
    mkdir -p "$E2E_WORK"
    exec {lock}>"$dir.lock"
    flock "$lock"
    if [[ -f $dir/$E2E_TEMPLATE_MARKER ]]; then
        exec {lock}>&-
        echo "template: already complete at $dir"
        return 0
    fi
    start=$(e2e_now_ms)
    # Wine's processes must not inherit the lock ({lock}>&-): its services
    # outlive an interrupted run and would keep the lock for seconds.
    e2e_kill_wineserver "$dir" {lock}>&- || true
    rm -rf "$dir" "$home"
    mkdir -p "$home"
    e2e_wine_env "$dir" "$home"
    # No DISPLAY: the template must not depend on any X server. A 64-bit
    # prefix for both: the i686 programs run in it as on 64-bit Windows.
    env -u DISPLAY "${E2E_ENV[@]}" WINEARCH=win64 "$E2E_WINE" wineboot -i \
        >"$dir.log" 2>&1 </dev/null {lock}>&- ||
        fail "wineboot -i failed, see $dir.log"
    echo "$E2E_ARCH" >"$dir/$E2E_ARCH_MARKER"
    # A crashing program exits instead of waiting for a crash dialog.
    env -u DISPLAY "${E2E_ENV[@]}" "$E2E_WINE" reg add 'HKCU\Software\Wine\WineDbg' \
        /v ShowCrashDialog /t REG_DWORD /d 0 /f >>"$dir.log" 2>&1 </dev/null {lock}>&- ||
        fail "could not disable the crash dialog, see $dir.log"
    if [[ $E2E_ARCH == i686 ]]; then
        # Debian 12's Wine starts a screensaver for any verb; the Wine of the
        # 32-bit environment knows no verb for it. Give it the "install" verb,
        # started the same way, so both see the installer use that verb.
        env -u DISPLAY "${E2E_ENV[@]}" "$E2E_WINE" reg add 'HKCR\.scr' /ve /d scrfile /f \
            >>"$dir.log" 2>&1 </dev/null {lock}>&- &&
            env -u DISPLAY "${E2E_ENV[@]}" "$E2E_WINE" reg add 'HKCR\scrfile\shell\install\command' \
                /ve /d '"%1"' /f >>"$dir.log" 2>&1 </dev/null {lock}>&- ||
            fail "could not register the install verb of screensavers, see $dir.log"
    fi
    env "${E2E_ENV[@]}" "$E2E_WINESERVER" -w >/dev/null 2>&1 </dev/null {lock}>&-
    # Wine links Desktop, Documents... to HOME; each test needs real folders.
    while IFS= read -r -d '' link; do
        rm "$link"
        mkdir "$link"
    done < <(find "$dir/drive_c/users" -mindepth 2 -type l -print0)
    touch "$dir/$E2E_TEMPLATE_MARKER"
    exec {lock}>&-
    echo "template: created $dir in $(e2e_elapsed "$start")"
}

# ----------------------------------------------------------- test life

# Succeeds once Xvfb wrote its display number to FILE, or has exited.
e2e_xvfb_settled() {
    [[ $(e2e_read_line "$1") == [0-9]* ]] || e2e_pid_gone "$E2E_XVFB_PID"
}

# Starts an Xvfb of the test's own on a free display and exports DISPLAY.
e2e_start_xvfb() {
    local number_file=$E2E_TEST_DIR/.display
    # -displayfd lets the server pick a free display and report it when ready.
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp \
        3>"$number_file" >"$E2E_TEST_DIR/xvfb.log" 2>&1 </dev/null &
    E2E_XVFB_PID=$!
    e2e_record_pid "$E2E_XVFB_PID" Xvfb
    wait_until 10 e2e_xvfb_settled "$number_file" || fail "Xvfb did not report a display within 10 s"
    ! e2e_pid_gone "$E2E_XVFB_PID" || fail "Xvfb exited, see $E2E_TEST_DIR/xvfb.log"
    DISPLAY=":$(e2e_read_line "$number_file")"
    export DISPLAY
}

# Starts a persistent wineserver for the test's prefix and one throwaway
# process, so that Wine's services run (quietly) before the first real
# program and their output never reaches the test's stdout/stderr.
e2e_start_wineserver() {
    local pid device inode expected
    "$E2E_WINESERVER" -p >/dev/null 2>&1 </dev/null || fail "wineserver -p failed"
    # The server runs in a folder named after the prefix's device and inode.
    read -r device inode < <(stat -c '%d %i' "$WINEPREFIX")
    expected=$(printf 'server-%x-%x' "$device" "$inode")
    for pid in $(pgrep -u "$(id -u)" -x wineserver64); do
        if [[ $(readlink "/proc/$pid/cwd") == */"$expected" ]]; then
            e2e_record_pid "$pid" wineserver64
        fi
    done
    "$E2E_WINE" cmd /c exit >/dev/null 2>&1 </dev/null || true
}

# Prepares the test: a fresh "$E2E_WORK/$E2E_TEST_NAME" with a copy of the
# template prefix of E2E_ARCH (made first if missing), exported WINEPREFIX, HOME,
# WINEDEBUG, WINEDLLOVERRIDES, E2E_TEST_DIR and DISPLAY (own Xvfb), a warm
# wineserver, and an EXIT trap running e2e_end.
e2e_begin() {
    e2e_require_work
    [[ -n ${E2E_TEST_NAME:-} && $E2E_TEST_NAME != */* ]] ||
        fail "E2E_TEST_NAME must be set to a name without '/'"
    local start lock
    start=$(e2e_now_ms)
    e2e_make_template >/dev/null
    export E2E_TEST_DIR=$E2E_WORK/$E2E_TEST_NAME
    # Leftovers of an earlier run of this test that was killed.
    e2e_kill_wineserver "$E2E_TEST_DIR/prefix" || true
    e2e_stop_recorded "$E2E_TEST_NAME" >/dev/null
    rm -rf "$E2E_TEST_DIR"
    mkdir -p "$E2E_TEST_DIR/home" "$E2E_TEST_DIR/.procs"
    trap e2e_end EXIT
    trap 'exit 130' INT
    trap 'exit 143' TERM
    exec {lock}>"$(e2e_template_dir).lock"
    flock -s "$lock"
    cp -a "$(e2e_template_dir)" "$E2E_TEST_DIR/prefix"
    exec {lock}>&-
    e2e_wine_env "$E2E_TEST_DIR/prefix" "$E2E_TEST_DIR/home"
    export "${E2E_ENV[@]}"
    e2e_start_xvfb
    e2e_start_wineserver
    echo "e2e_begin: $E2E_TEST_NAME ready in $(e2e_elapsed "$start") (display $DISPLAY)"
}

# Ends the test (runs by itself at exit; calling it ends the script):
# kills the wineserver and every Windows program of the prefix, stops Xvfb,
# deletes the prefix and HOME unless E2E_KEEP=1, keeps logs and
# screenshots, and prints PASS or FAIL. The exit status is 1 if any check
# failed, even one inside $(...).
e2e_end() {
    local status=$?
    trap - EXIT INT TERM
    [[ -s $E2E_TEST_DIR/FAILED ]] && status=1
    e2e_kill_wineserver "$E2E_TEST_DIR/prefix" || true
    e2e_stop_recorded "$E2E_TEST_NAME" >/dev/null
    if [[ -n ${E2E_XVFB_PID:-} ]]; then
        wait "$E2E_XVFB_PID" 2>/dev/null || true
        E2E_XVFB_PID=
    fi
    if [[ ${E2E_KEEP:-0} != 1 ]]; then
        rm -rf "${E2E_TEST_DIR:?}/prefix" "${E2E_TEST_DIR:?}/home"
    fi
    if ((status == 0)); then
        echo "PASS: $E2E_TEST_NAME"
    else
        echo "FAIL: $E2E_TEST_NAME (exit status $status; logs and screenshots in $E2E_TEST_DIR)" >&2
    fi
    exit "$status"
}

# ---------------------------------------------------------- file systems

# Runs the test script again in a mount namespace of its own, so that what it
# mounts (a small disk, a read-only one, a FUSE file system) vanishes with
# its last process however the test ends, and nothing stays mounted on the
# machine. Call it first thing, before e2e_begin: e2e_private_mounts "$@"
# Wine's wineserver and programs then run in that namespace as well, which
# they must: the wineserver opens the files its programs ask for.
e2e_private_mounts() {
    [[ ${E2E_MOUNT_NAMESPACE:-} == "$$" ]] && return 0
    ((EUID == 0)) || fail "mounting file systems needs root"
    # exec keeps the process id, which tells the new run it is inside.
    E2E_MOUNT_NAMESPACE=$$ exec unshare -m --propagation private bash "$0" "$@"
}

# Makes the Linux folder DIR (usually a mount point) Wine drive LETTER: of
# the test's prefix. The i686 Wine runs each call in a chroot of its own,
# which sees only the folders it binds there (each a plain bind: file systems
# mounted below them stay out): DIR joins WOW64_BINDS, and the wineserver,
# which took its binds when it started, starts again. Mount before mapping.
map_drive() {
    e2e_require_begun
    local link dir
    link=$WINEPREFIX/dosdevices/${1,,}:
    dir=$(realpath -- "$2")
    ln -sfn -- "$dir" "$link"
    export WOW64_BINDS=${WOW64_BINDS:+$WOW64_BINDS:}$dir
    if [[ $E2E_ARCH == i686 ]]; then
        e2e_kill_wineserver "$WINEPREFIX" || true
        e2e_start_wineserver
    fi
}

# ------------------------------------------------------------ programs

# Starts a Windows program (Linux path, C:\ path or a name Wine finds such
# as "cmd") with ARGS in the background; its output goes to wine.log.
# Prints a handle for wine_wait and wine_running.
wine_run_bg() {
    e2e_require_begun
    local procs=$E2E_TEST_DIR/.procs
    printf '== %s\n' "$*" >>"$E2E_TEST_DIR/wine.log"
    (
        "$E2E_WINE" "$@" </dev/null >>"$E2E_TEST_DIR/wine.log" 2>&1 &
        echo "$!" >"$procs/$BASHPID.pid"
        rc=0
        wait "$!" || rc=$?
        echo "$rc" >"$procs/$BASHPID.rc.tmp"
        mv "$procs/$BASHPID.rc.tmp" "$procs/$BASHPID.rc"
    ) </dev/null >/dev/null 2>&1 &
    echo "$!"
}

# Succeeds while the program started as HANDLE is still running.
wine_running() {
    [[ ! -f $E2E_TEST_DIR/.procs/$1.rc ]]
}

# Waits up to TIMEOUT seconds (default E2E_TIMEOUT) for the program
# started as HANDLE to end and prints its exit code (the low 8 bits of the
# Windows exit code). On timeout it kills the program and fails.
wine_wait() {
    local handle=$1 timeout=${2:-$E2E_TIMEOUT}
    local procs=$E2E_TEST_DIR/.procs
    if ! wait_until "$timeout" test -f "$procs/$handle.rc"; then
        kill -s KILL "$(e2e_read_line "$procs/$handle.pid")" 2>/dev/null || true
        fail "program (handle $handle) still running after $timeout s; killed it"
    fi
    cat "$procs/$handle.rc"
}

# Runs a Windows program with ARGS, waits up to SECONDS (default
# E2E_TIMEOUT) and prints its exit code. Usage: wine_run [-t SECONDS] PROGRAM [ARGS...]
wine_run() {
    local timeout=$E2E_TIMEOUT handle
    if [[ ${1:-} == -t ]]; then
        timeout=$2
        shift 2
    fi
    handle=$(wine_run_bg "$@")
    wine_wait "$handle" "$timeout"
}

# Prints the Windows path (C:\... inside drive_c, Z:\... elsewhere) of a
# Linux path, the way Wine maps it.
win_path() {
    e2e_require_begun
    local path drive_c rest
    path=$(realpath -m -- "$1")
    drive_c=$(realpath -m -- "$WINEPREFIX/drive_c")
    if [[ $path == "$drive_c" || $path == "$drive_c"/* ]]; then
        rest=${path#"$drive_c"}
        rest=${rest:-/}
        printf 'C:%s\n' "${rest//\//\\}"
    else
        printf 'Z:%s\n' "${path//\//\\}"
    fi
}

# Prints the Linux path of a Windows path on drive C: or Z: (a leading
# \??\ or \\?\ is accepted). Letters are kept as given: Windows ignores case,
# Linux does not, so pass the case the folders really have.
unix_path() {
    local path=$1 rest
    e2e_require_begun
    path=${path#'\??\'}
    path=${path#'\\?\'}
    rest=${path:2}
    rest=${rest//\\//}
    case ${path:0:2} in
    [Cc]:) printf '%s\n' "$WINEPREFIX/drive_c${rest:-/}" ;;
    [Zz]:) printf '%s\n' "${rest:-/}" ;;
    *) fail "unix_path: not a path on C: or Z:: $1" ;;
    esac
}

# ------------------------------------------------------------- windows

# Prints the ids of the visible windows whose caption matches the extended
# regex CAPTION_REGEX; returns 1 if there is none.
find_windows() {
    xdotool search --onlyvisible --name "$1" 2>/dev/null
}

# Succeeds if window WINDOW is not (or no longer) visible.
window_hidden() {
    ! find_windows '' | grep -x "$1" >/dev/null
}

# Waits up to TIMEOUT seconds (default E2E_TIMEOUT) for a visible window
# whose caption matches the extended regex CAPTION_REGEX (e.g. '^Setup$')
# and prints its id. Fails if none appears.
wait_window() {
    local regex=$1 timeout=${2:-$E2E_TIMEOUT} ids
    ids=$(wait_until "$timeout" find_windows "$regex") ||
        fail "no visible window with caption matching '$regex' within $timeout s"
    echo "${ids%%$'\n'*}"
}

# Waits up to TIMEOUT seconds (default E2E_TIMEOUT) until window WINDOW is
# no longer visible. Fails if it stays.
wait_window_gone() {
    local timeout=${2:-$E2E_TIMEOUT}
    wait_until "$timeout" window_hidden "$1" || fail "window $1 still visible after $timeout s"
}

# Fails if a visible window whose caption matches CAPTION_REGEX is shown
# now or shows up within SECONDS.
no_window_appears() {
    if wait_until "$2" find_windows "$1" >/dev/null; then
        fail "a window with caption matching '$1' appeared"
    fi
}

# Presses Return in message box WINDOW (its default button) and waits until
# the box is gone. Under Xvfb, with no window manager, Wine keeps a closing
# top-level window shown (and its program waiting) for about 2 s.
close_message_box() {
    press_key "$1" Return
    wait_window_gone "$1"
}

# Prints "X Y WIDTH HEIGHT" of WINDOW: its top left corner on the screen
# and its size, in pixels.
window_geometry() {
    # shellcheck disable=SC2034 # SCREEN and WINDOW are set by the eval, unused.
    local X Y WIDTH HEIGHT SCREEN WINDOW shell
    shell=$(xdotool getwindowgeometry --shell "$1" 2>/dev/null) || fail "window_geometry: no window $1"
    eval "$shell"
    echo "$X $Y $WIDTH $HEIGHT"
}

# Clicks the left mouse button at X,Y relative to WINDOW's top left corner.
click_at() {
    # --sync waits for the pointer to move: park it first, or a second click
    # at the same place waits for a move that never comes.
    xdotool mousemove 0 0 mousemove --sync --window "$1" "$2" "$3" click 1 ||
        fail "click_at: cannot click at $2,$3 in window $1"
}

# Focuses WINDOW and presses each KEY (xdotool names: Return, Tab, space,
# alt+n, ctrl+a...).
press_key() {
    local window=$1
    shift
    xdotool windowfocus --sync "$window" && xdotool key "$@" ||
        fail "press_key: cannot send '$*' to window $window"
}

# Focuses WINDOW and types TEXT into the focused control.
type_text() {
    xdotool windowfocus --sync "$1" && xdotool type -- "$2" ||
        fail "type_text: cannot type into window $1"
}

# Saves the whole screen of the test's display as NAME.png in the test
# folder and prints the file's path.
screenshot() {
    local file=$E2E_TEST_DIR/$1.png
    timeout 10 import -display "$DISPLAY" -window root "$file" || fail "screenshot $1 failed"
    echo "$file"
}

# ------------------------------------------------------------ registry

# Prints the data of value NAME (empty: the default value) of registry key
# KEY (e.g. 'HKCU\Software\X') as "reg query" shows it: strings as is,
# REG_DWORD as 0x..., REG_BINARY as hex, REG_MULTI_SZ items joined by \0.
# Returns 1 if the key or value is missing (an unset default value too).
reg_query() {
    e2e_require_begun
    local key=$1 name=${2-} out line rest type
    local -a which=(/v "$name")
    [[ -n $name ]] || which=(/ve)
    out=$("$E2E_WINE" reg query "$key" "${which[@]}" 2>>"$E2E_TEST_DIR/wine.log" </dev/null) ||
        return 1
    [[ -n $name ]] || name='(Default)'
    while IFS= read -r line; do
        line=${line%$'\r'}
        [[ $line == "    "?* ]] || continue
        # "    NAME    TYPE    DATA"; NAME may differ in case, not in length.
        rest=${line:4+${#name}}
        rest=${rest#    }
        type=${rest%%    *}
        rest=${rest#"$type"}
        rest=${rest#    }
        [[ $name == '(Default)' && $rest == '(value not set)' ]] && return 1
        echo "$rest"
        return 0
    done <<<"$out"
    return 1
}

# Prints the values of registry key KEY as "reg query KEY [/s]" lists them
# (with /s also the subkeys, each headed by its name), without the line that
# names KEY itself and without blank lines: nothing for a key without values.
# Returns 1 if KEY does not exist. Usage: reg_values KEY [/s]
reg_values() {
    e2e_require_begun
    local out
    out=$("$E2E_WINE" reg query "$@" 2>>"$E2E_TEST_DIR/wine.log" </dev/null) || return 1
    tr -d '\r' <<<"$out" | sed '/^$/d' | sed '1{/^HKEY_/d}'
}

# Succeeds if registry key KEY exists.
reg_key_exists() {
    e2e_require_begun
    "$E2E_WINE" reg query "$1" >/dev/null 2>>"$E2E_TEST_DIR/wine.log" </dev/null
}

# Sets value NAME (empty: the default value) of registry key KEY to DATA of
# TYPE (REG_SZ, REG_DWORD...), creating the key. Fails on error.
reg_set() {
    e2e_require_begun
    local -a which=(/v "$2")
    [[ -n $2 ]] || which=(/ve)
    "$E2E_WINE" reg add "$1" "${which[@]}" /t "$3" /d "$4" /f \
        >>"$E2E_TEST_DIR/wine.log" 2>&1 </dev/null || fail "reg_set $1 $2 failed"
}

# ----------------------------------------------------------- shortcuts

# Prints the target path (C:\...) stored in shortcut FILE.lnk. Returns 1 if
# the file is unreadable or holds no local path.
lnk_target() {
    local out
    out=$(lnkinfo "$1" 2>/dev/null) || return 1
    out=$(sed -n 's/^[[:space:]]*Local path[[:space:]]*: //p' <<<"$out")
    [[ -n $out ]] || return 1
    echo "${out%%$'\n'*}"
}

# ------------------------------------------------------- 32-bit code

# Some machines give programs no 32-bit code segment: a far return to the
# 32-bit user code selector faults, so the 32-bit environment cannot run any
# 32-bit Windows program, however sound. helpers/code_segment_probe.c tells
# (CODE_SEGMENT_PROBE, built by CMake; built here when unset). The answer,
# "yes" or "no", is kept in "$E2E_WORK/code-segment" for the test run; the
# CTest fixture e2e_code_segment makes it afresh. Sourcing this file with
# E2E_ARCH=i686 on a machine without the segment ends the script with one
# line and E2E_SKIP_STATUS, which CTest reports as skipped.
#   E2E_ASSUME_NO_32BIT_SEGMENT=1  the probe answers "no" (checks the skip path
#                                  on any machine)
#   E2E_REQUIRE_32BIT=1            an i686 test fails instead of skipping
#                                  (make release-check)
E2E_SKIP_STATUS=77
E2E_NO_SEGMENT_REASON="this machine gives programs no 32-bit code segment, so no 32-bit Windows program can run here"

# Prints the path of the probe program, building it into E2E_WORK if needed.
e2e_code_segment_probe() {
    if [[ -n ${CODE_SEGMENT_PROBE:-} ]]; then
        echo "$CODE_SEGMENT_PROBE"
        return
    fi
    local probe=$E2E_WORK/code_segment_probe
    if [[ ! -x $probe ]]; then
        mkdir -p "$E2E_WORK"
        cc -O2 -o "$probe.$$" "$E2E_LIB_DIR/../helpers/code_segment_probe.c" >&2 &&
            mv -f "$probe.$$" "$probe" || fail "cannot build the code segment probe"
    fi
    echo "$probe"
}

# Runs the probe, keeps its answer in "$E2E_WORK/code-segment" and prints
# its line. Fails when the probe itself breaks.
e2e_probe_code_segment() {
    e2e_require_work
    local line status=0
    if [[ ${E2E_ASSUME_NO_32BIT_SEGMENT:-} == 1 ]]; then
        line="no (E2E_ASSUME_NO_32BIT_SEGMENT=1)"
    else
        line=$("$(e2e_code_segment_probe)") || status=$?
        ((status <= 1)) || fail "the code segment probe broke: $line"
    fi
    mkdir -p "$E2E_WORK"
    echo "${line%% *}" >"$E2E_WORK/code-segment.$$"
    mv -f "$E2E_WORK/code-segment.$$" "$E2E_WORK/code-segment"
    echo "32-bit code segment: $line"
}

# Prints the kept answer ("yes" or "no"), probing first if there is none.
e2e_code_segment() {
    [[ -f $E2E_WORK/code-segment ]] || e2e_probe_code_segment >&2
    e2e_read_line "$E2E_WORK/code-segment"
}

# Returns on a machine that runs 32-bit code; elsewhere ends the script as
# skipped, or as failed with E2E_REQUIRE_32BIT=1.
e2e_require_32bit_code() {
    e2e_require_work
    [[ $(e2e_code_segment) == yes ]] && return
    [[ ${E2E_REQUIRE_32BIT:-} != 1 ]] ||
        fail "$E2E_NO_SEGMENT_REASON (E2E_REQUIRE_32BIT=1: not skipped)"
    echo "skipped: $E2E_NO_SEGMENT_REASON"
    exit "$E2E_SKIP_STATUS"
}

if [[ $E2E_ARCH == i686 ]]; then
    e2e_require_32bit_code
fi
