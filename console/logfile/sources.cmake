# The log mirror, ring logic and ring store, log-file and save commands.
list(APPEND MURLO_CONSOLE_PORTABLE
    console/logfile/ring_buffer.cpp
    console/logfile/log_mirror.cpp
    console/logfile/save_dialog_request.cpp)
list(APPEND MURLO_CONSOLE_WINDOWS
    console/logfile/log_mirror_win.cpp
    console/logfile/ring_store.cpp
    console/logfile/log_file_commands.cpp)
