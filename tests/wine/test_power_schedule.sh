#!/usr/bin/env bash
# The power schedule end to end with the real programs: "restart at" the current minute is saved
# through the password prompt; within one watch period the 30-second countdown opens with the
# schedule wording, "30" and "재부팅"; Cancel closes it and no other countdown opens in that run.
# Then, with the program only in the tray, a stored schedule opens the countdown by itself and its
# OK asks Windows for the restart at once.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "${CORVANE_SOURCE:-$here/../..}/scripts/wine-env.sh"
source "$here/settings_common.sh"

schedule_text="하드코르바네의 전원관리 스케쥴에 의해 30초 후에 시스템을 재부팅합니다."
msg200="시스템 종료 시간을 설정하였습니다."

wine_env_init power_schedule || exit 1
settings_install
ctl preset drives C >/dev/null

wine_debug_start
settings_open
settings_menu 6
check "power page shown" 0 $?
page=$(probe_find 1058 Button 1) || fail "no power page"
check "no schedule at first" "1 0 0" \
      "$(for id in 1056 1057 1058; do cvauto get-check --hwnd "$page" --id $id; done | tr -d '\r' | paste -sd' ')"

# The watch compares hour and minute: keep clear of the end of a minute so that saving and the
# first watch tick fall into the same one.
while [ "$(date +%-S)" -gt 40 ]; do sleep 1; done
now=$(date +%H:%M)
cvauto click --hwnd "$page" --id 1058 >/dev/null
cvauto dtp-set --hwnd "$page" --id 1042 --time "$now:00" >/dev/null || fail "time picker"
cvauto click --hwnd "$page" --id 1066 >/dev/null
answer_prompt bramble || fail "no password prompt"
check "message 200" "$msg200" "$(message_answer 1)"
saved=$SECONDS
check "stored: restart at $now" "power_mode=2 $now" \
      "$(ctl ext | tr -d '\r' | awk -F= '$1 == "power_mode" { m = $2 } $1 == "power_time" { t = substr($2, 12, 5) } END { print "power_mode=" m " " t }')"

cvauto wait --title "$countdown_title" --timeout 8000 >/dev/null
check "countdown within one watch period" 0 $?
echo "     countdown $((SECONDS - saved)) s after saving"
check "schedule wording, 30, 재부팅" "$schedule_text" "$(cvauto get-text --title "$countdown_title" --id 1010 --any-state)"
check "OK and Cancel enabled" "1:1 2:1" \
      "$(cvauto children --title "$countdown_title" | awk -F'\t' '$1 == 1 || $1 == 2 { printf "%s%s:%s", sep, $1, $3; sep = " " }')"
echo "screenshot: $(wine_screenshot 01_power_countdown.png)"
cvauto click --title "$countdown_title" --id 2 >/dev/null
cvauto wait-gone --title "$countdown_title" --timeout 5000
check "Cancel closes the countdown" 0 $?

# Two more watch periods in the same minute: nothing opens again.
sleep 11
cvauto exists --title "$countdown_title"
check "no second countdown in this run" 1 $?
check "one countdown opened, none requested a restart" "1 0" \
      "$(wine_debug_lines | grep -c '^Corvane countdown 30 s opened') $(wine_debug_lines | grep -c 'ExitWindowsEx')"
cvauto exists --hwnd "$main_window" >/dev/null
check "the program goes on" 0 $?

cvauto post --hwnd "$main_window" --hidden --msg $WM_CLOSE >/dev/null
wine_wait "$corvane" 20 >/dev/null

# --- the usual case: the program sits in the tray, its window never opened ------------------
# A schedule stored earlier ("restart at" this minute) is watched from the start; OK on the
# countdown asks for the restart at once.
while [ "$(date +%-S)" -gt 30 ]; do sleep 1; done
now=$(date +%H:%M)
ctl set-power 2 "$now" >/dev/null
wine_debug_start
wine_start "$app\\Corvane.exe"
corvane=$WINE_LAST_PID
cvauto wait --title "$countdown_title" --timeout 30000 >/dev/null
check "countdown opens while the window stays hidden" 0 $?
opened=$SECONDS
cvauto exists --title "$product" --class "#32770" >/dev/null
check "main window still hidden" 1 $?
echo "screenshot: $(wine_screenshot 02_countdown_from_tray.png)"
cvauto click --title "$countdown_title" --id 1 >/dev/null
wine_debug_wait '^Corvane ExitWindowsEx\(reboot\) = 1' 10
check "OK asks for the restart at once" 0 $?
check "well before the 29 s of the count" 1 "$(( SECONDS - opened < 15 ? 1 : 0 ))"
wine_wait "$corvane" 20 >/dev/null
check "the session ended the program" 0 $?

echo "power schedule: $failures failure(s)"
[ "$failures" -eq 0 ]
