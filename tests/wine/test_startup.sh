#!/usr/bin/env bash
# Corvane.exe start-up in a fresh Windows: the message when the core library is missing, one
# instance only (a second start shows the first one's window), and the restart offered after a
# rebuilt boot record.
set -u
source "${CORVANE_SOURCE:-$(dirname "$0")/../..}/scripts/wine-env.sh"

product="HDD Corvane 9"
msg202="하드코르바네이 정상적으로 설치되지 않았습니다."
msg247='MBR 데이터를 재생성 했습니다.\n시스템을 다시 시작하시겠습니까?'   # cvauto shows a line break as \n

wine_env_init startup || exit 1
app=$(wine_install_product_files 'C:\Program Files\Talvoric\HDD Corvane 9' Corvane.exe corvane.dll corvanectl.exe CorvaneAgent.exe)
nocore=$(wine_install_product_files 'C:\NoCore' Corvane.exe)

corvane_count() { wine_env_processes | grep -c 'Corvane\.exe' ; }
ctl() { wine_run "$app\\corvanectl.exe" "$@" | tr -d '\r'; }

# --- without corvane.dll: message 202, no window, the three debug lines in order ---------------
wine_debug_start
wine_start "$nocore\\Corvane.exe"
pid=$WINE_LAST_PID
cvauto wait --title "$product" --class "#32770" >/dev/null
check "message box shown" 0 $?
check "message 202" "$msg202" "$(cvauto msgbox-text --title "$product")"
echo "screenshot: $(wine_screenshot message_202.png)"
cvauto click --title "$product" --id 1
wine_wait "$pid" 20
check "process ends after OK" 0 $?
check "debug lines in order" \
    "ERROR : Fail to CorvaneCtrl Initialize|ERROR : Fail to CorvaneCtrl GetStatus|ERROR : Fail to CorvaneCtrl GetConfig" \
    "$(wine_debug_lines | grep -o 'ERROR : Fail to CorvaneCtrl [A-Za-z]*' | paste -sd'|')"
check "start-up stopped before the window" "" "$(wine_debug_lines | grep -E 'Initialize done|main window')"

# --- single instance: the second start hands over to the first and ends ------------------------
# The main window is made once the agent service answers, as on an installed PC.
wine_run "$app\\CorvaneAgent.exe" /install >/dev/null
check "agent service installed and started" 0 $?
wine_debug_start
wine_start "$app\\Corvane.exe"
first=$WINE_LAST_PID
wine_debug_wait 'CorvaneCtrl Initialize done' 20
check "first instance started" 0 $?
wine_debug_wait 'Corvane tray icon added' 20
check "first instance in the tray" 0 $?
# The window exists but stays hidden until it is asked for.
cvauto exists --title "$product" --class "#32770"
check "main window hidden after start" 1 $?
wine_run "$app\\Corvane.exe"
check "second instance exits at once" 0 $?
cvauto wait --title "$product" --class "#32770" >/dev/null
check "first instance's window shown" 0 $?
wine_debug_wait 'Corvane main window opened' 10
check "the first instance got 1124/515" 0 $?
check "one Corvane process" 1 "$(corvane_count)"
read -r left top right bottom <<<"$(cvauto rect --title "$product")"
check "window centred" 1 "$(( ( (left + right) / 2 - 512 ) ** 2 <= 4 && ( (top + bottom) / 2 - 384 ) ** 2 <= 4 ? 1 : 0 ))"
cvauto key --title "$product" --vk 27
sleep 0.5
cvauto exists --title "$product" >/dev/null
check "Escape does not close it" 0 $?
cvauto post --title "$product" --msg 16 >/dev/null   # WM_CLOSE
wine_wait "$first" 20
check "first instance ends on close" 0 $?

# --- rebuilt boot record: No opens the window as usual ------------------------------------------
ctl preset flag 10000000 on >/dev/null
check "flag 28 preset" 1 "$(ctl status | grep -c '^flags=0x1')"
wine_debug_start
wine_start "$app\\Corvane.exe"
pid=$WINE_LAST_PID
msgbox=$(cvauto wait --title "$product" --class "#32770")
check "message 247" "$msg247" "$(cvauto msgbox-text --title "$product")"
echo "screenshot: $(wine_screenshot message_247.png)"
cvauto click --title "$product" --id 7
wine_debug_wait 'CorvaneCtrl Initialize done' 10
check "No: start-up goes on" 0 $?
# The window is made hidden; once it exists (a window of that title other than the message box),
# a second start asks for it.
main_window_made() {
    cvauto list --all | awk -F'\t' -v t="$product" -v m="$msgbox" '$NF == t && $1 != m { n++ } END { exit n ? 0 : 1 }'
}
for _ in $(seq 50); do main_window_made && break; sleep 0.2; done
wine_run "$app\\Corvane.exe"
wine_debug_wait 'Corvane main window opened' 10
check "No: the main window opens as usual" 0 $?
cvauto post --title "$product" --msg 16 >/dev/null
wine_wait "$pid" 20
check "ends on close" 0 $?

# --- rebuilt boot record: Yes restarts, no window ------------------------------------------------
# A bystander window shows the restart: Wine ends the session's windows when asked to restart.
demo=$(wine_install_product_files 'C:\Demo' cvauto_demo.exe)
wine_start "$demo\\cvauto_demo.exe"
bystander=$WINE_LAST_PID
cvauto wait --title "cvauto 시험 대화상자" >/dev/null
wine_debug_start
wine_start "$app\\Corvane.exe"
pid=$WINE_LAST_PID
cvauto wait --title "$product" --class "#32770" >/dev/null
cvauto click --title "$product" --id 6
wine_wait "$pid" 20
check "Yes: the program ends" 0 $?
check "Yes: no main window" "" "$(wine_debug_lines | grep -E 'main window opened')"
cvauto wait-gone --title "cvauto 시험 대화상자" --timeout 15000
check "Yes: the session ends (restart requested)" 0 $?
wine_wait "$bystander" 5 >/dev/null

echo "start-up: $failures failure(s)"
[ "$failures" -eq 0 ]
