#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the
# native unit tests, then the Windows integration tests under Wine on an
# Xvfb display, and where needed the 32-bit lane (scripts/lane32.sh).
# Usage: test.sh [BUILD_ROOT]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/build}
"$root/scripts/bootstrap.sh"
"$root/scripts/build.sh" "$out"

echo "== native unit tests"
ctest --test-dir "$out/host" --output-on-failure -j "$(nproc)"

echo "== Windows binaries link only system libraries"
"$root/scripts/check-imports.sh" "$out/win/bin"
"$root/scripts/check-exports.sh" "$out/win/bin"

tree=$("$root/scripts/wine-tree.sh" "$out")
echo "== integration tests under Wine ($(basename "$tree"))"
. "$root/scripts/display.sh"
MURLO_FORCE_XVFB=1 murlo_start_display
export WINEPREFIX=$tree/wineprefix WINEDEBUG=-all
cleanup() { WINEPREFIX=$tree/wineprefix wineserver -k 2>/dev/null || true; murlo_stop_display; }
trap cleanup EXIT
"$root/scripts/wine-prefix.sh" "$WINEPREFIX"
ctest --test-dir "$tree" --output-on-failure -j 1 --timeout 300

echo "== release package"
"$root/scripts/test-package.sh" "$out"

# Where the CPU cannot run 32-bit code the suite above ran against the
# x86-64 build; the 32-bit lane then runs chosen tests against the shipped
# binaries through emulation. MURLO_LANE32=1 forces it anywhere.
if [ "$("$root/scripts/wine-arch.sh")" = win64 ] || [ -n "${MURLO_LANE32:-}" ]; then
    cleanup
    trap - EXIT
    echo "== 32-bit lane: chosen i686 tests through qemu-i386"
    "$root/scripts/lane32.sh" "$out"
fi
