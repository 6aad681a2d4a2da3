#!/usr/bin/env bash
# CorvaneAgent.exe run as a console program (/console) under Wine: silent, slow, short,
# oversized, wrongly marked and vanishing clients, unknown commands and many clients at once do
# not stop it from answering the next good request promptly, and it is still running at the end.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "${CORVANE_SOURCE:-$here/../..}/scripts/wine-env.sh"
source "$here/agent_common.sh"

wine_env_init agent_robustness || fail "no Wine machine"
dir=$(wine_install_product_files 'C:\Corvane' CorvaneAgent.exe agentctl.exe) || fail "cannot copy the programs"
host_dir=$(unixpath "$dir")
agent_port_wait_free || fail "port 30000 stays taken by another program"

wine_start "$dir\\CorvaneAgent.exe" /console
agent_pid=$WINE_LAST_PID
agent_wait_answering || fail "the console agent does not answer"

# Clients that hold connections open without a complete request, all at once.
bad_pids=()
for kind in silent silent silent slow slow; do
    wine_start "$dir\\agentctl.exe" raw "$kind" 8
    bad_pids+=("$WINE_LAST_PID")
done
sleep 2   # they are connected and stalling now
t0=$(date +%s%N)
r=$(agentctl get-vdisk); expect_eq "$r" "result=0" "good request beside stalled clients"
elapsed_ms=$(( ($(date +%s%N) - t0) / 1000000 ))
# Served one after another, the five stalled clients would hold it back for more than 20 s
# (5 s each); a busy host may still take a few seconds to start a Wine process.
[ "$elapsed_ms" -lt 10000 ] || fail "good request waited ${elapsed_ms} ms behind stalled clients"

# Malformed requests get a refusal (or nothing, for a client that is gone) and change nothing.
while read -r kind want; do
    r=$(agentctl raw "$kind"); expect_eq "$r" "reply=$want" "raw $kind"
    r=$(agentctl get-vdisk); expect_eq "$r" "result=0" "good request after raw $kind"
done <<'CASES'
short -1
badmarker -1
unknown -2
badarg -3
oversized 0
vanish none
CASES

r=$(agentctl set-vdisk 1); expect_eq "$r" "result=0" "set-vdisk 1 after the abuse"
r=$(agentctl flood 40); expect_eq "$r" "answered=40 of 40" "forty clients at once"
r=$(agentctl get-vdisk); expect_eq "$r" "result=1" "get-vdisk after the flood"

# The stalled clients were cut off within the service's bounds; silent ones got no reply.
for pid in "${bad_pids[@]}"; do
    wine_wait "$pid" 60 || fail "a stalled client (pid $pid) did not end"
done
slow_reply=$(tr -d '\r' <"$WINE_ENV_DIR"/agentctl.exe.5.out)
expect_eq "$slow_reply" "reply=-1" "slow client cut off after the request time"
silent_reply=$(tr -d '\r' <"$WINE_ENV_DIR"/agentctl.exe.2.out)
expect_eq "$silent_reply" "reply=none" "silent client"

kill -0 "$agent_pid" 2>/dev/null || fail "the agent is no longer running"
log=$(tr -d '\r' <"$host_dir/CorvaneAgent.log")
for text in 'client sent nothing in time; closed' 'client too slow after' 'rejected request without the marker' \
            'rejected request of 100 bytes' 'ignored 300 bytes after the request'; do
    grep -qF "$text" <<<"$log" || fail "log lacks '$text'"
done
echo "PASS: agent_robustness"
