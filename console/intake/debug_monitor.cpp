// Capture of the system debug-output channel: not built yet.
#include "console/shell/console_window.h"

namespace murlo {

bool ConsoleWindow::StartDebugMonitor() { return false; }
void ConsoleWindow::StopDebugMonitorForDialog() {}
void ConsoleWindow::StopDebugMonitor() {}
DWORD WINAPI DebugMonitor(LPVOID) { return 0; }

}  // namespace murlo
