#!/usr/bin/env bash
# The harness itself, against cvauto_demo.exe: every later Wine test trusts that a click is not
# lost, that texts (Korean too) cross process boundaries intact, that debug lines are captured,
# that a screenshot shows Hangul, that a restart really drops volatile keys, and that cleanup
# leaves nothing of the prefix running.
set -u
source "${CORVANE_SOURCE:-$(dirname "$0")/../..}/scripts/wine-env.sh"

t0=$SECONDS
wine_env_init harness_selfcheck || exit 1
echo "cost: wine_env_init $((SECONDS - t0)) s, of which the prefix copy $WINE_ENV_COPY_SECONDS s"

# Ports the programs open stay inside this test: its network is its own.
if [ "${WINE_ENV_NETNS:-1}" = 1 ] && unshare -n true 2>/dev/null; then
    check "private network namespace" 1 "$([ "$(readlink /proc/$$/ns/net)" != "$(readlink /proc/1/ns/net)" ] && echo 1)"
    check "its loopback is up" 1 "$(ip -br link show lo | grep -qE 'UP|UNKNOWN' && echo 1)"
fi

title="cvauto 시험 대화상자"
dir=$(wine_install_product_files 'C:\CvautoDemo' cvauto_demo.exe)
check "installed file" 1 "$([ -f "$(unixpath "$dir\\cvauto_demo.exe")" ] && echo 1)"
check "winpath/unixpath round trip" "$dir" "$(winpath "$(unixpath "$dir")")"

# --- cvauto's own contract: usage and not-met exit codes -------------------------------------
cvauto frobnicate >/dev/null 2>&1
check "unknown command exits 2" 2 $?
cvauto wait >/dev/null 2>&1
check "wait without a window filter exits 2" 2 $?
cvauto wait --title "no such window" --timeout 300 2>/dev/null
check "wait for a missing window exits 1" 1 $?
cvauto exists --title "no such window"
check "exists for a missing window exits 1" 1 $?

# --- one open-click-close cycle, timed ----------------------------------------------------------
wine_debug_start
t_cycle=$(date +%s%N)
wine_start "$dir\\cvauto_demo.exe"
demo=$WINE_LAST_PID
cvauto wait --title "$title" >/dev/null
check "wait finds the dialog" 0 $?
cvauto exists --title "$title" >/dev/null
check "exists finds the dialog" 0 $?

# Ten presses in a row, each acting as soon as the previous one was posted: none may be lost.
for i in $(seq 1 10); do
    cvauto click --title "$title" --id 1002 || echo "click $i failed"
done
check "label after 10 presses" "눌림 10" "$(cvauto get-text --title "$title" --id 1003)"
wine_debug_wait 'press 10' 10
check "debug line of the 10th press seen" 0 $?
check "debug lines, in order" "$(seq -f 'cvauto_demo: press %g' 1 10 | tr '\n' ' ')" \
      "$(wine_debug_lines | grep -o 'cvauto_demo: press [0-9]*' | tr '\n' ' ')"
check "escaped characters decoded; Hangul is '?' in code page 1252" 'cvauto_demo: escapes "q" back\slash	tab ??' \
      "$(wine_debug_lines | grep '^cvauto_demo: escapes')"
long=$(wine_debug_lines | grep '^cvauto_demo: long ')
echo "a 418-character debug line arrives as ${#long} characters"
check "Wine cuts a long line and the cut is marked by ..." "1 ..." "$(( ${#long} < 418 )) ${long: -3}"
check "debug line carries the pid" 1 \
      "$(wine_debug_lines --pid | awk -F'\t' '$2 == "cvauto_demo: start" && $1 > 0 { print 1 }')"

# A hidden window (a tray program's main window before it is opened) is found only with --hidden.
cvauto exists --title "cvauto 숨은 창"
check "hidden window not matched by default" 1 $?
cvauto exists --hidden --title "cvauto 숨은 창" >/dev/null
check "hidden window matched with --hidden" 0 $?
cvauto post --hidden --title "cvauto 숨은 창" --msg 1124 --lparam 515
wine_debug_wait 'hidden 1124 515' 10
check "message posted to the hidden window arrived" 0 $?

# Korean text round trip through WM_SETTEXT / WM_GETTEXT, and into the program's own logic.
korean="안녕하세요 코르베인 9"
cvauto set-text --title "$title" --id 1001 --text "$korean"
check "set-text" 0 $?
check "get-text returns the Korean text" "$korean" "$(cvauto get-text --title "$title" --id 1001)"
cvauto click --title "$title" --id 1002
check "the program saw the typed Korean text" "$korean" "$(cvauto get-text --title "$title" --id 1007 --nonempty)"
check "children lists the Korean label" "1005	Static	1	1" \
      "$(cvauto children --title "$title" | awk -F'\t' '$1 == 1005 { print $1 "\t" $2 "\t" $3 "\t" $4 }')"
