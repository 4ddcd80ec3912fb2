# Rendering, view append, ring store, log-file commands.
list(APPEND MURLO_CONSOLE_PORTABLE
    console/view/render_record.cpp
    console/view/ring_buffer.cpp
    console/view/control_units.cpp
    console/view/log_mirror.cpp
    console/view/save_dialog_request.cpp)
list(APPEND MURLO_CONSOLE_WINDOWS
    console/view/view_append_win.cpp
    console/view/rich_edit_view.cpp
    console/view/ring_store.cpp
    console/view/handle_copy_data.cpp
    console/view/log_file_commands.cpp)
