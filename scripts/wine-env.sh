# shellcheck shell=bash
# Wine test harness: sourced by every tests/wine/test_*.sh. It gives each test its own Windows
# "machine": a fresh prefix copied from a template, its own Xvfb screen, a Wine server that stays
# on for the test's life, debug-output capture, screenshots and a simulated restart.
#
#   source "$CORVANE_SOURCE/scripts/wine-env.sh"
#   wine_env_init my_test                       # prefix, screen, server; EXIT trap cleans up
#   dir=$(wine_install_product_files 'C:\Corvane' cvauto_demo.exe)
#   wine_debug_start
#   wine_start "$dir\\cvauto_demo.exe"; cvauto wait --title "..." ; cvauto click --title "..." --id 1002
#   wine_debug_wait 'press 1'; wine_screenshot demo.png; wine_restart
#
# Environment read: CORVANE_WIN_BIN (cross-built programs), CORVANE_SOURCE (repo root),
# CORVANE_TEST_OUT (screenshots, logs, prefixes; default build/wine-out), and optionally
# CORVANE_WIN64_BIN, WINE_ENV_LOCALE (default C.UTF-8; ko_KR.UTF-8 gives Windows code page 949
# and Korean system texts such as "확인"), WINE_ENV_WINEDEBUG, WINE_RUN_TIMEOUT (seconds, default
# 120), WINE_ENV_NETNS (1: a private network, the default), WINE_ENV_PERSIST (seconds the server
# stays up without programs, default 900), WINE_ENV_TEMPLATE_DIR.
# After wine_env_init: WINE_LOADER (the Wine loader in use), WINE_ENV_BITS (32 or 64: which build
# runs), CORVANE_WIN_BIN (switched to the 64-bit build where needed), WINE_ENV_COPY_SECONDS.
#
# Functions (return 0 on success; every wait is bounded):
#   wine_env_init NAME          Fresh prefix $CORVANE_TEST_OUT/NAME/pfx copied from the template
#                               (made once per build tree under a lock), Xvfb on a free display
#                               (1024x768x24), exports DISPLAY WINEPREFIX WINEARCH WINEDEBUG
#                               WINEDLLOVERRIDES LC_ALL, starts `wineserver -p`, boots the session
#                               and installs an EXIT trap that calls wine_env_cleanup and, when the
#                               test passed, removes the prefix (WINE_ENV_KEEP_PREFIX=1 keeps it; a
#                               test that sets its own EXIT trap must call wine_env_cleanup in it; a
#                               watchdog turns the machine off should the test die without it).
#                               Sets WINE_ENV_DIR (the test's output folder), WINE_DEBUG_LOG.
#   wine_env_cleanup            Ends this prefix's server and processes, then our Xvfb.
#   wine_env_processes          Prints pid and command of every host process of this prefix.
#   wine_install_product_files WINDIR [FILE...]
#                               Copies FILEs (default: every file) from $CORVANE_WIN_BIN into the
#                               Windows folder WINDIR (created) and prints WINDIR.
#   winpath UNIXPATH            Prints the Windows path (C:\... inside the prefix, else Z:\...).
#   unixpath WINPATH            Prints the host path of a Windows path (drive letters via dosdevices).
#   wine_start EXE [ARGS...]    Starts EXE in the background; WINE_LAST_PID is the loader's pid.
#                               EXE: a Windows path, a host path, or a file name in $CORVANE_WIN_BIN.
#                               stdout goes to $WINE_ENV_DIR/<name>.<N>.out (N counts starts), stderr to the debug log.
#   wine_wait PID [SECONDS]     Waits (default 60 s) for a wine_start'ed process; returns its exit code,
#                               or 124 after killing it when the time is up.
#   wine_run EXE [ARGS...]      Runs EXE in the foreground, at most $WINE_RUN_TIMEOUT s; exit code passes
#                               through (124: timed out). stdout passes through; stderr goes to the debug
#                               log, and the lines that are not Wine's own traces are repeated on stderr.
#   cvauto ARGS...              Runs cvauto.exe (window automation; `cvauto help`); exit code passes.
#   wine_debug_start            Marks the debug log: later wine_debug_lines show only what follows.
#   wine_debug_lines [--pid]    Prints each OutputDebugString line since the mark, decoded to UTF-8
#                               (with --pid: "PID<TAB>line", PID in decimal).
#   wine_debug_wait ERE [SECONDS]
#                               Waits (default 10 s) until a debug line matches the extended regex.
#   wine_screenshot FILE.png    The whole screen; a relative FILE goes into $WINE_ENV_DIR. Prints the path.
#   wine_restart                Simulated restart: server killed and restarted, `wineboot -r`
#                               (volatile registry keys are gone, pending renames are done,
#                               auto-start services start again).
#   wine_set_version VERSION    win10, win81, win8, win7 or winxp: the Windows version Wine reports.
#   wine_reg ARGS...            Runs Wine's reg.exe (reg add/query/delete ...), exit code passes.
#   check DESC EXPECTED ACTUAL  Prints "ok   DESC: ACTUAL" or a FAIL line with both values, and counts
#                               failures in $failures (a test ends with [ "$failures" -eq 0 ]).
#
# Measured facts behind the choices (Wine 8.0, 2 cores):
# - 32-bit Windows programs need the host to run 32-bit (i386) Linux code: Wine starts a 32-bit
#   loader for them. Where the kernel has 32-bit emulation off ("Exec format error" from
#   /usr/lib/wine/wine), only 64-bit programs run; the harness then uses the 64-bit loader alone
#   and the 64-bit build of the programs ($CORVANE_WIN64_BIN, or build/win64/bin beside
#   build/win/bin). With a qemu-i386 binfmt handler registered, 32-bit code runs emulated but far
#   too slowly (minutes per program, several minutes for a prefix), so the harness treats that
#   as "no 32-bit" as well.
# - OutputDebugStringW reaches Wine's debug channel "seh" as the ANSI text of the string (code
#   page of the locale: 1252 by default, so Hangul becomes "?"; 949 with WINE_ENV_LOCALE=
#   ko_KR.UTF-8), escaped C-style and cut after about 290 characters (wine_debug_lines then ends
#   the line with "..."). Each call gives one `pid:tid:warn:seh:dispatch_exception "..."` line on
#   the stderr of the process; services and children inherit the stderr of the process that
#   started them, so every Wine process of the session writes its stderr into one log.
# - Korean command-line arguments reach wmain intact when the host locale is UTF-8 (C.UTF-8).
# - Volatile registry keys vanish at wine_restart. RegCreateKeyEx with REG_OPTION_VOLATILE makes
#   the missing parent keys volatile too, and no lasting key can then be made under them (as on
#   Windows): give a test's volatile and lasting keys different parents.
# - Wine 8's OutputDebugString also feeds the DBWIN_BUFFER shared memory and its events (a
#   capture program there sees whole lines, still in the ANSI code page). The harness reads
#   stderr instead: nothing has to run in the prefix, and nothing is missed while a capture
#   program would be starting again after a restart.
# - Exit codes pass through the host, which keeps only their low 8 bits.

