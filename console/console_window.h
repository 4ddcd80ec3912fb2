// ConsoleWindow: the main window's state as an aggregate of records, each
// owned by one room (its options by the settings store, the render state
// and the queue of waiting texts by the view, the log output by the log
// file, the find state by the commands, the capture thread's control by the
// capture), with the window procedure's handlers; and the process-wide
// values of the console. Windows glue only.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <cstdint>
#include <cstdio>

#include "console/capture/debug_monitor.h"
#include "console/commands/find_state.h"
#include "console/logfile/log_output.h"
#include "console/shell/message_gate.h"
#include "console/shell/view_options.h"
#include "console/view/render_record.h"
#include "console/view/view_queue.h"

namespace murlo {

// Process-wide facts, each written once at start-up and read afterwards.
struct PlatformInfo {
    bool japaneseUi;     // the user's default language is Japanese
    bool hasNewShell;    // platform major version above 3
    bool isNT;           // NT-family platform
    bool isNT5;          // NT-family with major version exactly 5
    bool isWinMe;        // 9x-family version 4.90
    bool richEdit2;      // the 2.0 rich edit library was loaded
    int pixelsPerInchY;  // vertical logical pixels per inch of the main window
};

// Process-wide values of the console, owned by the user-interface thread
// (the capture thread reads only consoleTarget).
struct ConsoleProcess {
    HINSTANCE programInstance;
    HINSTANCE resourceModule;       // menus, dialogs and strings come from here
    HMODULE richEditLibrary;
    PlatformInfo platform;
    DWORD commonControlsVersion;    // major << 16 | minor
    HWND consoleTarget;             // the main window, for the debug monitor and centring
    UINT pauseMessage;
    UINT fileNameOkMessage;
    UINT findReplaceMessage;
    UINT wheelRollMessage;
    UINT scrollLinesMessage;
    UINT wheelScrollLines;
};

extern ConsoleProcess g_console;

// Shows string id of the resource module in a message box captioned "Murlo".
int ShowResourceMessage(HWND owner, UINT stringId, UINT style);

struct ConsoleWindow {
    // The shell's windows and resources.
    HWND mainWindow = nullptr;
    HWND viewWindow = nullptr;
    HWND toolbarWindow = nullptr;
    HWND statusWindow = nullptr;
    HMENU contextMenu = nullptr;
    HACCEL accelerators = nullptr;
    // Set when the main window is destroyed. A WM_CLOSE that arrives while a
    // modal dialog or message box is up destroys the window inside that
    // box's loop; the command that showed it checks this when it returns
    // and then does nothing more.
    bool windowDestroyed = false;
    MessageGate gate;                          // console/shell/message_gate.h
    ViewQueue viewQueue;                       // console/view/view_queue.h

    ViewOptions options;                       // console/shell/view_options.h
    RenderState render = {true, true, nullptr, 0, 0};  // console/view/render_record.h
    LogOutput log;                             // console/logfile/log_output.h
    FindState find;                            // console/commands/find_state.h
    DebugMonitorControl capture;               // console/capture/debug_monitor.h
    int takingCapturedAt = -1;                 // gate.handlersRunning where OnCapturedRecords last began, or -1
    COLORREF customColors[16] = {};            // the colour dialog's custom colours

    // The window procedure's handlers; the work of each room is done by
    // functions over its own record, declared with the record.
    bool OnCreate();
    void OnSize(UINT sizeType, int cx, int cy);
    void OnWheelRoll(WPARAM wParam);
    LRESULT OnToolTipText(WPARAM wParam, LPARAM lParam);
    void OnTimer(UINT_PTR id);
    void OnDestroy();
    // Renders the payload, then hands the text to the log file and the view.
    void HandleCopyData(const COPYDATASTRUCT* payload);
    // Handles the records that the capture thread queued, in their order.
    void OnCapturedRecords();
    void OnCommand(UINT id, LPARAM lParam, UINT notifyCode);
    void OnInitMenuPopup(HMENU menu, UINT index, BOOL isWindowMenu);
    void OnMenuSelect(HMENU menu, UINT item, UINT flags);
    void OnContextMenu(int x, int y);
    void OnFindReplace();
};

// The rooms' functions declared here, by file: those that take the whole
// console (a command that shows a dialog, during which the console may be
// destroyed, or that acts on several records) and the appearance commands.

// console/shell/main_window.cpp, main_window_create.cpp
void RegisterConsoleClass();
HWND CreateMainWindow(ConsoleWindow& console, const RECT& rect);
void ApplyViewFont(HWND view, const LOGFONTA& font, COLORREF color);

// console/view/view_queue.cpp
ViewTarget ViewTargetOf(const ConsoleWindow& console);
// Sends every message of the view through its queue (view_queue.h).
bool HookViewQueue(ConsoleWindow& console);

// console/logfile/log_file_commands.cpp
void LogToFileCommand(ConsoleWindow& console);
void SaveLogCommand(ConsoleWindow& console);
UINT_PTR CALLBACK LogFileDialogHook(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void LoadFilterString(UINT id, char* buffer);

// console/commands/appearance.cpp
void FontCommand(ConsoleWindow& console);
void BackColorCommand(ConsoleWindow& console);
void TransparencyCommand(ConsoleWindow& console);
void TransparentCommand(ViewOptions& options, HWND mainWindow);
void ApplyTransparency(const ViewOptions& options, HWND mainWindow);
void TopMostCommand(ViewOptions& options, HWND mainWindow);
void WrapCommand(ViewOptions& options, HWND view);
void LeftSpaceCommand(ViewOptions& options, HWND view);
void AboutCommand(HWND owner);
void HelpCommand(HWND owner);
// Centres a dialog on the console's main window.
void CenterOnConsole(HWND dialog);

}  // namespace murlo
