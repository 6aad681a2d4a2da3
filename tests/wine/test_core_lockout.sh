#!/usr/bin/env bash
# corvane.dll under Wine: three wrong passwords lock every password check - the right one too,
# in every process - until the next system start; a simulated restart clears the lock.
set -uo pipefail
source "${CORVANE_SOURCE:-$(dirname "$0")/../..}/scripts/wine-env.sh"
source "$(dirname "$0")/core_common.sh" core_lockout

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
echo "PASS: $WINE_ENV_NAME"
