// The main window: a first, minimal form.
#include "console/shell/console_window.h"
#include "console/shell/constants.h"
#include "console/resources/resource.h"

namespace murlo {

ConsoleProcess g_console;

int ShowResourceMessage(HWND owner, UINT stringId, UINT style) {
    char text[128] = {};
    LoadStringA(g_console.resourceModule, stringId, text, sizeof text);
    return MessageBoxA(owner, text, kCaption, style);
}

namespace {

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

void RegisterConsoleClass() {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.cbWndExtra = 4;
    windowClass.hInstance = g_console.programInstance;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClassName;
    RegisterClassA(&windowClass);
}

HWND ConsoleWindow::CreateMainWindow(const RECT& rect) {
    mainWindow = CreateWindowExA(WS_EX_WINDOWEDGE, kClassName, kWindowTitle,
                                 WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, rect.left, rect.top,
                                 rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr,
                                 g_console.programInstance, this);
    return mainWindow;
}

bool ConsoleWindow::OnCreate() { return true; }
void ConsoleWindow::OnSize(UINT, int, int) {}
void ConsoleWindow::OnWheelRoll(WPARAM) {}
LRESULT ConsoleWindow::OnToolTipText(LPARAM) { return 0; }
void ConsoleWindow::OnDestroy() {}
void ConsoleWindow::HandleCopyData(const COPYDATASTRUCT*) {}
void ConsoleWindow::ApplyViewFont(const LOGFONTA&, COLORREF) {}

}  // namespace murlo
