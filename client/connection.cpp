// Finding or starting the console at process attach.
#include <windows.h>

#include <cstring>

#include "client/client_constants.h"
#include "client/client_state.h"

namespace murlo {

ClientState g_client;

namespace {

// Reads "MurloPath" into path; leaves it empty when the key or value is
// missing, is not a string, or does not fit with its terminator.
void ReadConsolePath(char (&path)[kConsolePathSize]) {
    path[0] = '\0';
    HKEY key = nullptr;
    if (RegOpenKeyA(HKEY_CURRENT_USER, kSettingsKey, &key) != ERROR_SUCCESS) return;
    DWORD type = 0;
    DWORD size = sizeof path;
    LONG result = RegQueryValueExA(key, kValueMurloPath, nullptr, &type, reinterpret_cast<BYTE*>(path), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || type != REG_SZ || size == 0) {
        path[0] = '\0';
        return;
    }
    // A stored string need not carry its terminator; one that fills the
    // buffer without it does not fit.
    if (path[size - 1] != '\0') {
        if (size >= sizeof path) {
            path[0] = '\0';
            return;
        }
        path[size] = '\0';
    }
}

// Polls for the console's window after starting it: at most 30000 ms from
// the start of the wait, measured as an unsigned tick difference so that a
// wrap of the tick counter does no harm.
HWND WaitForConsoleWindow() {
    Sleep(kStartDelayMs);
    DWORD start = GetTickCount();
    for (;;) {
        HWND found = FindWindowA(kConsoleClassName, nullptr);
        if (GetTickCount() - start > kStartTimeoutMs) return nullptr;
        Sleep(kStartPollMs);
        if (found) return found;
    }
}

}  // namespace

bool ConnectConsole() {
    g_client.targetWindow = nullptr;
    g_client.pauseMessage = RegisterWindowMessageA(kPauseMessageName);
    HWND running = FindWindowA(kConsoleClassName, nullptr);
    if (running) {
        g_client.targetWindow = running;
        SendMessageA(running, kConsolePingMessage, 0, 0);
        return true;
    }
    char path[kConsolePathSize];
    ReadConsolePath(path);
    const char* commandLine = path[0] ? path : kDefaultConsoleProgram;
    if (WinExec(commandLine, SW_SHOWNOACTIVATE) < 32) return false;
    g_client.targetWindow = WaitForConsoleWindow();
    return g_client.targetWindow != nullptr;
}

bool ConsoleReachable() {
    HWND target = g_client.targetWindow;
    return target != nullptr && IsWindow(target);
}

}  // namespace murlo
