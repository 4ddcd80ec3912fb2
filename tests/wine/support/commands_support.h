// Helpers of the command tests: a fixture with a console and its probe,
// real key presses on the X display, the view's text and selection, the
// clipboard, and a console started in a Japanese locale.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "console/resources/resource.h"
#include "support/console_probe_client.h"
#include "support/wine_support.h"

namespace murlo::test {

// A test with a console of its own, started by Start, and the probe that
// reads its menus; both are gone when the test leaves.
class CommandsTest : public ::testing::Test {
protected:
    void SetUp() override { DeleteSettingsKey(); }
    void TearDown() override {
        probe.Detach();
        console.Close();
        SetWineVersionFor(kProgram, "");
    }
    // Starts the console as the given Windows version ("": Wine's own) and
    // waits until it is shown: the window is found before its creation
    // message has built the view.
    void Start(const char* version = "win7") {
        SetWineVersionFor(kProgram, version);
        ASSERT_TRUE(console.Start());
        ASSERT_TRUE(WaitFor([&] { return console.View() != nullptr && IsWindowVisible(console.window); }));
    }
    void Command(UINT id) { SendMessageA(console.window, WM_COMMAND, id, 0); }
    // Logging off: records from the debug channel would change the view's text.
    void StopLogging() { Command(IDM_START_LOG); }

    Console console;
    ConsoleProbe probe;
};

// Types keys (xdotool key syntax: "ctrl+s", "shift+F3", "Delete") on the X
// display into the window that has the focus. The key press is not waited
// for: poll for its effect.
bool TypeKeys(const char* keys);
// Makes window the foreground window and waits until it is.
bool BringToFront(HWND window);

// The view's text through WM_SETTEXT (the view is read-only to the user).
void SetViewText(HWND view, const std::string& text);

// CF_TEXT on the clipboard; empty when there is none.
std::string ClipboardText();
void EmptyTheClipboard();

// Starts MURLO.EXE (from folder, the build's bin folder when empty) in a
// Wine process whose locale is Japanese, and fills console from the window
// it creates. Wine takes the user's default language from LC_ALL of the
// Unix process, so the console is started through env(1).
bool StartJapaneseConsole(Console& console, const std::string& folder = "");

// A top-level window of class "#32768" (a popup menu being tracked).
HWND FindPopupMenuWindow();

}  // namespace murlo::test
