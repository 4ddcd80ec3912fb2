// WM_COPYDATA: render the payload, mirror it to the log file and hand it to
// the view. The one place where a payload crosses from room to room.
#include "console/console_window.h"
#include "console/resources/resource.h"
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

}  // namespace murlo
