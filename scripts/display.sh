#!/usr/bin/env bash
# Sourced by the run and test scripts: when there is no $DISPLAY, starts Xvfb
# on a free display number and exports DISPLAY; murlo_stop_display ends it.
MURLO_XVFB_PID=
murlo_start_display() {
    if [ -n "${DISPLAY:-}" ] && [ -z "${MURLO_FORCE_XVFB:-}" ]; then return 0; fi
    local n=90
    while [ -e /tmp/.X$n-lock ] || [ -e /tmp/.X11-unix/X$n ]; do n=$((n + 1)); done
    Xvfb :$n -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    MURLO_XVFB_PID=$!
    export DISPLAY=:$n
    for _ in $(seq 100); do
        if xdpyinfo >/dev/null 2>&1; then return 0; fi
        sleep 0.1
    done
    echo "display: Xvfb did not start on :$n" >&2
    return 1
}
murlo_stop_display() {
    if [ -n "$MURLO_XVFB_PID" ]; then kill "$MURLO_XVFB_PID" 2>/dev/null || true; fi
}
