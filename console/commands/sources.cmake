# Command table and menus, find, appearance.
list(APPEND MURLO_CONSOLE_PORTABLE
    console/commands/menu_state.cpp
    console/commands/find_text.cpp
    console/commands/appearance_rules.cpp)
list(APPEND MURLO_CONSOLE_WINDOWS
    console/commands/command_table.cpp
    console/commands/menus.cpp
    console/commands/find.cpp
    console/commands/appearance.cpp)
