// Start-up and the message loop: a first, minimal form.
#include "console/shell/console_window.h"

namespace murlo {

void ConsoleWindow::OnIdle() {}
bool ConsoleWindow::FilterMessage(MSG&) { return false; }

}  // namespace murlo

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    using namespace murlo;
    g_console.programInstance = instance;
    g_console.resourceModule = instance;
    RegisterConsoleClass();
    static ConsoleWindow console;
    RECT rect = {LONG(CW_USEDEFAULT), LONG(CW_USEDEFAULT), LONG(CW_USEDEFAULT), LONG(CW_USEDEFAULT)};
    if (!console.CreateMainWindow(rect)) return 0;
    ShowWindow(console.mainWindow, show);
    UpdateWindow(console.mainWindow);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}
