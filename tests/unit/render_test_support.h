// Records, allocators and a render state for the rendering tests. Every
// payload lives in a heap block of exactly its size, so that
// AddressSanitizer reports any read past its end.
#pragma once

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "common/log_record.h"
#include "console/view/render_record.h"

namespace murlo::test {

struct Payload {
    std::unique_ptr<char[]> bytes;
    size_t size = 0;
};

inline Payload MakePayload(const void* data, size_t size) {
    Payload payload{std::unique_ptr<char[]>(new char[size]), size};
    if (size > 0) std::memcpy(payload.bytes.get(), data, size);
    return payload;
}

struct RecordFields {
    uint32_t processId = 1234;
    RecordTime time{2002, 11, 2, 5, 9, 5, 7, 0};
    const char* location = "";
    int32_t depth = 0;
};

// A fitted record (header, text and NUL: 289 + text length bytes), or a
// full record when size is kFullRecordSize.
inline Payload MakeRecord(const RecordFields& fields, const std::string& text, size_t size = 0) {
    if (size == 0) size = kRecordHeaderSize + text.size() + 1;
    Payload payload{std::unique_ptr<char[]>(new char[size]), size};
    StartRecord(payload.bytes.get(), size);
    LogRecordHeader header;
    std::memcpy(&header, payload.bytes.get(), sizeof header);
    header.processId = fields.processId;
    header.localTime = fields.time;
    std::memset(header.location, 0, kLocationSize);
    std::memcpy(header.location, fields.location, strnlen(fields.location, kLocationSize));
    header.depth = fields.depth;
    std::memcpy(payload.bytes.get(), &header, sizeof header);
    SetRecordText(payload.bytes.get(), size, text.data(), text.size());
    return payload;
}

inline int reallocateCalls = 0;
inline bool reallocateFails = false;

inline char* TestReallocate(char* block, uint32_t oldSize, uint32_t newSize) {
    ++reallocateCalls;
    if (reallocateFails) return nullptr;
    char* grown = static_cast<char*>(std::realloc(block, newSize));
    if (grown == nullptr) return nullptr;
    if (newSize > oldSize) std::memset(grown + oldSize, 0, newSize - oldSize);
    return grown;
}

// The options the renderer reads, in its order of decorations.
inline ViewOptions RenderingOptions(bool loggingOn, bool fileName, bool processId, bool date, bool time,
                                    bool addLineEnd) {
    ViewOptions options;
    options.loggingOn = loggingOn;
    options.showFileName = fileName;
    options.showProcessId = processId;
    options.showDate = date;
    options.showTime = time;
    options.addLineEnd = addLineEnd;
    return options;
}

// The console's state as the main window creates it: a 1024-byte zeroed
// buffer and both flags on.
struct Renderer {
    ViewOptions options;  // logging on, every other option off
    RenderState state{true, true, nullptr, 0, 0};

    Renderer() {
        reallocateCalls = 0;
        reallocateFails = false;
        state.buffer = TestReallocate(nullptr, 0, kRenderBufferInitialSize);
        state.capacity = kRenderBufferInitialSize;
        reallocateCalls = 0;
    }
    ~Renderer() { std::free(state.buffer); }
    Renderer(const Renderer&) = delete;
    Renderer& operator=(const Renderer&) = delete;

    RenderResult Render(const Payload& payload) {
        return RenderRecord(payload.bytes.get(), payload.size, options, state, TestReallocate);
    }
    std::string Text() const { return std::string(state.buffer, state.length); }
};

}  // namespace murlo::test