check "children shows its text" "한글 표시: 가나다라 대한민국" \
      "$(cvauto children --title "$title" | awk -F'\t' '$1 == 1005 { print $6 }')"

# A disabled control is not pressed: cvauto waits for it and gives up with exit 1.
cvauto click --title "$title" --id 1008 --timeout 400 2>/dev/null
check "click on a disabled button exits 1" 1 $?
check "check box starts clear" 0 "$(cvauto get-check --title "$title" --id 1004)"
cvauto click --title "$title" --id 1004
check "check box ticked by click" 1 "$(cvauto get-check --title "$title" --id 1004)"
cvauto click --title "$title" --id 1008
check "enabled button pressed" 0 $?
wine_debug_wait 'unlocked press' 10
check "its debug line" 0 $?

# Radio group: a click moves the tick and the parent hears BN_CLICKED.
cvauto click --title "$title" --id 1010
check "second radio ticked" 1 "$(cvauto get-check --title "$title" --id 1010)"
check "first radio cleared" 0 "$(cvauto get-check --title "$title" --id 1009)"
wine_debug_wait 'radio 1010' 10
check "radio click reached the parent" 0 $?

# Common controls whose messages carry pointers (cvauto writes them into the target's memory).
check "list rows: index, check, selection, columns" "0	0	0	C:	보호|1	0	0	D:	해제|2	0	0	E:	보호" \
      "$(cvauto lv-items --title "$title" --id 1011 | paste -sd'|')"
cvauto lv-check --title "$title" --id 1011 --item 1
check "lv-check" 0 $?
cvauto lv-select --title "$title" --id 1011 --item 2
check "row D: ticked, row E: selected" "1	1	0|2	0	1" \
      "$(cvauto lv-items --title "$title" --id 1011 | awk -F'\t' '$1 > 0 { print $1 "\t" $2 "\t" $3 }' | paste -sd'|')"
wine_debug_wait 'row 1 checked' 10
check "the parent heard the tick (LVN_ITEMCHANGED)" 0 $?
cvauto lv-check --title "$title" --id 1011 --item 3 2>/dev/null
check "lv-check on a missing row exits 1" 1 $?
cvauto lv-check --title "$title" --id 1011 --item 1 --state 2 2>/dev/null
check "lv-check with a bad state exits 2" 2 $?

check "time picker starts at noon" "12:00:00" "$(cvauto dtp-get --title "$title" --id 1012 | cut -d' ' -f2)"
cvauto dtp-set --title "$title" --id 1012 --time 23:45
check "dtp-set --time keeps the date" "$(date +%Y-%m-%d) 23:45:00" "$(cvauto dtp-get --title "$title" --id 1012)"
cvauto dtp-set --title "$title" --id 1012 --date 2026-02-30 2>/dev/null
check "an impossible date is refused" 1 $?
cvauto dtp-set --title "$title" --id 1012 --time 25:00 2>/dev/null
check "a malformed time is a usage error" 2 $?

# Controls inside child pages: two pages share ids 1020/1021; the shown page's control is taken.
check "page 1 label found inside its page" "첫째 페이지" "$(cvauto get-text --title "$title" --id 1021)"
cvauto click --title "$title" --id 1020
wine_debug_wait 'page 1 button' 10
check "button in the shown page pressed" 0 $?
check "children shows nesting (id, parent id)" "1020 1030|1020 1031" \
      "$(cvauto children --title "$title" | awk -F'\t' '$1 == 1020 { print $1 " " $7 }' | sort | paste -sd'|')"
cvauto tab-select --title "$title" --id 1013 --item 1
check "tab-select changes the page" "둘째" "$(cvauto get-text --title "$title" --id 1014 --nonempty)"
check "the other page's label is now the one found" "둘째 페이지" "$(cvauto get-text --title "$title" --id 1021)"
cvauto click --title "$title" --id 1020
wine_debug_wait 'page 2 button' 10
check "the same id now presses the second page's button" 0 $?
wine_debug_wait 'tab 1' 10
check "the parent heard TCN_SELCHANGE" 0 $?
cvauto tab-select --title "$title" --id 1013 --item 5 2>/dev/null
check "a missing tab exits 1" 1 $?

# The dialog is centred (DS_CENTER) on the 1024x768 screen.
read -r left top right bottom <<<"$(cvauto rect --title "$title")"
check "dialog centred horizontally ($left..$right)" 1 "$(( (left + right) / 2 >= 508 && (left + right) / 2 <= 516 ? 1 : 0 ))"
check "dialog centred vertically ($top..$bottom)" 1 "$(( (top + bottom) / 2 >= 380 && (top + bottom) / 2 <= 388 ? 1 : 0 ))"

