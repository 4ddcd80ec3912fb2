// The main window: class, creation, the window procedure's message table,
// the pause receiver, layout, wheel scrolling, tooltips, timers and shutdown.
#include "console/console_window.h"

#include <commctrl.h>

#include <cstdio>

#include "console/resources/resource.h"
#include "console/shell/constants.h"
#include "console/shell/counters.h"
#include "console/shell/font_math.h"
#include "console/shell/main_loop.h"
#include "console/shell/settings_store.h"
#include "console/shell/window_geometry.h"

namespace murlo {

static_assert(kConsolePingMessage == WM_USER, "the ping is WM_USER on both sides");

ConsoleProcess g_console;

int ShowResourceMessage(HWND owner, UINT stringId, UINT style) {
    char text[128] = {};
    LoadStringA(g_console.resourceModule, stringId, text, sizeof text);
    return MessageBoxA(owner, text, kCaption, style);
}

namespace {

constexpr size_t kAtomNameSize = 256;
constexpr size_t kPauseTextSize = 288;
constexpr UINT kRaiseFlags = SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE;

ConsoleWindow* ConsoleOf(HWND window) {
    return reinterpret_cast<ConsoleWindow*>(GetWindowLongPtrA(window, 0));
}

// The console side of the pause: shows the atom's name and the number and
// answers once the user has closed the box. Needs no ConsoleWindow.
LRESULT OnPause(HWND window, WPARAM wParam, LPARAM lParam) {
    // Zeroed: an atom that cannot be read shows an empty name.
    char name[kAtomNameSize] = {};
    GlobalGetAtomNameA(static_cast<ATOM>(wParam), name, sizeof name);
    name[sizeof name - 1] = '\0';
    char text[kPauseTextSize] = {};
    snprintf(text, sizeof text, kPauseFormat, name, static_cast<int>(lParam));
    MessageBoxA(window, text, kCaption, MB_ICONINFORMATION | MB_OK);
    return 0;
}

LRESULT OnCreateMessage(HWND window, LPARAM lParam) {
    auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    auto* console = create ? static_cast<ConsoleWindow*>(create->lpCreateParams) : nullptr;
    if (!console) return DefWindowProcA(window, WM_CREATE, 0, lParam);
    SetWindowLongPtrA(window, 0, reinterpret_cast<LONG_PTR>(console));
    console->mainWindow = window;
    return console->OnCreate() ? 0 : -1;
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    ConsoleWindow* console = ConsoleOf(window);
    if (console && message == WM_COPYDATA) {
        {
            MURLO_NOTE_INSIDE(Take, RecordInTake);
            MURLO_TIMED(Record);
            console->HandleCopyData(reinterpret_cast<const COPYDATASTRUCT*>(lParam));
        }
        LetQueuedMessagesThrough(*console);
        return 0;
    }
    if (console && message == kCapturedRecordsMessage) {
        console->OnCapturedRecords();
        return 0;
    }
    // Every other handler, sent from elsewhere too, runs as a command: the
    // records that come meanwhile let no queued message through.
    RunningHandler running(console ? &console->gate : nullptr);
    // Registered messages first, in the order wheel, pause, find; an id of 0
    // means the message was never registered.
    if (g_console.wheelRollMessage && message == g_console.wheelRollMessage) {
        if (console) console->OnWheelRoll(wParam);
        return 0;
    }
    if (g_console.pauseMessage && message == g_console.pauseMessage) return OnPause(window, wParam, lParam);
    if (g_console.findReplaceMessage && message == g_console.findReplaceMessage) {
        if (console) console->OnFindReplace();
        return DefWindowProcA(window, message, wParam, lParam);
    }
    if (message == WM_CREATE) return OnCreateMessage(window, lParam);
    if (message == kConsolePingMessage) {
        SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, kRaiseFlags);
        return 0;
    }
    if (!console) return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
    case WM_DESTROY: SetWindowLongPtrA(window, 0, 0); console->OnDestroy(); return 0;
    case WM_SIZE: console->OnSize(UINT(wParam), short(LOWORD(lParam)), short(HIWORD(lParam))); return 0;
    case WM_SETFOCUS: SetFocus(console->viewWindow); return 0;
    case WM_CLOSE: DestroyWindow(window); return 0;
    case WM_NOTIFY: return console->OnToolTipText(wParam, lParam);
    case WM_TIMER: console->OnTimer(wParam); return 0;
    case WM_CONTEXTMENU: console->OnContextMenu(short(LOWORD(lParam)), short(HIWORD(lParam))); return 0;
    case WM_COMMAND: console->OnCommand(LOWORD(wParam), lParam, HIWORD(wParam)); return 0;
    case WM_INITMENUPOPUP: console->OnInitMenuPopup(reinterpret_cast<HMENU>(wParam), LOWORD(lParam), HIWORD(lParam)); return 0;
    case WM_MENUSELECT: console->OnMenuSelect(reinterpret_cast<HMENU>(lParam), LOWORD(wParam), HIWORD(wParam)); return 0;
    // The platform's modal loops, which take the input while they run.
    case WM_ENTERMENULOOP: console->gate.menuLoop = true; return 0;
    case WM_EXITMENULOOP: console->gate.menuLoop = false; return 0;
    case WM_ENTERSIZEMOVE: console->gate.sizeMoveLoop = true; return 0;
    case WM_EXITSIZEMOVE: console->gate.sizeMoveLoop = false; return 0;
    default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

// Stores the geometry (only of a window that is neither minimised nor
// maximised) and the eleven options, at an orderly close.
void SaveWindowSettings(const ConsoleWindow& console) {
    RegistryKey key;
    key.Open();
    if (!IsIconic(console.mainWindow) && !IsZoomed(console.mainWindow)) {
        RECT rect;
        if (GetWindowRect(console.mainWindow, &rect)) {
            key.WriteDword(kValueX, static_cast<DWORD>(rect.left));
            key.WriteDword(kValueY, static_cast<DWORD>(rect.top));
            key.WriteDword(kValueWidth, static_cast<DWORD>(SpanOf(rect.left, rect.right)));
            key.WriteDword(kValueHeight, static_cast<DWORD>(SpanOf(rect.top, rect.bottom)));
        }
    }
    SaveViewOptions(key, console.options);
}

void DestroyChild(HWND& child) {
    if (child) DestroyWindow(child);
    child = nullptr;
}

}  // namespace

void RegisterConsoleClass() {
    WNDCLASSA windowClass = {};
    windowClass.style = 0;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.cbClsExtra = 0;
    windowClass.cbWndExtra = sizeof(LONG_PTR);  // slot 0: the ConsoleWindow
    windowClass.hInstance = g_console.programInstance;
    windowClass.hIcon = LoadIconA(g_console.programInstance, MAKEINTRESOURCEA(IDI_MURLO));
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszMenuName = nullptr;
    windowClass.lpszClassName = kConsoleClassName;
    RegisterClassA(&windowClass);
}

HWND CreateMainWindow(ConsoleWindow& console, const RECT& rect) {
    {
        RegistryKey key;
        key.Open();
        LoadViewOptions(key, console.options);
    }
    HMENU menu = LoadMenuA(g_console.resourceModule, MAKEINTRESOURCEA(IDM_MAIN_MENU));
    DWORD exStyle = WS_EX_WINDOWEDGE | (console.options.topMost ? WS_EX_TOPMOST : 0);
    HWND window = CreateWindowExA(exStyle, kConsoleClassName, kWindowTitle, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                                  rect.left, rect.top, SpanOf(rect.left, rect.right),
                                  SpanOf(rect.top, rect.bottom), nullptr, menu, g_console.programInstance,
                                  &console);
    if (window)
        console.accelerators = LoadAcceleratorsA(g_console.programInstance, MAKEINTRESOURCEA(IDA_ACCELERATORS));
    return window;
}

void ConsoleWindow::OnSize(UINT sizeType, int cx, int cy) {
    if (sizeType == SIZE_MINIMIZED) return;
    constexpr UINT flags = SWP_NOZORDER;
    int toolbarHeight = 0;
    if (toolbarWindow) {
        RECT outer, inner;
        GetWindowRect(toolbarWindow, &outer);
        GetClientRect(toolbarWindow, &inner);
        int border = ((outer.right - outer.left) - (inner.right - inner.left)) / 2;
        toolbarHeight = outer.bottom - outer.top;
        SetWindowPos(toolbarWindow, nullptr, -border, 0, cx + 2 * border, toolbarHeight, flags);
    }
    int statusHeight = 0;
    if (statusWindow) {
        RECT outer;
        GetWindowRect(statusWindow, &outer);
        statusHeight = outer.bottom - outer.top;
        SetWindowPos(statusWindow, nullptr, 0, cy - statusHeight, cx, statusHeight, flags);
    }
    if (viewWindow)
        SetWindowPos(viewWindow, nullptr, 0, toolbarHeight, cx, cy - statusHeight - toolbarHeight, flags);
}

void ConsoleWindow::OnWheelRoll(WPARAM wParam) {
    int64_t step = WheelStep(static_cast<int32_t>(wParam), g_console.wheelScrollLines);
    if (step == 0) return;
    int minimum = 0, maximum = 0;
    GetScrollRange(viewWindow, SB_VERT, &minimum, &maximum);
    int position = WheelScrollPosition(GetScrollPos(viewWindow, SB_VERT), step, maximum);
    SendMessageA(viewWindow, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, position), 0);
}

