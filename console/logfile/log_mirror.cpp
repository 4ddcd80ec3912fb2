#include "console/logfile/log_mirror.h"

#include <cstdio>

namespace murlo {

bool RingStoreSize(uint32_t maxLogKB, uint32_t* size) {
    constexpr uint32_t kKiB = 1024;
    if (maxLogKB == 0 || maxLogKB > UINT32_MAX / kKiB) return false;
    *size = maxLogKB * kKiB;
    return true;
}

LogRoute ChooseLogRoute(bool logFileOpen, uint32_t maxLogKB, bool ringMapped) {
    if (!logFileOpen) return LogRoute::None;
    if (maxLogKB != 0 && ringMapped) return LogRoute::Ring;
    return LogRoute::File;
}

void WriteToStream(void* context, const char* bytes, size_t count) {
    std::fwrite(bytes, 1, count, static_cast<FILE*>(context));
}

}  // namespace murlo
