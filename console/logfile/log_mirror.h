// Where a rendered text goes when a log file is open, and the size of the
// ring that keeps the newest part of a size-limited log. Portable.
#pragma once

#include <cstddef>
#include <cstdint>

namespace murlo {

// The ring's size in bytes for a limit of maxLogKB KiB; false when there is
// no such ring: a limit of 0, or one whose bytes do not fit 32 bits.
bool RingStoreSize(uint32_t maxLogKB, uint32_t* size);

enum class LogRoute {
    None,  // no log file is open
    Ring,  // the log has a size limit and its ring is mapped
    File,  // straight to the file in its CR LF form
};

// A log whose size limit has no ring (it could not be made) still gets
// every text, straight to the file: only the limit is lost, not the text.
LogRoute ChooseLogRoute(bool logFileOpen, uint32_t maxLogKB, bool ringMapped);

// A ByteSink's write into the open log file (context: its FILE*). Write
// errors are not reported: the text still reaches the view.
void WriteToStream(void* context, const char* bytes, size_t count);

}  // namespace murlo
