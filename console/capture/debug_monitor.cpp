// The DebugMonitor thread: the reader of the system debug-output channel,
// which hands every string to the main window as a LogRecord, through the
// capture queue; and the user-interface thread's start and stop of it.
#include "console/capture/debug_monitor.h"

#include <cstring>

#include "console/capture/debug_framing.h"
#include "console/console_window.h"
#include "console/resources/resource.h"
#include "console/shell/constants.h"
#include "console/shell/counters.h"

namespace murlo {

static_assert(sizeof(SYSTEMTIME) == sizeof(RecordTime));

namespace {

// How long a restart waits for the thread it stopped before it starts anew.
constexpr DWORD kRestartWaitMs = 2000;

// What a capture thread is started with: its window's control record,
// which lives as long as the process, and the stop count at its start.
struct MonitorStart {
    DebugMonitorControl* control;
    uint32_t startedAt;
};

// The channel's kernel objects as the thread holds them; released in
// reverse order of acquisition on every path.
struct DebugChannel {
    HANDLE bufferReady = nullptr;
    HANDLE dataReady = nullptr;
    HANDLE section = nullptr;
    const void* view = nullptr;

    DebugChannel() = default;
    DebugChannel(const DebugChannel&) = delete;
    DebugChannel& operator=(const DebugChannel&) = delete;
    ~DebugChannel() { Release(); }

    void Release() {
        if (view) UnmapViewOfFile(view);
        if (section) CloseHandle(section);
        if (dataReady) CloseHandle(dataReady);
        if (bufferReady) CloseHandle(bufferReady);
        view = nullptr;
        section = dataReady = bufferReady = nullptr;
    }
};

// Obtains the channel's objects; returns 0, or the id of the message to show.
UINT OpenDebugChannel(DebugChannel& channel) {
    channel.bufferReady = CreateEventA(nullptr, FALSE, FALSE, kDebugBufferReadyEvent);
    if (!channel.bufferReady) return IDS_ERROR_OCCURED;
    // Another reader of the channel is running: leave the channel to it.
    if (GetLastError() == ERROR_ALREADY_EXISTS) return IDS_EXIST_DEBUG_MONITOR;
    channel.dataReady = CreateEventA(nullptr, FALSE, FALSE, kDebugDataReadyEvent);
    if (!channel.dataReady) return IDS_ERROR_OCCURED;
    channel.section = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                         kDebugSectionSize, kDebugBufferSection);
    if (!channel.section) return IDS_CANT_CREATE_SHARED_MEMORY;
    // The whole section is mapped, so that every byte the reader may look
    // at lies inside the view.
    channel.view = MapViewOfFile(channel.section, FILE_MAP_READ, 0, 0, kDebugSectionSize);
    if (!channel.view) return IDS_CANT_CREATE_SHARED_MEMORY;
    return 0;
}

char* HeapResize(char* block, uint32_t newSize, void*) {
    HANDLE heap = GetProcessHeap();
    void* resized = block ? HeapReAlloc(heap, HEAP_ZERO_MEMORY, block, newSize)
                          : HeapAlloc(heap, HEAP_ZERO_MEMORY, newSize);
    return static_cast<char*>(resized);
}

void LocalTimeNow(RecordTime* time, void*) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    std::memcpy(time, &now, sizeof now);
}

// The record is copied into the queue, and the window told when it was
// not told already; the thread goes on to the next string at once, or
// waits while the queue is full. The window renders it on its own thread.
void HandToWindow(const void* record, uint32_t size, void* context) {
    MURLO_TIMED(CaptureHandOver);
    static_cast<CaptureQueue*>(context)->Push(record, size);
}

// The queue, made once: false when its event cannot be made.
bool MakeCaptureQueue(DebugMonitorControl& control) {
    if (control.queueMade) return true;
    WindowHandOver& platform = control.queue.platform;
    platform.roomEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (!platform.roomEvent) return false;
    InitializeCriticalSection(&platform.lock);
    platform.window = g_console.consoleTarget;
    control.queue.ring.bytes = control.queueStore;
    control.queue.ring.capacity = sizeof control.queueStore;
    control.queueMade = true;
    return true;
}

// Waits up to timeoutMs for thread to end while handling the messages
// sent to this thread meanwhile (among them the notification that
// captured records wait: a stopping monitor may be waiting for room in
// the queue). Posted messages stay queued. Returns whether it ended.
bool WaitServingSentMessages(HANDLE thread, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        MSG message;
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        DWORD elapsed = GetTickCount() - start;
        DWORD left = elapsed < timeoutMs ? timeoutMs - elapsed : 0;
        DWORD result = MsgWaitForMultipleObjects(1, &thread, FALSE, left, QS_SENDMESSAGE);
        if (result == WAIT_OBJECT_0) return true;
        if (result != WAIT_OBJECT_0 + 1) return false;  // time-out or failure
    }
}

// Keeps the handle of a thread told to stop; an older one is closed, which
// only gives up waiting for it (the thread runs on to its end).
void KeepStoppedThread(DebugMonitorControl& control, HANDLE thread) {
    if (control.stoppedThread) CloseHandle(control.stoppedThread);
    control.stoppedThread = thread;
}

