#!/usr/bin/env bash
# Prints the build tree whose Windows binaries Wine runs here: BUILD_ROOT/win
# (the 32-bit product) or BUILD_ROOT/win64 (see wine-arch.sh).
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/build}
if [ "$("$root/scripts/wine-arch.sh")" = win32 ]; then echo "$out/win"; else echo "$out/win64"; fi
