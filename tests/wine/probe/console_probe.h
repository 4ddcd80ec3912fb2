// The console probe: a small library that the integration tests hook into
// the console's user-interface thread, to read what only the console's own
// process can read under Wine (its menus, the status bar's text, the view's
// character format), and to make a platform call of the console fail. The test sends the console's main window the
// registered request message; the hook answers into a shared mapping.
#pragma once

#include <windows.h>
#include <richedit.h>

namespace murlo_probe {

inline constexpr char kRequestMessage[] = "MurloTestProbeRequest";
inline constexpr char kResultMapping[] = "MurloTestProbeResult";
inline constexpr char kHookName[] = "ProbeHook";
inline constexpr char kLibraryName[] = "console_probe.dll";

// Requests (wParam of the request message); lParam is the argument.
enum Request : WPARAM {
    kReadMainMenu = 1,     // lParam: popup position; sends WM_INITMENUPOPUP first
    kReadTrackedMenu = 2,  // the popup menu being tracked; closes it afterwards
    kReadStatus = 3,       // the status bar's mode and first part's text
    kReadCharFormat = 4,   // EM_GETCHARFORMAT of the view; lParam: SCF_ flags
    kSendFileOk = 5,       // sends CDN_FILEOK to a file dialog's hook; lParam: the hook's dialog
    kFailWritableViews = 6,  // from now on the console's MapViewOfFile fails for writable views
};

struct MenuItem {
    UINT id;      // command id, 0 for a separator
    UINT state;   // GetMenuState by position
    char text[96];
};

struct Result {
    LONG serial;  // counts the answers
    LONG count;   // menu items read; 1 when a platform call was made to fail
    MenuItem items[32];
    BOOL statusSimple;
    char text[256];  // the popup's title, or the status text
    CHARFORMATA format;
};

}  // namespace murlo_probe