// Tells the running thread and every older one to stop.
void SignalStop(DebugMonitorControl& control) {
    control.stopCount.fetch_add(1);
    SetEvent(control.killEvent);
}

}  // namespace

// parameter: a MonitorStart on the process heap, freed here.
DWORD WINAPI DebugMonitor(LPVOID parameter) {
    const MonitorStart start = *static_cast<const MonitorStart*>(parameter);
    HeapFree(GetProcessHeap(), 0, parameter);
    DebugMonitorControl& control = *start.control;
    DebugChannel channel;
    if (UINT failure = OpenDebugChannel(channel)) {
        channel.Release();
        ShowResourceMessage(g_console.consoleTarget, failure, MB_ICONERROR);
        return 0;
    }

    DebugFraming framing;
    DebugRecordBuffer buffer;
    char copy[kDebugSectionSize];  // a string taken out of the channel
    DebugMonitorIo io = {HeapResize, LocalTimeNow, HandToWindow, &control.queue};
    SetEvent(channel.bufferReady);
    HANDLE waits[2] = {channel.dataReady, control.killEvent};
    for (;;) {
        // The data event comes first, so a busy channel is drained before
        // the kill signal is seen; a failed wait (no kill event) ends the thread.
        DWORD woken = WaitForMultipleObjects(2, waits, FALSE, INFINITE);
        if (woken == WAIT_OBJECT_0 + 1 && control.stopCount.load() == start.startedAt) continue;  // not ours
        if (woken != WAIT_OBJECT_0) break;
        MURLO_TIMED(CaptureCycle);
        DebugString string = ReadDebugSection(channel.view, kDebugSectionSize);
        // When the record buffer holds the string already (nothing can fail
        // any more), the string is copied out and the next writer released
        // at once: it fills the channel while this string is being queued.
        bool released = false;
        if (buffer.data != nullptr && string.length < buffer.capacity - kRecordHeaderSize &&
            string.length < sizeof copy) {
            std::memcpy(copy, string.text, string.length);
            string.text = copy;
            SetEvent(channel.bufferReady);
            released = true;
        }
        if (TakeDebugString(string, framing, buffer, io) == TakeResult::OutOfMemory) {
            // The pending writer is not released; it gives up on its own.
            channel.Release();
            if (buffer.data) HeapFree(GetProcessHeap(), 0, buffer.data);
            ShowResourceMessage(g_console.consoleTarget, IDS_NOT_ENOUGH_MEMORY,
                                MB_ICONERROR | MB_SYSTEMMODAL);
            return 0;
        }
        // Only now may the next writer overwrite the buffer.
        if (!released) SetEvent(channel.bufferReady);
    }
    if (buffer.data) HeapFree(GetProcessHeap(), 0, buffer.data);
    return 0;
}

bool StartDebugMonitor(DebugMonitorControl& capture, const bool& windowDestroyed) {
    if (!capture.killEvent) capture.killEvent = CreateEventA(nullptr, FALSE, FALSE, kKillMonitorEvent);
    if (capture.thread) return true;  // one is running already
    if (!MakeCaptureQueue(capture)) return false;

    // The stopped thread may still hold the channel (a busy channel keeps
    // it taking strings); a new one would find it taken and give up.
    if (capture.stoppedThread && WaitServingSentMessages(capture.stoppedThread, kRestartWaitMs)) {
        CloseHandle(capture.stoppedThread);
        capture.stoppedThread = nullptr;
    }
    // A close sent by another program meanwhile has stopped capture for good.
    if (windowDestroyed) return false;

    auto* start = static_cast<MonitorStart*>(HeapAlloc(GetProcessHeap(), 0, sizeof(MonitorStart)));
    if (!start) return false;
    *start = MonitorStart{&capture, capture.stopCount.load()};
    DWORD threadId = 0;
    capture.thread = CreateThread(nullptr, 0, DebugMonitor, start, 0, &threadId);
    if (!capture.thread) HeapFree(GetProcessHeap(), 0, start);
    return capture.thread != nullptr;
}

void StopDebugMonitorForDialog(DebugMonitorControl& capture) {
    if (!capture.thread) return;
    if (capture.killEvent) SignalStop(capture);
    KeepStoppedThread(capture, capture.thread);
    capture.thread = nullptr;
}

void StopDebugMonitor(DebugMonitorControl& capture) {
    // What the window did not take is dropped; a thread waiting for room goes on.
    if (capture.queueMade) capture.queue.Close();
    if (capture.thread && capture.killEvent) {
        SignalStop(capture);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    // Closing the handles does not stop the threads; they end on the signal
    // or with the process.
    if (capture.thread) CloseHandle(capture.thread);
    capture.thread = nullptr;
    KeepStoppedThread(capture, nullptr);
}

void BeginTakingCapturedRecords(DebugMonitorControl& capture) {
    if (capture.queueMade) capture.queue.BeginTaking();
}

size_t TakeCapturedRecord(DebugMonitorControl& capture, char* out, size_t room) {
    return capture.queueMade ? capture.queue.Take(out, room) : 0;
}

}  // namespace murlo
