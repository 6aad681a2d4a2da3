#!/usr/bin/env bash
# The harness under a Korean locale (code page 949, as on the product's PCs): debug lines keep
# their Hangul, Wine's own texts turn Korean, and Korean command-line text still arrives intact.
set -u
export WINE_ENV_LOCALE=ko_KR.UTF-8
source "${CORVANE_SOURCE:-$(dirname "$0")/../..}/scripts/wine-env.sh"

if ! locale -a 2>/dev/null | grep -qix 'ko_KR.utf8'; then
    echo "FAIL the host has no ko_KR.UTF-8 locale (scripts/setup.sh makes it)"
    exit 1
fi

wine_env_init harness_korean_locale || exit 1
title="cvauto 시험 대화상자"
dir=$(wine_install_product_files 'C:\CvautoDemo' cvauto_demo.exe)

check "code page 949, Korean locale" "acp=949 locale=ko-KR" "$(cvauto sysinfo | grep -o 'acp=.*')"

wine_debug_start
wine_start "$dir\\cvauto_demo.exe"
demo=$WINE_LAST_PID
cvauto wait --title "$title" >/dev/null
check "dialog found by its Korean title" 0 $?
check "escapes and Hangul decoded" 'cvauto_demo: escapes "q" back\slash	tab 한글' \
      "$(wine_debug_lines | grep '^cvauto_demo: escapes')"
cvauto click --title "$title" --id 1002
wine_debug_wait 'press 1 한글' 10
check "Hangul in a debug line written on a click" 0 $?

cvauto set-text --title "$title" --id 1001 --text "바탕 글꼴 확인"
check "Korean text round trip" "바탕 글꼴 확인" "$(cvauto get-text --title "$title" --id 1001)"

cvauto click --title "$title" --id 1006
check "message box text" "한글 메시지 상자입니다." "$(cvauto msgbox-text --title "$title")"
check "Wine's OK button speaks Korean" "확인" \
      "$(cvauto children --msgbox --title "$title" | awk -F'\t' '$1 == 1 { print $6 }')"
echo "screenshot: $(wine_screenshot korean_locale.png)"
cvauto click --msgbox --title "$title" --id 1
cvauto wait-gone --msgbox --title "$title" --timeout 5000
check "message box closed by its OK button" 0 $?

cvauto click --title "$title" --id 2
wine_wait "$demo" 20
check "exit code counts the press" 1 $?

echo "harness Korean locale: $failures failure(s)"
[ "$failures" -eq 0 ]
