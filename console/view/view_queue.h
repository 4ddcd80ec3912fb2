// The view's queue of rendered texts that the control has not taken in
// yet, and the update that hands them to it (view_batch.h lists every
// route). Windows glue only.
#pragma once

#include <windows.h>

#include <cstddef>

#include "console/view/shadow_view.h"
#include "console/view/update_timing.h"

namespace murlo {

// The queue and the view's update take their memory from the process heap;
// when there is none, a text goes to the view at once, and the update
// takes the texts one by one.
inline void* AllocateFromHeap(size_t bytes) { return HeapAlloc(GetProcessHeap(), 0, bytes); }
inline void ReleaseToHeap(void* block) { HeapFree(GetProcessHeap(), 0, block); }

struct ViewQueue {
    ScratchArray<char> texts;    // the texts, each followed by a NUL
    ScratchArray<size_t> ends;   // the offset of each text's NUL
    UpdateTiming timing;         // when the waiting texts came
    bool flushing = false;
    bool timerRunning = false;   // kViewQueueTimer is set
    WNDPROC viewProc = nullptr;  // the view's own window procedure, once hooked
    ViewBatchScratch scratch{ScratchAllocator{AllocateFromHeap, ReleaseToHeap}};  // the update's working memory
};

// The view as its update needs it.
struct ViewTarget {
    HWND view;
    HWND owner;      // the main window, whose timer kViewQueueTimer brings the view up to date
    bool richEdit2;  // the 2.0 control
    bool wrapped;    // its lines wrap at the window edge
};

inline constexpr UINT_PTR kViewQueueTimer = 0x4D55;

// The text waits with the others that came since the view was last brought
// up to date; the client's call is answered without touching the control.
void QueueViewText(ViewQueue& queue, const ViewTarget& target, const char* text, size_t length);

// Brings the view up to date with every waiting text.
void FlushViewQueue(ViewQueue& queue, const ViewTarget& target);

// The timer's turn: brings the view up to date when the texts are due,
// or stops the timer when nothing waited since its last turn.
void OnViewQueueTimer(ViewQueue& queue, const ViewTarget& target);

// Drops the waiting texts and empties the view.
void ClearView(ViewQueue& queue, const ViewTarget& target);

}  // namespace murlo
