// The program's entry, RunConsole and the message loop with its idle hook
// and message filter.
#include <windows.h>
#include <commctrl.h>

#include "console/console_window.h"
#include "console/resources/resource.h"
#include "console/shell/command_line.h"
#include "console/shell/constants.h"
#include "console/shell/counters.h"
#include "console/shell/main_loop.h"
#include "console/shell/settings_store.h"
#include "console/shell/startup.h"
#include "console/shell/window_geometry.h"

namespace murlo {

namespace {

// The Start-log button shows whether logging is on.
void OnIdle(const ConsoleWindow& console) {
    if (IsWindow(console.mainWindow) && IsWindow(console.toolbarWindow))
        SendMessageA(console.toolbarWindow, TB_CHECKBUTTON, IDM_START_LOG,
                     MAKELPARAM(LOWORD(console.options.loggingOn), 0));
}

// The find dialog's keys, then the accelerators.
bool FilterMessage(const ConsoleWindow& console, MSG& message) {
    if (console.find.dialog && IsDialogMessageA(console.find.dialog, &message)) return true;
    return TranslateAcceleratorA(console.mainWindow, console.accelerators, &message) != 0;
}

}  // namespace

// After a record, what was posted or typed meanwhile is handled here when
// the gate allows (console/shell/message_gate.h); records that arrive
// meanwhile are handled as they come, without this turn again. The sender
// of the record is released first: it may be the capture thread, on which
// a command handled here would wait. WM_QUIT goes back to the main loop.
void LetQueuedMessagesThrough(ConsoleWindow& console) {
    MURLO_TIMED(Gate);
    // The cheap facts first; the queue and the mouse capture are asked of
    // the system, now and then (message_gate.h), the capture only when
    // something waits. The queue is asked with GetQueueStatus: under Wine
    // a PeekMessage that finds nothing also flushes the windows' surfaces
    // to the display and waits for the display's events, several times
    // the cost of the question itself.
    if (!console.gate.Open(IsWindowEnabled(console.mainWindow) != FALSE)) return;
    if (!console.gate.TimeToLook(GetTickCount())) return;
    constexpr UINT kWaiting = QS_POSTMESSAGE | QS_TIMER | QS_HOTKEY | QS_KEY | QS_MOUSE;
    {
        MURLO_TIMED(Question);
        if (HIWORD(GetQueueStatus(kWaiting)) == 0 || GetCapture() != nullptr) return;
    }
    MSG message;
    const UINT waiting = PM_QS_POSTMESSAGE | PM_QS_INPUT;
    RunningHandler running(&console.gate);
    {
        MURLO_TIMED(Reply);
        ReplyMessage(0);
    }
    // Taken out only while the queue says one waits, for the same reason.
    for (int handled = 0; handled < 64; ++handled) {
        MURLO_TIMED(Take);
        if (HIWORD(GetQueueStatus(kWaiting)) == 0 || !PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE | waiting))
            break;
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        MURLO_TIMED(Dispatched);
        if (!FilterMessage(console, message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
}

namespace {

constexpr DWORD kDefaultGeometry = static_cast<DWORD>(CW_USEDEFAULT);

bool LoadRichEdit() {
    g_console.richEditLibrary = LoadLibraryA(kRichEdit20Library);
    g_console.platform.richEdit2 = g_console.richEditLibrary != nullptr;
    if (!g_console.richEditLibrary) g_console.richEditLibrary = LoadLibraryA(kRichEdit10Library);
    return g_console.richEditLibrary != nullptr;
}

RECT LoadGeometry() {
    RegistryKey key;
    key.Open();
    WindowRect rect = RectFromGeometry(key.ReadDword(kValueX, kDefaultGeometry), key.ReadDword(kValueY, kDefaultGeometry),
                                       key.ReadDword(kValueWidth, kDefaultGeometry),
                                       key.ReadDword(kValueHeight, kDefaultGeometry));
    return RECT{rect.left, rect.top, rect.right, rect.bottom};
}

// The idle hook runs once each time the queue becomes empty, before the
// thread blocks in GetMessage. Records that come while the thread waits
// here may let queued messages through; while a message taken here is
// handled, they may not.
int RunMessageLoop(ConsoleWindow& console) {
    MSG message = {};
    for (;;) {
        if (!PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE)) OnIdle(console);
        do {
            // -1 (an error) ends the loop as well, rather than spinning.
            if (GetMessageA(&message, nullptr, 0, 0) <= 0) return static_cast<int>(message.wParam);
            RunningHandler running(&console.gate);
            if (!FilterMessage(console, message)) {
                TranslateMessage(&message);
                DispatchMessageA(&message);
            }
        } while (PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE));
    }
}

}  // namespace

int RunConsole(int show, uint32_t options) {
    // Lives as long as the process: a capture thread told to stop may run on
    // after this returns, and it reads the window's capture record.
    static ConsoleWindow console;
    if (!LoadRichEdit()) {
        ShowResourceMessage(nullptr, IDS_CANT_LOAD_RICHEDIT, MB_ICONERROR);
        return 0;
    }
    RECT rect = LoadGeometry();
    if (options & kStopOptionBit) console.options.loggingOn = 0;
    if (!CreateMainWindow(console, rect)) return 0;
    ShowWindow(console.mainWindow, show);
    UpdateWindow(console.mainWindow);
    int exitCode = RunMessageLoop(console);
    if (g_console.resourceModule != g_console.programInstance) {
        if (g_console.resourceModule) FreeLibrary(g_console.resourceModule);
        g_console.resourceModule = nullptr;
    }
    FreeLibrary(g_console.richEditLibrary);
    g_console.richEditLibrary = nullptr;
    return exitCode;
}

}  // namespace murlo

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    using namespace murlo;
    g_console.programInstance = instance;
    uint32_t options = 0;
    if (!CheckRunningConsole(options)) return 0;
    RegisterAndDetectPlatform();
    return RunConsole(show, options);
}
