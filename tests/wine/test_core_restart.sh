#!/usr/bin/env bash
# corvane.dll under Wine: what SetConfig and SetProtectMode ask for waits for the next system
# start; after a simulated restart GetStatus shows the new restore-point time and the release.
set -uo pipefail
source "${CORVANE_SOURCE:-$(dirname "$0")/../..}/scripts/wine-env.sh"
source "$(dirname "$0")/core_common.sh" core_restart

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
echo "PASS: $WINE_ENV_NAME (restore point $before -> $after)"
