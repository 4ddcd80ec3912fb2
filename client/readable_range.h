// Whether a whole address range can be read, decided from the platform's
// description of memory regions and without touching the range. Portable:
// no <windows.h>; the region query is passed in.
#pragma once

#include <cstdint>

namespace murlo {

// A run of pages with the same state, as the platform describes the one
// that holds an address.
struct MemoryRegion {
    uintptr_t base;
    uintptr_t size;
    bool readable;    // committed, readable, neither guard nor no-access
};

// Describes the region holding address; false when there is none.
using QueryRegion = bool (*)(uintptr_t address, MemoryRegion& region);

// True when every byte from start to start + length - 1 lies in readable
// regions. A length of 0 is readable; a range that wraps past the top of
// the address space is not.
bool IsRangeReadable(uintptr_t start, uintptr_t length, QueryRegion query);

}  // namespace murlo
