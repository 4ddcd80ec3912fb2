# Rendering, view append and trimming.
list(APPEND MURLO_CONSOLE_PORTABLE
    console/view/render_record.cpp
    console/view/control_units.cpp)
list(APPEND MURLO_CONSOLE_WINDOWS
    console/view/view_append_win.cpp
    console/view/rich_edit_view.cpp
    console/view/handle_copy_data.cpp)
