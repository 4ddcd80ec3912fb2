#include "console/view/log_mirror.h"

namespace murlo {

bool RingStoreSize(uint32_t maxLogKB, uint32_t* size) {
    constexpr uint32_t kKiB = 1024;
    if (maxLogKB == 0 || maxLogKB > UINT32_MAX / kKiB) return false;
    *size = maxLogKB * kKiB;
    return true;
}

void MirrorLogText(const char* text, size_t length, bool logFileOpen, uint32_t maxLogKB,
                   RingRegion& ring, ByteSink file) {
    if (!logFileOpen) return;
    if (maxLogKB != 0 && ring.base != nullptr) {
        WriteRing(ring, text, length);
    } else {
        WriteLogText(text, length, file);
    }
}

}  // namespace murlo
