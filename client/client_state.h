// The client library's process-wide state and the Windows side of sending.
#pragma once

#include <windows.h>

#include "client/compose.h"

namespace murlo {

// Each process that loads the library has its own copy; all starts at zero.
struct ClientState {
    HWND targetWindow;             // the console found or started at load time, or none
    UINT pauseMessage;             // id of "MurloPauseMessage"
    CRITICAL_SECTION outputLock;   // re-entrant: serialises composing and sending
    LONG NestingDepth;             // enter/leave depth, changed only under outputLock
};

extern ClientState g_client;

// Finds the console, or starts it and waits for its window (at process
// attach). Sets targetWindow and pauseMessage; true when a console was found.
bool ConnectConsole();

// Holds outputLock for its scope.
struct OutputLockHold {
    OutputLockHold() { EnterCriticalSection(&g_client.outputLock); }
    ~OutputLockHold() { LeaveCriticalSection(&g_client.outputLock); }
    OutputLockHold(const OutputLockHold&) = delete;
    OutputLockHold& operator=(const OutputLockHold&) = delete;
};

// NestingDepth one up, or one down but not below 0; the caller holds outputLock.
void RaiseDepth();
void LowerDepth();

// True while targetWindow names a window.
bool ConsoleReachable();

// Starts the records of one text with this process's fields: process id,
// local time, NestingDepth, and the location of file and line.
void BeginConsoleText(TextComposer& composer, const char* file, int line);

}  // namespace murlo
