# Capture of the system debug-output channel.
list(APPEND MURLO_CONSOLE_PORTABLE console/intake/debug_framing.cpp)
list(APPEND MURLO_CONSOLE_WINDOWS console/intake/debug_monitor.cpp)
