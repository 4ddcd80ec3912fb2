// Log-file commands: not built yet.
#include "console/shell/console_window.h"

namespace murlo {

void ConsoleWindow::LogToFileCommand() {}
void ConsoleWindow::CloseLogFile() {}
void ConsoleWindow::SaveLogCommand() {}
UINT_PTR CALLBACK LogFileDialogHook(HWND, UINT, WPARAM, LPARAM) { return 0; }
void LoadFilterString(UINT, char* buffer) { buffer[0] = buffer[1] = 0; }

}  // namespace murlo
