#!/usr/bin/env bash
# Configures and builds every tree under BUILD_ROOT (default build/):
#   host   the portable logic and its unit tests (native g++)
#   win    the product: 32-bit Windows binaries (i686), with the Wine tests
#   win64  an x86-64 build of the same sources, with the Wine tests: the
#          release package's 64-bit client library comes from it, and the
#          Wine suite runs against it on every machine (on a machine that
#          cannot run 32-bit code, only against it)
# Both Windows trees are built on every machine, so that test code of
# either cannot break unseen.
# Usage: build.sh [BUILD_ROOT]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/build}
mkdir -p "$out"
out=$(cd "$out" && pwd)
jobs=${MURLO_JOBS:-$(nproc)}

cmake -S "$root" -B "$out/host" -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$out/host" -j "$jobs"

for arch in i686 x86_64; do
    tree=$out/win
    [ $arch = x86_64 ] && tree=$out/win64
    cmake -S "$root" -B "$tree" -DCMAKE_BUILD_TYPE=Release -DMURLO_WINE_TESTS=ON \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-$arch.cmake" >/dev/null
    cmake --build "$tree" -j "$jobs"
done
