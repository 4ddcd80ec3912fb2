# The release package: install rules and CPack (ZIP). The 32-bit tree
# installs the console, the 32-bit client library and everything that does
# not depend on the architecture; an x86-64 tree of the same sources
# installs only its client library under bin/x64 and lib/x64. The package
# (made in the 32-bit tree by scripts/package.sh) gathers both trees.
set(MURLO_PACKAGE_DIR ${CMAKE_SOURCE_DIR}/package)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(MURLO_ARCH_DIR "/x64")
    set(MURLO_DLLTOOL_MACHINE i386:x86-64)
else()
    set(MURLO_ARCH_DIR "")
    set(MURLO_DLLTOOL_MACHINE i386)
endif()

# The module definition for this architecture. In 32-bit code the
# standard-call names carry their argument size (as the compilers decorate
# them); x86-64 has one calling convention and plain names.
set(MURLO_PACKAGE_DEF ${CMAKE_BINARY_DIR}/lib/murlodll.def)
file(READ ${CMAKE_SOURCE_DIR}/client/murlodll.def MURLO_DEF_TEXT)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    string(REGEX REPLACE "(DB_[A-Za-z]+)@[0-9]+" "\\1" MURLO_DEF_TEXT "${MURLO_DEF_TEXT}")
    string(REGEX REPLACE "^(;[^\n]*\n)+" "; MURLODLL exports for x86-64 programs, ordinals 10 to 28.\n"
        MURLO_DEF_TEXT "${MURLO_DEF_TEXT}")
endif()
file(CONFIGURE OUTPUT ${MURLO_PACKAGE_DEF} CONTENT "${MURLO_DEF_TEXT}" @ONLY)

# The import library for the Microsoft toolchain (murlodll.lib), made by
# LLVM's dlltool from the module definition. In 32-bit code -k keeps the
# decorated symbols that callers reference (_DB_OutputStringA@4) and
# imports the plain names the DLL exports.
find_program(MURLO_LLVM_DLLTOOL NAMES llvm-dlltool llvm-dlltool-14 REQUIRED)
set(MURLO_MSVC_IMPLIB ${CMAKE_BINARY_DIR}/lib/murlodll.lib)
set(MURLO_DLLTOOL_KILL_AT)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(MURLO_DLLTOOL_KILL_AT -k)
endif()
add_custom_command(OUTPUT ${MURLO_MSVC_IMPLIB}
    COMMAND ${MURLO_LLVM_DLLTOOL} -m ${MURLO_DLLTOOL_MACHINE} ${MURLO_DLLTOOL_KILL_AT}
        -d ${MURLO_PACKAGE_DEF} -D MURLODLL.DLL -l ${MURLO_MSVC_IMPLIB}
    DEPENDS ${MURLO_PACKAGE_DEF}
    VERBATIM)
add_custom_target(murlodll_msvc_implib ALL DEPENDS ${MURLO_MSVC_IMPLIB})

# What every tree installs: its client library, the import libraries for
# MinGW and for the Microsoft toolchain, and the module definition.
install(TARGETS MURLODLL
    RUNTIME DESTINATION bin${MURLO_ARCH_DIR}
    ARCHIVE DESTINATION lib${MURLO_ARCH_DIR})
install(FILES ${MURLO_MSVC_IMPLIB} ${MURLO_PACKAGE_DEF} DESTINATION lib${MURLO_ARCH_DIR})

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    return()
endif()

# The 32-bit tree: the console, its Japanese resources, the header, the
# CMake package, the example project and the package's README.txt.
install(PROGRAMS $<TARGET_FILE:MURLO> $<TARGET_FILE:MURLOJP> DESTINATION bin)
install(FILES ${CMAKE_SOURCE_DIR}/client/murlo.h DESTINATION include)
include(CMakePackageConfigHelpers)
# One package serves both architectures; the config picks the library.
write_basic_package_version_file(${CMAKE_BINARY_DIR}/MurloConfigVersion.cmake
    VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion ARCH_INDEPENDENT)
install(FILES ${MURLO_PACKAGE_DIR}/MurloConfig.cmake ${CMAKE_BINARY_DIR}/MurloConfigVersion.cmake
    DESTINATION lib/cmake/Murlo)
install(FILES ${CMAKE_SOURCE_DIR}/examples/find_package/CMakeLists.txt
    ${CMAKE_SOURCE_DIR}/examples/find_package/hello.cpp DESTINATION examples)
configure_file(${MURLO_PACKAGE_DIR}/README.txt.in ${CMAKE_BINARY_DIR}/README.txt @ONLY NEWLINE_STYLE CRLF)
install(FILES ${CMAKE_BINARY_DIR}/README.txt DESTINATION .)

# The x86-64 tree whose client library goes under bin/x64 and lib/x64.
set(MURLO_X64_BUILD_DIR ${CMAKE_BINARY_DIR}/../win64 CACHE PATH
    "Build tree of the x86-64 client library for the release package")
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME murlo)
set(CPACK_PACKAGE_VENDOR OrlemApp)
set(CPACK_PACKAGE_FILE_NAME murlo-${PROJECT_VERSION}-win)
set(CPACK_INSTALL_CMAKE_PROJECTS
    "${CMAKE_BINARY_DIR};Murlo;ALL;/"
    "${MURLO_X64_BUILD_DIR};Murlo;ALL;/")
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR}/package)
include(CPack)
