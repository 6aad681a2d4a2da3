#!/usr/bin/env bash
# CorvaneAgent.exe as a real service under Wine, driven through the control program's own
# client (agentctl uses TheAgentCtrl): nothing listening gives -1 at once, settings round-trip,
# Windows Update blocking and the storage policy reach Windows, the service keeps its settings
# across a simulated restart (it starts by itself again), listens on the loopback interface
# only, logs what it does, and goes away with /uninstall.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "${CORVANE_SOURCE:-$here/../..}/scripts/wine-env.sh"
source "$here/agent_common.sh"

wine_env_init agent_service || fail "no Wine machine"
dir=$(wine_install_product_files 'C:\Corvane' CorvaneAgent.exe agentctl.exe) || fail "cannot copy the programs"
host_dir=$(unixpath "$dir")
agent_port_wait_free || fail "port 30000 stays taken by another program"

# --- nothing listening: every command fails at once, with the connect line ----------------
wine_debug_start
t0=$(date +%s%N)
r=$(agentctl get-vdisk); expect_eq "$r" "result=-1" "get-vdisk without a service"
elapsed_ms=$(( ($(date +%s%N) - t0) / 1000000 ))
[ "$elapsed_ms" -lt 10000 ] || fail "refused connection took ${elapsed_ms} ms"
expect_debug 'CAgentCtrl sock connect 10061'
expect_debug 'CAgentCtrl GetVDiskEnable return val : -1'

# --- the service --------------------------------------------------------------------------
r=$(wine_run "$dir\\CorvaneAgent.exe" /install | tr -d '\r') || fail "/install failed: $r"
expect_eq "$r" "service CorvaneAgent running" "/install"
key='HKLM\System\CurrentControlSet\Services\CorvaneAgent'
q=$(wine_reg query "$key")
grep -q 'DisplayName.*CorvaneAgentService' <<<"$q" || fail "display name missing: $q"
grep -qi 'Start.*0x2' <<<"$q" || fail "not an automatic service: $q"
grep -q 'Description.*Talvoric HDD Corvane' <<<"$q" || fail "description missing: $q"
agent_wait_answering || fail "the service does not answer"
ss -ltn | grep -q '127.0.0.1:30000 ' || fail "not listening on 127.0.0.1:30000: $(ss -ltn)"
! ss -ltn | grep -qE '(0\.0\.0\.0|\*|\[::\]):30000 ' || fail "listening beyond loopback: $(ss -ltn)"

# set then get: the visibility round-trips through the real service
wine_debug_start
r=$(agentctl get-vdisk); expect_eq "$r" "result=0" "fresh service: drives hidden"
r=$(agentctl set-vdisk 1); expect_eq "$r" "result=0" "set-vdisk 1"
r=$(agentctl get-vdisk); expect_eq "$r" "result=1" "get-vdisk after set 1"
r=$(agentctl set-vdisk 0); expect_eq "$r" "result=0" "set-vdisk 0"
r=$(agentctl get-vdisk); expect_eq "$r" "result=0" "get-vdisk after set 0"
r=$(agentctl set-vdisk 1); expect_eq "$r" "result=0" "set-vdisk 1 again"
r=$(agentctl set-windows-update 1); expect_eq "$r" "result=0" "set-windows-update 1"
r=$(agentctl set-storage-blocked 1); expect_eq "$r" "result=0" "set-storage-blocked 1"
r=$(agentctl set-storage-security 1); expect_eq "$r" "result=0" "set-storage-security 1"
r=$(agentctl set-storage-security 5); expect_eq "$r" "result=-3" "out-of-range argument"
expect_debug 'CAgentCtrl SetVDiskEnable return val : 0'
expect_debug 'CAgentCtrl GetVDiskEnable return val : 1'
expect_debug 'CAgentCtrl SetWindowsUpdate return val : 0'
expect_debug 'CAgentCtrl SetWindowsUpdate return val : -3'

# What the security settings did to Windows (Wine has no USBSTOR driver: that step is logged as failed).
reg_dword() { wine_reg query "$1" /v "$2" | sed -n "s/.*$2[[:space:]]*REG_DWORD[[:space:]]*//p"; }
expect_eq "$(reg_dword 'HKLM\System\CurrentControlSet\Services\wuauserv' Start)" "0x4" "wuauserv start type"
expect_eq "$(reg_dword 'HKLM\System\CurrentControlSet\Control\StorageDevicePolicies' WriteProtect)" "0x0" \
    "write protection with storage forbidden"
r=$(agentctl set-storage-blocked 0); expect_eq "$r" "result=0" "set-storage-blocked 0 (read-only)"
expect_eq "$(reg_dword 'HKLM\System\CurrentControlSet\Control\StorageDevicePolicies' WriteProtect)" "0x1" \
    "write protection with storage read-only"
r=$(agentctl set-storage-blocked 1); expect_eq "$r" "result=0" "set-storage-blocked 1 again"
grep -q 'USBSTOR start type 4: failed, error 1060' "$host_dir/CorvaneAgent.log" || fail "the missing USBSTOR driver was not logged"

cfg=$(tr -d '\r' <"$host_dir/CorvaneAgent.cfg") || fail "no settings file"
for line in vdisk_visible=1 block_windows_update=1 storage_blocked=1 storage_security=1; do
    grep -qx "$line" <<<"$cfg" || fail "settings file lacks $line: $cfg"
done

# --- a restart: the service comes back by itself with what it kept ------------------------
wine_restart
agent_wait_answering || fail "the service did not start again after the restart"
r=$(agentctl get-vdisk); expect_eq "$r" "result=1" "visibility after the restart"

log=$(tr -d '\r' <"$host_dir/CorvaneAgent.log") || fail "no log file"
grep -q 'agent starting (service)' <<<"$log" || fail "log lacks the start: $log"
grep -q 'listening on 127.0.0.1:30000' <<<"$log" || fail "log lacks the listener: $log"
grep -q 'command 1/0 SetVDiskEnable argument "1" result 0' <<<"$log" || fail "log lacks the command: $log"
grep -q 'settings loaded: vdisk_visible=1 block_windows_update=1 storage_blocked=1 storage_security=1' <<<"$log" ||
    fail "log lacks the settings read after the restart: $log"

# Lifting the update block puts Windows' own start type back.
r=$(agentctl set-windows-update 0); expect_eq "$r" "result=0" "set-windows-update 0"
expect_eq "$(reg_dword 'HKLM\System\CurrentControlSet\Services\wuauserv' Start)" "0x3" "wuauserv start type after unblocking"

# --- /uninstall: stopped and removed; the client fails again ------------------------------
r=$(wine_run "$dir\\CorvaneAgent.exe" /uninstall | tr -d '\r') || fail "/uninstall failed: $r"
expect_eq "$r" "service CorvaneAgent removed" "/uninstall"
grep -q 'agent stopped' "$host_dir/CorvaneAgent.log" || fail "the service did not log its stop"
r=$(agentctl get-vdisk); expect_eq "$r" "result=-1" "get-vdisk after uninstall"
echo "PASS: agent_service"
