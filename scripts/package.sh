#!/usr/bin/env bash
# Makes the release package BUILD_ROOT/murlo-<version>-win.zip: the 32-bit
# console and client library from BUILD_ROOT/win, the x86-64 client library
# from BUILD_ROOT/win64, header, import libraries (MinGW and Microsoft
# toolchain), module definitions, the CMake package, the example project
# and README.txt. Builds only the targets the package needs.
# Usage: package.sh [BUILD_ROOT]   (prints the path of the zip)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/build}
mkdir -p "$out"
out=$(cd "$out" && pwd)
jobs=${MURLO_JOBS:-$(nproc)}

# A tree that does not exist yet is made as scripts/build.sh makes it (the
# package's test builds its program there); an existing one keeps its
# settings. Only the package's targets are built.
configure() {  # TREE TOOLCHAIN [CMAKE ARGS...]
    local tree=$1 toolchain=$2; shift 2
    local settings=()
    [ -f "$tree/CMakeCache.txt" ] || settings=(-DCMAKE_BUILD_TYPE=Release -DMURLO_WINE_TESTS=ON)
    cmake -S "$root" -B "$tree" "${settings[@]}" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$toolchain" "$@" >/dev/null
}

configure "$out/win64" mingw-x86_64.cmake
cmake --build "$out/win64" -j "$jobs" --target MURLODLL murlodll_msvc_implib >/dev/null
configure "$out/win" mingw-i686.cmake -DMURLO_X64_BUILD_DIR="$out/win64"
cmake --build "$out/win" -j "$jobs" --target MURLO MURLODLL MURLOJP murlodll_msvc_implib >/dev/null

rm -rf "$out/win/package" "$out"/murlo-*-win.zip
(cd "$out/win" && cpack --config CPackConfig.cmake >/dev/null)
zip=$(ls "$out/win/package"/murlo-*-win.zip)
mv "$zip" "$out/"
echo "$out/$(basename "$zip")"
