#!/usr/bin/env bash
# The control program's agent client over real Winsock against a listener that takes the
# request and never answers: the command ends with -1 after the 30-second receive time-out
# (not sooner, and not after ten time-outs in a row), with the receive error line.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "${CORVANE_SOURCE:-$here/../..}/scripts/wine-env.sh"
source "$here/agent_common.sh"

wine_env_init agent_client_timeout || fail "no Wine machine"
dir=$(wine_install_product_files 'C:\Corvane' agentctl.exe) || fail "cannot copy agentctl.exe"
agent_port_wait_free || fail "port 30000 stays taken by another program"

wine_start "$dir\\agentctl.exe" mute-listener 90
listener=$WINE_LAST_PID
for i in $(seq 1 50); do
    grep -q listening "$WINE_ENV_DIR"/agentctl.exe.1.out 2>/dev/null && break
    sleep 0.2
done
grep -q listening "$WINE_ENV_DIR"/agentctl.exe.1.out || fail "the mute listener did not start: $(cat "$WINE_ENV_DIR"/agentctl.exe.1.out)"

wine_debug_start
t0=$SECONDS
r=$(agentctl get-vdisk); expect_eq "$r" "result=-1" "get-vdisk against a listener that never answers"
elapsed=$((SECONDS - t0))
[ "$elapsed" -ge 29 ] && [ "$elapsed" -le 45 ] || fail "the command ended after ${elapsed} s, not after the 30-second time-out"
expect_debug 'AgentCtrl Recv Error : 10060'
expect_debug 'CAgentCtrl GetVDiskEnable return val : -1'
kill "$listener" 2>/dev/null || true
echo "PASS: agent_client_timeout (${elapsed} s)"