# A message box captioned like its dialog: --msgbox tells the two apart. Its text, the
# screenshot with Hangul, and closing it with Enter.
cvauto exists --msgbox --title "$title"
check "no message box yet" 1 $?
cvauto click --title "$title" --id 1006
check "message box text" "한글 메시지 상자입니다." "$(cvauto msgbox-text --title "$title")"
check "two windows share the title" 2 "$(cvauto list | awk -F'\t' -v t="$title" '$6 == t' | wc -l)"
shot=$(wine_screenshot selfcheck.png)
check "screenshot written" 1 "$([ -s "$shot" ] && echo 1)"
echo "screenshot: $shot"
cvauto key --msgbox --title "$title" --vk 13
cvauto wait-gone --msgbox --title "$title" --timeout 5000
check "Enter closes the message box" 0 $?
check "the dialog stays" 0 "$(cvauto exists --title "$title" >/dev/null; echo $?)"

cvauto click --title "$title" --id 2
wine_wait "$demo" 20
check "exit code counts every press (10 + 1)" 11 $?
cvauto wait-gone --title "$title" --timeout 3000
check "dialog gone" 0 $?
echo "cost: one open-click-close cycle with the checks in it $(( ($(date +%s%N) - t_cycle) / 1000000 )) ms"

# A minimal cycle, for the number others can plan with.
t_min=$(date +%s%N)
wine_start "$dir\\cvauto_demo.exe"
cvauto wait --title "$title" >/dev/null && cvauto click --title "$title" --id 1002 && cvauto click --title "$title" --id 2
wine_wait "$WINE_LAST_PID" 20
check "minimal cycle exit code" 1 $?
echo "cost: open, one click, close $(( ($(date +%s%N) - t_min) / 1000000 )) ms"

# --- restart: volatile keys go, ordinary keys stay ----------------------------------------------
wine_run "$dir\\cvauto_demo.exe" /volatile 'Software\CorvaneSelfCheck\Volatile'
check "volatile key created" 0 $?
wine_reg add 'HKCU\Software\CorvaneSelfCheck\Lasting' /f >/dev/null 2>&1
check "no lasting key under a volatile parent (RegCreateKeyEx made the parent volatile)" 1 $?
wine_reg add 'HKCU\Software\CorvaneSelfCheckLasting' /v Kept /t REG_SZ /d yes /f >/dev/null
check "lasting key elsewhere" 0 $?
wine_reg query 'HKCU\Software\CorvaneSelfCheck\Volatile' >/dev/null 2>&1
check "volatile key there before restart" 0 $?
sleep 4  # longer than the server's idle exit: with `wineserver -p` the key must survive it
wine_reg query 'HKCU\Software\CorvaneSelfCheck\Volatile' >/dev/null 2>&1
check "volatile key survives idle time" 0 $?
wine_restart
check "restart" 0 $?
echo "cost: wine_restart $WINE_ENV_RESTART_SECONDS s"
wine_reg query 'HKCU\Software\CorvaneSelfCheck\Volatile' >/dev/null 2>&1
check "volatile key gone after restart" 1 $?
check "ordinary key kept" yes "$(wine_reg query 'HKCU\Software\CorvaneSelfCheckLasting' /v Kept | awk '$1 == "Kept" { print $3 }')"

# --- the Windows version switch ------------------------------------------------------------------
sysinfo=$(cvauto sysinfo)
echo "sysinfo: $sysinfo"
check "Wine's default version is Windows 7" "version=6.1" "$(grep -o 'version=[0-9]*\.[0-9]*' <<<"$sysinfo")"
check "32-bit programs run under WOW64, 64-bit ones do not" "wow64=$([ "$WINE_ENV_BITS" = 32 ] && echo 1 || echo 0)" \
      "$(grep -o 'wow64=[01]' <<<"$sysinfo")"
check "ANSI code page of the default locale" "acp=1252" "$(grep -o 'acp=[0-9]*' <<<"$sysinfo")"
wine_set_version win10
check "version set" "version=10.0" "$(cvauto sysinfo | grep -o 'version=[0-9]*\.[0-9]*')"
wine_set_version win95 2>/dev/null
check "unknown version refused" 2 $?

# --- cleanup: nothing of this prefix may keep running -------------------------------------------
wine_start "$dir\\cvauto_demo.exe"
cvauto wait --title "$title" >/dev/null
xvfb=$WINE_ENV_XVFB_PID
check "processes of the prefix exist before cleanup" 1 "$([ -n "$(wine_env_processes)" ] && echo 1)"
wine_env_cleanup
check "no process of the prefix after cleanup" "" "$(wine_env_processes)"
check "our Xvfb ended" 1 "$(kill -0 "$xvfb" 2>/dev/null || echo 1)"

echo "harness selfcheck: $failures failure(s)"
[ "$failures" -eq 0 ]
