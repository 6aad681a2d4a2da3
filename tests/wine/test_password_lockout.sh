#!/usr/bin/env bash
# The administrator password in the real program: a space is refused before the library is asked
# (it is not a wrong attempt), three wrong passwords and then the right one end in message 227,
# and after a restart the password change page refuses a case-only mismatch, keeps nothing typed
# after a change, and the new password is the one the library checks.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "${CORVANE_SOURCE:-$here/../..}/scripts/wine-env.sh"
source "$here/settings_common.sh"

msg178="암호에 사용할 수 없는 공백문자가 입력되었습니다. 암호를 다시 입력해주세요."
msg180="입력한 암호가 틀립니다."
msg197="암호 변경을 완료하였습니다."
msg227='3회 이상 관리자 암호 입력 실패로 인하여 작업을 진행할 수 없습니다.\n작업을 계속 진행하시려면 시스템을 다시 시작하시기 바랍니다.'

wine_env_init password_lockout || exit 1
settings_install
ctl preset drives C >/dev/null

wine_debug_start
settings_open
settings_menu 6
page=$(probe_find 1058 Button 1) || fail "no power page"

# Each try: the power page's OK asks the password before it stores anything.
try_password() {  # try_password TEXT [SHOT.png] -> the message shown
    cvauto click --hwnd "$page" --id 1066 >/dev/null
    answer_prompt "$1" || { echo "(no prompt)"; return; }
    message_answer 1 "${2:-}"
}
check "space refused" "$msg178" "$(try_password ' bramble')"
check "wrong 1" "$msg180" "$(try_password thistle)"
check "tab goes to the library, wrong 2" "$msg180" "$(try_password "$(printf 'bram\tble')")"
check "wrong 3 locks" "$msg227" "$(try_password heather)"
check "then the right one: still locked" "$msg227" "$(try_password bramble 01_message_227.png)"
echo "screenshot: $WINE_ENV_DIR/01_message_227.png"
check "nothing stored" "power_mode=0" "$(ctl ext | grep '^power_mode=')"
ctl verify bramble >/dev/null
check "the library is locked for every program" 1 $?

# The password change page (menu item 1) shows the lock too.
settings_menu 1
pw=$(probe_find 1025 Edit 1) || fail "no password page"
cvauto set-text --hwnd "$pw" --id 1025 --text bramble >/dev/null
cvauto set-text --hwnd "$pw" --id 1026 --text heather >/dev/null
cvauto set-text --hwnd "$pw" --id 1027 --text heather >/dev/null
cvauto click --hwnd "$pw" --id 1066 >/dev/null
check "change page while locked" "$msg227" "$(message_answer 1)"
check "edits cleared after the attempt" "||" \
      "$(for id in 1025 1026 1027; do cvauto get-text --hwnd "$pw" --id $id --any-state; done | tr -d '\r' | paste -sd'|')"
cvauto post --hwnd "$main_window" --hidden --msg $WM_CLOSE >/dev/null
wine_wait "$corvane" 20 >/dev/null

# --- after a restart the lock is gone -------------------------------------------------------
wine_restart || fail "restart"
wine_debug_start
settings_open
pw=$(probe_find 1025 Edit 1) || fail "no password page"
cvauto set-text --hwnd "$pw" --id 1025 --text bramble >/dev/null
cvauto set-text --hwnd "$pw" --id 1026 --text Heather >/dev/null
cvauto set-text --hwnd "$pw" --id 1027 --text heather >/dev/null
cvauto click --hwnd "$pw" --id 1066 >/dev/null
echo "screenshot: $(wine_screenshot 02_password_page.png)"
check "confirmation differing by case" "$msg180" "$(message_answer 1)"
check "edits kept after a refusal" "Heather" "$(cvauto get-text --hwnd "$pw" --id 1026 --any-state | tr -d '\r')"
cvauto set-text --hwnd "$pw" --id 1026 --text heather >/dev/null
cvauto click --hwnd "$pw" --id 1066 >/dev/null
check "password changed" "$msg197" "$(message_answer 1)"
check "edits cleared after the change" "||" \
      "$(for id in 1025 1026 1027; do cvauto get-text --hwnd "$pw" --id $id --any-state; done | tr -d '\r' | paste -sd'|')"
ctl verify heather >/dev/null
check "the library checks the new password" 0 $?
cvauto post --hwnd "$main_window" --hidden --msg $WM_CLOSE >/dev/null
wine_wait "$corvane" 20 >/dev/null

echo "password lockout: $failures failure(s)"
[ "$failures" -eq 0 ]
