#include "commands_support.h"

#include <vector>

namespace murlo::test {

namespace {

// Starts a Unix program through Wine. Its process handle tells nothing
// about the program (Wine does not follow Unix processes), so it is closed.
bool StartUnixCommand(const std::string& commandLine) {
    std::vector<char> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return false;
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return true;
}

std::string UnixPath(const std::string& windowsPath) {
    std::string path = windowsPath;
    if (path.size() >= 2 && (path[0] == 'Z' || path[0] == 'z') && path[1] == ':') path.erase(0, 2);
    for (char& c : path)
        if (c == '\\') c = '/';
    return path;
}

}  // namespace

bool TypeKeys(const char* keys) { return StartUnixCommand(std::string("/usr/bin/xdotool key ") + keys); }

bool BringToFront(HWND window) {
    SetForegroundWindow(window);
    return WaitFor([&] { return GetForegroundWindow() == window; });
}

void SetViewText(HWND view, const std::string& text) {
    SendMessageA(view, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

std::string ClipboardText() {
    std::string text;
    if (!OpenClipboard(nullptr)) return text;
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (auto* bytes = static_cast<const char*>(GlobalLock(data))) {
            text.assign(bytes, strnlen(bytes, GlobalSize(data)));
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

void EmptyTheClipboard() {
    if (!OpenClipboard(nullptr)) return;
    EmptyClipboard();
    CloseClipboard();
}

bool StartJapaneseConsole(Console& console, const std::string& folder) {
    const char* loader = sizeof(void*) == 8 ? "/usr/lib/wine/wine64" : "/usr/lib/wine/wine";
    std::string program = folder.empty() ? BinPath("MURLO.EXE") : folder + "/MURLO.EXE";
    if (!StartUnixCommand(std::string("/usr/bin/env LC_ALL=ja_JP.UTF-8 ") + loader + " " + UnixPath(program)))
        return false;
    if (!WaitFor([] { return FindConsoleWindow() != nullptr; }, 20000)) return false;
    console.window = FindConsoleWindow();
    GetWindowThreadProcessId(console.window, &console.process.id);
    console.process.handle = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_INFORMATION, FALSE,
                                         console.process.id);
    return console.process.handle != nullptr;
}

HWND FindPopupMenuWindow() { return FindWindowA("#32768", nullptr); }

}  // namespace murlo::test
