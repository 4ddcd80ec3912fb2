# CMake package of Murlo's client library. After find_package(Murlo):
#   Murlo::murlodll   the client library for the program's architecture
#                     (32-bit or x86-64) and toolchain (MinGW or Microsoft),
#                     with the include folder of murlo.h
#   Murlo::console    MURLO.EXE, the console (32-bit; 64-bit programs use it too)
#   MURLO_DLL         the path of the matching MURLODLL.DLL, to copy beside
#                     the program (murlo_copy_dll(target) does that)
# Programs for an architecture other than x86 and x64 (ARM64 among them)
# find no package: it ships no library for them.
get_filename_component(_murlo_root "${CMAKE_CURRENT_LIST_DIR}/../../.." ABSOLUTE)

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(_murlo_arch "/x64")
elseif(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(_murlo_arch "")
else()
    set(${CMAKE_FIND_PACKAGE_NAME}_FOUND FALSE)
    set(${CMAKE_FIND_PACKAGE_NAME}_NOT_FOUND_MESSAGE "Murlo: enable the C or C++ language before find_package(Murlo)")
    return()
endif()

# The architecture: the compiler's own, where CMake knows it (the Microsoft
# toolchain, clang-cl, clang for the *-windows-msvc targets), else the
# toolchain's target processor. An ARM64 program would otherwise link
# the x64 import library without a word and fail only when it starts.
set(_murlo_processor "${CMAKE_C_COMPILER_ARCHITECTURE_ID}")
if(NOT _murlo_processor)
    set(_murlo_processor "${CMAKE_CXX_COMPILER_ARCHITECTURE_ID}")
endif()
if(NOT _murlo_processor)
    set(_murlo_processor "${CMAKE_SYSTEM_PROCESSOR}")
endif()
string(TOLOWER "${_murlo_processor}" _murlo_lower)
if(_murlo_lower MATCHES "^(arm|aarch64|ia64|riscv)")
    set(${CMAKE_FIND_PACKAGE_NAME}_FOUND FALSE)
    set(${CMAKE_FIND_PACKAGE_NAME}_NOT_FOUND_MESSAGE
        "Murlo: no client library for ${_murlo_processor} programs; the package has x86 and x64 only")
    unset(_murlo_arch)
    unset(_murlo_lower)
    unset(_murlo_processor)
    unset(_murlo_root)
    return()
endif()
unset(_murlo_lower)
unset(_murlo_processor)

# The Microsoft toolchain (and clang-cl) links murlodll.lib, MinGW libmurlodll.a.
if(MSVC OR CMAKE_C_SIMULATE_ID STREQUAL "MSVC" OR CMAKE_CXX_SIMULATE_ID STREQUAL "MSVC")
    set(_murlo_implib "${_murlo_root}/lib${_murlo_arch}/murlodll.lib")
else()
    set(_murlo_implib "${_murlo_root}/lib${_murlo_arch}/libmurlodll.a")
endif()
set(MURLO_DLL "${_murlo_root}/bin${_murlo_arch}/MURLODLL.DLL")

if(NOT TARGET Murlo::murlodll)
    add_library(Murlo::murlodll SHARED IMPORTED)
    set_target_properties(Murlo::murlodll PROPERTIES
        IMPORTED_LOCATION "${MURLO_DLL}"
        IMPORTED_IMPLIB "${_murlo_implib}"
        INTERFACE_INCLUDE_DIRECTORIES "${_murlo_root}/include")
endif()
if(NOT TARGET Murlo::console)
    add_executable(Murlo::console IMPORTED)
    set_target_properties(Murlo::console PROPERTIES IMPORTED_LOCATION "${_murlo_root}/bin/MURLO.EXE")
endif()

# Copies MURLODLL.DLL beside the target's program after every build, so that
# the program finds it when it starts. It names the imported target's file,
# not MURLO_DLL, which is gone when find_package ran inside a function.
function(murlo_copy_dll target)
    add_custom_command(TARGET ${target} POST_BUILD
        COMMAND ${CMAKE_COMMAND} -E copy_if_different "$<TARGET_FILE:Murlo::murlodll>" "$<TARGET_FILE_DIR:${target}>"
        VERBATIM)
endfunction()

unset(_murlo_arch)
unset(_murlo_implib)
unset(_murlo_root)
