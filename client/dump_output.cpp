// The hex dump: a readability test of the whole range, then one record per
// line of 16 bytes, all under one hold of the lock.
#include <windows.h>

#include <cstdint>

#define MURLOAPI
#include "client/client_constants.h"
#include "client/client_state.h"
#include "client/dump_format.h"
#include "client/murlo.h"
#include "client/readable_range.h"

using namespace murlo;

namespace {

// Describes the region of this process's memory that holds address. The
// test looks at protections only and never touches the memory, so a guard
// page stays armed and no fault is raised or swallowed.
bool QueryProcessRegion(uintptr_t address, MemoryRegion& region) {
    MEMORY_BASIC_INFORMATION info;
    if (VirtualQuery(reinterpret_cast<const void*>(address), &info, sizeof info) != sizeof info) return false;
    const DWORD readable = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                           PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
    region.base = reinterpret_cast<uintptr_t>(info.BaseAddress);
    region.size = info.RegionSize;
    region.readable = info.State == MEM_COMMIT && (info.Protect & (PAGE_GUARD | PAGE_NOACCESS)) == 0 &&
                      (info.Protect & readable) != 0;
    return true;
}

}  // namespace

void __stdcall DB_OutputDump(const void* data, unsigned long length) {
    DB_OutputDumpFA(nullptr, 0, data, length);
}

void __stdcall DB_OutputDumpFA(const char* file, int line, const void* data, unsigned long length) {
    if (length == 0) return;  // nothing at all, whatever the pointer
    const uintptr_t start = reinterpret_cast<uintptr_t>(data);
    const uint32_t count = length;
    if (!IsRangeReadable(start, count, QueryProcessRegion)) {
        // The first and last byte of the range, low 32 bits of each address.
        char text[kDumpLineSize];
        FormatInvalidPointer(text, sizeof text, static_cast<uint32_t>(start),
                             static_cast<uint32_t>(start + (count - 1)));
        OutputLockHold hold;
        DB_OutputStringFA(file, line, text);
        return;
    }
    const auto* bytes = static_cast<const unsigned char*>(data);
    const unsigned codePage = GetACP();
    const uint32_t lines = DumpLineCount(count);
    OutputLockHold hold;
    for (uint32_t k = 0; k < lines && ConsoleReachable(); ++k) {
        const uint32_t offset = k * kDumpBytesPerLine;
        const uint32_t remaining = count - offset;
        const size_t lineBytes = remaining < kDumpBytesPerLine ? remaining : kDumpBytesPerLine;
        char text[kDumpLineSize];
        FormatDumpLine(text, sizeof text, static_cast<uint32_t>(start + offset), bytes + offset, lineBytes,
                       codePage);
        DB_OutputStringFA(file, line, text);
    }
}
