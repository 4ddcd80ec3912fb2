// Where a rendered text goes when a log file is open, and the size of the
// ring that keeps the newest part of a size-limited log. Portable.
#pragma once

#include <cstddef>
#include <cstdint>

#include "console/view/ring_buffer.h"

namespace murlo {

// The ring's size in bytes for a limit of maxLogKB KiB; false when there is
// no such ring: a limit of 0, or one whose bytes do not fit 32 bits.
bool RingStoreSize(uint32_t maxLogKB, uint32_t* size);

// Mirrors length bytes of rendered text to the log: nothing when no log
// file is open; into the ring when the log has a size limit and its ring
// is mapped; otherwise straight to the file in its CR LF form. A log whose
// ring could not be made so still receives every text, only unlimited.
void MirrorLogText(const char* text, size_t length, bool logFileOpen, uint32_t maxLogKB,
                   RingRegion& ring, ByteSink file);

}  // namespace murlo
