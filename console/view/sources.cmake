# Rendering, the view's queue and its update.
list(APPEND MURLO_CONSOLE_PORTABLE
    console/view/render_record.cpp
    console/view/control_units.cpp)
list(APPEND MURLO_CONSOLE_WINDOWS
    console/view/view_queue.cpp
    console/view/rich_edit_view.cpp
    console/view/handle_copy_data.cpp)
