// The command table: one line per command id, and the simple actions.
// Menu items, accelerators, toolbar buttons and the context menu all arrive
// here as WM_COMMAND.
#include <windows.h>
#include <richedit.h>

#include "console/commands/menu_state.h"
#include "console/console_window.h"
#include "console/resources/resource.h"

namespace murlo {

namespace {

void Toggle(uint32_t& field) { field = Toggled(field); }

// An empty selection copies nothing: some rich edit controls (Wine's) would
// empty the clipboard.
void CopySelection(HWND view) {
    CHARRANGE selection = {0, 0};
    SendMessageA(view, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    if (selection.cpMin != selection.cpMax) SendMessageA(view, WM_COPY, 0, 0);
}

void SelectAll(HWND view) {
    CHARRANGE all = {0, -1};
    SendMessageA(view, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&all));
}

// The next record starts a new line, whatever the cleared text ended with.
void Clear(ConsoleWindow& console) {
    ClearView(console.viewQueue, ViewTargetOf(console));
    console.render.atLineStart = true;
}

}  // namespace

void ConsoleWindow::OnCommand(UINT id, LPARAM, UINT) {
    switch (id) {
    case IDM_START_LOG: Toggle(options.loggingOn); break;
    case IDM_SAVE_LOG: SaveLogCommand(*this); break;
    case IDM_LOG_TO_FILE: LogToFileCommand(*this); break;
    case IDM_EXIT: DestroyWindow(mainWindow); break;
    case IDM_SELECT_ALL: SelectAll(viewWindow); break;
    case IDM_COPY: CopySelection(viewWindow); break;
    case IDM_CLEAR: Clear(*this); break;
    case IDM_FIND: OpenFindDialog(find, viewWindow, mainWindow); break;
    case IDM_FIND_PREVIOUS: RepeatFind(find, viewWindow, false); break;
    case IDM_FIND_NEXT: RepeatFind(find, viewWindow, true); break;
    case IDM_SHOW_FILE_NAME: Toggle(options.showFileName); break;
    case IDM_SHOW_PROCESS_ID: Toggle(options.showProcessId); break;
    case IDM_SHOW_DATE: Toggle(options.showDate); break;
    case IDM_SHOW_TIME: Toggle(options.showTime); break;
    case IDM_TRANSPARENT: TransparentCommand(options, mainWindow); break;
    case IDM_ADD_LINE_END: Toggle(options.addLineEnd); break;
    case IDM_WRAP: WrapCommand(options, viewWindow); break;
    case IDM_LEFT_SPACE: LeftSpaceCommand(options, viewWindow); break;
    case IDM_TOP_MOST: TopMostCommand(options, mainWindow); break;
    case IDM_FONT: FontCommand(*this); break;
    case IDM_BACK_COLOR: BackColorCommand(*this); break;
    case IDM_TRANSPARENCY: TransparencyCommand(*this); break;
    case IDM_HELP: HelpCommand(mainWindow); break;
    case IDM_ABOUT: AboutCommand(mainWindow); break;
    default: break;
    }
}

}  // namespace murlo
