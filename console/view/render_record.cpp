#include "console/view/render_record.h"

#include <cstdio>
#include <cstring>

#include "common/log_record.h"

namespace murlo {

namespace {

// Location (up to 256 bytes and a blank) and the three numeric decorations,
// whose widest forms are "#XXXXXXXX ", "65535/65535/99 ", "65535:65535:65535 ".
constexpr size_t kPrefixSize = kLocationSize + 1 + 64;

size_t CountByte(const char* bytes, size_t length, char wanted) {
    size_t count = 0;
    const char* end = bytes + length;
    while (bytes < end) {
        const void* hit = std::memchr(bytes, wanted, static_cast<size_t>(end - bytes));
        if (hit == nullptr) break;
        ++count;
        bytes = static_cast<const char*>(hit) + 1;
    }
    return count;
}

// Appends one formatted decoration; the formats match the platform's
// wsprintfA for these conversions.
template <typename... Args>
void AppendFormatted(char* prefix, size_t& length, const char* format, Args... args) {
    int written = std::snprintf(prefix + length, kPrefixSize - length, format, args...);
    if (written > 0) {
        size_t room = kPrefixSize - length - 1;
        length += static_cast<size_t>(written) < room ? static_cast<size_t>(written) : room;
    }
}

// Writes the decorations of a record whose process id is not 0, in their
// fixed order, each with its trailing blank. Returns their length.
size_t ComposeDecorations(const LogRecordHeader& header, const PayloadView& view,
                          const ViewOptions& options, char* prefix) {
    size_t length = 0;
    if (options.showFileName && view.locationLength > 0) {
        std::memcpy(prefix, view.location, view.locationLength);
        length = view.locationLength;
        prefix[length++] = ' ';
    }
    if (options.showProcessId) {
        AppendFormatted(prefix, length, "#%08X ", static_cast<unsigned>(header.processId));
    }
    const RecordTime& time = header.localTime;
    if (options.showDate) {
        AppendFormatted(prefix, length, "%02d/%02d/%02d ", time.year % 100, int{time.month},
                        int{time.day});
    }
    if (options.showTime) {
        AppendFormatted(prefix, length, "%02d:%02d:%02d ", int{time.hour}, int{time.minute},
                        int{time.second});
    }
    return length;
}

// Deletes every CR in place; returns the new length.
size_t RemoveCarriageReturns(char* text, size_t length) {
    size_t kept = 0;
    for (size_t i = 0; i < length; ++i) {
        if (text[i] != '\r') text[kept++] = text[i];
    }
    return kept;
}

// Turns every LF into CR LF in place, working from the end so that nothing
// is overwritten before it has moved. The buffer holds length + lineFeeds.
size_t ExpandLineFeeds(char* text, size_t length, size_t lineFeeds) {
    size_t target = length + lineFeeds;
    size_t source = length;
    size_t result = target;
    while (source > 0 && target > source) {
        char c = text[--source];
        text[--target] = c;
        if (c == '\n') text[--target] = '\r';
    }
    return result;
}

}  // namespace

uint64_t RecordGrowthCapacity(uint64_t capacity, uint64_t textLength) {
    uint64_t wanted = 2 * textLength + 32;
    if (capacity >= wanted) return capacity;
    uint64_t steps = (wanted - capacity + kRenderBufferStep - 1) / kRenderBufferStep;
    return capacity + steps * kRenderBufferStep;
}

RenderResult RenderRecord(const void* payload, size_t size, const ViewOptions& options,
                          RenderState& state, RenderReallocate reallocate) {
    if (!options.loggingOn) return RenderResult::Dropped;

    PayloadView view = ClassifyPayload(payload, size);
    char prefix[kPrefixSize];
    size_t prefixLength = 0;
    size_t indentLevels = 0;
    if (view.isRecord) {
        // The header may lie at any address inside the payload: copy it.
        LogRecordHeader header;
        std::memcpy(&header, view.header, sizeof header);
        if (header.processId != 0) prefixLength = ComposeDecorations(header, view, options, prefix);
        if (state.atLineStart && header.depth > 0) {
            indentLevels = static_cast<size_t>(header.depth < kMaxIndentLevels ? header.depth
                                                                                : kMaxIndentLevels);
        }
    }
    const size_t indentLength = indentLevels * (sizeof kIndentUnit - 1);

    // Room for the composed text, and for the text after CR removal, LF
    // expansion, the added line end and the NUL. Records keep the growth
    // rule of 2 x n + 32 first; every text then grows further in the same
    // steps where it needs more, so nothing is cut and nothing overflows.
    const uint64_t composedLength = uint64_t{prefixLength} + indentLength + view.textLength;
    const uint64_t carriageReturns =
        CountByte(prefix, prefixLength, '\r') + CountByte(view.text, view.textLength, '\r');
    const uint64_t lineFeeds =
        CountByte(prefix, prefixLength, '\n') + CountByte(view.text, view.textLength, '\n');
    const uint64_t finalLength =
        composedLength - carriageReturns + lineFeeds + (options.addLineEnd ? 2 : 0);
    const uint64_t needed = (composedLength > finalLength ? composedLength : finalLength) + 1;

    uint64_t target = state.capacity;
    if (view.isRecord) target = RecordGrowthCapacity(target, view.textLength);
    if (target < needed) {
        target += (needed - target + kRenderBufferStep - 1) / kRenderBufferStep * kRenderBufferStep;
    }
    if (target > UINT32_MAX) return RenderResult::OutOfMemory;
    if (target != state.capacity) {
        char* grown = reallocate(state.buffer, state.capacity, static_cast<uint32_t>(target));
        if (grown == nullptr) return RenderResult::OutOfMemory;
        state.buffer = grown;
        state.capacity = static_cast<uint32_t>(target);
    }

    char* text = state.buffer;
    size_t length = 0;
    std::memcpy(text, prefix, prefixLength);
    length += prefixLength;
    for (size_t level = 0; level < indentLevels; ++level) {
        std::memcpy(text + length, kIndentUnit, sizeof kIndentUnit - 1);
        length += sizeof kIndentUnit - 1;
    }
    if (view.textLength > 0) std::memcpy(text + length, view.text, view.textLength);
    length += view.textLength;

    length = RemoveCarriageReturns(text, length);

    // A lone line feed that would close a line the added line end already
    // closed makes an empty line: drop it.
    if (options.addLineEnd && state.lastLineOpen && length == 1 && text[0] == '\n') {
        return RenderResult::Dropped;
    }
    const bool endsWithLineFeed = length > 0 && text[length - 1] == '\n';
    state.lastLineOpen = !endsWithLineFeed;

    length = ExpandLineFeeds(text, length, static_cast<size_t>(lineFeeds));
    if (options.addLineEnd && !endsWithLineFeed) {
        text[length++] = '\r';
        text[length++] = '\n';
    }
    text[length] = '\0';
    state.atLineStart = length > 0 && text[length - 1] == '\n';
    state.length = static_cast<uint32_t>(length);
    return RenderResult::Rendered;
}

}  // namespace murlo
