#!/usr/bin/env bash
# "_Helper.dll" through CHelperDLL with the real loader, in a fresh prefix: every export
# resolves and is logged; install, status, password checks with the three-strike lock (lifted by
# a restart), protection release and uninstall keep the library's own state; skip mode skips the
# protection calls once the product is installed; a missing library fails the start; the drive
# chooser draws a check box per fixed drive into the control it is given.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
name=install_helper
source "${CORVANE_SOURCE:-$here/../..}/scripts/wine-env.sh"
wine_env_init "$name" || { echo "FAIL: no Wine machine for $name"; exit 1; }
out=$WINE_ENV_DIR
fail() { echo "FAIL: $*"; exit 1; }
dir=$(wine_install_product_files 'C:\InstallCheck' installcheck.exe _Helper.dll)
host_dir=$(unixpath "$dir")
calls=$host_dir/_Helper.log

# helper ops...: runs the operations; their results (not the log lines) go to $out/result.txt.
helper() {
    local r=0
    wine_run "$dir\\installcheck.exe" helper "$@" 2>>"$out/run.log" | tr -d '\r' >"$out/full.txt" || r=$?
    cat "$out/full.txt" >>"$out/run.log"
    grep -v '^log: ' "$out/full.txt" >"$out/result.txt" || true
    return $r
}
expect() {
    local want=$1
    [ "$(cat "$out/result.txt")" = "$want" ] || fail "$2: got $(tr '\n' '|' <"$out/result.txt"), want $(printf '%s' "$want" | tr '\n' '|')"
}

# 1. Start-up resolves and logs every export; install, wrong password twice, right one.
helper status install '암호1' status check wrong check '암호1' || fail "helper run failed"
for export_name in CorvaneDefaultCfg IsCorvaneInstalled IsCorvaneProtect ChangeSupervisor InstallCorvane CheckPassword \
                   UninstallCorvane CreateProtectDriveCtrl ReleaseProtectDriveCtrl FirewallRemoveApp NoDrivesUpdate \
                   FirewallAddApp IsRunning; do
    grep -qx "log: $export_name" "$out/full.txt" || fail "export $export_name not logged"
done
grep -qx 'log: Corvane Skip mode : 0' "$out/full.txt" || fail "InitCorvane's answer not logged"
expect $'IsCorvaneInstalled -> 0\nIsCorvaneProtect -> 0\ninstall -> 1\nIsCorvaneInstalled -> 1\nIsCorvaneProtect -> 1\ncheck -> 0\ncheck -> 1' "install and password"
grep -q 'InstallCorvane(buffer, 256, 1, 0, 1, 0, 0x09000000, "", "암호1", 0) -> 1' "$calls" ||
    fail "InstallCorvane arguments: $(grep InstallCorvane "$calls")"
grep -q 'InitCorvane(0, 0, 1, 1) -> 1' "$calls" || fail "InitCorvane arguments: $(grep InitCorvane "$calls")"

# 2. Three wrong entries lock checking; the message comes back in the buffer.
helper release wrong release wrong release wrong check '암호1' || fail "helper run failed"
expect $'release -> 0 message: 비밀번호가 올바르지 않습니다.\nrelease -> 0 message: 비밀번호가 올바르지 않습니다.\nrelease -> 0 message: 비밀번호가 잠겼습니다. PC를 다시 시작하십시오.\ncheck -> -1' "lockout"

# 3. A restart lifts the lock; release and uninstall with the right password.
wine_restart
helper check '암호1' release '암호1' status firewall 'Corvane.exe' nodrives uninstall '암호1' status || fail "helper run failed"
expect $'check -> 1\nrelease -> 1\nIsCorvaneInstalled -> 1\nIsCorvaneProtect -> 0\nfirewall -> 1\nnodrives -> 1\nuninstall -> 1\nIsCorvaneInstalled -> 0\nIsCorvaneProtect -> 0' "after restart"
grep -q 'FirewallRemoveApp("Corvane.exe") -> 1' "$calls" || fail "FirewallRemoveApp not logged"

# 4. Skip mode: InitCorvane answers 0; with the product installed the protection calls are skipped.
for view in 32 64; do wine_reg add 'HKLM\SOFTWARE\Talvoric\CorvaneHelper' /v SkipMode /t REG_DWORD /d 1 /f /reg:$view >/dev/null 2>&1; done
helper install 'pw' || fail "helper run failed"
: >"$calls"
helper check wrong status || fail "helper run failed"
grep -qx 'log: Corvane Skip mode : 1' "$out/full.txt" || fail "skip mode not logged"
expect $'check -> 1\nIsCorvaneInstalled -> 1\nIsCorvaneProtect -> 0' "skip mode"
grep -q 'CorvaneDefaultCfg(0, 1, 1) -> 1' "$calls" || fail "skip mode did not call CorvaneDefaultCfg"
! grep -q 'CheckPassword' "$calls" || fail "CheckPassword was called in skip mode"

# 5. The drive chooser, limited to the system drive.
printf '[CorvaneInfo]\r\nOnlySystemDrive=1\r\n' >"$host_dir/InstallInfo.ini"
wine_start "$dir\\installcheck.exe" chooser 4000
chooser=$WINE_LAST_PID
for i in $(seq 1 60); do grep -q CreateProtectDriveCtrl "$calls" && break; sleep 0.1; done
sleep 1
wine_screenshot drive_chooser.png >/dev/null || true
wine_wait "$chooser" 30 || fail "the chooser did not end"
grep -q 'CreateProtectDriveCtrl(.*, 0, 1) -> 1 drives "C"' "$calls" || fail "chooser: $(grep ProtectDrive "$calls")"
grep -q 'ReleaseProtectDriveCtrl() -> 1 drives "C"' "$calls" || fail "chooser release: $(grep ProtectDrive "$calls")"

# 6. Without the library the start fails.
rm "$host_dir/_Helper.dll"
if helper status; then fail "start-up succeeded without _Helper.dll"; fi
grep -q '^load failed: 126' "$out/result.txt" || fail "missing library: $(cat "$out/result.txt")"
echo "PASS: $name"
