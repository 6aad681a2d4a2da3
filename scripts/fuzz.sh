#!/usr/bin/env bash
# Builds the libFuzzer targets (fuzz/*_fuzz.cpp) with clang and runs each for a while.
#   scripts/fuzz.sh [SECONDS] [TARGET...]     default: 60 seconds, every target
# Seeds come from fuzz/seeds/<target>/ when present; the growing corpus is kept in
# build/fuzz/corpus/<target>/ and crashes in build/fuzz/crashes/. Exit code 1 when a target failed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
shift || true
cxx=$(command -v clang++ || command -v clang++-14 || true)
cc=$(command -v clang || command -v clang-14 || true)
[ -n "$cxx" ] || { echo "fuzz.sh: clang++ not found (scripts/setup.sh installs it)" >&2; exit 2; }
build=$root/build/fuzz
cmake -S "$root/fuzz" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_C_COMPILER="$cc" >/dev/null
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    for f in "$root"/fuzz/*_fuzz.cpp; do targets+=("$(basename "$f" .cpp)"); done
fi
cmake --build "$build" -j"$(nproc)" --target "${targets[@]}"
status=0
mkdir -p "$build/crashes"
for t in "${targets[@]}"; do
    corpus=$build/corpus/$t
    mkdir -p "$corpus"
    seeds=()
    [ -d "$root/fuzz/seeds/$t" ] && seeds=("$root/fuzz/seeds/$t")
    echo "== $t for ${seconds}s"
    if "$build/$t" -max_total_time="$seconds" -artifact_prefix="$build/crashes/$t-" -print_final_stats=1 \
        "$corpus" "${seeds[@]}" 2>"$build/$t.log"; then
        grep -E '^stat::number_of_executed_units|^#[0-9]+.*DONE' "$build/$t.log" | tail -2
    else
        echo "FAIL: $t (see $build/$t.log)"; tail -30 "$build/$t.log"; status=1
    fi
done
exit $status
