// Helpers of the command tests: real key presses on the X display, the
// view's text and selection, the clipboard, and a console started in a
// Japanese locale.
#pragma once

#include <windows.h>

#include <string>

#include "wine_support.h"

namespace murlo_test {

// Types keys (xdotool key syntax: "ctrl+s", "shift+F3", "Delete") on the X
// display into the window that has the focus. The key press is not waited
// for: poll for its effect.
bool TypeKeys(const char* keys);
// Makes window the foreground window and waits until it is.
bool BringToFront(HWND window);

// The view's text through WM_SETTEXT (the view is read-only to the user).
void SetViewText(HWND view, const std::string& text);
// The view's selection, from the packed answer of EM_GETSEL.
struct Selection {
    int start;
    int end;
};
Selection GetViewSelection(HWND view);
void SetViewSelection(HWND view, int start, int end);

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

}  // namespace murlo_test
