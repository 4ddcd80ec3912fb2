// DebugMonitorControl: the capture thread as the user-interface thread owns
// it: the running thread, one told to stop whose end was not yet seen, the
// kill event, the stop counter and the queue through which the thread hands
// its records to the window; and its start and stop (Windows glue).
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>

#include "console/capture/capture_queue.h"

namespace murlo {

// Sent (without waiting) to the main window when captured records wait.
inline constexpr UINT kCapturedRecordsMessage = WM_APP + 0x4D;

// The capture queue's platform (capture_queue.h): a critical section, an
// auto-reset event on which the capture thread waits for room, and the
// notification sent to the window without waiting for it.
struct WindowHandOver {
    CRITICAL_SECTION lock;
    HANDLE roomEvent = nullptr;
    HWND window = nullptr;

    void Lock() { EnterCriticalSection(&lock); }
    void Unlock() { LeaveCriticalSection(&lock); }
    void WaitForRoom() { WaitForSingleObject(roomEvent, INFINITE); }
    void WakeForRoom() { SetEvent(roomEvent); }
    void NotifyWindow() { SendNotifyMessageA(window, kCapturedRecordsMessage, 0, 0); }
};

using CaptureQueue = HandOverQueue<WindowHandOver>;

// The user-interface thread owns this record. A capture thread reads
// killEvent and stopCount (an atomic), and uses queue, which keeps its
// own lock (capture_queue.h); it touches nothing else of the console.
struct DebugMonitorControl {
    HANDLE thread = nullptr;         // the running capture thread
    HANDLE stoppedThread = nullptr;  // told to stop, end not yet seen
    HANDLE killEvent = nullptr;      // "MURLO_KILL_MONITOR", auto-reset, made on the first start
    // Counts the stops. The kill event is auto-reset and shared by every
    // thread, so a stop aimed at a thread that no longer waits (it ended
    // after a failure) leaves the signal pending; a later thread takes such
    // a signal as its own only when a stop happened after its start.
    std::atomic<uint32_t> stopCount{0};
    // Made on the first start and kept for the life of the process, with
    // its store: a thread told to stop may still be pushing records.
    CaptureQueue queue;
    bool queueMade = false;
    char queueStore[kCaptureQueueBytes];
};

// Starts the capture thread unless one runs. A thread told to stop may
// still hold the channel: it is waited for first, up to 2 s, while the
// records sent meanwhile are handled; a close handled in that wait (it
// sets windowDestroyed) leaves the capture stopped for good.
bool StartDebugMonitor(DebugMonitorControl& capture, const bool& windowDestroyed);
// Tells the thread to stop around a dialog; StartDebugMonitor starts anew.
void StopDebugMonitorForDialog(DebugMonitorControl& capture);
// Tells the thread to stop at shutdown; the records it queues from now on
// are dropped.
void StopDebugMonitor(DebugMonitorControl& capture);

// The window's side of the queue: a notification came; then the oldest
// record, moved into out (kMaxCapturedRecord bytes), or 0 when none waits.
void BeginTakingCapturedRecords(DebugMonitorControl& capture);
size_t TakeCapturedRecord(DebugMonitorControl& capture, char* out, size_t room);

// The capture thread; its parameter is made by StartDebugMonitor.
DWORD WINAPI DebugMonitor(LPVOID parameter);

}  // namespace murlo
