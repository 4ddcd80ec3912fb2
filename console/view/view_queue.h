// The view's queue of rendered texts that the control has not taken in
// yet. Windows glue only.
#pragma once

#include <windows.h>

#include <cstddef>

#include "console/view/view_batch.h"

namespace murlo {

// The grouped update's working memory comes from the process heap; when
// there is none, the view takes the texts one by one.
inline void* AllocateFromHeap(size_t bytes) { return HeapAlloc(GetProcessHeap(), 0, bytes); }
inline void ReleaseToHeap(void* block) { HeapFree(GetProcessHeap(), 0, block); }

// Rendered texts that the view has not taken in yet: the view is brought up
// to date with all of them at once (view_append_win.cpp).
struct ViewQueue {
    char* texts = nullptr;       // the texts, each followed by a NUL
    size_t used = 0;
    size_t capacity = 0;
    size_t* ends = nullptr;      // the offset of each text's NUL
    size_t count = 0;
    size_t endsCapacity = 0;
    DWORD firstTick = 0;         // when the oldest waiting text came
    bool flushing = false;
    WNDPROC viewProc = nullptr;  // the view's own window procedure, once hooked
    ViewBatchScratch scratch{ScratchAllocator{AllocateFromHeap, ReleaseToHeap}};  // the grouped update's working memory
};

}  // namespace murlo
