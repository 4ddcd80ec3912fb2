#include "common/log_record.h"

#include <cstdio>
#include <cstring>

namespace murlo {

namespace {

size_t BoundedLength(const char* text, size_t limit) {
    const void* nul = std::memchr(text, 0, limit);
    return nul ? static_cast<size_t>(static_cast<const char*>(nul) - text) : limit;
}

}  // namespace

PayloadView ClassifyPayload(const void* data, size_t size) {
    PayloadView view{};
    static const char kEmpty[1] = {0};
    if (data == nullptr || size == 0) {
        view.text = kEmpty;
        return view;
    }
    const auto* bytes = static_cast<const unsigned char*>(data);
    bool tagged = size >= kRecordHeaderSize && bytes[0] == (kRecordHeaderSize & 0xFF) &&
                  bytes[1] == (kRecordHeaderSize >> 8) &&
                  std::memcmp(bytes + 2, kRecordSignature, sizeof kRecordSignature) == 0;
    if (!tagged) {
        view.text = static_cast<const char*>(data);
        view.textLength = BoundedLength(view.text, size);
        return view;
    }
    view.isRecord = true;
    view.header = static_cast<const LogRecordHeader*>(data);
    view.location = view.header->location;
    view.locationLength = BoundedLength(view.location, kLocationSize);
    view.text = static_cast<const char*>(data) + kRecordHeaderSize;
    view.textLength = BoundedLength(view.text, size - kRecordHeaderSize);
    return view;
}

void StartRecord(void* record, size_t size) {
    std::memset(record, 0, size);
    auto* header = static_cast<LogRecordHeader*>(record);
    header->headerSize = kRecordHeaderSize;
    std::memcpy(header->signature, kRecordSignature, sizeof kRecordSignature);
}

void SetRecordLocation(LogRecordHeader& header, const char* file, int32_t line) {
    std::memset(header.location, 0, kLocationSize);
    if (file == nullptr) return;
    // snprintf cuts at the buffer and always terminates.
    std::snprintf(header.location, kLocationSize, "%s(%d)", file, static_cast<int>(line));
}

size_t SetRecordText(void* record, size_t size, const char* text, size_t length) {
    if (size <= kRecordHeaderSize) return 0;
    size_t room = size - kRecordHeaderSize - 1;
    size_t count = length < room ? length : room;
    char* target = static_cast<char*>(record) + kRecordHeaderSize;
    std::memcpy(target, text, count);
    target[count] = '\0';
    return count;
}

}  // namespace murlo
