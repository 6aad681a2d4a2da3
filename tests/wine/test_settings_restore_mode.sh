#!/usr/bin/env bash
# The restore-mode page end to end with the real programs: C: switched from automatic to manual
# restore on the settings tab, confirmed, the password typed into the prompt, the 5-second
# restart countdown (OK disabled) asks Windows to restart, and after the restart the program
# shows C: in manual restore on the page and in its tray tooltip.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "${CORVANE_SOURCE:-$here/../..}/scripts/wine-env.sh"
source "$here/settings_common.sh"

msg181='작업한 내용을 적용하기 위해서는 시스템 재시작이 필요합니다.\n작업을 계속 진행하시겠습니까?'

wine_env_init settings_restore_mode || exit 1
settings_install
ctl preset drives C >/dev/null
# Flags: 0x80 present, 0x1 restore in use, 0x2 automatic.
check "C: automatic before" "drive.C.flags=0x83" "$(ctl status | grep '^drive\.C\.flags=')"

wine_debug_start
settings_open
settings_menu 2
check "restore-mode page shown" 0 $?
page=$(probe_find 1026 SysListView32 1) || fail "no restore-mode page"
panel=$(probe_find 1092 Button 1) || fail "no row panel"
check "C: row" "C:" "$(cvauto lv-items --hwnd "$page" --id 1026 | cut -f4 | head -n 1)"
check "C: shown as automatic" 1 "$(cvauto get-check --hwnd "$panel" --id 1091)"

cvauto click --hwnd "$panel" --id 1092 >/dev/null
check "manual chosen" 1 "$(cvauto get-check --hwnd "$panel" --id 1092)"
cvauto click --hwnd "$page" --id 1066 >/dev/null
check "message 181" "$msg181" "$(message_answer 6)"
other_dialog >/dev/null || fail "no password prompt"
echo "screenshot: $(wine_screenshot 01_password_prompt.png)"
answer_prompt bramble || fail "prompt"

cvauto wait --title "$countdown_title" >/dev/null
check "countdown opened" 0 $?
echo "screenshot: $(wine_screenshot 02_countdown.png)"
check "countdown text" "5초 후에 시스템을 재부팅합니다." "$(cvauto get-text --title "$countdown_title" --id 1010 --any-state)"
check "OK disabled, Cancel enabled" "1:0 2:1" \
      "$(cvauto children --title "$countdown_title" | awk -F'\t' '$1 == 1 || $1 == 2 { printf "%s%s:%s", sep, $1, $3; sep = " " }')"
check "C: manual waits in the configuration" "drive.C.flags=0x81" "$(ctl config | grep '^drive\.C\.flags=')"
check "C: still automatic in force" "drive.C.flags=0x83" "$(ctl status | grep '^drive\.C\.flags=')"
wine_debug_wait '^Corvane ExitWindowsEx\(reboot\) = 1' 15
check "restart requested after the countdown" 0 $?
wine_wait "$corvane" 20 >/dev/null
check "the session ended the program" 0 $?

wine_restart || fail "restart"
check "C: manual after the restart" "drive.C.flags=0x81" "$(ctl status | grep '^drive\.C\.flags=')"

wine_debug_start
settings_open
settings_menu 2
page=$(probe_find 1026 SysListView32 1) || fail "no restore-mode page"
panel=$(probe_find 1092 Button 1) || fail "no row panel"
check "C: shown as manual on the page" "0 1 0" \
      "$(for id in 1091 1092 1093; do cvauto get-check --hwnd "$panel" --id $id; done | tr -d '\r' | paste -sd' ')"
echo "screenshot: $(wine_screenshot 03_restore_mode_page.png)"
check "tray tooltip" "$product - 복구모드(수동 복구 모드)" "$(probe_tooltips | grep -F "$product" | head -n 1)"
cvauto post --hwnd "$main_window" --hidden --msg $WM_CLOSE >/dev/null
wine_wait "$corvane" 20 >/dev/null

echo "settings restore mode: $failures failure(s)"
[ "$failures" -eq 0 ]
