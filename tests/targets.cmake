# The console probe: a library the integration tests hook into the console's
# user-interface thread to read its menus, status text and view format.
if(MURLO_WINE_TESTS)
    add_library(console_probe SHARED ${CMAKE_SOURCE_DIR}/tests/wine/probe/console_probe.cpp)
    set_target_properties(console_probe PROPERTIES PREFIX "" OUTPUT_NAME console_probe SUFFIX .dll)
    target_include_directories(console_probe PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/tests/wine)
    target_compile_definitions(console_probe PRIVATE ${MURLO_TEST_DEFINES})
    target_compile_options(console_probe PRIVATE ${MURLO_WARNINGS})
    # The tests look the hook up by its plain name; 32-bit stdcall would decorate it.
    target_link_options(console_probe PRIVATE ${MURLO_STATIC_LINK} -Wl,--kill-at)
    target_link_libraries(console_probe PRIVATE user32 comctl32)
endif()

# A client of the header's scope object, linked with MURLODLL's import library.
if(MURLO_WINE_TESTS)
    add_executable(scope_client ${CMAKE_SOURCE_DIR}/tests/wine/scope/scope_client.cpp)
    target_include_directories(scope_client PRIVATE ${CMAKE_SOURCE_DIR})
    target_compile_options(scope_client PRIVATE ${MURLO_WARNINGS})
    target_link_options(scope_client PRIVATE ${MURLO_STATIC_LINK})
    target_link_libraries(scope_client PRIVATE MURLODLL)
    # The test program is defined after this file is read.
    cmake_language(DEFER CALL add_dependencies client_scope_test scope_client)
endif()

# The test of the release package, run by scripts/test-package.sh against
# the unpacked package (not part of the ctest suite).
if(MURLO_WINE_TESTS)
    add_executable(package_test ${CMAKE_SOURCE_DIR}/tests/package/package_test.cpp)
    target_compile_options(package_test PRIVATE ${MURLO_WARNINGS})
    target_link_options(package_test PRIVATE ${MURLO_STATIC_LINK})
    target_link_libraries(package_test PRIVATE murlo_wine_support gtest_main)
endif()
