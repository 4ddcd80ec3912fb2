#!/usr/bin/env bash
# Checks murlo.h as developers' programs meet it. Its opening comment names
# both import libraries. header_check.c and header_check.cpp compile with
# clang for the Microsoft toolchain's targets and with MinGW gcc and g++, at
# -Wall -Wextra -Wshadow -Werror (on x64 also the warning for 64-bit values
# cut to 32 bits), with and without MURLO_NO_TRACE, without a word; the
# same compiles with MURLO_CHECK_BAD_FORMATS fail, with a format diagnostic
# at every line of header_check.c marked "bad format".
# Usage: header_check.sh INCLUDE_DIR WORK_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
include=$1
work=$2
mkdir -p "$work"

# The opening comment names the import library of each toolchain.
opening=$(sed -n '1,/\*\//p' "$include/murlo.h")
for library in murlodll.lib libmurlodll.a; do
    grep -q "$library" <<<"$opening" || { echo "header_check: murlo.h's opening comment does not name $library" >&2; exit 1; }
done

# name, C compiler, C++ compiler, extra warnings
compilers=(
    "msvc-x86|clang --target=i686-pc-windows-msvc|clang --target=i686-pc-windows-msvc|"
    "msvc-x64|clang --target=x86_64-pc-windows-msvc|clang --target=x86_64-pc-windows-msvc|-Wshorten-64-to-32"
    "mingw-x86|i686-w64-mingw32-gcc|i686-w64-mingw32-g++|"
    "mingw-x64|x86_64-w64-mingw32-gcc|x86_64-w64-mingw32-g++|-Wconversion"
)
bad_lines=$(grep -n 'bad format' "$here/header_check.c" | grep -v '"bad format"' | cut -d: -f1)
[ -n "$bad_lines" ]
failed=0
for entry in "${compilers[@]}"; do
    IFS='|' read -r name cc cxx extra <<<"$entry"
    before=$failed failed=0
    for source in header_check.c header_check.cpp; do
        compiler=$cc
        [ "$source" = header_check.cpp ] && compiler=$cxx
        for mode in trace no-trace; do
            defines=()
            [ $mode = no-trace ] && defines=(-DMURLO_NO_TRACE)
            what="$name $source $mode"
            log=$work/$name-$source-$mode
            # shellcheck disable=SC2086
            if ! $compiler -Wall -Wextra -Wshadow -Werror $extra "${defines[@]}" -I "$include" \
                -c "$here/$source" -o "$log.o" >"$log.log" 2>&1 || [ -s "$log.log" ]; then
                echo "header_check: $what does not compile clean:" >&2
                cat "$log.log" >&2
                failed=1
            fi
            # shellcheck disable=SC2086
            if $compiler -Wall -Wextra -Wshadow -Werror $extra "${defines[@]}" -DMURLO_CHECK_BAD_FORMATS \
                -I "$include" -c "$here/$source" -o "$log-bad.o" >"$log-bad.log" 2>&1; then
                echo "header_check: $what compiles wrong formats" >&2
                failed=1
            fi
            for line in $bad_lines; do
                if ! grep -q "header_check\.c:$line:[0-9]*: error: .*format" "$log-bad.log"; then
                    echo "header_check: $what does not report the wrong format at header_check.c:$line" >&2
                    failed=1
                fi
            done
        done
    done
    [ $failed = 0 ] && echo "   $name: clean with and without MURLO_NO_TRACE, wrong formats refused"
    failed=$((before | failed))
done
exit $failed
