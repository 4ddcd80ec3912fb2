#!/usr/bin/env bash
# Runs a Windows program of a build under Wine: wine-run.sh BUILD_DIR PROGRAM [ARGS...]
# (ctest's emulator). Needs a display in $DISPLAY; scripts/test.sh provides one.
set -euo pipefail
build=$1; shift
if [ -z "${DISPLAY:-}" ]; then
    echo "wine-run: no DISPLAY; run the tests with scripts/test.sh (it starts Xvfb)" >&2
    exit 1
fi
here=$(cd "$(dirname "$0")" && pwd)
"$here/wine-prefix.sh" "$build/wineprefix"
. "$here/wine-env.sh"
export WINEPREFIX=$build/wineprefix
exec "$WINE" "$@"
