#!/usr/bin/env bash
# Tests the release package as a Windows developer uses it: makes the zip,
# unpacks it into a temporary folder and checks its contents, the version in
# its name against the About box and both libraries' exports; builds the
# example project against it with find_package(Murlo) for i686 and x86-64,
# and a C client with the Microsoft toolchain's conventions (clang for the
# *-pc-windows-msvc targets, lld-link, murlodll.lib) for both; then runs them
# under Wine, in a prefix that runs 32-bit and 64-bit programs, against the
# package's console (scripts/package-programs.sh), the 32-bit ones through
# emulation where this machine cannot run 32-bit code.
# Usage: test-package.sh [BUILD_ROOT]   (runs the programs on an Xvfb display of its own)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/build}
mkdir -p "$out"
out=$(cd "$out" && pwd)
jobs=${MURLO_JOBS:-$(nproc)}

zip=$("$root/scripts/package.sh" "$out")
name=$(basename "$zip" .zip)
version=${name#murlo-}
version=${version%-win}
work=$(mktemp -d "$out/package-test.XXXXXX")
trap 'rm -rf "$work"' EXIT
unzip -q "$zip" -d "$work"
pkg=$work/$name

echo "-- contents of $name.zip"
expected="README.txt
bin/MURLO.EXE
bin/MURLODLL.DLL
bin/MURLOJP.DLL
bin/x64/MURLODLL.DLL
examples/CMakeLists.txt
examples/hello.cpp
include/murlo.h
lib/cmake/Murlo/MurloConfig.cmake
lib/cmake/Murlo/MurloConfigVersion.cmake
lib/libmurlodll.a
lib/murlodll.def
lib/murlodll.lib
lib/x64/libmurlodll.a
lib/x64/murlodll.def
lib/x64/murlodll.lib"
actual=$(cd "$pkg" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)
if [ "$actual" != "$expected" ]; then
    echo "test-package: the package's files differ:" >&2
    diff <(echo "$expected") <(echo "$actual") >&2 || true
    exit 1
fi
[ "$(i686-w64-mingw32-objdump -f "$pkg/bin/MURLO.EXE" | sed -n 's/.*file format //p')" = pei-i386 ]
[ "$(i686-w64-mingw32-objdump -f "$pkg/bin/MURLODLL.DLL" | sed -n 's/.*file format //p')" = pei-i386 ]
[ "$(x86_64-w64-mingw32-objdump -f "$pkg/bin/x64/MURLODLL.DLL" | sed -n 's/.*file format //p')" = pei-x86-64 ]
# The About box, English and Japanese, shows the version the package is named after.
for module in MURLO.EXE MURLOJP.DLL; do
    if ! strings -el "$pkg/bin/$module" | grep -x "Version $version" >/dev/null; then
        echo "test-package: the About box of $module does not show Version $version" >&2
        exit 1
    fi
done
"$root/scripts/check-exports.sh" "$pkg/bin"
"$root/scripts/check-exports.sh" "$pkg/bin/x64"

echo "-- find_package(Murlo) picks the library of the toolchain and architecture"
for variant in "OFF 4 lib/libmurlodll.a bin/MURLODLL.DLL" "OFF 8 lib/x64/libmurlodll.a bin/x64/MURLODLL.DLL" \
               "ON 4 lib/murlodll.lib bin/MURLODLL.DLL" "ON 8 lib/x64/murlodll.lib bin/x64/MURLODLL.DLL"; do
    set -- $variant
    want="murlo: $version implib=$3 dll=$4 include=include console=bin/MURLO.EXE"
    got=$(cmake -S "$root/tests/package/config_check" -B "$work/config-$1-$2" -DCHECK_MSVC=$1 \
        -DCHECK_POINTER_SIZE=$2 -DCMAKE_PREFIX_PATH="$pkg" -DMURLO_CHECK_ROOT="$pkg" | sed -n 's/^-- murlo: /murlo: /p')
    if [ "$got" != "$want" ]; then
        echo "test-package: find_package(Murlo) with MSVC=$1, pointer size $2 gives: $got" >&2
        echo "  expected: $want" >&2
        exit 1
    fi
done

echo "-- find_package(Murlo) with real compilers"
"$root/tests/package/config_cases.sh" "$pkg" "$work/config-cases"

echo "-- murlo.h compiles clean for each compiler, with and without MURLO_NO_TRACE; wrong formats fail"
"$root/tests/package/header_check.sh" "$pkg/include" "$work/header-check"

echo "-- example project with find_package(Murlo), i686 and x86-64"
for arch in x86 x64; do
    toolchain=mingw-i686.cmake
    [ $arch = x64 ] && toolchain=mingw-x86_64.cmake
    # Statically linked runtime, so that only MURLODLL.DLL travels with it.
    cmake -S "$pkg/examples" -B "$work/hello-$arch" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$toolchain" \
        -DCMAKE_PREFIX_PATH="$pkg" -DCMAKE_BUILD_TYPE=Release -DCMAKE_EXE_LINKER_FLAGS=-static >/dev/null
    cmake --build "$work/hello-$arch" -j "$jobs" >/dev/null
done

echo "-- C client with the Microsoft toolchain's conventions, x86 and x64"
for arch in x86 x64; do
    if [ $arch = x86 ]; then
        target=i686-pc-windows-msvc machine=i386 kill=-k lib=$pkg/lib bin=$pkg/bin
        sed 's/\r$//' "$root/tests/package/msvc_kernel32.def" >"$work/kernel32-$arch.def"
    else
        target=x86_64-pc-windows-msvc machine=i386:x86-64 kill= lib=$pkg/lib/x64 bin=$pkg/bin/x64
        sed 's/@[0-9]*$//' "$root/tests/package/msvc_kernel32.def" >"$work/kernel32-$arch.def"
    fi
    dir=$work/msvc-$arch
    mkdir -p "$dir"
    llvm-dlltool -m $machine $kill -d "$work/kernel32-$arch.def" -l "$work/kernel32-$arch.lib"
    clang --target=$target -O1 -ffreestanding -fno-stack-protector -Wall -Werror -I "$pkg/include" \
        -c "$root/tests/package/msvc_client.c" -o "$dir/msvc_client.obj"
    lld-link /nologo /entry:ClientMain /subsystem:console /nodefaultlib /out:"$dir/msvc_client.exe" \
        "$dir/msvc_client.obj" "$lib/murlodll.lib" "$work/kernel32-$arch.lib"
    cp "$bin/MURLODLL.DLL" "$dir/"
done

echo "-- the C client once more for x86, with stdcall as the default convention"
# The first x86 build takes cdecl as the default convention, this one stdcall
# (-mrtd): a declaration that named no convention of its own would call the
# library wrongly in one of them, and the stack would drift.
dir=$work/msvc-x86-stdcall
mkdir -p "$dir"
clang --target=i686-pc-windows-msvc -mrtd -O1 -ffreestanding -fno-stack-protector -Wall -Werror -I "$pkg/include" \
    -c "$root/tests/package/msvc_client.c" -o "$dir/msvc_client.obj"
lld-link /nologo /entry:ClientMain /subsystem:console /nodefaultlib /out:"$dir/msvc_client.exe" \
    "$dir/msvc_client.obj" "$pkg/lib/murlodll.lib" "$work/kernel32-x86.lib"
cp "$pkg/bin/MURLODLL.DLL" "$dir/"

echo "-- the programs under Wine against the package's console"
tree=$("$root/scripts/wine-tree.sh" "$out")
cmake --build "$tree" -j "$jobs" --target package_test >/dev/null
if [ "$("$root/scripts/wine-arch.sh")" = win32 ]; then
    "$root/scripts/package-programs.sh" "$pkg" "$work" "$tree/bin/package_test.exe" "$out/package-wine/wineprefix"
else
    # The console and the 32-bit clients run only through emulation here;
    # the prefix is the 32-bit lane's, made there once.
    start=$(date +%s)
    status=0
    "$root/scripts/emulate32.sh" "${MURLO_PACKAGE_EMULATED_LIMIT:-1800}" \
        "$root/scripts/package-programs.sh" "$pkg" "$work" "$tree/bin/package_test.exe" "$out/win/wineprefix-wow64" \
        || status=$?
    echo "test-package: the emulated programs took $(( $(date +%s) - start )) s"
    exit $status
fi
