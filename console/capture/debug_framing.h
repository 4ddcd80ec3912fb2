// How strings taken from the system debug-output channel become LogRecords:
// reading the shared buffer, which record carries the writer's process id,
// when a separator closes another process's open line, and how the record
// buffer grows. Portable: the thread and the kernel objects are in
// debug_monitor.cpp, and what they provide is passed in.
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/log_record.h"

namespace murlo {

// The channel's shared buffer: the writer's process id, then its text.
constexpr size_t kDebugSectionSize = 4096;
constexpr size_t kDebugTextOffset = 4;
constexpr size_t kDebugTextRoom = kDebugSectionSize - kDebugTextOffset;  // 4092

constexpr uint32_t kNoProcessId = 0xFFFFFFFF;     // lastProcessId before the first string
constexpr uint32_t kRecordCapacityStart = 288;    // recordCapacity before the first string
constexpr uint32_t kRecordCapacityStep = 1024;
constexpr uint32_t kSeparatorRecordSize = 291;    // header and "\r\n" with its NUL

static_assert(kRecordCapacityStart == kRecordHeaderSize);
static_assert(kSeparatorRecordSize == kRecordHeaderSize + 3);

// One string as a writer left it in the buffer.
struct DebugString {
    uint32_t processId;
    const char* text;
    size_t length;  // bytes before the NUL, or up to the end of the buffer
};

// Reads the string from size bytes at section (the mapped buffer), reading
// nothing past them. A text without a NUL in the buffer ends at its end.
// A buffer too small for the process id gives an empty string of process 0.
DebugString ReadDebugSection(const void* section, size_t size);

// What the monitor remembers between strings.
struct DebugFraming {
    uint32_t lastProcessId = kNoProcessId;
    bool lineComplete = true;  // the last string ended with LF, or a separator closed its line
};

// The record being made, reused for every string and only grown.
struct DebugRecordBuffer {
    char* data = nullptr;
    uint32_t capacity = kRecordCapacityStart;
};

// The capacity that holds a text of length bytes and its NUL behind the
// header: from capacity up in steps of 1024 while length >= capacity - 288.
// The result may exceed 32 bits for absurd lengths; callers then fail.
uint64_t DebugRecordCapacity(uint32_t capacity, size_t length);

// The separator record: 291 bytes, all zero but the tag and "\r\n".
void ComposeSeparator(char (&record)[kSeparatorRecordSize]);

// What taking a string needs of the platform.
struct DebugMonitorIo {
    // Resizes block to newSize bytes, zero-filling the added bytes; a null
    // block is a first allocation. Returns null on failure (block stays).
    char* (*reallocate)(char* block, uint32_t newSize, void* context);
    void (*localTime)(RecordTime* time, void* context);
    // Hands a record of size bytes on to the console, which keeps a copy.
    void (*send)(const void* record, uint32_t size, void* context);
    void* context;
};

enum class TakeResult {
    Sent,         // the record (and a separator before it, if due) was handed on
    OutOfMemory,  // the buffer could not grow: the monitor ends
};

// Frames one string: a separator first when the process changed in
// mid-line, then a fitted record of 289 + length bytes that carries the
// process id only when it begins a line. Updates framing and buffer.
TakeResult TakeDebugString(const DebugString& string, DebugFraming& framing,
                           DebugRecordBuffer& buffer, const DebugMonitorIo& io);

}  // namespace murlo
