// The view's queue: rendered texts wait in it until the view is brought up
// to date with all of them at once.
#include "console/view/view_queue.h"

#include "console/console_window.h"
#include "console/shell/constants.h"
#include "console/shell/counters.h"
#include "console/view/rich_edit_view.h"
#include "console/view/view_append.h"
#include "console/view/view_batch.h"

namespace murlo {

namespace {

// When the texts go to the view: console/view/update_timing.h. The timer
// repeats while texts keep coming, and stops at its first turn with
// nothing to do: setting and killing it costs a round trip to the window
// server each.
constexpr size_t kMaxWaitingBytes = 64 * 1024;
// The queue's blocks and the update's arrays keep at most this many
// elements between updates: what a batch of twice the waiting bytes needs.
// A larger batch takes more for its update and gives it back afterwards.
constexpr size_t kUsualBatchElements = 2 * kMaxWaitingBytes;

RichEditView ViewOf(const ViewTarget& target) {
    return MakeRichEditView(target.view, target.richEdit2, static_cast<long>(kViewTextLimit), target.wrapped);
}

void DropWaitingTexts(ViewQueue& queue) {
    queue.texts.clear();
    queue.ends.clear();
}

// What the queue holds and its update's working memory: all of it, or
// what a batch far larger than usual made it grow to.
void ReleaseMemory(ViewQueue& queue, size_t keepElements) {
    const ScratchAllocator& memory = queue.scratch.memory;
    if (queue.texts.capacity > keepElements) queue.texts.Release(memory);
    if (queue.ends.capacity > keepElements) queue.ends.Release(memory);
    queue.scratch.ReleaseLarge(keepElements);
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
        queue.timerRunning = false;
        ReleaseMemory(queue, 0);
        queue.viewProc = nullptr;
        return CallWindowProcA(own, view, message, wParam, lParam);
    case WM_DESTROY:
        DropWaitingTexts(queue);
        break;
    default:
        if (!queue.ends.empty()) FlushViewQueue(queue, ViewTargetOf(*console));
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
    if (!queue.ends.empty() && (queue.texts.size() + length + 1 > kMaxWaitingBytes ||
                                queue.timing.DueOnArrival(GetTickCount()))) {
        FlushViewQueue(queue, target);
    }
    const ScratchAllocator& memory = queue.scratch.memory;
    if (queue.viewProc == nullptr || !queue.texts.Reserve(queue.texts.size() + length + 1, memory) ||
        !queue.ends.Reserve(queue.ends.size() + 1, memory)) {
        // No room to wait in: the view takes the text now, alone.
        FlushViewQueue(queue, target);
        RichEditView view = ViewOf(target);
        AppendToView(view, text, &length, 1, queue.scratch);
        ReleaseMemory(queue, kUsualBatchElements);
        return;
    }
    queue.texts.Append(text, length, memory);
    queue.ends.Push(queue.texts.size(), memory);
    queue.texts.Push('\0', memory);
    queue.timing.Arrived(GetTickCount(), queue.ends.size() == 1);
    if (!queue.timerRunning) {
        MURLO_TIMED(Timers);
        queue.timerRunning = SetTimer(target.owner, kViewQueueTimer, UpdateTiming::kTurnMs, nullptr) != 0;
    }
    if (replacesView || length + 1 >= kMaxWaitingBytes) FlushViewQueue(queue, target);
}

void FlushViewQueue(ViewQueue& queue, const ViewTarget& target) {
    if (queue.flushing || queue.ends.empty() || target.view == nullptr) return;
    MURLO_TIMED(Update);
    queue.flushing = true;
    RichEditView view = ViewOf(target);
    AppendToView(view, queue.texts.data, queue.ends.data, queue.ends.size(), queue.scratch);
    DropWaitingTexts(queue);
    ReleaseMemory(queue, kUsualBatchElements);
    queue.flushing = false;
}

void OnViewQueueTimer(ViewQueue& queue, const ViewTarget& target) {
    if (!queue.ends.empty()) {
        if (queue.timing.DueOnTurn(GetTickCount())) FlushViewQueue(queue, target);
        return;
    }
    MURLO_TIMED(Timers);
    KillTimer(target.owner, kViewQueueTimer);
    queue.timerRunning = false;
}

// The waiting texts would go in only to be cleared with the rest.
void ClearView(ViewQueue& queue, const ViewTarget& target) {
    DropWaitingTexts(queue);
    SetWindowTextA(target.view, "");
}

}  // namespace murlo
