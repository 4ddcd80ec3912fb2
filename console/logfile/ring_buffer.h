// The ring that keeps the newest rendered text for a size-limited log file,
// and the byte form in which log text reaches the file. Portable: the ring
// works on any byte region (the console maps a temporary file for it).
#pragma once

#include <cstddef>
#include <cstdint>

namespace murlo {

// A ring over size bytes at base. The byte at write is always NUL and ends
// the data; oldest is the start of the oldest whole line. Offsets, not
// addresses, so that the region can be checked and moved.
struct RingRegion {
    char* base;
    uint32_t size;
    uint32_t write;
    uint32_t oldest;
};

// Receives log-file bytes in order. context is the caller's (a stream, a
// ConsoleWindow, a test's string).
struct ByteSink {
    void (*write)(void* context, const char* bytes, size_t count);
    void* context;
};

// Zero-fills size bytes at base and sets the ring empty.
void ResetRing(RingRegion& ring, char* base, uint32_t size);

// Stores length bytes of text (a rendered text: CR LF line ends, no NUL)
// after the ring's data, wrapping at its end. When the text ends inside
// older data, oldest moves to the first whole line after it; when no line
// end is left in the ring, to the byte after the NUL, so that everything
// but the NUL is written out. A ring of fewer than 2 bytes, or without
// a region, stores nothing; an empty text changes nothing.
void WriteRing(RingRegion& ring, const char* text, size_t length);

// Passes the ring's data, from oldest to the NUL at write, to sink in the
// log file's form (as WriteLogText).
void CopyOutRing(const RingRegion& ring, ByteSink sink);

// Passes length bytes of text to sink in the log file's form: every CR is
// skipped and every LF goes out as CR LF, one CR per line end, which is
// what a text-mode stream makes of the rendered text.
void WriteLogText(const char* text, size_t length, ByteSink sink);

}  // namespace murlo