LRESULT ConsoleWindow::OnToolTipText(WPARAM wParam, LPARAM lParam) {
    auto* info = reinterpret_cast<NMTTDISPINFOA*>(lParam);
    if (info && info->hdr.code == TTN_NEEDTEXTA)
        LoadStringA(g_console.resourceModule, static_cast<UINT>(wParam), info->szText, sizeof info->szText);
    return 0;
}

// The view's update and the log file's flush.
void ConsoleWindow::OnTimer(UINT_PTR id) {
    if (id == kViewQueueTimer) {
        OnViewQueueTimer(viewQueue, ViewTargetOf(*this));
    } else if (id == kLogFlushTimer) {
        OnLogFlushTimer(log, mainWindow);
    }
}

void ConsoleWindow::OnDestroy() {
    // What the capture thread queued still reaches the log file.
    OnCapturedRecords();
    windowDestroyed = true;
    if (find.dialog) {
        DestroyWindow(find.dialog);
        find.dialog = nullptr;
    }
    if (log.file) CloseLogFile(log, options.maxLogKB, mainWindow);
    SaveWindowSettings(*this);
    DestroyChild(viewWindow);
    DestroyChild(toolbarWindow);
    DestroyChild(statusWindow);
    if (log.saveBuffer) HeapFree(GetProcessHeap(), 0, log.saveBuffer);
    log.saveBuffer = nullptr;
    if (render.buffer) HeapFree(GetProcessHeap(), 0, render.buffer);
    render.buffer = nullptr;
    render.capacity = 0;
    StopDebugMonitor(capture);
    PostQuitMessage(0);
}

}  // namespace murlo
