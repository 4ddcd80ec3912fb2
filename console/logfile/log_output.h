// LogOutput: where the rendered texts go besides the view (the open log
// file and, for a size-limited log, its ring store), the display switch,
// and the Save-log buffer; and the work done on it (Windows glue).
#pragma once

#include <windows.h>

#include <cstdint>
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
    bool timerRunning = false;  // kLogFlushTimer is set
    bool displayToWindow = true;  // off while a log file takes the texts and the user chose no display
    RingStore ring;
    char* saveBuffer = nullptr;  // kSaveBufferSize bytes for Save log
};

// The timer of the main window (owner below) after which the stream reaches the file.
inline constexpr UINT_PTR kLogFlushTimer = 0x4D56;

// The rendered text goes to the open log file: into the ring of a log
// limited to maxLogKB KiB, else straight to the file.
void MirrorToLogFile(LogOutput& log, uint32_t maxLogKB, HWND owner, const char* text, size_t length);
// What the stream holds reaches the file.
void FlushLogFile(LogOutput& log);
// The timer's turn: the stream reaches the file, or the timer stops when
// nothing was written since its last turn.
void OnLogFlushTimer(LogOutput& log, HWND owner);

// Maps a ring of maxLogKB KiB in a temporary file; false (nothing left
// behind) when it cannot.
bool OpenRingStore(RingStore& ring, uint32_t maxLogKB);
void WriteRingStore(RingStore& ring, const char* text, size_t length);
// Writes the ring's lines into the open log file, then unmaps the ring
// and deletes its file.
void CloseRingStore(LogOutput& log, HWND owner);

// Opens the log file; with a size limit, its ring too. A file that cannot
// be made is reported with a message box owned by owner.
void OpenLogFile(LogOutput& log, uint32_t maxLogKB, HWND owner, const char* fileName);
void CloseLogFile(LogOutput& log, uint32_t maxLogKB, HWND owner);
// Writes the view's text to a new file fileName.
void SaveViewText(const LogOutput& log, HWND view, HWND owner, const char* fileName);

}  // namespace murlo
