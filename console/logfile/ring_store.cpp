// The ring of a size-limited log file, held in a mapped temporary file
// that exists only while such a log file is open.
#include "console/shell/console_window.h"
#include "console/shell/constants.h"
#include "console/logfile/log_mirror.h"

namespace murlo {

// ringWrite and ringOldest are the ring's offsets as addresses.
static void FollowRing(ConsoleWindow& console) {
    RingRegion& ring = console.ringRegion;
    console.ringBase = ring.base;
    console.ringWrite = ring.base != nullptr ? ring.base + ring.write : nullptr;
    console.ringOldest = ring.base != nullptr ? ring.base + ring.oldest : nullptr;
}

// Unmaps the view, closes the mapping and the file and deletes the file,
// whichever of them exist.
static void ReleaseRing(ConsoleWindow& console) {
    if (console.ringBase != nullptr) UnmapViewOfFile(console.ringBase);
    ResetRing(console.ringRegion, nullptr, 0);
    FollowRing(console);
    if (console.ringMapping != nullptr) {
        CloseHandle(console.ringMapping);
        console.ringMapping = nullptr;
    }
    if (console.ringFile != nullptr) {
        CloseHandle(console.ringFile);
        console.ringFile = nullptr;
        DeleteFileA(console.ringFileName);
    }
}

bool ConsoleWindow::OpenRingStore() {
    // Whatever a failed opening left behind goes first.
    ReleaseRing(*this);
    ringFileName[0] = '\0';
    uint32_t size = 0;
    if (!RingStoreSize(options.maxLogKB, &size)) return false;

    char directory[MAX_PATH] = {};
    DWORD length = GetTempPathA(sizeof directory, directory);
    if (length == 0 || length >= sizeof directory) return false;
    if (GetTempFileNameA(directory, kRingFilePrefix, 0, ringFileName) == 0) {
        ringFileName[0] = '\0';
        return false;
    }
    HANDLE file = CreateFileA(ringFileName, GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        // GetTempFileNameA made the file: do not leave it behind.
        DeleteFileA(ringFileName);
        ringFile = nullptr;
        return false;
    }
    ringFile = file;
    // Making the mapping extends the file to the ring's size, also when the
    // view then cannot be mapped (a size beyond the address space): such a
    // file goes at once, and the log is written directly.
    ringMapping = CreateFileMappingA(ringFile, nullptr, PAGE_READWRITE, 0, size, nullptr);
    char* base = ringMapping != nullptr
                     ? static_cast<char*>(MapViewOfFile(ringMapping, FILE_MAP_ALL_ACCESS, 0, 0, size))
                     : nullptr;
    if (base == nullptr) {
        ReleaseRing(*this);
        return false;
    }
    ResetRing(ringRegion, base, size);
    FollowRing(*this);
    return true;
}

void ConsoleWindow::WriteRingStore(const char* text, size_t length) {
    if (ringBase == nullptr) return;
    WriteRing(ringRegion, text, length);
    FollowRing(*this);
}

void ConsoleWindow::CloseRingStore() {
    if (logFile != nullptr && ringBase != nullptr) {
        // The copy runs to its end without a turn of the message loop.
        HCURSOR previous = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
        SetCapture(mainWindow);
        CopyOutRing(ringRegion, ByteSink{WriteToStream, logFile});
        ReleaseCapture();
        SetCursor(previous);
    }
    ReleaseRing(*this);
}

}  // namespace murlo
