#!/usr/bin/env bash
# Builds, then runs the soak tests against the real binaries under Wine on
# an Xvfb display and collects the figures that every case prints.
# Usage: soak.sh [long|short] [BUILD_ROOT]
#   long  (default) 4 x 4 senders of 2500 records, 10^6 records with the view
#         shown, 10^5 random payloads and debug buffers, 200 rounds of both
#         save dialogs: about half an hour on a two-core machine. MURLO_SOAK_LONG_RECORDS
#         and MURLO_SOAK_LONG_PAYLOADS lower the largest counts.
#   short the counts that scripts/test.sh runs (a few minutes).
# The whole output goes to BUILD_ROOT/soak-MODE.log, the figures to
# BUILD_ROOT/soak-MODE-figures.txt.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
mode=${1:-long}
out=${2:-$root/build}
case $mode in long|short) ;; *) echo "usage: soak.sh [long|short] [BUILD_ROOT]" >&2; exit 2 ;; esac
mkdir -p "$out"
out=$(cd "$out" && pwd)
"$root/scripts/bootstrap.sh"
"$root/scripts/build.sh" "$out"

tree=$("$root/scripts/wine-tree.sh" "$out")
. "$root/scripts/wine-session.sh"
murlo_display own
murlo_prefix "$tree/wineprefix"
export MURLO_SOAK=$mode

log=$out/soak-$mode.log
: >"$log"
status=0
for program in soak_load_test soak_fault_test; do
    echo "== $program ($mode)" | tee -a "$log"
    (cd "$tree" && "$WINE" "$tree/bin/$program.exe") 2>&1 | tee -a "$log" || status=1
done
grep -F '[ figures  ]' "$log" | sed 's/^.*\[ figures  \] //' >"$out/soak-$mode-figures.txt" || true
echo "== figures (also in $out/soak-$mode-figures.txt)"
cat "$out/soak-$mode-figures.txt"
exit $status
