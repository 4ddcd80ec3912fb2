// The view's queue: rendered texts wait in it until the view is brought up
// to date with all of them at once.
#include "console/view/view_queue.h"

#include <cstring>

#include "console/console_window.h"
#include "console/shell/constants.h"
#include "console/view/rich_edit_view.h"
#include "console/view/view_append.h"
#include "console/view/view_batch.h"

namespace murlo {

namespace {

// The view takes in the waiting texts at the latest this long after the
// first of them came: the timer's message comes only when the thread's
// queue holds nothing else, and a stream of records that never lets it
// come is bounded by the age and size checks on arrival.
constexpr UINT kFlushDelayMs = 20;
constexpr DWORD kMaxWaitMs = 40;
constexpr size_t kMaxWaitingBytes = 64 * 1024;
// The queue's blocks and the update's arrays keep at most this many
// elements between updates: what a batch of twice the waiting bytes needs.
// A larger batch takes more for its update and gives it back afterwards.
constexpr size_t kUsualBatchElements = 2 * kMaxWaitingBytes;

bool GrowBlock(void*& block, size_t& capacity, size_t needed, size_t unit) {
    if (needed <= capacity) return true;
    size_t grown = capacity < 256 ? 256 : capacity * 2;
    while (grown < needed) grown *= 2;
    HANDLE heap = GetProcessHeap();
    void* moved = block != nullptr ? HeapReAlloc(heap, 0, block, grown * unit) : HeapAlloc(heap, 0, grown * unit);
    if (moved == nullptr) return false;
    block = moved;
    capacity = grown;
    return true;
}

// Room for one more text of length bytes.
bool GrowQueue(ViewQueue& queue, size_t length) {
    void* texts = queue.texts;
    void* ends = queue.ends;
    bool grown = GrowBlock(texts, queue.capacity, queue.used + length + 1, 1);
    queue.texts = static_cast<char*>(texts);
    grown = grown && GrowBlock(ends, queue.endsCapacity, queue.count + 1, sizeof(size_t));
    queue.ends = static_cast<size_t*>(ends);
    return grown;
}

RichEditView ViewOf(const ViewTarget& target) {
    return MakeRichEditView(target.view, target.richEdit2, static_cast<long>(kViewTextLimit), target.wrapped);
}

void FreeTexts(ViewQueue& queue) {
    if (queue.texts != nullptr) HeapFree(GetProcessHeap(), 0, queue.texts);
    queue.texts = nullptr;
    queue.used = queue.capacity = 0;
}

void FreeEnds(ViewQueue& queue) {
    if (queue.ends != nullptr) HeapFree(GetProcessHeap(), 0, queue.ends);
    queue.ends = nullptr;
    queue.count = queue.endsCapacity = 0;
}

void FreeQueue(ViewQueue& queue) {
    FreeTexts(queue);
    FreeEnds(queue);
    queue.scratch.ReleaseAll();
}

// After an update, working memory beyond the usual size goes back.
void ReleaseLargeWorkingMemory(ViewQueue& queue) {
    if (queue.capacity > kUsualBatchElements) FreeTexts(queue);
    if (queue.endsCapacity > kUsualBatchElements) FreeEnds(queue);
    queue.scratch.ReleaseLarge(kUsualBatchElements);
}

// Every message to the view but painting first brings it up to date, so
// that whoever asks the view (another process too) sees every text whose
// record was answered, as if each had been appended on arrival.
LRESULT CALLBACK ViewQueueProc(HWND view, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* console = reinterpret_cast<ConsoleWindow*>(GetWindowLongPtrA(view, GWLP_USERDATA));
    WNDPROC own = console != nullptr ? console->viewQueue.viewProc : nullptr;
    if (own == nullptr) return DefWindowProcA(view, message, wParam, lParam);
    ViewQueue& queue = console->viewQueue;
    switch (message) {
    case WM_PAINT:
    case WM_NCPAINT:
    case WM_ERASEBKGND:
        break;
    case WM_NCDESTROY:
        // Nobody can ask a view that is gone: what waits goes with it.
        SetWindowLongPtrA(view, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(own));
        SetWindowLongPtrA(view, GWLP_USERDATA, 0);
        KillTimer(console->mainWindow, kViewQueueTimer);
        FreeQueue(queue);
        queue.viewProc = nullptr;
        return CallWindowProcA(own, view, message, wParam, lParam);
    case WM_DESTROY:
        queue.count = queue.used = 0;
        break;
    default:
        if (queue.count > 0) FlushViewQueue(queue, ViewTargetOf(*console));
        break;
    }
    return CallWindowProcA(own, view, message, wParam, lParam);
}

}  // namespace

ViewTarget ViewTargetOf(const ConsoleWindow& console) {
    return ViewTarget{console.viewWindow, console.mainWindow, g_console.platform.richEdit2,
                      console.options.wrapToWindow != 0};
}

bool HookViewQueue(ConsoleWindow& console) {
    SetWindowLongPtrA(console.viewWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&console));
    console.viewQueue.viewProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(console.viewWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ViewQueueProc)));
    return console.viewQueue.viewProc != nullptr;
}

