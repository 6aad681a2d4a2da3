#!/usr/bin/env bash
# The install log and the debug pipe with the real Windows calls, in a fresh prefix: a clean run
# leaves no log anywhere; a failed run leaves "Talvoric_Install.log" at the root of the system
# drive (replacing an older one) with CR LF lines starting with "logging start"; a pipe listener
# receives "Logging Start..." and then every line without its final line feed.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
name=install_log
source "${CORVANE_SOURCE:-$here/../..}/scripts/wine-env.sh"
wine_env_init "$name" || { echo "FAIL: no Wine machine for $name"; exit 1; }
out=$WINE_ENV_DIR
fail() { echo "FAIL: $*"; exit 1; }
dir=$(wine_install_product_files 'C:\InstallCheck' installcheck.exe pipelisten.exe)

# run_log ok|fail texts...: one installer log run; prints where its logs are.
run_log() {
    wine_run "$dir\\installcheck.exe" log "$@" 2>>"$out/run.log" | tr -d '\r' >"$out/paths.txt" ||
        fail "installcheck log $* failed"
    temp_log=$(unixpath "$(sed -n 's/^temp log: //p' "$out/paths.txt")")
    kept_log=$(unixpath "$(sed -n 's/^kept log: //p' "$out/paths.txt")")
}

# 1. A clean run, nobody listening on the pipe.
run_log ok 'Initializing modules\n' 'Drive Letter C:\\\n'
[ "$kept_log" = "$WINEPREFIX/dosdevices/c:/Talvoric_Install.log" ] || fail "kept log path: $kept_log"
[ ! -e "$temp_log" ] || fail "a clean run left $temp_log"
[ ! -e "$kept_log" ] || fail "a clean run left $kept_log"

# 2. A failed run with a listener, over an older kept log.
printf 'older run\r\n' >"$kept_log"
wine_start "$dir\\pipelisten.exe" --count 5 --timeout 60000
listener=$WINE_LAST_PID
for i in $(seq 1 100); do grep -q '^listening' "$WINE_DEBUG_LOG" && break; sleep 0.1; done
grep -q '^listening' "$WINE_DEBUG_LOG" || fail "the pipe listener did not start"
run_log fail 'Drive Letter C:\n' 'first\nsecond\n' 'Initializing modules\n'
r=0; wine_wait "$listener" 30 || r=$?
[ $r -eq 0 ] || fail "the listener did not get five texts (exit $r): $(cat "$out"/pipelisten.*.out 2>/dev/null | tr '\n' '|')"
received=$(cat "$out"/pipelisten.*.out)
expected=$'Logging Start...\nlogging start\nDrive Letter C:\nfirst\\nsecond\nInitializing modules'
[ "$received" = "$expected" ] || fail "pipe texts: $(printf '%s' "$received" | tr '\n' '|')"

[ ! -e "$temp_log" ] || fail "the failed run's log stayed in the temporary folder"
[ -f "$kept_log" ] || fail "no log at the system drive's root"
printf 'logging start\r\nDrive Letter C:\r\nfirst\r\nsecond\r\nInitializing modules\r\n' >"$out/expected.log"
cmp -s "$kept_log" "$out/expected.log" || fail "kept log content: $(cat -A "$kept_log" | tr '\n' ' ')"
echo "PASS: $name"
