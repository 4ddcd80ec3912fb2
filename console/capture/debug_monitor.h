// DebugMonitorControl: the capture thread as the user-interface thread owns
// it: the running thread, one told to stop whose end was not yet seen, the
// kill event and the stop counter; and its start and stop (Windows glue).
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>

namespace murlo {

struct DebugMonitorControl {
    HANDLE thread = nullptr;         // the running capture thread
    HANDLE stoppedThread = nullptr;  // told to stop, end not yet seen
    HANDLE killEvent = nullptr;      // "MURLO_KILL_MONITOR", auto-reset, made on the first start
    // Counts the stops. The kill event is auto-reset and shared by every
    // thread, so a stop aimed at a thread that no longer waits (it ended
    // after a failure) leaves the signal pending; a later thread takes such
    // a signal as its own only when a stop happened after its start.
    std::atomic<uint32_t> stopCount{0};
};

// Starts the capture thread unless one runs. A thread told to stop may
// still hold the channel: it is waited for first, up to 2 s, while the
// records sent meanwhile are handled; a close handled in that wait (it
// sets windowDestroyed) leaves the capture stopped for good.
bool StartDebugMonitor(DebugMonitorControl& capture, const bool& windowDestroyed);
// Tells the thread to stop around a dialog; StartDebugMonitor starts anew.
void StopDebugMonitorForDialog(DebugMonitorControl& capture);
// Tells the thread to stop at shutdown and handles the records it may
// still be sending.
void StopDebugMonitor(DebugMonitorControl& capture);

// The capture thread; its parameter is made by StartDebugMonitor.
DWORD WINAPI DebugMonitor(LPVOID parameter);

}  // namespace murlo
