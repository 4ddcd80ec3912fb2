// FindState: the find dialog and the search it remembers (Windows glue).
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

}  // namespace murlo
