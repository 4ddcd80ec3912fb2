#!/usr/bin/env bash
# Fails unless MURLODLL.DLL exports exactly its 19 functions, with plain
# names (no call-convention decoration) and the ordinals 10 to 28 in order,
# and formats with the Windows runtime's _vsnprintf and _vsnwprintf (imported
# from msvcrt.dll), whose %s and %S rules the callers expect. The same
# holds for the 32-bit and the x86-64 library.
# Usage: check-exports.sh BIN_DIR
set -euo pipefail
dll=$1/MURLODLL.DLL
objdump=i686-w64-mingw32-objdump
"$objdump" -f "$dll" >/dev/null 2>&1 || objdump=x86_64-w64-mingw32-objdump
expected="10 DB_OutputStringA
11 DB_OutputStringFormatA
12 DB_OutputDump
13 DB_OutputStringFA
14 DB_OutputStringFormatFA
15 DB_OutputDumpFA
16 DB_OutputRegistersA
17 DB_EnterA
18 DB_LeaveA
19 DB_PauseA
20 DB_OutputStringW
21 DB_OutputStringFormatW
22 DB_OutputStringFW
23 DB_OutputStringFormatFW
24 DB_OutputDumpFW
25 DB_OutputRegistersW
26 DB_EnterW
27 DB_LeaveW
28 DB_PauseW"
# The name table lists "[index] name"; the ordinal is the base plus the index.
actual=$("$objdump" -p "$dll" | awk '
    /^Export Address Table -- Ordinal Base/ { base = $NF }
    /^\[Ordinal\/Name Pointer\] Table/ { names = 1; next }
    names && /^[ \t]*\[/ { line = $0; gsub(/[\[\]]/, " ", line); split(line, f); print f[1] + base, f[2]; next }
    names && !/^[ \t]*\[/ { names = 0 }' | sort -n)
if [ "$actual" != "$expected" ]; then
    echo "check-exports: $dll exports differ:" >&2
    diff <(echo "$expected") <(echo "$actual") >&2 || true
    exit 1
fi
runtime=$("$objdump" -p "$dll" | awk '
    /DLL Name:/ { inside = ($3 == "msvcrt.dll") }
    inside && ($NF == "_vsnprintf" || $NF == "_vsnwprintf") { print $NF }' | sort)
if [ "$runtime" != "$(printf '_vsnprintf\n_vsnwprintf')" ]; then
    echo "check-exports: $dll does not import _vsnprintf and _vsnwprintf from msvcrt.dll" >&2
    exit 1
fi
echo "check-exports: $dll exports its 19 functions, ordinals 10 to 28, and formats with msvcrt"
