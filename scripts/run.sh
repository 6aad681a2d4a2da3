#!/usr/bin/env bash
# Builds everything and runs the product in a fresh Windows (Wine prefix) on a virtual screen:
# the programs are put where the installer puts them, Corvane.exe starts as at logon, its window
# is opened as from the tray, and screenshots of what a person would see are written to
# build/run/product/. Installs what is missing first.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh" win win64

source "$root/scripts/wine-arch.sh"
export CORVANE_SOURCE=$root
export CORVANE_WIN_BIN=${CORVANE_WIN_BIN:-$(corvane_wine_bin "$root")}
export CORVANE_TEST_OUT=$root/build/run
source "$root/scripts/wine-env.sh"

wine_env_init product
product="HDD Corvane 9"
files=(Corvane.exe corvane.dll)
[ -f "$CORVANE_WIN_BIN/CorvaneAgent.exe" ] && files+=(CorvaneAgent.exe)
app=$(wine_install_product_files 'C:\Program Files (x86)\Talvoric\HDD Corvane 9' "${files[@]}")
if [ -f "$CORVANE_WIN_BIN/CorvaneAgent.exe" ]; then
    wine_run "$app\\CorvaneAgent.exe" /install >/dev/null || echo "run: the agent service could not be installed"
fi

wine_debug_start
wine_start "$app\\Corvane.exe"
if ! wine_debug_wait 'CorvaneCtrl Initialize done' 30; then
    echo "run: Corvane.exe did not start; what it said:"
    wine_debug_lines
    wine_screenshot start-failed.png
    exit 1
fi
sleep 2   # the tray icon comes a second after the window exists
# A second start asks the running program to show its window, as a double-click on the tray does.
wine_run "$app\\Corvane.exe" || true
cvauto wait --title "$product" >/dev/null
sleep 1
shots=("$(wine_screenshot main-window.png)")
# Every tab, clicked where a person would click it.
tab=0
for x in 39 118 208 298 388 478 568; do
    cvauto click-at --title "$product" --x "$x" --y 58 >/dev/null && sleep 1 &&
        shots+=("$(wine_screenshot "tab-$tab.png")")
    tab=$((tab + 1))
done
echo "run: Corvane.exe is running; its debug output:"
wine_debug_lines | sed 's/^/  /'
echo "run: screenshots:"
printf '  %s\n' "${shots[@]}"
