// The LogRecord: the one message format by which trace text reaches the
// console, carried by WM_COPYDATA. Shared by the client library, the debug
// monitor thread and the console's rendering. Portable: no <windows.h>.
#pragma once

#include <cstddef>
#include <cstdint>

namespace murlo {

// Local date and time, laid out as the platform's SYSTEMTIME.
struct RecordTime {
    uint16_t year;
    uint16_t month;
    uint16_t dayOfWeek;
    uint16_t day;
    uint16_t hour;
    uint16_t minute;
    uint16_t second;
    uint16_t milliseconds;
};

constexpr uint16_t kRecordHeaderSize = 288;           // also the offset of the text
constexpr size_t kRecordTextSize = 1024;              // text field of a full record
constexpr size_t kFullRecordSize = 1312;              // header + text field
constexpr size_t kLocationSize = 256;
constexpr char kRecordSignature[6] = "DB061";         // five letters and the NUL

#pragma pack(push, 1)
struct LogRecordHeader {
    uint16_t headerSize;            // always 288: with the signature, the record's tag
    char signature[6];              // "DB061" and its NUL
    uint32_t processId;             // 0 marks a continuation or a separator
    RecordTime localTime;
    char location[kLocationSize];   // "%s(%d)" of source file and line, or empty
    int32_t depth;                  // enter/leave nesting depth
};

// A full record as the client library sends it.
struct LogRecord {
    LogRecordHeader header;
    char text[kRecordTextSize];
};
#pragma pack(pop)

// The layout crosses process boundaries: pin every offset.
static_assert(sizeof(RecordTime) == 16);
static_assert(offsetof(LogRecordHeader, headerSize) == 0);
static_assert(offsetof(LogRecordHeader, signature) == 2);
static_assert(offsetof(LogRecordHeader, processId) == 8);
static_assert(offsetof(LogRecordHeader, localTime) == 12);
static_assert(offsetof(LogRecordHeader, location) == 28);
static_assert(offsetof(LogRecordHeader, depth) == 284);
static_assert(sizeof(LogRecordHeader) == kRecordHeaderSize);
static_assert(offsetof(LogRecord, text) == 288);
static_assert(sizeof(LogRecord) == kFullRecordSize);

// What the console makes of one WM_COPYDATA payload. Every pointer points
// into the payload and every length stays within the payload's size.
struct PayloadView {
    bool isRecord;                  // passed the acceptance test
    const LogRecordHeader* header;  // the record's header, only when isRecord
    const char* text;               // the record's text, or the plain string
    size_t textLength;              // bytes of text before its NUL, or up to the payload's end
    const char* location;           // the record's location (only when isRecord)
    size_t locationLength;          // bytes before its NUL, at most 256
};

// Applies the acceptance test to size bytes at data, reading nothing past
// data + size. A payload is a record when it holds the whole header, its
// first two bytes are 288 and the string at offset 2 is "DB061". Anything
// else is a plain string: the bytes from the first one up to a NUL or to
// the end of the payload. A null or empty payload is an empty plain string.
PayloadView ClassifyPayload(const void* data, size_t size);

// Composing, shared by the client library and the debug monitor.
// Each fills a caller-owned block; nothing is written past its size.

// Zero-fills size bytes at record and writes headerSize and signature.
// size must be at least the header's size.
void StartRecord(void* record, size_t size);

// Writes "%s(%d)" of file and line into location, cut to 255 characters.
// A null file leaves location empty.
void SetRecordLocation(LogRecordHeader& header, const char* file, int32_t line);

// Copies up to length bytes of text and a NUL to offset 288 of a block of
// size bytes; returns the number of text bytes copied (cut to fit).
size_t SetRecordText(void* record, size_t size, const char* text, size_t length);

}  // namespace murlo
