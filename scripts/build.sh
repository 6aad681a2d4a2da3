#!/usr/bin/env bash
# Builds everything: the 32-bit Windows programs (the product), the same sources for 64-bit
# Windows (what the Wine tests run where this host cannot execute 32-bit code), the native tree
# (portable code and its tests) and the native tree under ASan/UBSan.
# Usage: scripts/build.sh [win|win64|native|asan]...
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/wine-arch.sh"
jobs=$(nproc)
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(win win64 native asan)

for t in "${targets[@]}"; do
    case "$t" in
    win|win64)
        arch=i686; [ "$t" = win64 ] && arch=x86_64
        cmake -S "$root" -B "$root/build/$t" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-$arch.cmake" \
              -DCMAKE_BUILD_TYPE=Release >/dev/null
        cmake --build "$root/build/$t" -j"$jobs" ;;
    native)
        cmake -S "$root" -B "$root/build/native" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
              -DCORVANE_WIN_BIN="$(corvane_wine_bin "$root")" >/dev/null
        cmake --build "$root/build/native" -j"$jobs" ;;
    asan)
        cmake -S "$root" -B "$root/build/asan" -DCMAKE_BUILD_TYPE=Debug -DCORVANE_SANITIZE=ON >/dev/null
        cmake --build "$root/build/asan" -j"$jobs" ;;
    *) echo "build.sh: unknown target $t" >&2; exit 2 ;;
    esac
done
