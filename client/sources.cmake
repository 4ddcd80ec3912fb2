# Portable composing logic of the client library and its Windows glue.
list(APPEND MURLO_CLIENT_PORTABLE
    client/compose.cpp
    client/dump_format.cpp
    client/readable_range.cpp)
list(APPEND MURLO_CLIENT_WINDOWS
    client/dll_main.cpp
    client/connection.cpp
    client/record_sender.cpp
    client/runtime_format.cpp
    client/wide_text.cpp
    client/output_functions.cpp
    client/output_functions_wide.cpp
    client/dump_output.cpp
    client/pause.cpp)
