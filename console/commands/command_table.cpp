// Command table, menus, status help: not built yet.
#include "console/shell/console_window.h"

namespace murlo {

void ConsoleWindow::OnCommand(UINT, LPARAM, UINT) {}
void ConsoleWindow::OnInitMenuPopup(HMENU, UINT, BOOL) {}
void ConsoleWindow::OnMenuSelect(HMENU, UINT, HMENU, UINT) {}
void ConsoleWindow::OnContextMenu(HWND, int, int) {}
void ConsoleWindow::OpenFindDialog() {}
void ConsoleWindow::OnFindReplace() {}
void ConsoleWindow::FindInView() {}
void ConsoleWindow::FindPrevious() {}
void ConsoleWindow::FindNext() {}
void ConsoleWindow::FontCommand() {}
void ConsoleWindow::BackColorCommand() {}
void ConsoleWindow::ApplyTransparency() {}
void ConsoleWindow::TransparentCommand() {}
void ConsoleWindow::TransparencyCommand() {}
void ConsoleWindow::TopMostCommand() {}
void ConsoleWindow::WrapCommand() {}
void ConsoleWindow::LeftSpaceCommand() {}
void ConsoleWindow::AboutCommand() {}
void ConsoleWindow::HelpCommand() {}
void CenterOnConsole(HWND) {}

}  // namespace murlo
