#!/usr/bin/env bash
# corvane.dll under Wine: three wrong passwords lock every password check - the right one too,
# in every process - until the next system start; a simulated restart clears the lock.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
name=core_lockout
# --- machine set-up: a fresh prefix whose server stays up like a running PC ---------------
: "${CORVANE_WIN_BIN:?set CORVANE_WIN_BIN to the folder with corvane.dll and corvanectl.exe}"
source "${CORVANE_SOURCE:-$here/../..}/scripts/wine-arch.sh"
wine=$(corvane_wine_loader)   # the loader matching the build in CORVANE_WIN_BIN
outroot=${CORVANE_TEST_OUT:-$here/../../build/wine-out}
out=$outroot/$name
rm -rf "$out" && mkdir -p "$out"
export WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY
log=$out/run.log
# A pristine prefix is made once and copied for each run: creating one takes minutes here.
template=$outroot/core-prefix-template
if [ ! -f "$template/.complete" ]; then
    rm -rf "$template"
    WINEPREFIX=$template "$wine" wineboot -i >>"$log" 2>&1
    WINEPREFIX=$template wineserver -w
    touch "$template/.complete"
fi
cp -a "$template" "$out/pfx"
export WINEPREFIX=$out/pfx
finish() { wineserver -k >/dev/null 2>&1 || true; wineserver -w >/dev/null 2>&1 || true; }
trap finish EXIT
wineserver -p
mkdir -p "$WINEPREFIX/drive_c/Corvane"
cp "$CORVANE_WIN_BIN/corvane.dll" "$CORVANE_WIN_BIN/corvanectl.exe" "$WINEPREFIX/drive_c/Corvane/"
ctl() { "$wine" 'C:\Corvane\corvanectl.exe' "$@" 2>>"$log" | tr -d '\r' | tee -a "$log"; }
# A restart: the server goes (volatile keys with it), comes back, and Windows starts again.
restart() {
    echo "--- restart" >>"$log"
    wineserver -k; wineserver -w; wineserver -p
    "$wine" wineboot -r >>"$log" 2>&1
}
fail() { echo "FAIL: $*"; echo "(log: $log)"; exit 1; }
# expect <output> <key=value>: the line must be there
expect() { grep -qx -- "$2" <<<"$1" || fail "expected '$2' in: $(tr '\n' ' ' <<<"$1")"; }

# --- the checks ----------------------------------------------------------------------------
r=$(ctl verify bramble) || fail "default password refused"
expect "$r" "verify=ok"

for attempt in 1 2 3; do
    r=$(ctl verify wrong-$attempt) && fail "wrong password $attempt accepted"
    case $attempt in
    3) expect "$r" "last_result=0x80000007" ;;
    *) expect "$r" "last_result=0x80000006" ;;
    esac
done
r=$(ctl inspect); expect "$r" "wrong_passwords=3"

# Locked: the right password fails in a new process, through every guarded operation.
r=$(ctl verify bramble) && fail "right password accepted while locked"
expect "$r" "verify=failed"
expect "$r" "last_result=0x80000007"
r=$(ctl set-turbo on bramble) && fail "SetConfig accepted while locked"
expect "$r" "last_result=0x80000007"
r=$(ctl set-protect-mode 1 bramble) && fail "SetProtectMode accepted while locked"
expect "$r" "last_result=0x80000007"
r=$(ctl change-password bramble other) && fail "ChangePassword accepted while locked"
expect "$r" "last_result=0x80000007"
r=$(ctl config); expect "$r" "options=0x00000000"

# The lock outlives idle time while the machine stays on ...
sleep 5
r=$(ctl verify bramble) && fail "lock vanished without a restart"

# ... and a restart clears it.
restart
r=$(ctl verify bramble) || fail "right password refused after the restart: $r"
expect "$r" "verify=ok"
r=$(ctl inspect); expect "$r" "wrong_passwords=0"
echo "PASS: $name"
