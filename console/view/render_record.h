// Rendering of one WM_COPYDATA payload into display text: decorations,
// indentation, line-end normalisation and the two line-state flags.
// Portable: no <windows.h>; allocation is passed in.
#pragma once

#include <cstddef>
#include <cstdint>

#include "console/shell/view_options.h"

namespace murlo {

// The line state and the render buffer, kept between payloads.
struct RenderState {
    bool atLineStart;     // the last text, after its added line end, ended with LF
    bool lastLineOpen;    // the last text, before its added line end, did not end with LF
    char* buffer;         // the rendered text, NUL-terminated; it grows, never shrinks
    uint32_t capacity;    // size of buffer in bytes
    uint32_t length;      // bytes of rendered text before its NUL (valid after Rendered)
};

constexpr uint32_t kRenderBufferInitialSize = 1024;
constexpr uint32_t kRenderBufferStep = 1024;
constexpr int32_t kMaxIndentLevels = 10;
constexpr char kIndentUnit[] = "    ";

// Resizes block from oldSize to newSize bytes, keeping its contents and
// zero-filling the new bytes. Returns null on failure; block then stays
// valid and unchanged. block may be null when oldSize is 0.
using RenderReallocate = char* (*)(char* block, uint32_t oldSize, uint32_t newSize);

enum class RenderResult {
    Rendered,     // buffer holds the text for the log file and the view
    Dropped,      // logging off, or a suppressed blank line: nothing more to do
    OutOfMemory,  // the buffer could not grow: the caller shows "Not enough memory."
};

// Renders size bytes at payload (a LogRecord or a plain string) into
// state.buffer, growing it with reallocate where the text needs room.
// Reads nothing past payload + size and writes nothing past the buffer.
// On Rendered the flags have their new values; on Dropped and OutOfMemory
// the flags, buffer and capacity keep theirs.
RenderResult RenderRecord(const void* payload, size_t size, const ViewOptions& options,
                          RenderState& state, RenderReallocate reallocate);

// The capacity that the growth rule gives for a record text of textLength
// bytes: from capacity up in steps of 1024 until it holds 2 x textLength + 32.
uint64_t RecordGrowthCapacity(uint64_t capacity, uint64_t textLength);

}  // namespace murlo