# Guard against sourcing twice.
if [ -n "${WINE_ENV_SOURCED:-}" ]; then return 0; fi
WINE_ENV_SOURCED=1

# A private network: Wine's sockets are the host's, so two tests (or a test and a developer's
# own run) whose programs listen on 127.0.0.1:30000 would meet. When sourced by a test script,
# the script starts over in a network namespace of its own with only a loopback interface
# (same pid, same output; WINE_ENV_NETNS=0 turns this off, and where namespaces cannot be made
# the script simply goes on in the host's network).
if [ "${WINE_ENV_NETNS:-1}" = 1 ] && [ -z "${WINE_ENV_IN_NETNS:-}" ] && [ "${BASH_SOURCE[1]:-}" = "$0" ] &&
   [ -f "$0" ] && unshare -n true 2>/dev/null; then
    export WINE_ENV_IN_NETNS=1
    exec unshare -n -- bash -c 'ip link set lo up 2>/dev/null || true; exec bash "$@"' wine-env "$0" "$@"
fi

WINE_ENV_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
: "${CORVANE_SOURCE:=$WINE_ENV_ROOT}"
: "${CORVANE_TEST_OUT:=$WINE_ENV_ROOT/build/wine-out}"
: "${CORVANE_WIN_BIN:=$WINE_ENV_ROOT/build/win/bin}"
: "${WINE_RUN_TIMEOUT:=120}"
export CORVANE_SOURCE CORVANE_TEST_OUT CORVANE_WIN_BIN

