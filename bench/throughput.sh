#!/usr/bin/env bash
# Builds the product and the throughput benchmark, then runs it under Wine
# on its own Xvfb display and in its own prefix, and prints its table.
# Usage: bench/throughput.sh [RECORDS_FOR_THE_MEMORY_FIGURE]   (default 1000000)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$root/build
"$root/scripts/build.sh" "$out" >/dev/null
tree=$("$root/scripts/wine-tree.sh" "$out")
cmake --build "$tree" --target throughput >/dev/null
. "$root/scripts/display.sh"
MURLO_FORCE_XVFB=1 murlo_start_display
. "$root/scripts/wine-env.sh"
export WINEPREFIX=$tree/bench-prefix WINEDEBUG=-all
cleanup() { wineserver -k 2>/dev/null || true; murlo_stop_display; }
trap cleanup EXIT
"$root/scripts/wine-prefix.sh" "$WINEPREFIX"
"$WINE" "$tree/bin/throughput.exe" "$@"
