# Capture of the system debug-output channel.
list(APPEND MURLO_CONSOLE_PORTABLE console/capture/debug_framing.cpp)
list(APPEND MURLO_CONSOLE_WINDOWS console/capture/debug_monitor.cpp)
