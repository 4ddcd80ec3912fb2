# Portable composing logic of the client library and its Windows glue.
list(APPEND MURLO_CLIENT_PORTABLE
    client/compose.cpp
    client/dump_format.cpp
    client/readable_range.cpp)
list(APPEND MURLO_CLIENT_WINDOWS client/dll_main.cpp)
