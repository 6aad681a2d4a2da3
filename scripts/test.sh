#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: native (plain and under
# ASan/UBSan) and the Wine end-to-end tests of the real programs.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh" win win64 native asan

status=0
echo "== native tests"
ctest --test-dir "$root/build/native" -L native --output-on-failure -j"$(nproc)" || status=1
echo "== native tests under ASan/UBSan"
ctest --test-dir "$root/build/asan" -L native --output-on-failure -j"$(nproc)" || status=1
echo "== Wine tests"
ctest --test-dir "$root/build/native" -L wine --output-on-failure || status=1
exit $status
