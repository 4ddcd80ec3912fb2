// DebugMonitorControl: the capture thread as the user-interface thread owns
// it: the running thread, one told to stop whose end was not yet seen, the
// kill event and the stop counter (Windows glue).
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

}  // namespace murlo
