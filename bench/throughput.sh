#!/usr/bin/env bash
# Builds the product and the throughput benchmark, then runs it under Wine
# on its own Xvfb display and in its own prefix, and prints its table.
# Usage: bench/throughput.sh [RECORDS_FOR_THE_MEMORY_FIGURE [BUILD_ROOT]]
#   (default 1000000 records, build/)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${2:-$root/build}
mkdir -p "$out"
out=$(cd "$out" && pwd)
"$root/scripts/build.sh" "$out" >/dev/null
tree=$("$root/scripts/wine-tree.sh" "$out")
cmake --build "$tree" --target throughput >/dev/null
. "$root/scripts/wine-session.sh"
murlo_display own
murlo_prefix "$tree/bench-prefix"
"$WINE" "$tree/bin/throughput.exe" ${1:+"$1"}