WINE_ENV_XVFB_PID=
WINE_ENV_DISPLAY=
WINE_ENV_DIR=
WINE_DEBUG_LOG=
WINE_DEBUG_MARK=0
WINE_LAST_PID=
WINE_ENV_BG_PIDS=()

_wine_env_say() { echo "wine-env: $*" >&2; }

# Runs a command for at most $1 seconds (then kills it); exit code 124 on timeout.
_wine_env_bounded() {
    local seconds=$1; shift
    timeout --kill-after=5 "$seconds" "$@"
}

# Prints the PE machine of a Windows program: i386, amd64 or unknown.
_wine_env_pe_machine() {
    local file=$1 offset machine
    [ -f "$file" ] || { echo unknown; return; }
    offset=$(od -An -t u4 -j 60 -N 4 "$file" 2>/dev/null | tr -d ' ')
    [ -n "$offset" ] || { echo unknown; return; }
    machine=$(od -An -t x2 -j $((offset + 4)) -N 2 "$file" 2>/dev/null | tr -d ' ')
    case "$machine" in
    014c) echo i386 ;;
    8664) echo amd64 ;;
    *) echo unknown ;;
    esac
}

# 0 when 32-bit Windows programs can run at native speed on this host (the build scripts decide
# the same way, in wine-arch.sh).
source "$WINE_ENV_ROOT/scripts/wine-arch.sh"
_wine_env_host_runs_32bit() {
    corvane_host_runs_i386
}

