#!/usr/bin/env bash
# find_package(Murlo) with real compilers, as developers' projects meet it
# (tests/package/config_check):
#   clang for i686- and x86_64-pc-windows-msvc, which CMake describes as
#     simulating MSVC with MSVC unset: the murlodll.lib of the architecture;
#   clang for aarch64-pc-windows-msvc: find_package fails, naming ARM64;
#   find_package inside a function, then murlo_copy_dll (MinGW, i686): after
#     the build MURLODLL.DLL stands beside the program, after the install
#     too (install(IMPORTED_RUNTIME_ARTIFACTS)), and $<TARGET_RUNTIME_DLLS>
#     names it.
# Usage: config_cases.sh PACKAGE_DIR WORK_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
pkg=$1
work=$2
mkdir -p "$work"
fail() { echo "config_cases: $*" >&2; exit 1; }

configure() {  # BUILD_DIR CMAKE_ARGS... (prints the output; fails as cmake does)
    local dir=$1; shift
    cmake -S "$here/config_check" -B "$dir" -DCMAKE_PREFIX_PATH="$pkg" -DMURLO_CHECK_ROOT="$pkg" "$@" 2>&1
}
# clang for an MSVC target, configured without linking (there is no Microsoft runtime here).
clang_msvc() {  # BUILD_DIR TARGET
    configure "$1" -DCHECK_LANGUAGE=C -DCMAKE_SYSTEM_NAME=Windows -DCMAKE_C_COMPILER=clang \
        -DCMAKE_C_COMPILER_TARGET="$2" -DCMAKE_TRY_COMPILE_TARGET_TYPE=STATIC_LIBRARY
}

for variant in "i686 lib/murlodll.lib bin/MURLODLL.DLL" "x86_64 lib/x64/murlodll.lib bin/x64/MURLODLL.DLL"; do
    set -- $variant
    out=$(clang_msvc "$work/clang-$1" "$1-pc-windows-msvc") || { echo "$out" >&2; fail "clang for $1-pc-windows-msvc"; }
    grep -qx -- "-- murlo toolchain: MSVC=\[\] simulate=\[MSVC\]" <<<"$out" ||
        fail "clang for $1-pc-windows-msvc is not described as simulating MSVC with MSVC unset: $out"
    got=$(sed -n 's/^-- murlo: [^ ]* //p' <<<"$out")
    want="implib=$2 dll=$3 include=include console=bin/MURLO.EXE"
    [ "$got" = "$want" ] || fail "clang for $1-pc-windows-msvc gives: $got (expected: $want)"
done
echo "   clang for the *-pc-windows-msvc targets, MSVC unset: murlodll.lib of each architecture"

if out=$(clang_msvc "$work/clang-aarch64" aarch64-pc-windows-msvc); then
    fail "clang for aarch64-pc-windows-msvc finds the package: $(grep -- '-- murlo:' <<<"$out")"
fi
# CMake wraps the reason into lines.
tr -s ' \n' '  ' <<<"$out" | grep "no client library for ARM64 programs" >/dev/null ||
    fail "clang for aarch64-pc-windows-msvc fails without naming ARM64: $out"
echo "   clang for aarch64-pc-windows-msvc: refused, naming ARM64"

dir=$work/in-function
configure "$dir" -DCHECK_LANGUAGE=C -DCHECK_IN_FUNCTION=ON -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
    -DCMAKE_INSTALL_PREFIX="$work/in-function-installed" >/dev/null
cmake --build "$dir" >/dev/null
cmake --install "$dir" >/dev/null
for copy in "$dir/MURLODLL.DLL" "$work/in-function-installed/bin/MURLODLL.DLL"; do
    cmp -s "$pkg/bin/MURLODLL.DLL" "$copy" || fail "after find_package in a function, no 32-bit MURLODLL.DLL at $copy"
done
[ -f "$work/in-function-installed/bin/app.exe" ] || fail "the program is not installed"
[ "$(cat "$dir/runtime-dlls.txt")" = "$pkg/bin/MURLODLL.DLL" ] ||
    fail "\$<TARGET_RUNTIME_DLLS:app> gives: $(cat "$dir/runtime-dlls.txt")"
echo "   find_package inside a function: MURLODLL.DLL beside the built and the installed program"
