// Find: the modeless find dialog, its notifications, and the repeated
// search forwards and backwards without it.
#include <windows.h>
#include <commdlg.h>
#include <dlgs.h>
#include <richedit.h>

#include <cstring>

#include "common/ansi_lead_byte.h"
#include "console/commands/find_text.h"
#include "console/shell/console_window.h"

namespace murlo {

#ifndef _WIN64
static_assert(sizeof(FINDREPLACEA) == 40);
#endif

namespace {

// Room for 255 characters of the view in any ANSI code page, with the
// terminator; the control is not told the size, so it is generous.
constexpr size_t kSelectionBufferSize = 1024;
constexpr int kFindWhatControl = edt1;  // the find dialog's text box
constexpr DWORD kFindChoices = FR_MATCHCASE | FR_WHOLEWORD;

CHARRANGE ViewSelection(HWND view) {
    CHARRANGE selection = {0, 0};
    SendMessageA(view, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    return selection;
}

}  // namespace

// The selection's first 255 characters become the search text, cut in bytes
// so that they and the terminator fit findText without half a character.
void ConsoleWindow::CopySelectionToFindText() {
    CHARRANGE selection = ViewSelection(viewWindow);
    if (selection.cpMin == selection.cpMax) return;
    TextRange source = FindTextSource(TextRange{selection.cpMin, selection.cpMax});
    char text[kSelectionBufferSize] = {};
    TEXTRANGEA range = {{source.min, source.max}, text};
    SendMessageA(viewWindow, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range));
    // The control may fill the buffer without a terminator when it cuts.
    CopyFindText(text, strnlen(text, sizeof text - 1), findText, sizeof findText, IsAnsiLeadByte);
}

void ConsoleWindow::OpenFindDialog() {
    CopySelectionToFindText();
    if (findDialog) {
        // One dialog at a time: the open one takes the new text and the focus.
        SetDlgItemTextA(findDialog, kFindWhatControl, findText);
        SetActiveWindow(findDialog);
        return;
    }
    findRequest = FINDREPLACEA{};
    findRequest.lStructSize = sizeof findRequest;
    findRequest.hwndOwner = mainWindow;
    findRequest.Flags = g_console.platform.richEdit2 ? FR_DOWN : FR_DOWN | FR_HIDEUPDOWN;
    findRequest.lpstrFindWhat = findText;
    findRequest.wFindWhatLen = sizeof findText;
    findDialog = FindTextA(&findRequest);
}

// The choices of each search from the dialog are kept: some find dialogs
// (Wine's) clear them in the record while they close.
void ConsoleWindow::OnFindReplace() {
    if (!(findRequest.Flags & FR_DIALOGTERM)) findChoices = findRequest.Flags & kFindChoices;
    FindInView();
}

void ConsoleWindow::FindInView() {
    if (findRequest.Flags & FR_DIALOGTERM) {
        findDialog = nullptr;
        return;
    }
    CHARRANGE selection = ViewSelection(viewWindow);
    TextRange range = SearchRange(TextRange{selection.cpMin, selection.cpMax}, (findRequest.Flags & FR_DOWN) != 0);
    FINDTEXTEXA find = {};
    find.chrg = CHARRANGE{range.min, range.max};
    find.lpstrText = findText;
    // The control takes direction, match case and whole word from the flags.
    LRESULT found = SendMessageA(viewWindow, EM_FINDTEXTEX, findRequest.Flags, reinterpret_cast<LPARAM>(&find));
    if (found >= 0) {
        SendMessageA(viewWindow, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&find.chrgText));
        return;
    }
    MessageBeep(MB_ICONASTERISK);
    if (findDialog) SetFocus(findDialog);
}

// With the dialog closed, its last notification left FR_DIALOGTERM set; it
// is cleared for the one step and set again. Match case and whole word are
// the dialog's last choices.
void ConsoleWindow::RepeatFind(bool down) {
    if (!findDialog) {
        findRequest.Flags &= ~DWORD(FR_DIALOGTERM);
        findRequest.Flags = (findRequest.Flags & ~kFindChoices) | findChoices;
    }
    if (down)
        findRequest.Flags |= FR_DOWN;
    else
        findRequest.Flags &= ~DWORD(FR_DOWN);
    FindInView();
    if (!findDialog) findRequest.Flags |= FR_DIALOGTERM;
}

void ConsoleWindow::FindPrevious() { RepeatFind(false); }
void ConsoleWindow::FindNext() { RepeatFind(true); }

}  // namespace murlo
