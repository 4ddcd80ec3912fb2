# Sourced by the scripts that run Windows programs: a display, Wine
# prefixes with their servers, and one clean-up at exit.
#   murlo_display [own]     an Xvfb display of our own when there is no
#                           $DISPLAY, or always with "own"; exports DISPLAY
#   murlo_prefix PREFIX [ARCH]  makes PREFIX (wine-prefix.sh), starts its
#                           server and exports WINEPREFIX
#   murlo_end_session       ends the servers of every prefix used and the
#                           display; runs at exit (trap on EXIT)
# WINE is set as wine-env.sh sets it.
. "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
murlo_session_scripts=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
murlo_session_prefixes=()
murlo_xvfb_pid=

murlo_display() {
    if [ -n "${DISPLAY:-}" ] && [ "${1:-}" != own ]; then return 0; fi
    local n=90
    while [ -e /tmp/.X$n-lock ] || [ -e /tmp/.X11-unix/X$n ]; do n=$((n + 1)); done
    Xvfb :$n -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    murlo_xvfb_pid=$!
    export DISPLAY=:$n
    for _ in $(seq 100); do
        if xdpyinfo >/dev/null 2>&1; then return 0; fi
        sleep 0.1
    done
    echo "display: Xvfb did not start on :$n" >&2
    return 1
}

murlo_prefix() {
    "$murlo_session_scripts/wine-prefix.sh" "$@"
    export WINEPREFIX=$1
    murlo_session_prefixes+=("$1")
}

murlo_end_session() {
    local p
    for p in "${murlo_session_prefixes[@]}"; do WINEPREFIX=$p timeout 20 wineserver -k 2>/dev/null || true; done
    murlo_session_prefixes=()
    if [ -n "$murlo_xvfb_pid" ]; then
        kill "$murlo_xvfb_pid" 2>/dev/null || true
        # Xvfb removes its lock file as it ends; a namespace must not end first.
        timeout 10 tail --pid="$murlo_xvfb_pid" -f /dev/null 2>/dev/null || true
        murlo_xvfb_pid=
    fi
}
trap murlo_end_session EXIT
# A TERM ends the script through its clean-up, also where the script is the
# first process of a namespace, which ignores signals it does not trap.
trap 'exit 143' TERM INT
