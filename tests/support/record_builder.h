// Payloads as clients send them, for the tests of both builds: records
// with chosen header fields, and payload bytes in a heap block of exactly
// their size, so that AddressSanitizer reports any read past its end.
#pragma once

#include <cstring>
#include <memory>
#include <string>

#include "common/log_record.h"

namespace murlo::test {

struct RecordFields {
    uint32_t processId = 1234;
    RecordTime time{2002, 11, 2, 5, 9, 5, 7, 0};
    const char* location = "main.cpp(42)";
    int32_t depth = 0;
    bool full = false;  // 1312 bytes, else fitted: 289 + text length
};

// The record's bytes: the header, then the text and its NUL. A location
// may fill its field without a NUL.
inline std::string MakeRecord(const RecordFields& fields, const std::string& text) {
    size_t size = fields.full ? kFullRecordSize : kRecordHeaderSize + text.size() + 1;
    std::string record(size, '\0');
    StartRecord(record.data(), size);
    LogRecordHeader header;
    std::memcpy(&header, record.data(), sizeof header);
    header.processId = fields.processId;
    header.localTime = fields.time;
    std::memset(header.location, 0, kLocationSize);
    std::memcpy(header.location, fields.location, strnlen(fields.location, kLocationSize));
    header.depth = fields.depth;
    std::memcpy(record.data(), &header, sizeof header);
    SetRecordText(record.data(), size, text.data(), text.size());
    return record;
}

struct Payload {
    std::unique_ptr<char[]> bytes;
    size_t size = 0;
};

inline Payload MakePayload(const void* data, size_t size) {
    Payload payload{std::unique_ptr<char[]>(new char[size > 0 ? size : 1]), size};
    if (size > 0) std::memcpy(payload.bytes.get(), data, size);
    return payload;
}
inline Payload MakePayload(const std::string& bytes) { return MakePayload(bytes.data(), bytes.size()); }

}  // namespace murlo::test
