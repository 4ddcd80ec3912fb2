// Resource and command ids of the console, one number range per kind.
// Shared by the resource scripts (MURLO.EXE and MURLOJP.DLL) and the code.
#pragma once

// Icons, bitmaps, menus, accelerators.
#define IDI_MURLO 10
#define IDB_START_LOG 13
#define IDM_MAIN_MENU 20
#define IDM_CONTEXT_MENU 21
#define IDA_ACCELERATORS 200

// Child windows of the main window.
#define IDC_TOOLBAR 11
#define IDC_STATUS 12
#define IDC_VIEW 14

// Commands; the string with the same id is the command's status help.
#define IDM_START_LOG 101
#define IDM_LOG_TO_FILE 102
#define IDM_SHOW_FILE_NAME 103
#define IDM_TOP_MOST 104
#define IDM_FONT 105
#define IDM_SHOW_PROCESS_ID 106
#define IDM_SHOW_DATE 107
#define IDM_SHOW_TIME 108
#define IDM_ADD_LINE_END 109
#define IDM_TRANSPARENT 110
#define IDM_TRANSPARENCY 111
#define IDM_BACK_COLOR 112
#define IDM_WRAP 113
#define IDM_LEFT_SPACE 114
#define IDM_FIND_PREVIOUS 115
#define IDM_FIND_NEXT 116
#define IDM_SAVE_LOG 57604
#define IDM_CLEAR 57633
#define IDM_COPY 57634
#define IDM_FIND 57636
#define IDM_SELECT_ALL 57642
#define IDM_ABOUT 57664
#define IDM_EXIT 57665
#define IDM_HELP 57670

// Dialog templates.
#define IDD_LOG_FILE 1000
#define IDD_LOG_FILE_OLD 1002
#define IDD_ABOUT 1100
#define IDD_TRANSPARENCY 1200

// Dialog controls.
#define IDC_NO_DISPLAY 1001
#define IDC_MAX_SIZE 1003
#define IDC_MAX_SIZE_SPIN 1004
#define IDC_STANDARD_CONTROLS 1119
#define IDC_TRANSPARENCY_TRACKBAR 1201

// Strings.
#define IDS_FILTER 2000
#define IDS_NOT_ENOUGH_MEMORY 3000
#define IDS_CANT_CREATE_FILE 3001
#define IDS_EXIST_DEBUG_MONITOR 3002
#define IDS_CANT_CREATE_SHARED_MEMORY 3003
#define IDS_ERROR_OCCURED 3004
#define IDS_INVALID_COMMAND_OPTION 3005
#define IDS_CANT_LOAD_RICHEDIT 3006
