# MURLOJP.DLL: the Japanese resource library, resources only (no code, no
# entry point, no imports), placed beside MURLO.EXE.
add_library(MURLOJP SHARED ${CMAKE_SOURCE_DIR}/console/resources/murlojp.rc)
set_target_properties(MURLOJP PROPERTIES OUTPUT_NAME MURLOJP PREFIX "" SUFFIX .DLL LINKER_LANGUAGE C)
target_include_directories(MURLOJP PRIVATE ${CMAKE_SOURCE_DIR}/console/resources)
target_link_options(MURLOJP PRIVATE -nostdlib -Wl,-e,0)
