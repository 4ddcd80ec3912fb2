#!/usr/bin/env bash
# Makes the Wine prefix at PREFIX once, with the settings that keep GUI
# tests fast and free of hanging crash dialogs, and starts its server.
# ARCH is the prefix's architecture: win32, or win64 (which runs 64-bit
# programs, and 32-bit ones too where this machine or the 32-bit lane's
# emulation runs them); by default the one that runs natively here.
# Usage: wine-prefix.sh PREFIX [ARCH]
set -euo pipefail
prefix=$1
. "$(dirname "$0")/wine-env.sh"
arch=${2:-$murlo_machine_arch}
export WINEPREFIX=$prefix WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$(dirname "$prefix")"
exec 9>"$prefix.lock"
flock 9
if [ ! -f "$prefix/.murlo-ready" ]; then
    rm -rf "$prefix"
    WINEARCH=$arch "$WINE" wineboot -i >/dev/null 2>&1 || true
    wineserver -w
    # No window manager: unmanaged windows close in milliseconds, not seconds.
    "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    # The default theme makes every scroll-bar redraw slow.
    "$WINE" reg add 'HKCU\Software\Microsoft\Windows\CurrentVersion\ThemeManager' /v ThemeActive /t REG_SZ /d 0 /f >/dev/null 2>&1
    # A crash must end the program, not start a debugger that waits.
    "$WINE" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    wineserver -w
    touch "$prefix/.murlo-ready"
fi
# Release the lock before starting anything long-lived, which would inherit it.
exec 9>&-
# A long-lived server, and its helper processes (services, devices) started
# now with no output: started by a test program, they would inherit its
# output pipe and keep ctest waiting until the server exits.
wineserver -p 300 >/dev/null 2>&1 </dev/null || true  # fails when already running
"$WINE" wineboot >/dev/null 2>&1 </dev/null || true
