// WM_COPYDATA and the capture thread's records: render the payload, mirror
// it to the log file and hand it to the view. The one place where a payload
// crosses from room to room.
#include "console/console_window.h"
#include "console/resources/resource.h"
#include "console/shell/counters.h"
#include "console/shell/main_loop.h"
#include "console/view/render_record.h"

namespace murlo {

namespace {

// Grows the render buffer on the process heap, zero-filling the new bytes;
// on failure the old block stays valid.
char* ReallocateRenderBuffer(char* block, uint32_t, uint32_t newSize) {
    HANDLE heap = GetProcessHeap();
    void* grown = block != nullptr ? HeapReAlloc(heap, HEAP_ZERO_MEMORY, block, newSize)
                                   : HeapAlloc(heap, HEAP_ZERO_MEMORY, newSize);
    return static_cast<char*>(grown);
}

}  // namespace

// Only lpData and cbData are read: the payload is read in place, never
// past cbData bytes, and no pointer to it is kept.
void ConsoleWindow::HandleCopyData(const COPYDATASTRUCT* payload) {
    if (payload == nullptr) return;
    const void* data = payload->lpData;
    const size_t size = data != nullptr ? payload->cbData : 0;

    RenderResult result = RenderRecord(data, size, options, render, ReallocateRenderBuffer);
    if (result == RenderResult::OutOfMemory) {
        // Everything is consistent before the message box's own message
        // loop can hand this window the next payload.
        ShowResourceMessage(mainWindow, IDS_NOT_ENOUGH_MEMORY, MB_ICONERROR);
        return;
    }
    if (result != RenderResult::Rendered) return;

    MirrorToLogFile(log, options.maxLogKB, mainWindow, render.buffer, render.length);
    if (log.displayToWindow) QueueViewText(viewQueue, ViewTargetOf(*this), render.buffer, render.length);
}

// Each record is taken out of the capture queue before it is handled, and
// the next only after it: a handler that runs meanwhile (a save dialog's
// loop, the capture restart serving sent messages) takes the records after
// it, so that they are handled in the order they were captured, once each.
// Every few records, the messages sent meanwhile (other programs' records)
// are handled as well, as they were when the capture thread sent its
// records like every other program. A notification that comes with those
// messages is left to the loop already taking the records: handled there,
// it would nest one more loop for every few records for as long as capture
// keeps the queue filled, and the stack would grow without end. One that
// comes while a handler let through runs (a dialog's loop, the capture
// restart waiting for the stopped thread, which may wait for room in the
// queue) is handled there, in a loop of its own.
void ConsoleWindow::OnCapturedRecords() {
    constexpr int kRecordsBetweenSentMessages = 16;
    BeginTakingCapturedRecords(capture);
    if (takingCapturedAt == gate.handlersRunning) return;
    const int outerLoop = takingCapturedAt;
    takingCapturedAt = gate.handlersRunning;
    char record[kMaxCapturedRecord];
    for (int taken = 1; !windowDestroyed; ++taken) {
        const size_t size = TakeCapturedRecord(capture, record, sizeof record);
        if (size == 0) break;
        {
            MURLO_TIMED(CapturedRecord);
            const COPYDATASTRUCT payload = {0, static_cast<DWORD>(size), record};
            HandleCopyData(&payload);
        }
        LetQueuedMessagesThrough(*this);
        if (taken % kRecordsBetweenSentMessages == 0) {
            MSG message;
            PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        }
    }
    takingCapturedAt = outerLoop;
}

}  // namespace murlo
