# Native build of the portable logic and its unit tests.
find_package(GTest REQUIRED)
include(GoogleTest)

set(MURLO_WARNINGS -Wall -Wextra)
set(MURLO_SANITIZERS -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)

add_library(murlo_portable STATIC
    ${MURLO_COMMON_PORTABLE} ${MURLO_CONSOLE_PORTABLE} ${MURLO_CLIENT_PORTABLE})
target_include_directories(murlo_portable PUBLIC ${CMAKE_SOURCE_DIR})
target_compile_options(murlo_portable PRIVATE ${MURLO_WARNINGS} ${MURLO_SANITIZERS})

file(GLOB MURLO_UNIT_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/unit/*_test.cpp)
add_executable(murlo_unit_tests ${MURLO_UNIT_TESTS})
target_include_directories(murlo_unit_tests PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/tests/unit)
target_compile_options(murlo_unit_tests PRIVATE ${MURLO_WARNINGS} ${MURLO_SANITIZERS})
target_link_options(murlo_unit_tests PRIVATE ${MURLO_SANITIZERS})
target_link_libraries(murlo_unit_tests PRIVATE murlo_portable GTest::gtest GTest::gtest_main)
gtest_discover_tests(murlo_unit_tests DISCOVERY_TIMEOUT 60)

file(GLOB MURLO_BENCHES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/*_bench.cpp)
foreach(bench ${MURLO_BENCHES})
    get_filename_component(name ${bench} NAME_WE)
    add_executable(${name} ${bench})
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
    target_compile_options(${name} PRIVATE -O2 ${MURLO_WARNINGS})
    # Benchmarks measure the optimised logic, without sanitizers.
    add_library(${name}_logic STATIC
        ${MURLO_COMMON_PORTABLE} ${MURLO_CONSOLE_PORTABLE} ${MURLO_CLIENT_PORTABLE})
    target_include_directories(${name}_logic PUBLIC ${CMAKE_SOURCE_DIR})
    target_compile_options(${name}_logic PRIVATE -O2)
    target_link_libraries(${name} PRIVATE ${name}_logic)
endforeach()
