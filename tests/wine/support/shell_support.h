// Shared pieces of the console shell's integration tests: a fixture that
// starts from a clean settings key and Wine version, processes that are
// ended when a test fails, and message-box handling.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

#include "console/resources/resource.h"
#include "support/wine_support.h"

namespace murlo::test {


// Stores a value of any type and size under the settings key.
inline void SetValueRaw(const char* name, DWORD type, const void* data, DWORD size) {
    HKEY key;
    if (RegCreateKeyA(HKEY_CURRENT_USER, "Software\\OrlemApp\\Murlo", &key) != ERROR_SUCCESS) return;
    RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
}

inline OwnedProcess* StartConsoleProcess(OwnedProcess& owned, const std::string& args,
                                         WORD show = SW_SHOWNORMAL) {
    owned.process = StartProcess(BinPath(kProgram), args, show);
    return &owned;
}

class ShellTest : public FreshConsoleTest {};

// Waits for a message box captioned "Murlo" of process id (0: any process).
inline HWND WaitForMurloBox(DWORD processId, DWORD timeoutMs = 10000) {
    HWND box = nullptr;
    WaitFor([&] { return (box = FindDialog("Murlo", processId)) != nullptr; }, timeoutMs);
    return box;
}

inline LONG_PTR ExStyleOf(HWND window) { return GetWindowLongPtrA(window, GWL_EXSTYLE); }

}  // namespace murlo::test