// A text that cannot fit the view leaves the view with its newest part
// alone, as appending it whole would (every older line goes before the
// view is found too small): the view is emptied, what waits is dropped,
// and only that part waits, so that neither the queue nor the control
// ever holds more than a view's worth of it. No character of the control
// takes fewer bytes than positions: a text of no more bytes than the
// limit fits.
void QueueViewText(ViewQueue& queue, const ViewTarget& target, const char* text, size_t length) {
    if (target.view == nullptr) return;
    bool replacesView = false;
    if (length > kViewTextLimit) {
        RichEditView view = ViewOf(target);
        size_t start = NewestPartWithin(text, length, view.limit, [&view](const char* all, size_t bytes, size_t i) {
            return view.NextChar(all, bytes, i);
        });
        if (start > 0) {
            replacesView = true;
            ClearView(queue, target);
            text += start;
            length -= start;
        }
    }
    if (queue.count > 0 && (queue.used + length + 1 > kMaxWaitingBytes ||
                            GetTickCount() - queue.firstTick >= kMaxWaitMs)) {
        FlushViewQueue(queue, target);
    }
    if (queue.viewProc == nullptr || !GrowQueue(queue, length)) {
        // No room to wait in: the view takes the text now, alone.
        FlushViewQueue(queue, target);
        RichEditView view = ViewOf(target);
        AppendToView(view, text, &length, 1, queue.scratch);
        ReleaseLargeWorkingMemory(queue);
        return;
    }
    std::memcpy(queue.texts + queue.used, text, length);
    queue.used += length;
    queue.texts[queue.used] = '\0';
    queue.ends[queue.count++] = queue.used;
    queue.used += 1;
    if (queue.count == 1) {
        queue.firstTick = GetTickCount();
        SetTimer(target.owner, kViewQueueTimer, kFlushDelayMs, nullptr);
    }
    if (replacesView || length + 1 >= kMaxWaitingBytes) FlushViewQueue(queue, target);
}

void FlushViewQueue(ViewQueue& queue, const ViewTarget& target) {
    if (queue.flushing || queue.count == 0 || target.view == nullptr) return;
    queue.flushing = true;
    KillTimer(target.owner, kViewQueueTimer);
    RichEditView view = ViewOf(target);
    AppendToView(view, queue.texts, queue.ends, queue.count, queue.scratch);
    queue.count = 0;
    queue.used = 0;
    ReleaseLargeWorkingMemory(queue);
    queue.flushing = false;
}

// The waiting texts would go in only to be cleared with the rest.
void ClearView(ViewQueue& queue, const ViewTarget& target) {
    queue.count = queue.used = 0;
    KillTimer(target.owner, kViewQueueTimer);
    SetWindowTextA(target.view, "");
}

}  // namespace murlo
