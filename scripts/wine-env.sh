# Sourced by the scripts that run Wine: sets WINEARCH and WINE (the loader to
# call) for the architecture that runs on this machine (see wine-arch.sh).
WINEARCH=$("$(dirname "${BASH_SOURCE[0]}")/wine-arch.sh")
if [ "$WINEARCH" = win64 ]; then
    WINE=/usr/lib/wine/wine64
    export WINELOADER=$WINE
else
    WINE=wine
fi
export WINEARCH WINEDEBUG=${WINEDEBUG:--all}
