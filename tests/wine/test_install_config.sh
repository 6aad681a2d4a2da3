#!/usr/bin/env bash
# The configuration files read with the real private-profile functions, in a fresh prefix: the
# same cases the native tests run against the in-memory model give the same options; the files
# are read from the program's own folder only; a failed take-over writes UpdateSession=0.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
name=install_config
source "${CORVANE_SOURCE:-$here/../..}/scripts/wine-env.sh"
wine_env_init "$name" || { echo "FAIL: no Wine machine for $name"; exit 1; }
out=$WINE_ENV_DIR
fail() { echo "FAIL: $*"; exit 1; }
dir=$(wine_install_product_files 'C:\InstallCheck' installcheck.exe)
host_dir=$(unixpath "$dir")

# 1. The shared cases.
r=0
wine_run "$dir\\installcheck.exe" config 'C:\InstallCheck\cases' >"$out/cases.txt" 2>>"$out/run.log" || r=$?
cat "$out/cases.txt"
[ $r -eq 0 ] || fail "configuration cases differ from the model (exit $r): $(grep -A3 '^FAIL' "$out/cases.txt" | head -8 | tr '\n' ' ')"
[ "$(grep -c '^ok ' "$out/cases.txt")" -ge 10 ] || fail "the cases did not run"

# options <cwd>: the options of one run started with <cwd> as the current directory.
options() { (cd "$1" && wine_run "$dir\\installcheck.exe" options 2>>"$out/run.log"); }
value() { grep "^$1=" "$out/options.txt" | head -1 | cut -d= -f2-; }

# 2. A file in the current directory is not the program's: defaults.
mkdir -p "$out/elsewhere"
printf '[CorvaneInfo]\r\nDosMem=0\r\n[EtcInfo]\r\nDefaultReboot=0\r\n' >"$out/elsewhere/InstallInfo.ini"
options "$out/elsewhere" >"$out/options.txt"
[ "$(value DosMem)" = 1 ] && [ "$(value DefaultReboot)" = 2 ] || fail "a file in the current directory was read: $(tr '\n' ' ' <"$out/options.txt")"

# 3. The program's folder: both files, Korean user data from a UTF-16 external file.
cp "$out/elsewhere/InstallInfo.ini" "$host_dir/InstallInfo.ini"
printf '[SecurityInfo]\r\nUserName=홍길동\r\nCompany=탈보릭\r\n[EtcInfo]\r\nDefaultReboot=1\r\n' |
    iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } >"$host_dir/InstallExternalInfo.ini"
options "$out/elsewhere" >"$out/options.txt"
[ "$(value DosMem)" = 0 ] || fail "DosMem from the program's folder: $(value DosMem)"
[ "$(value DefaultReboot)" = 1 ] || fail "DefaultReboot overridden by the external file: $(value DefaultReboot)"
[ "$(value UserName)" = 홍길동 ] && [ "$(value Company)" = 탈보릭 ] || fail "user data: $(value UserName) / $(value Company)"

# 4. An update session whose installed copy cannot be taken over: UpdateSession=0 for the next run.
printf '[EtcInfo]\r\nUpdateSession=1\r\nDefaultReboot=1\r\n' >"$host_dir/InstallInfo.ini"
rm -f "$host_dir/InstallExternalInfo.ini"
options "$out/elsewhere" >"$out/options.txt"
[ "$(value UpdateSession)" = 1 ] || fail "this run is still an update"
tr -d '\r' <"$host_dir/InstallInfo.ini" | grep -qx 'UpdateSession=0' || fail "UpdateSession=0 not written: $(cat -A "$host_dir/InstallInfo.ini")"
tr -d '\r' <"$host_dir/InstallInfo.ini" | grep -qx 'DefaultReboot=1' || fail "the other keys of the file were lost"
echo "PASS: $name"
