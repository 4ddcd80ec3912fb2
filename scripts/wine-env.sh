# Sourced by the scripts that run Wine: sets WINE, the loader to call, for
# the kind of machine this is (see wine-arch.sh). Where 32-bit code runs,
# the wine launcher starts 32-bit and 64-bit programs alike; elsewhere only
# the 64-bit loader can start, and 32-bit programs run only in the
# emulated 32-bit lane.
murlo_machine_arch=$("$(dirname "${BASH_SOURCE[0]}")/wine-arch.sh")
if [ "$murlo_machine_arch" = win64 ]; then
    WINE=/usr/lib/wine/wine64
    export WINELOADER=$WINE
else
    WINE=wine
fi
export WINEDEBUG=${WINEDEBUG:--all}
