#!/usr/bin/env bash
# Builds the product and the throughput benchmark, then runs it under Wine
# on its own Xvfb display and in its own prefix, and prints its table.
# Usage: bench/throughput.sh [RECORDS_FOR_THE_MEMORY_FIGURE [BUILD_ROOT]]
#   (default 1000000 records, build/)
# MURLO_BENCH_COUNTERS=1 runs it against the counter build of the console
# (a tree of its own beside the product's, BUILD_ROOT/win-counters or
# win64-counters), which times its work: the benchmark then prints, after
# the table, where the console's time went in each measurement.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${2:-$root/build}
mkdir -p "$out"
out=$(cd "$out" && pwd)
"$root/scripts/build.sh" "$out" >/dev/null
tree=$("$root/scripts/wine-tree.sh" "$out")
if [ -n "${MURLO_BENCH_COUNTERS:-}" ]; then
    arch=i686
    [ "$(basename "$tree")" = win64 ] && arch=x86_64
    tree=$tree-counters
    cmake -S "$root" -B "$tree" -DCMAKE_BUILD_TYPE=Release -DMURLO_WINE_TESTS=OFF -DMURLO_COUNTERS=ON \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-$arch.cmake" >/dev/null
fi
cmake --build "$tree" --target throughput >/dev/null
. "$root/scripts/wine-session.sh"
murlo_display own
murlo_prefix "$tree/bench-prefix"
"$WINE" "$tree/bin/throughput.exe" ${1:+"$1"}
