#!/usr/bin/env bash
# Runs the release package's programs under Wine against the package's
# console (tests/package/package_test.cpp), in PREFIX, a 64-bit prefix that
# runs 32-bit programs too: natively where this machine runs 32-bit code,
# else inside scripts/emulate32.sh. Called by scripts/test-package.sh.
# Usage: package-programs.sh PACKAGE_DIR CLIENTS_DIR PACKAGE_TEST_EXE PREFIX
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/wine-session.sh"
murlo_display own
murlo_prefix "$4" win64
export MURLO_PACKAGE_ROOT=$1 MURLO_PACKAGE_CLIENTS=$2
"$WINE" "$3"
