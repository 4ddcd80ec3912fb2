# Start-up, main window, settings store.
list(APPEND MURLO_CONSOLE_PORTABLE)
list(APPEND MURLO_CONSOLE_WINDOWS
    console/shell/main_window.cpp
    console/shell/main_loop.cpp)
