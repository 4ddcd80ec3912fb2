#include "client/readable_range.h"

namespace murlo {

bool IsRangeReadable(uintptr_t start, uintptr_t length, QueryRegion query) {
    if (length == 0) return true;
    uintptr_t last = start + (length - 1);
    if (last < start) return false;
    uintptr_t address = start;
    for (;;) {
        MemoryRegion region{};
        if (!query(address, region) || !region.readable || region.size == 0) return false;
        if (address < region.base) return false;
        // The region's last byte, computed so that a region ending at the
        // top of the address space does not wrap.
        uintptr_t regionLast = region.base + (region.size - 1);
        if (regionLast < address) return false;
        if (regionLast >= last) return true;
        address = regionLast + 1;
    }
}

}  // namespace murlo
