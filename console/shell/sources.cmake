# Start-up, main window, settings store.
list(APPEND MURLO_CONSOLE_PORTABLE
    console/shell/command_line.cpp
    console/shell/font_math.cpp
    console/shell/platform_version.cpp
    console/shell/window_geometry.cpp
    console/shell/settings_path.cpp)
list(APPEND MURLO_CONSOLE_WINDOWS
    console/shell/main_window.cpp
    console/shell/main_window_create.cpp
    console/shell/main_loop.cpp
    console/shell/settings_store.cpp
    console/shell/startup.cpp)
