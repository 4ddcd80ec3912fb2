// The ring of a size-limited log file, held in a mapped temporary file
// that exists only while such a log file is open.
#include "console/console_window.h"
#include "console/logfile/log_mirror.h"
#include "console/logfile/ring_buffer.h"
#include "console/shell/constants.h"

namespace murlo {

// Unmaps the view, closes the mapping and the file and deletes the file,
// whichever of them exist.
static void ReleaseRing(ConsoleWindow& console) {
    if (console.log.ring.region.base != nullptr) UnmapViewOfFile(console.log.ring.region.base);
    ResetRing(console.log.ring.region, nullptr, 0);
    if (console.log.ring.mapping != nullptr) {
        CloseHandle(console.log.ring.mapping);
        console.log.ring.mapping = nullptr;
    }
    if (console.log.ring.file != nullptr) {
        CloseHandle(console.log.ring.file);
        console.log.ring.file = nullptr;
        DeleteFileA(console.log.ring.fileName);
    }
}

bool ConsoleWindow::OpenRingStore() {
    // Whatever a failed opening left behind goes first.
    ReleaseRing(*this);
    log.ring.fileName[0] = '\0';
    uint32_t size = 0;
    if (!RingStoreSize(options.maxLogKB, &size)) return false;

    char directory[MAX_PATH] = {};
    DWORD length = GetTempPathA(sizeof directory, directory);
    if (length == 0 || length >= sizeof directory) return false;
    if (GetTempFileNameA(directory, kRingFilePrefix, 0, log.ring.fileName) == 0) {
        log.ring.fileName[0] = '\0';
        return false;
    }
    HANDLE file = CreateFileA(log.ring.fileName, GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        // GetTempFileNameA made the file: do not leave it behind.
        DeleteFileA(log.ring.fileName);
        log.ring.file = nullptr;
        return false;
    }
    log.ring.file = file;
    // Making the mapping extends the file to the ring's size, also when the
    // view then cannot be mapped (a size beyond the address space): such a
    // file goes at once, and the log is written directly.
    log.ring.mapping = CreateFileMappingA(log.ring.file, nullptr, PAGE_READWRITE, 0, size, nullptr);
    char* base = log.ring.mapping != nullptr
                     ? static_cast<char*>(MapViewOfFile(log.ring.mapping, FILE_MAP_ALL_ACCESS, 0, 0, size))
                     : nullptr;
    if (base == nullptr) {
        ReleaseRing(*this);
        return false;
    }
    ResetRing(log.ring.region, base, size);
    return true;
}

void ConsoleWindow::WriteRingStore(const char* text, size_t length) {
    if (log.ring.region.base == nullptr) return;
    WriteRing(log.ring.region, text, length);
}

void ConsoleWindow::CloseRingStore() {
    if (log.file != nullptr && log.ring.region.base != nullptr) {
        // The copy runs to its end without a turn of the message loop.
        HCURSOR previous = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
        SetCapture(mainWindow);
        CopyOutRing(log.ring.region, ByteSink{WriteToStream, log.file});
        ReleaseCapture();
        SetCursor(previous);
    }
    ReleaseRing(*this);
}

}  // namespace murlo