# Chooses the Wine loader and the folder of programs that can run here.
_wine_env_pick_wine() {
    local sample machine candidate
    if _wine_env_host_runs_32bit; then
        WINE_LOADER=/usr/lib/wine/wine
        WINE_ENV_BITS=32
        unset WINELOADER
    else
        WINE_LOADER=/usr/lib/wine/wine64
        WINE_ENV_BITS=64
        export WINELOADER=$WINE_LOADER
    fi
    [ -x "$WINE_LOADER" ] || { _wine_env_say "no Wine loader at $WINE_LOADER"; return 1; }

    sample=$(ls "$CORVANE_WIN_BIN"/*.exe 2>/dev/null | head -n 1)
    machine=$(_wine_env_pe_machine "$sample")
    if [ "$WINE_ENV_BITS" = 64 ] && [ "$machine" != amd64 ]; then
        for candidate in "${CORVANE_WIN64_BIN:-}" "${CORVANE_WIN_BIN%/win/bin}/win64/bin" \
                         "$WINE_ENV_ROOT/build/win64/bin"; do
            [ -n "$candidate" ] && [ -d "$candidate" ] || continue
            sample=$(ls "$candidate"/*.exe 2>/dev/null | head -n 1)
            if [ "$(_wine_env_pe_machine "$sample")" = amd64 ]; then
                _wine_env_say "this host cannot run 32-bit programs; using the 64-bit build in $candidate"
                CORVANE_WIN_BIN=$candidate
                export CORVANE_WIN_BIN
                return 0
            fi
        done
        _wine_env_say "this host cannot run 32-bit Windows programs at native speed" \
                      "and no 64-bit build was found: set CORVANE_WIN64_BIN or build build/win64"
        return 1
    fi
    return 0
}

_wine_env_exports() {
    export WINEARCH=win64
    export WINEDEBUG="${WINE_ENV_WINEDEBUG:-fixme-all,warn+seh,+pid}"
    export WINEDLLOVERRIDES="mscoree,mshtml="
    export LC_ALL="${WINE_ENV_LOCALE:-C.UTF-8}"
    unset LANGUAGE
}

# Starts Xvfb on the first free display from 110 on. The lock file is Xvfb's own, made
# atomically, so two tests starting at once cannot take the same display.
_wine_env_start_xvfb() {
    local n log=$WINE_ENV_DIR/xvfb.log i
    for n in $(seq 110 199); do
        [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
        Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >"$log" 2>&1 &
        WINE_ENV_XVFB_PID=$!
        for i in $(seq 1 200); do  # up to 10 s: a loaded machine starts Xvfb slowly
            if ! kill -0 "$WINE_ENV_XVFB_PID" 2>/dev/null; then break; fi
            if [ -S "/tmp/.X11-unix/X$n" ] && [ "$(tr -d ' ' <"/tmp/.X$n-lock" 2>/dev/null)" = "$WINE_ENV_XVFB_PID" ]; then
                WINE_ENV_DISPLAY=":$n"
                export DISPLAY=$WINE_ENV_DISPLAY
                return 0
            fi
            sleep 0.05
        done
        kill "$WINE_ENV_XVFB_PID" 2>/dev/null || true
        wait "$WINE_ENV_XVFB_PID" 2>/dev/null || true
        WINE_ENV_XVFB_PID=
    done
    _wine_env_say "no free X display between :110 and :199"
    return 1
}

# The registry the template gets: Hangul faces mapped to NanumGothic, since Wine ships none of
# the Korean fonts that dialogs and message boxes name.
_wine_env_template_reg() {
    local face
    printf 'Windows Registry Editor Version 5.00\r\n\r\n'
    printf '[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
    for face in Gulim 굴림 GulimChe 굴림체 Dotum 돋움 DotumChe 돋움체 Batang 바탕 BatangChe 바탕체 \
                Gungsuh 궁서 "Malgun Gothic" "맑은 고딕" "New Gulim" "새굴림"; do
        printf '"%s"="NanumGothic"\r\n' "$face"
    done
}

# Makes the template prefix once per build tree; concurrent tests wait on the lock.
_wine_env_template() {
    local base=${WINE_ENV_TEMPLATE_DIR:-$(dirname "$CORVANE_TEST_OUT")/wine-template}
    local tpl=$base/pfx$WINE_ENV_BITS stamp want tmp reg
    mkdir -p "$base"
    want="$("$WINE_LOADER" --version 2>/dev/null) bits=$WINE_ENV_BITS fonts=2"
    (
        flock -w 900 9 || { _wine_env_say "template lock not obtained in 900 s"; exit 1; }
        stamp=$(cat "$tpl/.corvane-template" 2>/dev/null)
        [ "$stamp" = "$want" ] && exit 0
        _wine_env_say "creating the template prefix $tpl (once per build tree)"
        tmp=$base/pfx$WINE_ENV_BITS.new
        rm -rf "$tmp" "$tpl"
        reg=$base/template.reg
        _wine_env_template_reg | iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } >"$reg"
        (
            export WINEPREFIX=$tmp WINEDEBUG=-all
            _wine_env_bounded 600 "$WINE_LOADER" wineboot -i </dev/null >/dev/null 2>&1 || true
            _wine_env_bounded 120 wineserver -w || true
            _wine_env_bounded 60 "$WINE_LOADER" regedit /S "$(winpath "$reg")" >/dev/null 2>&1 || true
            _wine_env_bounded 30 wineserver -k 2>/dev/null || true
            _wine_env_bounded 60 wineserver -w || true
        )
        [ -f "$tmp/system.reg" ] || { _wine_env_say "wineboot made no prefix in $tmp"; exit 1; }
        grep -q NanumGothic "$tmp/user.reg" || { _wine_env_say "font replacements missing in the template"; exit 1; }
        echo "$want" >"$tmp/.corvane-template"
        mv "$tmp" "$tpl"
    ) 9>"$base/.lock" || return 1
    WINE_ENV_TEMPLATE=$tpl
}

# The server stays on like a running PC. Bounded all the same (longer than any test may run), so
# that a test killed outright does not leave a server behind for good. Its stdout must not be
# the test's: CTest would wait for that pipe to close.
_wine_env_server_on() {
    _wine_env_bounded 20 wineserver -p"${WINE_ENV_PERSIST:-900}" </dev/null >/dev/null 2>>"$WINE_DEBUG_LOG"
}

# When the test's shell dies without running its EXIT trap (killed by a timeout, or a test that
# replaced the trap), this turns the machine off: the prefix's server and our Xvfb.
_wine_env_watchdog() {
    env -u WINEPREFIX setsid bash -c '
        owner=$1 prefix=$2 xvfb=$3
        while kill -0 "$owner" 2>/dev/null; do sleep 2; done
        WINEPREFIX=$prefix timeout 10 wineserver -k
        [ -n "$xvfb" ] && kill "$xvfb"
    ' wine-env-watchdog "$$" "$WINEPREFIX" "$WINE_ENV_XVFB_PID" </dev/null >/dev/null 2>&1 &
    WINE_ENV_WATCHDOG_PID=$!
}

wine_env_init() {
    local name=${1:?wine_env_init NAME}
    WINE_ENV_NAME=$name
    WINE_ENV_DIR=$CORVANE_TEST_OUT/$name
    export WINE_ENV_DIR
    if [ -d "$WINE_ENV_DIR/pfx" ]; then
        # A previous run of this test left its machine on: turn it off before wiping it.
        WINEPREFIX=$WINE_ENV_DIR/pfx _wine_env_bounded 10 wineserver -k 2>/dev/null || true
        WINEPREFIX=$WINE_ENV_DIR/pfx _wine_env_bounded 20 wineserver -w 2>/dev/null || true
    fi
    rm -rf "$WINE_ENV_DIR"
    mkdir -p "$WINE_ENV_DIR"
    WINE_DEBUG_LOG=$WINE_ENV_DIR/debug.log
    : >"$WINE_DEBUG_LOG"
    WINE_DEBUG_MARK=0
    export WINE_DEBUG_LOG

    trap _wine_env_on_exit EXIT
    trap 'exit 130' INT TERM

    _wine_env_pick_wine || return 1
    _wine_env_exports
    _wine_env_start_xvfb || return 1
    _wine_env_template || return 1

    local t0=$SECONDS
    cp -a "$WINE_ENV_TEMPLATE" "$WINE_ENV_DIR/pfx" || { _wine_env_say "copying the template failed"; return 1; }
    export WINEPREFIX=$WINE_ENV_DIR/pfx
    WINE_ENV_COPY_SECONDS=$((SECONDS - t0))

    _wine_env_server_on || { _wine_env_say "wineserver -p failed"; return 1; }
    _wine_env_watchdog
    # Boot the session now, with stderr into the log, so that services.exe and the programs it
    # starts write their debug lines there too.
    _wine_env_bounded 120 "$WINE_LOADER" wineboot 2>>"$WINE_DEBUG_LOG" >/dev/null || true
    _wine_env_say "$name: prefix $WINEPREFIX, display $DISPLAY, ${WINE_ENV_BITS}-bit programs from $CORVANE_WIN_BIN"
    return 0
}

# At the test's end: the machine is turned off; a passed test's prefix (some 700 MB) goes, a
# failed one's stays for a look (WINE_ENV_KEEP_PREFIX=1 keeps it always). Logs and screenshots
# stay either way.
_wine_env_on_exit() {
    local status=$?
    wine_env_cleanup
    if [ "$status" = 0 ] && [ "${WINE_ENV_KEEP_PREFIX:-0}" != 1 ] && [ -n "${WINE_ENV_DIR:-}" ]; then
        rm -rf "$WINE_ENV_DIR/pfx"
    fi
    return "$status"
}

wine_env_processes() {
    local p
    [ -n "${WINEPREFIX:-}" ] || return 0
    for p in /proc/[0-9]*; do
        if grep -qzxF "WINEPREFIX=$WINEPREFIX" "$p/environ" 2>/dev/null; then
            echo "${p#/proc/} $(tr '\0' ' ' <"$p/cmdline" 2>/dev/null)"
        fi
    done 2>/dev/null
}

wine_env_cleanup() {
    local pid
    if [ -n "${WINE_ENV_WATCHDOG_PID:-}" ]; then
        # Its own process group (setsid): the group goes, its sleep included.
        kill -- "-$WINE_ENV_WATCHDOG_PID" 2>/dev/null || kill "$WINE_ENV_WATCHDOG_PID" 2>/dev/null || true
        WINE_ENV_WATCHDOG_PID=
    fi
    if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ]; then
        _wine_env_bounded 10 wineserver -k 2>/dev/null || true
        _wine_env_bounded 30 wineserver -w 2>/dev/null || true
    fi
    for pid in "${WINE_ENV_BG_PIDS[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    WINE_ENV_BG_PIDS=()
    if [ -n "$WINE_ENV_XVFB_PID" ]; then
        kill "$WINE_ENV_XVFB_PID" 2>/dev/null || true
        wait "$WINE_ENV_XVFB_PID" 2>/dev/null || true
        WINE_ENV_XVFB_PID=
    fi
    return 0
}

winpath() {
    local path=${1:?winpath UNIXPATH} prefix=${WINEPREFIX:-/nonexistent} drive rest
    case "$path" in /*) ;; *) path=$PWD/$path ;; esac
    if [ "$path" = "$prefix/drive_c" ] || [[ "$path" == "$prefix/drive_c/"* ]]; then
        drive=C
        rest=${path#"$prefix/drive_c"}
    elif [[ "$path" =~ ^"$prefix"/dosdevices/([A-Za-z]):(/.*)?$ ]]; then
        drive=$(printf '%s' "${BASH_REMATCH[1]}" | tr '[:lower:]' '[:upper:]')
        rest=${BASH_REMATCH[2]}
    else
        drive=Z
        rest=$path
    fi
    rest=${rest//\//\\}
    printf '%s:%s\n' "$drive" "${rest:-\\}"
}

unixpath() {
    local path=${1:?unixpath WINPATH} drive rest
    drive=$(printf '%s' "${path:0:1}" | tr '[:upper:]' '[:lower:]')
    rest=${path:2}
    rest=${rest//\\//}
    printf '%s\n' "$WINEPREFIX/dosdevices/$drive:$rest"
}

wine_install_product_files() {
    local windir=${1:?wine_install_product_files WINDIR [FILE...]} dest file
    shift
    dest=$(unixpath "$windir")
    mkdir -p "$dest" || return 1
    if [ $# -eq 0 ]; then
        cp -a "$CORVANE_WIN_BIN"/. "$dest"/ || return 1
    else
        for file in "$@"; do
            cp -a "$CORVANE_WIN_BIN/$file" "$dest"/ || { _wine_env_say "cannot copy $file from $CORVANE_WIN_BIN"; return 1; }
        done
    fi
    printf '%s\n' "$windir"
}

# A program argument as Wine should see it: Windows paths as they are, host paths as they are,
# bare names from the build folder.
_wine_env_resolve_exe() {
    local exe=$1
    if [[ "$exe" == *\\* ]] || [[ "$exe" =~ ^[A-Za-z]: ]] || [ -e "$exe" ]; then
        printf '%s\n' "$exe"
    elif [ -e "$CORVANE_WIN_BIN/$exe" ]; then
        printf '%s\n' "$CORVANE_WIN_BIN/$exe"
    else
        printf '%s\n' "$exe"
    fi
}

wine_start() {
    local exe out
    exe=$(_wine_env_resolve_exe "${1:?wine_start EXE [ARGS...]}")
    shift
    WINE_ENV_STARTS=$((${WINE_ENV_STARTS:-0} + 1))
    out=$WINE_ENV_DIR/$(basename "${exe//\\//}").$WINE_ENV_STARTS.out
    "$WINE_LOADER" "$exe" "$@" >"$out" 2>>"$WINE_DEBUG_LOG" &
    WINE_LAST_PID=$!
    WINE_ENV_BG_PIDS+=("$WINE_LAST_PID")
    return 0
}

wine_wait() {
    local pid=${1:?wine_wait PID [SECONDS]} seconds=${2:-60} deadline
    deadline=$((SECONDS + seconds))
    while kill -0 "$pid" 2>/dev/null; do
        if [ "$SECONDS" -ge "$deadline" ]; then
            _wine_env_say "process $pid still running after $seconds s; killing it"
            kill "$pid" 2>/dev/null || true
            wait "$pid" 2>/dev/null || true
            return 124
        fi
        sleep 0.1
    done
    wait "$pid"
}

wine_run() {
    local exe rc errfile
    exe=$(_wine_env_resolve_exe "${1:?wine_run EXE [ARGS...]}")
    shift
    errfile=$(mktemp "$WINE_ENV_DIR/run.XXXXXX")
    rc=0
    _wine_env_bounded "$WINE_RUN_TIMEOUT" "$WINE_LOADER" "$exe" "$@" 2>"$errfile" || rc=$?
    cat "$errfile" >>"$WINE_DEBUG_LOG"
    grep -avE '^[0-9a-f]{4}:[0-9a-f]{4}:(err|warn|fixme|trace):|^[0-9a-f]{4}:(err|warn|fixme|trace):' "$errfile" >&2 || true
    rm -f "$errfile"
    [ "$rc" = 124 ] && _wine_env_say "$exe timed out after $WINE_RUN_TIMEOUT s"
    return "$rc"
}

cvauto() {
    WINEDEBUG=-all "$WINE_LOADER" "$CORVANE_WIN_BIN/cvauto.exe" "$@"
}

# One check of a test: both values are printed, so a failure says what was seen.
failures=0
check() {
    if [ "$2" == "$3" ]; then
        echo "ok   $1: $3"
    else
        echo "FAIL $1: expected [$2], got [$3]"
        failures=$((failures + 1))
    fi
}

wine_reg() {
    # reg.exe ends its lines with CR LF; scripts compare values, so only LF is kept.
    WINEDEBUG=-all _wine_env_bounded 60 "$WINE_LOADER" reg "$@" | tr -d '\r'
    return "${PIPESTATUS[0]}"
}

wine_debug_start() {
    WINE_DEBUG_MARK=$(stat -c %s "$WINE_DEBUG_LOG" 2>/dev/null || echo 0)
}

wine_debug_lines() {
    local with_pid=0 codepage=cp1252
    [ "${1:-}" = --pid ] && with_pid=1
    case "${LC_ALL:-}" in ko_KR*) codepage=cp949 ;; esac
    tail -c +$((WINE_DEBUG_MARK + 1)) "$WINE_DEBUG_LOG" 2>/dev/null |
        grep -a ':warn:seh:dispatch_exception "' |
        perl -CS -MEncode -ne '
            BEGIN { ($with_pid, $cp) = @ARGV[0,1]; @ARGV = (); }
            next unless /^(?:([0-9a-f]+):)?[0-9a-f]+:warn:seh:dispatch_exception "(.*)"(\.\.\.)?\s*$/;
            my ($pid, $text, $cut) = ($1, $2, $3);
            $text =~ s/\\(x([0-9a-fA-F]{2})|n|r|t|"|\\)/
                $2 ? chr(hex $2) : $1 eq "n" ? "\n" : $1 eq "r" ? "\r" : $1 eq "t" ? "\t" : $1/ge;
            $text = decode($cp, $text);
            $text .= "..." if $cut;
            $text =~ s/\r?\n\z//;
            for my $line (split /\r?\n/, $text, -1) {
                print $with_pid ? hex($pid // "0") . "\t" : "", $line, "\n";
            }
        ' "$with_pid" "$codepage" || true
}

wine_debug_wait() {
    local pattern=${1:?wine_debug_wait ERE [SECONDS]} seconds=${2:-10} deadline
    deadline=$((SECONDS + seconds))
    while :; do
        wine_debug_lines | grep -qE -- "$pattern" && return 0
        [ "$SECONDS" -ge "$deadline" ] && break
        sleep 0.2
    done
    _wine_env_say "no debug line matching /$pattern/ within $seconds s"
    return 1
}

wine_screenshot() {
    local file=${1:?wine_screenshot FILE.png}
    case "$file" in /*) ;; *) file=$WINE_ENV_DIR/$file ;; esac
    mkdir -p "$(dirname "$file")"
    _wine_env_bounded 30 import -display "$DISPLAY" -window root "$file" || return 1
    printf '%s\n' "$file"
}

wine_restart() {
    local t0=$SECONDS
    _wine_env_bounded 10 wineserver -k 2>/dev/null || true
    _wine_env_bounded 30 wineserver -w 2>/dev/null || true
    _wine_env_server_on || return 1
    _wine_env_bounded 120 "$WINE_LOADER" wineboot -r 2>>"$WINE_DEBUG_LOG" >/dev/null || return 1
    WINE_ENV_RESTART_SECONDS=$((SECONDS - t0))
    return 0
}

wine_set_version() {
    local version=${1:?wine_set_version win10|win7}
    case "$version" in
    win10 | win81 | win8 | win7 | winxp | win2008r2 | win2008) ;;
    *) _wine_env_say "unknown Windows version $version"; return 2 ;;
    esac
    wine_reg add 'HKCU\Software\Wine' /v Version /t REG_SZ /d "$version" /f >/dev/null
}
