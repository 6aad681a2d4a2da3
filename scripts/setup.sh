#!/usr/bin/env bash
# Installs what building and testing need, only what is missing. Safe to run again.
set -euo pipefail

need=()
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

pkgs=(g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix mingw-w64-tools wine wine32:i386 wine64 xvfb xauth fonts-nanum
      imagemagick cmake g++ make libgtest-dev googletest locales python3-pil
      clang libclang-rt-14-dev iproute2 procps)
for p in "${pkgs[@]}"; do have_pkg "$p" || need+=("$p"); done

if [ ${#need[@]} -gt 0 ]; then
    echo "setup: installing ${need[*]}"
    export DEBIAN_FRONTEND=noninteractive
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        dpkg --add-architecture i386
    fi
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi

# The posix thread model has std::thread and std::mutex; the win32 one does not.
for arch in i686 x86_64; do
    for tool in g++ gcc; do
        alt="/usr/bin/$arch-w64-mingw32-$tool-posix"
        if [ -x "$alt" ] && [ "$(readlink -f /usr/bin/$arch-w64-mingw32-$tool)" != "$(readlink -f "$alt")" ]; then
            update-alternatives --set "$arch-w64-mingw32-$tool" "$alt" >/dev/null
        fi
    done
done

# Korean file names in Wine need a Korean locale on the host.
if ! locale -a 2>/dev/null | grep -qi '^ko_KR.utf8$'; then
    localedef -i ko_KR -f UTF-8 ko_KR.UTF-8 2>/dev/null || true
fi
echo "setup: ready"
