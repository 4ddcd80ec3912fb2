#!/usr/bin/env bash
# Fails when a Windows binary needs a DLL that is not part of the system
# (a static runtime needs no libstdc++, libgcc or winpthread beside it);
# the example clients import MURLODLL.DLL, which travels with them.
set -euo pipefail
dir=$1
allowed='^(MURLODLL|KERNEL32|USER32|GDI32|ADVAPI32|COMCTL32|COMDLG32|SHELL32|msvcrt|MSVCRT|ntdll|ole32|OLEAUT32|WS2_32|VERSION)\.dll$'
status=0
for bin in "$dir"/*.EXE "$dir"/*.DLL "$dir"/*.exe; do
    [ -e "$bin" ] || continue
    while read -r dll; do
        if ! [[ $dll =~ $allowed ]] && ! [[ ${dll^^} =~ ^(MURLODLL|KERNEL32|USER32|GDI32|ADVAPI32|COMCTL32|COMDLG32|SHELL32|MSVCRT)\.DLL$ ]]; then
            echo "check-imports: $(basename "$bin") needs $dll" >&2
            status=1
        fi
    done < <(i686-w64-mingw32-objdump -p "$bin" | sed -n 's/^\s*DLL Name: //p')
done
[ $status -eq 0 ] && echo "check-imports: all binaries in $dir use system DLLs only"
exit $status
