# Portable composing logic of the client library and its Windows glue.
list(APPEND MURLO_CLIENT_PORTABLE)
list(APPEND MURLO_CLIENT_WINDOWS client/dll_main.cpp)
