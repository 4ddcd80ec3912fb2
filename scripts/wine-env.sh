# Sourced by the scripts that run Wine: sets WINEARCH and WINE (the loader to
# call) for the architecture that runs on this machine (see wine-arch.sh).
# MURLO_WINEARCH=win64 asks for a prefix that runs 64-bit programs, and
# 32-bit ones too where this machine runs 32-bit code.
murlo_machine_arch=$("$(dirname "${BASH_SOURCE[0]}")/wine-arch.sh")
WINEARCH=${MURLO_WINEARCH:-$murlo_machine_arch}
if [ "$murlo_machine_arch" = win64 ]; then
    WINE=/usr/lib/wine/wine64
    export WINELOADER=$WINE
else
    WINE=wine
fi
export WINEARCH WINEDEBUG=${WINEDEBUG:--all}
