// View append and the ring store on disk: not built yet.
#include "console/shell/console_window.h"

namespace murlo {

void ConsoleWindow::MirrorToLogFile(const char*, size_t) {}
void ConsoleWindow::AppendToView(const char* text, size_t) {
    SendMessageA(viewWindow, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(text));
}
bool ConsoleWindow::OpenRingStore() { return false; }
void ConsoleWindow::WriteRingStore(const char*, size_t) {}
void ConsoleWindow::CloseRingStore() {}

}  // namespace murlo
