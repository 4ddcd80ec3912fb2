// Shared pieces of the console shell's integration tests: a fixture that
// starts from a clean settings key and Wine version, processes that are
// ended when a test fails, and message-box handling.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

#include "support/wine_support.h"

namespace murlo_shell_test {

using namespace murlo_test;

inline constexpr char kProgram[] = "MURLO.EXE";
inline constexpr int kViewId = 14;
inline constexpr int kToolbarId = 11;
inline constexpr int kStatusId = 12;

// Stores a value of any type and size under the settings key.
inline void SetValueRaw(const char* name, DWORD type, const void* data, DWORD size) {
    HKEY key;
    if (RegCreateKeyA(HKEY_CURRENT_USER, "Software\\OrlemApp\\Murlo", &key) != ERROR_SUCCESS) return;
    RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
}

// A second console process started by a test; ended by force if still
// running when the test leaves.
struct OwnedProcess {
    Process process;
    OwnedProcess() = default;
    explicit OwnedProcess(Process p) : process(p) {}
    OwnedProcess(const OwnedProcess&) = delete;
    OwnedProcess& operator=(const OwnedProcess&) = delete;
    ~OwnedProcess() {
        if (process.handle && WaitForSingleObject(process.handle, 0) != WAIT_OBJECT_0) {
            TerminateProcess(process.handle, 99);
            WaitForSingleObject(process.handle, 5000);
        }
        CloseProcess(process);
    }
    bool Running() const { return process.handle && WaitForSingleObject(process.handle, 0) != WAIT_OBJECT_0; }
};

inline OwnedProcess* StartConsoleProcess(OwnedProcess& owned, const std::string& args,
                                         WORD show = SW_SHOWNORMAL) {
    owned.process = StartProcess(BinPath(kProgram), args, show);
    return &owned;
}

// Starts a console and waits until it is shown: the window exists (and can
// be found) while WM_CREATE still runs, so readiness is its visibility,
// which the start-up sets only after creation is complete.
inline bool StartReady(Console& console, const std::string& args = "", WORD show = SW_SHOWNORMAL) {
    if (!console.Start(args, show)) return false;
    return WaitFor([&] { return IsWindowVisible(console.window) != FALSE; });
}

// Every test starts with no settings key, the default Wine version for the
// console and no console running, and leaves the same way.
class ShellTest : public ::testing::Test {
protected:
    void SetUp() override {
        DeleteSettingsKey();
        SetWineVersionFor(kProgram, "");
        ASSERT_TRUE(WaitFor([] { return FindConsoleWindow() == nullptr; }, 5000))
            << "a console from elsewhere is still running";
    }
    void TearDown() override {
        SetWineVersionFor(kProgram, "");
        DeleteSettingsKey();
    }
};

// Waits for a message box captioned "Murlo" of process id (0: any process).
inline HWND WaitForMurloBox(DWORD processId, DWORD timeoutMs = 10000) {
    HWND box = nullptr;
    WaitFor([&] { return (box = FindDialog("Murlo", processId)) != nullptr; }, timeoutMs);
    return box;
}

inline LONG_PTR ExStyleOf(HWND window) { return GetWindowLongPtrA(window, GWL_EXSTYLE); }

}  // namespace murlo_shell_test
