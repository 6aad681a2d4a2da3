# shellcheck shell=bash
# Shared by the Wine tests of corvane.dll (sourced after scripts/wine-env.sh, with the test's name
# as $1): a fresh machine whose server stays on like a running PC, with the library and
# corvanectl.exe, and the checks.
wine_env_init "$1" || exit 1
dir=$(wine_install_product_files 'C:\Corvane' corvane.dll corvanectl.exe) || exit 1
log=$WINE_ENV_DIR/run.log
ctl() { wine_run "$dir\\corvanectl.exe" "$@" | tr -d '\r' | tee -a "$log"; }
restart() { echo "--- restart" >>"$log"; wine_restart || fail "simulated restart failed"; }
fail() { echo "FAIL: $*"; echo "(log: $log)"; exit 1; }
# expect <output> <key=value>: the line must be there
expect() { grep -qx -- "$2" <<<"$1" || fail "expected '$2' in: $(tr '\n' ' ' <<<"$1")"; }
# value <output> <key>: the value of key=value
value() { sed -n "s/^$2=//p" <<<"$1"; }
