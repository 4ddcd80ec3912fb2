# Example client programs, linked against MURLODLL's import library and
# written into the bin folder beside MURLO.EXE and MURLODLL.DLL.
add_executable(demo_client ${CMAKE_SOURCE_DIR}/examples/demo_client.cpp)
target_include_directories(demo_client PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_definitions(demo_client PRIVATE ${MURLO_PRODUCT_DEFINES})
target_compile_options(demo_client PRIVATE ${MURLO_WARNINGS} ${MURLO_PRODUCT_FLAGS})
target_link_options(demo_client PRIVATE ${MURLO_STATIC_LINK})
target_link_libraries(demo_client PRIVATE MURLODLL)

# The same header from C.
add_executable(c_client ${CMAKE_SOURCE_DIR}/examples/c_client.c)
target_include_directories(c_client PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_definitions(c_client PRIVATE ${MURLO_PRODUCT_DEFINES})
target_compile_options(c_client PRIVATE ${MURLO_WARNINGS})
target_link_options(c_client PRIVATE ${MURLO_STATIC_LINK})
target_link_libraries(c_client PRIVATE MURLODLL)
