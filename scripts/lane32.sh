#!/usr/bin/env bash
# The 32-bit lane: runs a chosen set of the integration tests built for
# i686 against BUILD_ROOT/win (the shipped binaries) with every 32-bit
# process emulated by qemu-i386 (scripts/emulate32.sh), so that they run
# also on a machine whose CPU cannot execute 32-bit x86 code.
#
# Each emulated 32-bit process start costs about a minute, so each chosen
# test program runs once with all its chosen cases, within its own time
# limit, and the tests' deadlines are stretched (MURLO_TEST_TIME_SCALE). A
# program that fails runs once more: under emulation a Wine process now and
# then dies for no fault of the program (see the README). A program that
# passes only on its second run is listed as flaky in the summary; one that
# fails twice fails the lane.
# The programs are shared among MURLO_LANE32_JOBS workers (default 2), each
# with a WoW64 prefix and Wine server of its own; the first prefix is made
# once by the 64-bit wineboot (about 2 minutes), the others are its copies.
# Usage: lane32.sh [BUILD_ROOT]   (after scripts/build.sh)
#   MURLO_LANE32_PROGRAMS  regular expression: run only the matching programs
#   MURLO_LANE32_LIMIT     seconds for the whole lane (default 1800)
#   MURLO_LANE32_PROGRAM_LIMIT  seconds for one run of one program (default 900)
#   MURLO_LANE32_WINEDEBUG Wine's debug channels for the tests (default -all)
# Each program's output is kept in BUILD_ROOT/win/lane32-logs.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/build}
out=$(cd "$out" && pwd)
tree=$out/win

# Test program and gtest filter, one a line, in an order that shares the
# time evenly between two workers (see below). What each
# shows of the 32-bit build:
#   client_console_test     every export, called through its prototype with
#                           the stack measured around each call, reaches the
#                           real console's view; the pause box holds the caller
#   view_trim_test          the view filled past its limit
#   capture_framing_test    a debug-output string captured
#   shell_settings_test     first start, settings written at close, exit code 0
#   commands_japanese_test  the Japanese resource library in a Japanese locale
# Not here: the log file through the ring (logfile_ring_test). Its Log to
# File dialog crashes the emulated console ("qemu: uncaught target signal
# 11") or outlasts every deadline, in every emulated run so far.
selection="client_console_test ClientConsole.EveryExportReachesTheView
view_trim_test ViewTest.FillingPastTheLimitDropsTheOldestLines
shell_settings_test ShellSettings.FirstStartWritesPathAndFontThenCloseWritesEverything
capture_framing_test CaptureFraming.ContinuationOfTheSameProcessCarriesNoId
commands_japanese_test JapaneseConsole.MenusAndStatusHelpComeFromTheLibrary"
if [ -n "${MURLO_LANE32_PROGRAMS:-}" ]; then
    selection=$(grep -E "^(${MURLO_LANE32_PROGRAMS}) " <<<"$selection" || true)
fi
if [ -z "$selection" ]; then
    echo "lane32: no test program chosen" >&2
    exit 1
fi

if [ -z "${MURLO_LANE32_INSIDE:-}" ]; then
    start=$(date +%s)
    status=0
    MURLO_LANE32_INSIDE=1 "$root/scripts/emulate32.sh" "${MURLO_LANE32_LIMIT:-1800}" bash "$0" "$out" || status=$?
    [ $status -eq 124 ] && echo "lane32: stopped at its time limit" >&2
    echo "lane32: the 32-bit lane took $(( $(date +%s) - start )) s"
    exit $status
fi

# Inside the namespace, where 32-bit programs run through qemu.
export WINEDEBUG=${MURLO_LANE32_WINEDEBUG:--all}
. "$root/scripts/wine-session.sh"
prefix=$tree/wineprefix-wow64
logs=$tree/lane32-logs
rm -rf "$logs"
mkdir -p "$logs"
workers=()
end_lane() {
    for w in "${workers[@]}"; do kill -- "$w" 2>/dev/null || true; done
    for p in "$prefix"*/; do WINEPREFIX=${p%/} timeout 20 wineserver -k 2>/dev/null || true; done
    murlo_end_session
}
trap end_lane EXIT
murlo_display own

# Waits for a background job so that a TERM reaches the trap at once.
run_waiting() {
    "$@" &
    local job=$!
    workers+=("$job")
    wait "$job"
}

t=$(date +%s)
run_waiting "$root/scripts/wine-prefix.sh" "$prefix" win64
WINEPREFIX=$prefix timeout 20 wineserver -k 2>/dev/null || true
echo "lane32: prefix ready in $(( $(date +%s) - t )) s"

# One worker: its prefix, then its share of the programs, one at a time.
worker() {
    local n=$1 mine=$2 program filter code t
    export WINEPREFIX=$prefix
    if [ "$n" -gt 1 ]; then
        WINEPREFIX=$prefix-$n
        if [ ! -f "$WINEPREFIX/.murlo-ready" ]; then rm -rf "$WINEPREFIX"; cp -a "$prefix" "$WINEPREFIX"; fi
    fi
    "$root/scripts/wine-prefix.sh" "$WINEPREFIX" win64
    while read -r program filter; do
        for run in 1 2; do
            t=$(date +%s)
            code=0
            timeout -k 10 "${MURLO_LANE32_PROGRAM_LIMIT:-900}" \
                "$WINE" "$tree/bin/$program.exe" --gtest_filter="$filter" \
                </dev/null >"$logs/$program.$run.log" 2>&1 || code=$?
            # End whatever the program left running (a console of a failed
            # test) before the next one starts.
            timeout 20 wineserver -k 2>/dev/null || true
            "$root/scripts/wine-prefix.sh" "$WINEPREFIX" win64
            if [ $code -eq 0 ]; then
                echo "lane32: $program passed in $(( $(date +%s) - t )) s (run $run)"
                echo "$program" >>"$logs/passed"
                [ $run -gt 1 ] && echo "$program" >>"$logs/flaky"
                break
            fi
            echo "lane32: $program FAILED in $(( $(date +%s) - t )) s (run $run, exit code $code)"
            cat "$logs/$program.$run.log"
        done
    done <<<"$mine"
    timeout 20 wineserver -k 2>/dev/null || true
}

jobs=${MURLO_LANE32_JOBS:-2}
for n in $(seq "$jobs"); do
    # Programs n, n + jobs, n + 2 jobs, ... of the selection.
    mine=$(awk -v n="$n" -v jobs="$jobs" '(NR - n) % jobs == 0' <<<"$selection")
    if [ -n "$mine" ]; then
        worker "$n" "$mine" &
        workers+=($!)
    fi
done
for w in "${workers[@]}"; do wait "$w" || true; done
workers=()

# A program counts only when it passed: one that a worker never reached fails too.
count=$(wc -l <<<"$selection")
passed=$(cat "$logs/passed" 2>/dev/null | wc -l)
if [ -s "$logs/flaky" ]; then
    echo "lane32: flaky (failed once, then passed): $(tr '\n' ' ' <"$logs/flaky")"
fi
if [ "$passed" -ne "$count" ]; then
    echo "lane32: $((count - passed)) of $count 32-bit test programs did not pass" >&2
    exit 1
fi
echo "lane32: all $count 32-bit test programs passed"
