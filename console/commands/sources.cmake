# Command table, menus, find, appearance.
list(APPEND MURLO_CONSOLE_PORTABLE)
list(APPEND MURLO_CONSOLE_WINDOWS console/commands/command_table.cpp)
