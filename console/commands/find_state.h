// FindState: the find dialog and the search it remembers, and the searches
// in the view (Windows glue).
#pragma once

#include <windows.h>
#include <commdlg.h>

namespace murlo {

struct FindState {
    HWND dialog = nullptr;     // the modeless find dialog while it is open
    char text[256] = {};       // the text searched for
    FINDREPLACEA request = {};
    DWORD choices = 0;         // match case and whole word of the last search from the dialog
};

// Opens the modeless find dialog, owned by owner, or brings the open one
// forward; the view's selection becomes the text searched for.
void OpenFindDialog(FindState& find, HWND view, HWND owner);
// Finds the text again in the view, forwards (down) or backwards.
void RepeatFind(FindState& find, HWND view, bool down);

}  // namespace murlo
