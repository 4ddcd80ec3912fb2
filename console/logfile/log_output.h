// LogOutput: where the rendered texts go besides the view (the open log
// file and, for a size-limited log, its ring store), the display switch,
// and the Save-log buffer (Windows glue).
#pragma once

#include <windows.h>

#include <cstdio>

#include "console/logfile/ring_buffer.h"

namespace murlo {

// The ring of a size-limited log, held in a mapped temporary file that
// exists only while such a log file is open.
struct RingStore {
    HANDLE file = nullptr;
    char fileName[MAX_PATH] = {};
    HANDLE mapping = nullptr;
    RingRegion region = {};    // region.base is null when no ring is mapped
};

struct LogOutput {
    FILE* file = nullptr;      // the open log file, a binary stream
    bool unflushed = false;    // the stream holds text that has not reached the file
    DWORD unflushedSince = 0;  // when the oldest such text was written
    DWORD displayToWindow = 1; // off while a log file takes the texts and the user chose no display
    RingStore ring;
    char* saveBuffer = nullptr;  // kSaveBufferSize bytes for Save log
};

}  // namespace murlo
