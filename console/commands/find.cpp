// Find: the modeless find dialog, its notifications, and the repeated
// search forwards and backwards without it.
#include <windows.h>
#include <commdlg.h>
#include <dlgs.h>
#include <richedit.h>

#include <cstring>

#include "common/ansi_lead_byte.h"
#include "console/commands/find_text.h"
#include "console/console_window.h"

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

// The selection's first 255 characters become the search text, cut in bytes
// so that they and the terminator fit the find text without half a character.
void CopySelectionToFindText(FindState& find, HWND view) {
    CHARRANGE selection = ViewSelection(view);
    if (selection.cpMin == selection.cpMax) return;
    TextRange source = FindTextSource(TextRange{selection.cpMin, selection.cpMax});
    char text[kSelectionBufferSize] = {};
    TEXTRANGEA range = {{source.min, source.max}, text};
    SendMessageA(view, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range));
    // The control may fill the buffer without a terminator when it cuts.
    CopyFindText(text, strnlen(text, sizeof text - 1), find.text, sizeof find.text, IsAnsiLeadByte);
}

void FindInView(FindState& find, HWND view) {
    if (find.request.Flags & FR_DIALOGTERM) {
        find.dialog = nullptr;
        return;
    }
    CHARRANGE selection = ViewSelection(view);
    TextRange range = SearchRange(TextRange{selection.cpMin, selection.cpMax}, (find.request.Flags & FR_DOWN) != 0);
    FINDTEXTEXA search = {};
    search.chrg = CHARRANGE{range.min, range.max};
    search.lpstrText = find.text;
    // The control takes direction, match case and whole word from the flags.
    LRESULT found = SendMessageA(view, EM_FINDTEXTEX, find.request.Flags, reinterpret_cast<LPARAM>(&search));
    if (found >= 0) {
        SendMessageA(view, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&search.chrgText));
        return;
    }
    MessageBeep(MB_ICONASTERISK);
    if (find.dialog) SetFocus(find.dialog);
}

}  // namespace

void OpenFindDialog(FindState& find, HWND view, HWND owner) {
    CopySelectionToFindText(find, view);
    if (find.dialog) {
        // One dialog at a time: the open one takes the new text and the focus.
        SetDlgItemTextA(find.dialog, kFindWhatControl, find.text);
        SetActiveWindow(find.dialog);
        return;
    }
    find.request = FINDREPLACEA{};
    find.request.lStructSize = sizeof find.request;
    find.request.hwndOwner = owner;
    find.request.Flags = g_console.platform.richEdit2 ? FR_DOWN : FR_DOWN | FR_HIDEUPDOWN;
    find.request.lpstrFindWhat = find.text;
    find.request.wFindWhatLen = sizeof find.text;
    find.dialog = FindTextA(&find.request);
}

// The choices of each search from the dialog are kept: some find dialogs
// (Wine's) clear them in the record while they close.
void ConsoleWindow::OnFindReplace() {
    if (!(find.request.Flags & FR_DIALOGTERM)) find.choices = find.request.Flags & kFindChoices;
    FindInView(find, viewWindow);
}

// With the dialog closed, its last notification left FR_DIALOGTERM set; it
// is cleared for the one step and set again. Match case and whole word are
// the dialog's last choices.
void RepeatFind(FindState& find, HWND view, bool down) {
    if (!find.dialog) {
        find.request.Flags &= ~DWORD(FR_DIALOGTERM);
        find.request.Flags = (find.request.Flags & ~kFindChoices) | find.choices;
    }
    if (down)
        find.request.Flags |= FR_DOWN;
    else
        find.request.Flags &= ~DWORD(FR_DOWN);
    FindInView(find, view);
    if (!find.dialog) find.request.Flags |= FR_DIALOGTERM;
}

}  // namespace murlo
