#include "console/capture/debug_framing.h"

#include <cstring>

namespace murlo {

DebugString ReadDebugSection(const void* section, size_t size) {
    static const char kEmpty[1] = {0};
    DebugString string = {0, kEmpty, 0};
    if (section == nullptr || size < kDebugTextOffset) return string;
    const auto* bytes = static_cast<const unsigned char*>(section);
    string.processId = static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
                       static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
    // A misbehaving writer may leave no NUL: the text then ends with the buffer.
    size_t room = (size < kDebugSectionSize ? size : kDebugSectionSize) - kDebugTextOffset;
    string.text = reinterpret_cast<const char*>(bytes + kDebugTextOffset);
    const void* nul = std::memchr(string.text, 0, room);
    string.length = nul ? static_cast<size_t>(static_cast<const char*>(nul) - string.text) : room;
    return string;
}

uint64_t DebugRecordCapacity(uint32_t capacity, size_t length) {
    uint64_t result = capacity < kRecordHeaderSize ? kRecordHeaderSize : capacity;
    uint64_t needed = static_cast<uint64_t>(length);
    if (needed >= result - kRecordHeaderSize) {
        uint64_t steps = (needed - (result - kRecordHeaderSize)) / kRecordCapacityStep + 1;
        result += steps * kRecordCapacityStep;
    }
    return result;
}

void ComposeSeparator(char (&record)[kSeparatorRecordSize]) {
    StartRecord(record, sizeof record);
    SetRecordText(record, sizeof record, "\r\n", 2);
}

TakeResult TakeDebugString(const DebugString& string, DebugFraming& framing,
                           DebugRecordBuffer& buffer, const DebugMonitorIo& io) {
    if (string.processId != framing.lastProcessId) {
        framing.lastProcessId = string.processId;
        if (!framing.lineComplete) {
            // Close the open line of the previous process first.
            char separator[kSeparatorRecordSize];
            ComposeSeparator(separator);
            io.send(separator, sizeof separator, io.context);
            framing.lineComplete = true;
        }
    }

    size_t length = string.length;
    if (buffer.data == nullptr || length >= buffer.capacity - kRecordHeaderSize) {
        uint64_t capacity = DebugRecordCapacity(buffer.data ? buffer.capacity : kRecordCapacityStart, length);
        if (capacity > UINT32_MAX) return TakeResult::OutOfMemory;
        char* grown = io.reallocate(buffer.data, static_cast<uint32_t>(capacity), io.context);
        if (grown == nullptr) return TakeResult::OutOfMemory;
        buffer.data = grown;
        buffer.capacity = static_cast<uint32_t>(capacity);
    }

    StartRecord(buffer.data, buffer.capacity);
    auto* header = reinterpret_cast<LogRecordHeader*>(buffer.data);
    header->processId = framing.lineComplete ? framing.lastProcessId : 0;
    RecordTime now = {};
    io.localTime(&now, io.context);
    std::memcpy(&header->localTime, &now, sizeof now);
    SetRecordText(buffer.data, buffer.capacity, string.text, length);
    io.send(buffer.data, static_cast<uint32_t>(kRecordHeaderSize + length + 1), io.context);

    // An empty string leaves the line open.
    framing.lineComplete = length > 0 && string.text[length - 1] == '\n';
    return TakeResult::Sent;
}

}  // namespace murlo
