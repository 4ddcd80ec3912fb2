# Cross build of the Windows binaries and of the Wine integration tests.
include(GoogleTest)

set(MURLO_BIN_DIR ${CMAKE_BINARY_DIR}/bin)

# murlo_version.h, for the resource scripts (About box).
configure_file(${CMAKE_SOURCE_DIR}/cmake/murlo_version.h.in ${CMAKE_BINARY_DIR}/generated/murlo_version.h @ONLY)
include_directories(${CMAKE_BINARY_DIR}/generated)

set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${MURLO_BIN_DIR})
set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${MURLO_BIN_DIR})
set(CMAKE_ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/lib)

# ctest starts every Windows program through Wine with this build's prefix,
# of this build's architecture, by a one-word wrapper (test discovery does
# not split an emulator list).
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(MURLO_WINE_PREFIX_ARCH win64)
else()
    set(MURLO_WINE_PREFIX_ARCH win32)
endif()
file(WRITE ${CMAKE_BINARY_DIR}/wine-run
    "#!/bin/sh\nexec \"${CMAKE_SOURCE_DIR}/scripts/wine-run.sh\" \"${CMAKE_BINARY_DIR}\" ${MURLO_WINE_PREFIX_ARCH} \"$@\"\n")
file(CHMOD ${CMAKE_BINARY_DIR}/wine-run PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
    GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)

set(MURLO_WARNINGS -Wall -Wextra)
# The product binaries carry no exceptions, no RTTI and no runtime DLLs.
set(MURLO_PRODUCT_FLAGS -fno-exceptions -fno-rtti)
set(MURLO_STATIC_LINK -static -static-libgcc -static-libstdc++)
# The product targets the oldest platforms it supports; the tests may use newer calls.
set(MURLO_PRODUCT_DEFINES WINVER=0x0501 _WIN32_WINNT=0x0501 _WIN32_IE=0x0500 NOMINMAX)
set(MURLO_TEST_DEFINES WINVER=0x0600 _WIN32_WINNT=0x0600 _WIN32_IE=0x0600 NOMINMAX)

add_library(murlo_portable_win STATIC
    ${MURLO_COMMON_PORTABLE} ${MURLO_CONSOLE_PORTABLE} ${MURLO_CLIENT_PORTABLE})
target_include_directories(murlo_portable_win PUBLIC ${CMAKE_SOURCE_DIR})
target_compile_definitions(murlo_portable_win PRIVATE ${MURLO_PRODUCT_DEFINES})
target_compile_options(murlo_portable_win PRIVATE ${MURLO_WARNINGS} ${MURLO_PRODUCT_FLAGS})

