# The throughput benchmark under Wine (bench/throughput.sh runs it); built
# only on request, not by the test command.
add_executable(throughput EXCLUDE_FROM_ALL ${CMAKE_SOURCE_DIR}/bench/throughput/throughput.cpp)
target_compile_definitions(throughput PRIVATE ${MURLO_TEST_DEFINES})
target_compile_options(throughput PRIVATE -O2 ${MURLO_WARNINGS})
target_link_options(throughput PRIVATE ${MURLO_STATIC_LINK})
target_link_libraries(throughput PRIVATE murlo_portable_win user32 gdi32 advapi32 psapi)
add_dependencies(throughput MURLO)
