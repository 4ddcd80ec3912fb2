// Allocators and a render state for the rendering tests.
#pragma once

#include <cstdlib>
#include <cstring>
#include <string>

#include "console/view/render_record.h"
#include "tests/support/record_builder.h"

namespace murlo::test {

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
    RenderResult Render(const std::string& bytes) { return Render(MakePayload(bytes)); }
    std::string Text() const { return std::string(state.buffer, state.length); }
};

}  // namespace murlo::test
