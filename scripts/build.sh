#!/usr/bin/env bash
# Configures and builds every tree under BUILD_ROOT (default build/):
#   host   the portable logic and its unit tests (native g++)
#   win    the product: 32-bit Windows binaries (i686), with the Wine tests
#   win64  an x86-64 build of the same sources, only on machines that cannot
#          run 32-bit code; the integration tests then run against it.
# Usage: build.sh [BUILD_ROOT]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/build}
jobs=${MURLO_JOBS:-$(nproc)}
arch=$("$root/scripts/wine-arch.sh")

cmake -S "$root" -B "$out/host" -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$out/host" -j "$jobs"

# The 32-bit tests are built on every machine, also where they run only in
# the emulated lane, so that 32-bit test code cannot break unseen.
cmake -S "$root" -B "$out/win" -DCMAKE_BUILD_TYPE=Release -DMURLO_WINE_TESTS=ON \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" >/dev/null
cmake --build "$out/win" -j "$jobs"

if [ "$arch" = win64 ]; then
    cmake -S "$root" -B "$out/win64" -DCMAKE_BUILD_TYPE=Release -DMURLO_WINE_TESTS=ON \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" >/dev/null
    cmake --build "$out/win64" -j "$jobs"
fi
