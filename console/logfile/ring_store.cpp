// The ring of a size-limited log file, held in a mapped temporary file
// that exists only while such a log file is open.
#include "console/logfile/log_mirror.h"
#include "console/logfile/log_output.h"
#include "console/logfile/ring_buffer.h"
#include "console/shell/constants.h"

namespace murlo {

namespace {

// Unmaps the view, closes the mapping and the file and deletes the file,
// whichever of them exist.
void ReleaseRing(RingStore& ring) {
    if (ring.region.base != nullptr) UnmapViewOfFile(ring.region.base);
    ResetRing(ring.region, nullptr, 0);
    if (ring.mapping != nullptr) {
        CloseHandle(ring.mapping);
        ring.mapping = nullptr;
    }
    if (ring.file != nullptr) {
        CloseHandle(ring.file);
        ring.file = nullptr;
        DeleteFileA(ring.fileName);
    }
}

}  // namespace

bool OpenRingStore(RingStore& ring, uint32_t maxLogKB) {
    // Whatever a failed opening left behind goes first.
    ReleaseRing(ring);
    ring.fileName[0] = '\0';
    uint32_t size = 0;
    if (!RingStoreSize(maxLogKB, &size)) return false;

    char directory[MAX_PATH] = {};
    DWORD length = GetTempPathA(sizeof directory, directory);
    if (length == 0 || length >= sizeof directory) return false;
    if (GetTempFileNameA(directory, kRingFilePrefix, 0, ring.fileName) == 0) {
        ring.fileName[0] = '\0';
        return false;
    }
    HANDLE file = CreateFileA(ring.fileName, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        // GetTempFileNameA made the file: do not leave it behind.
        DeleteFileA(ring.fileName);
        ring.file = nullptr;
        return false;
    }
    ring.file = file;
    // Making the mapping extends the file to the ring's size, also when the
    // view then cannot be mapped (a size beyond the address space): such a
    // file goes at once, and the log is written directly.
    ring.mapping = CreateFileMappingA(ring.file, nullptr, PAGE_READWRITE, 0, size, nullptr);
    char* base = ring.mapping != nullptr
                     ? static_cast<char*>(MapViewOfFile(ring.mapping, FILE_MAP_ALL_ACCESS, 0, 0, size))
                     : nullptr;
    if (base == nullptr) {
        ReleaseRing(ring);
        return false;
    }
    ResetRing(ring.region, base, size);
    return true;
}

void WriteRingStore(RingStore& ring, const char* text, size_t length) {
    if (ring.region.base == nullptr) return;
    WriteRing(ring.region, text, length);
}

void CloseRingStore(LogOutput& log, HWND owner) {
    if (log.file != nullptr && log.ring.region.base != nullptr) {
        // The copy runs to its end without a turn of the message loop.
        HCURSOR previous = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
        SetCapture(owner);
        CopyOutRing(log.ring.region, ByteSink{WriteToStream, log.file});
        ReleaseCapture();
        SetCursor(previous);
    }
    ReleaseRing(log.ring);
}

}  // namespace murlo