# MURLO.EXE, the console.
file(GLOB MURLO_RESOURCE_SCRIPT CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/console/resources/murlo.rc)
add_executable(MURLO WIN32 ${MURLO_CONSOLE_WINDOWS} ${MURLO_RESOURCE_SCRIPT})
set_target_properties(MURLO PROPERTIES OUTPUT_NAME MURLO SUFFIX .EXE)
target_include_directories(MURLO PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_definitions(MURLO PRIVATE ${MURLO_PRODUCT_DEFINES})
target_compile_options(MURLO PRIVATE ${MURLO_WARNINGS} ${MURLO_PRODUCT_FLAGS})
# Wine hands the data of a message sent from another process to the window
# procedure on the receiving thread's stack: the stack's reserve bounds the
# largest plain string the console can receive (with the default 2 MiB a
# payload of 2 MiB ends the process before the console sees it).
target_link_options(MURLO PRIVATE ${MURLO_STATIC_LINK} -Wl,--stack,0x4000000)
target_link_libraries(MURLO PRIVATE murlo_portable_win comctl32 comdlg32 gdi32 user32 advapi32 shell32)
# The counter build times the console's work for the throughput benchmark
# (console/shell/counters.h); the product has none of it.
option(MURLO_COUNTERS "Build MURLO.EXE with the benchmark's time counters" OFF)
if(MURLO_COUNTERS)
    target_compile_definitions(MURLO PRIVATE MURLO_COUNTERS)
endif()

# MURLODLL.DLL, the client library: plain export names with fixed ordinals
# from the .def file, and an import library for MinGW programs.
file(GLOB MURLO_CLIENT_DEF CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/client/murlodll.def)
add_library(MURLODLL SHARED ${MURLO_CLIENT_WINDOWS} ${MURLO_CLIENT_DEF})
set_target_properties(MURLODLL PROPERTIES OUTPUT_NAME MURLODLL PREFIX "" SUFFIX .DLL
    IMPORT_PREFIX lib IMPORT_SUFFIX .a ARCHIVE_OUTPUT_NAME murlodll)
target_include_directories(MURLODLL PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_definitions(MURLODLL PRIVATE ${MURLO_PRODUCT_DEFINES})
target_compile_options(MURLODLL PRIVATE ${MURLO_WARNINGS} ${MURLO_PRODUCT_FLAGS})
target_link_options(MURLODLL PRIVATE ${MURLO_STATIC_LINK} -Wl,--kill-at)
target_link_libraries(MURLODLL PRIVATE murlo_portable_win user32 advapi32 kernel32)
# The .def names the standard-call exports with their argument size, and
# --kill-at exports them plain. ld's import library would then offer only
# the plain names, which 32-bit callers of the header do not reference;
# dlltool --kill-at makes one whose decorated symbols import the plain names.
if(CMAKE_SIZEOF_VOID_P EQUAL 4 AND MURLO_CLIENT_DEF)
    find_program(MURLO_DLLTOOL NAMES i686-w64-mingw32-dlltool REQUIRED)
    add_custom_command(TARGET MURLODLL POST_BUILD
        COMMAND ${MURLO_DLLTOOL} --kill-at -d ${MURLO_CLIENT_DEF} -D MURLODLL.DLL
            -l $<TARGET_LINKER_FILE:MURLODLL>
        VERBATIM)
endif()

# Subsystem-specific extra targets (the Japanese resource library, examples).
file(GLOB MURLO_EXTRA_TARGETS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/*/targets.cmake
    ${CMAKE_SOURCE_DIR}/console/*/targets.cmake)
foreach(extra ${MURLO_EXTRA_TARGETS})
    include(${extra})
endforeach()

option(MURLO_WINE_TESTS "Build the integration tests that run under Wine" ON)
if(NOT MURLO_WINE_TESTS)
    return()
endif()

# GoogleTest, cross-built from the Debian sources.
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
target_compile_options(gtest PRIVATE -w)
target_compile_options(gtest_main PRIVATE -w)

# Shared helpers of the integration tests (starting consoles, finding
# windows, the settings key, polling with a deadline).
file(GLOB MURLO_WINE_SUPPORT CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/wine/support/*.cpp)
add_library(murlo_wine_support STATIC ${MURLO_WINE_SUPPORT})
target_include_directories(murlo_wine_support PUBLIC ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/tests/wine)
target_compile_definitions(murlo_wine_support PUBLIC MURLO_BIN_DIR="Z:${MURLO_BIN_DIR}" ${MURLO_TEST_DEFINES})
target_compile_options(murlo_wine_support PRIVATE ${MURLO_WARNINGS})
target_link_libraries(murlo_wine_support PUBLIC murlo_portable_win gtest user32 advapi32 gdi32 comctl32)

# One test program per file; every test runs on its own, one at a time.
file(GLOB MURLO_WINE_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/wine/*_test.cpp)
foreach(test_source ${MURLO_WINE_TESTS})
    get_filename_component(name ${test_source} NAME_WE)
    add_executable(${name} ${test_source})
    target_compile_options(${name} PRIVATE ${MURLO_WARNINGS})
    target_link_options(${name} PRIVATE ${MURLO_STATIC_LINK})
    target_link_libraries(${name} PRIVATE murlo_wine_support gtest_main)
    add_dependencies(${name} MURLO MURLODLL)
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
        PROPERTIES RUN_SERIAL TRUE TIMEOUT 180)
endforeach()

# Helper programs that the integration tests start (clients, debug writers).
file(GLOB MURLO_WINE_HELPERS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/wine/helpers/*.cpp)
foreach(helper_source ${MURLO_WINE_HELPERS})
    get_filename_component(name ${helper_source} NAME_WE)
    add_executable(${name} ${helper_source})
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
    target_compile_definitions(${name} PRIVATE ${MURLO_TEST_DEFINES})
    target_compile_options(${name} PRIVATE ${MURLO_WARNINGS})
    target_link_options(${name} PRIVATE ${MURLO_STATIC_LINK})
    target_link_libraries(${name} PRIVATE murlo_portable_win user32 advapi32 kernel32)
    foreach(test_source ${MURLO_WINE_TESTS})
        get_filename_component(test_name ${test_source} NAME_WE)
        add_dependencies(${test_name} ${name})
    endforeach()
endforeach()
