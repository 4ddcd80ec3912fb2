// The test side of the console probe (probe/console_probe.h): hooks the
// probe into a running console and asks it what only the console's process
// can read under Wine, where menus of another process cannot be read.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "probe/console_probe.h"

namespace murlo::test {

struct ConsoleProbe {
    HMODULE library = nullptr;
    HHOOK hook = nullptr;
    HANDLE mapping = nullptr;
    murlo_probe::Result* result = nullptr;
    HWND console = nullptr;

    ConsoleProbe() = default;
    ConsoleProbe(const ConsoleProbe&) = delete;
    ConsoleProbe& operator=(const ConsoleProbe&) = delete;
    ~ConsoleProbe() { Detach(); }

    // Hooks the probe into the thread of console's main window.
    bool Attach(HWND consoleWindow);
    void Detach();
    // Sends a request and returns whether the probe answered it.
    bool Ask(WPARAM request, LPARAM argument = 0);

    // The items of the main menu's popup at position, after WM_INITMENUPOPUP;
    // title receives the popup's text.
    std::vector<murlo_probe::MenuItem> MainMenu(int position, std::string* title = nullptr);
    // The items of the popup menu being tracked (which is then closed).
    std::vector<murlo_probe::MenuItem> TrackedMenu();
    // Makes every writable MapViewOfFile of the console fail from now on,
    // for the rest of the console's life.
    bool FailWritableViews();
};

// State bits (MF_CHECKED, MF_GRAYED ...) of item id; ~0u when it is absent.
UINT ItemState(const std::vector<murlo_probe::MenuItem>& items, UINT id);
inline bool IsChecked(UINT state) { return state != ~0u && (state & MF_CHECKED) != 0; }
inline bool IsGrayed(UINT state) { return state != ~0u && (state & (MF_GRAYED | MF_DISABLED)) != 0; }

}  // namespace murlo::test
