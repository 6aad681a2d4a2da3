#!/usr/bin/env bash
# corvane.dll under Wine: what SetConfig and SetProtectMode ask for waits for the next system
# start; after a simulated restart GetStatus shows the new restore-point time and the release.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
name=core_restart
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
expect() { grep -qx -- "$2" <<<"$1" || fail "expected '$2' in: $(tr '\n' ' ' <<<"$1")"; }
value() { sed -n "s/^$2=//p" <<<"$1"; }

# --- the checks ----------------------------------------------------------------------------
# A fresh machine: C: protected with automatic restore; Wine's Z: (the host's "/") left out.
r=$(ctl status)
expect "$r" "drives=C"
expect "$r" "drive.C.flags=0x83"
expect "$r" "release=none"
before=$(value "$r" drive.C.restore_point_time)
stamp=$(value "$r" stamp)
[ -n "$before" ] || fail "no restore-point time in: $r"

r=$(ctl request-restore-point C bramble) || fail "SetConfig refused: $r"
expect "$r" "set_config=ok"
r=$(ctl set-protect-mode 2 bramble) || fail "SetProtectMode refused: $r"

# Asked for, not yet done: the configuration shows the request, the status the old state.
r=$(ctl config); expect "$r" "drive.C.flags=0x283"
sleep 2   # so the start time cannot fall in the same second as the install time
r=$(ctl status)
expect "$r" "drive.C.restore_point_time=$before"
expect "$r" "release=none"
[ "$(value "$r" stamp)" != "$stamp" ] || fail "stamp did not move after SetConfig"

restart
r=$(ctl status)
after=$(value "$r" drive.C.restore_point_time)
[ -n "$after" ] && [[ "$after" > "$before" ]] || fail "restore-point time '$after' not after '$before'"
expect "$r" "release=day"
r=$(ctl config); expect "$r" "drive.C.flags=0x83"

# Done once: a second restart does not take another restore point.
restart
r=$(ctl status)
expect "$r" "drive.C.restore_point_time=$after"
echo "PASS: $name (restore point $before -> $after)"
