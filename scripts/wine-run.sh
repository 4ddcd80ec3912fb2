#!/usr/bin/env bash
# Runs a Windows program of a build under Wine, in the build's own prefix
# (ctest's emulator): wine-run.sh BUILD_DIR ARCH PROGRAM [ARGS...], where
# ARCH (win32 or win64) is the build's. Needs a display in $DISPLAY;
# scripts/test.sh provides one.
set -euo pipefail
build=$1 arch=$2; shift 2
if [ -z "${DISPLAY:-}" ]; then
    echo "wine-run: no DISPLAY; run the tests with scripts/test.sh (it starts Xvfb)" >&2
    exit 1
fi
here=$(cd "$(dirname "$0")" && pwd)
"$here/wine-prefix.sh" "$build/wineprefix" "$arch"
. "$here/wine-env.sh"
# A 64-bit program goes straight to the 64-bit loader: the 32-bit one would
# hand it to start.exe, one more process start that now and then fails
# ("Application could not be started") before the program runs at all.
if [ "$arch" = win64 ]; then
    WINE=/usr/lib/wine/wine64
    export WINELOADER=$WINE
fi
export WINEPREFIX=$build/wineprefix
# Now and then Wine fails to start a program at all: it ends at once,
# having written nothing. A test program always writes its first line
# before anything else, so such a start is tried once more, and said.
output=$(mktemp)
trap 'rm -f "$output"' EXIT
for attempt in 1 2; do
    status=0
    "$WINE" "$@" 2>&1 | tee "$output" || status=${PIPESTATUS[0]}
    if [ "$status" -eq 0 ] || [ -s "$output" ] || [ "$attempt" -eq 2 ]; then exit "$status"; fi
    echo "wine-run: $1 ended with $status before writing anything; starting it again" >&2
done
