#!/usr/bin/env bash
# Version resources with the real version calls, in a fresh prefix: a file with a version
# resource gives its numbers and both translations (logged with their lengths); a file without
# one gives the product's default record; the product search finds the main program file two
# folders deep; the version box (F1) shows the installer's and the product's version.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
name=install_log_version
source "${CORVANE_SOURCE:-$here/../..}/scripts/wine-env.sh"
wine_env_init "$name" || { echo "FAIL: no Wine machine for $name"; exit 1; }
out=$WINE_ENV_DIR
fail() { echo "FAIL: $*"; exit 1; }
dir=$(wine_install_product_files 'C:\InstallCheck' installcheck.exe pipelisten.exe)
ic() { wine_run "$dir\\installcheck.exe" "$@" 2>>"$out/run.log" | tr -d '\r' >"$out/result.txt"; }
has() { grep -qxF "$1" "$out/result.txt" || fail "$2: no line '$1' in $(tr '\n' '|' <"$out/result.txt")"; }

# 1. A real version resource with a Korean and an English translation.
ic version "$dir\\installcheck.exe" || fail "installcheck.exe has no version"
has 'version: 9.0.47.3' "numbers"
has '0 CompanyName=탈보릭' "first translation"
has '1 ProductVersion=9.0.47.3 (en)' "second translation"
has 'log: Company Name : 탈보릭 (3)' "logged with its length"
has 'log: Product Version : 9.0.47.3 (en) (13)' "second translation logged"

# 2. No version resource at all: the default record.
ic version "$dir\\pipelisten.exe" || fail "a file without version resource failed"
has 'version: 1.0.2017.113' "default numbers"
has '0 ProductVersion=9.0.47' "default product version"
has '0 InternalName=pipelisten.exe' "default internal name"

# 3. The main program file two folders deep, beside a copy whose resource cannot be read.
pkg=$WINEPREFIX/drive_c/Pkg
mkdir -p "$pkg/Client/bin"
cp "$(unixpath "$dir")/installcheck.exe" "$pkg/Client/bin/Corvane.exe"
head -c 4096 /dev/urandom >"$pkg/corvane.EXE"
ic product 'C:\Pkg' Corvane.exe || fail "product search: $(tr '\n' '|' <"$out/result.txt")"
has 'product version: 9.0.47.3' "product search"
has 'log: Product File : C:\Pkg\Client\bin\Corvane.exe' "the file found"

# 4. The version box.
wine_start "$dir\\installcheck.exe" versionbox 9.0.47.3
box=$WINE_LAST_PID
text=$(cvauto msgbox-text --title Install 2>>"$out/run.log" | tr -d '\r') || fail "no version box"
# cvauto shows line feeds as "\n".
[ "$text" = 'Program Version : 1.4.122.484\n\nHDD Corvane 9 Version : 9.0.47.3' ] || fail "version box text: $(printf '%s' "$text" | tr '\n' '|')"
wine_screenshot version_box.png >/dev/null || true
cvauto click --title Install --id 1 >>"$out/run.log" 2>&1 || fail "the box did not close"
wine_wait "$box" 20 || fail "the version box did not end"
echo "PASS: $name"
