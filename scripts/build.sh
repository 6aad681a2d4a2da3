#!/usr/bin/env bash
# Builds everything: the native tree (portable code and its tests), the same with ASan/UBSan,
# and the 32-bit Windows programs. Usage: scripts/build.sh [native|asan|win]...
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(win native asan)

for t in "${targets[@]}"; do
    case "$t" in
    win)
        cmake -S "$root" -B "$root/build/win" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
              -DCMAKE_BUILD_TYPE=Release >/dev/null
        cmake --build "$root/build/win" -j"$jobs" ;;
    native)
        cmake -S "$root" -B "$root/build/native" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
              -DCORVANE_WIN_BIN="$root/build/win/bin" >/dev/null
        cmake --build "$root/build/native" -j"$jobs" ;;
    asan)
        cmake -S "$root" -B "$root/build/asan" -DCMAKE_BUILD_TYPE=Debug -DCORVANE_SANITIZE=ON >/dev/null
        cmake --build "$root/build/asan" -j"$jobs" ;;
    *) echo "build.sh: unknown target $t" >&2; exit 2 ;;
    esac
done
