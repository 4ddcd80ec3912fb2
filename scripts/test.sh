#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the
# native unit tests; the Windows integration tests under Wine on an Xvfb
# display, against the x86-64 build and, where this machine runs 32-bit
# code, against the shipped i686 build too; the release package; and where
# 32-bit code does not run here, the 32-bit lane (scripts/lane32.sh), whose
# emulation also runs the package's 32-bit programs.
# A failing step does not stop the steps after it; the summary lists every
# step with its time, and the exit code is non-zero when any step failed.
# Usage: test.sh [BUILD_ROOT]
#   MURLO_WINE_ARCH=win64  take the path of a machine without 32-bit code
#   MURLO_LANE32=1         run the 32-bit lane on any machine
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/build}
mkdir -p "$out"
out=$(cd "$out" && pwd)
machine=$("$root/scripts/wine-arch.sh")
started=$(date +%s)
summary=()
failed=0

# Runs one step: its name, then its command; records how it went.
step() {
    local name=$1 t code=0
    shift
    echo "== $name"
    t=$(date +%s)
    "$@" || code=$?
    local line
    line=$(printf '%-44s %5d s' "$name" $(( $(date +%s) - t )))
    if [ $code -eq 0 ]; then summary+=("  passed  $line"); else summary+=("  FAILED  $line (exit code $code)"); failed=1; fi
    return 0
}

# The Wine suite of one build tree, in the tree's own prefix, on a display
# of its own.
wine_suite() (
    . "$root/scripts/wine-session.sh"
    murlo_display own
    murlo_prefix "$1/wineprefix" "$2"
    ctest --test-dir "$1" --output-on-failure -j 1 --timeout 300
)

imports_and_exports() {
    "$root/scripts/check-imports.sh" "$out/win/bin" && "$root/scripts/check-exports.sh" "$out/win/bin" &&
        "$root/scripts/check-imports.sh" "$out/win64/bin" && "$root/scripts/check-exports.sh" "$out/win64/bin"
}

step "installing what is missing" "$root/scripts/bootstrap.sh"
step "building host, win (i686) and win64 (x86-64)" "$root/scripts/build.sh" "$out"
if [ $failed -ne 0 ]; then
    printf '%s\n' "${summary[@]}"
    exit 1
fi
step "native unit tests" ctest --test-dir "$out/host" --output-on-failure -j "$(nproc)"
step "Windows binaries link only system libraries" imports_and_exports
if [ "$machine" = win32 ]; then
    step "integration tests under Wine, i686 build" wine_suite "$out/win" win32
fi
step "integration tests under Wine, x86-64 build" wine_suite "$out/win64" win64
step "release package" "$root/scripts/test-package.sh" "$out"
if [ "$machine" = win64 ] || [ -n "${MURLO_LANE32:-}" ]; then
    step "32-bit lane (i686 tests through qemu-i386)" "$root/scripts/lane32.sh" "$out"
fi

echo "== summary ($([ "$machine" = win32 ] && echo "32-bit code runs here" || echo "no 32-bit code here"), $(( $(date +%s) - started )) s in all)"
printf '%s\n' "${summary[@]}"
exit $failed
