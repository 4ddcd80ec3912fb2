#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the console under
# Wine with the demo client sending traces to it. On the user's display the
# console stays until it is closed; with no $DISPLAY it runs on an Xvfb
# display, a screenshot is written and the console is closed again.
# Usage: run.sh [BUILD_ROOT]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/build}
mkdir -p "$out"
out=$(cd "$out" && pwd)
"$root/scripts/bootstrap.sh"
"$root/scripts/build.sh" "$out"

tree=$("$root/scripts/wine-tree.sh" "$out")
bin=$tree/bin
headless=
if [ -z "${DISPLAY:-}" ]; then headless=1; fi
. "$root/scripts/wine-session.sh"
murlo_display
murlo_prefix "$tree/wineprefix-run"

echo "run: starting MURLO.EXE ($(basename "$tree")) on display $DISPLAY"
"$WINE" "$bin/MURLO.EXE" >/dev/null 2>&1 &
console=$!
for _ in $(seq 200); do
    if xdotool search --name '^Lumbrix$' >/dev/null 2>&1; then break; fi
    sleep 0.1
done
if [ -e "$bin/demo_client.exe" ]; then
    echo "run: the demo client sends traces"
    "$WINE" "$bin/demo_client.exe" >/dev/null 2>&1 || true
fi

if [ -n "$headless" ]; then
    shot=${MURLO_SCREENSHOT:-$out/murlo-screenshot.png}
    window=$(xdotool search --name '^Lumbrix$' | head -1 || true)
    if [ -n "$window" ]; then
        # Open the View menu, so the picture shows the options too.
        xdotool windowfocus "$window" key alt+v >/dev/null 2>&1 || true
    fi
    sleep 1
    import -window root -crop 1000x720+0+0 +repage "$shot"
    echo "run: screenshot written to $shot"
    # Close the console the way a user would, so that it saves its settings.
    if [ -n "$window" ]; then
        xdotool windowfocus "$window" key Escape key Escape key alt+F4 >/dev/null 2>&1 || true
    fi
    for _ in $(seq 100); do kill -0 $console 2>/dev/null || break; sleep 0.1; done
else
    echo "run: close the console window to end"
    wait $console || true
fi
