#include "client/compose.h"

#include <cstring>

namespace murlo {

namespace {

constexpr char kCr = '\r';
constexpr char kLf = '\n';

// Where the pending bytes are cut so that count more bytes fit: after the
// last LF, so that the next record begins a line, when the bytes after it
// leave room for them; otherwise at the last character boundary, and before
// a final CR, which may pair with an LF still to come.
size_t SplitPoint(const TextComposer& composer, size_t count) {
    const char* pending = composer.pending;
    size_t length = composer.pendingLength;
    for (size_t i = length; i > 0; --i) {
        if (pending[i - 1] != kLf) continue;
        // The last LF leaves the most room. It may leave too little: with
        // LF, 1022 bytes and an LF that becomes CR LF, the only LF is first.
        if (length - i + count <= kMaxRecordText) return i;
        break;
    }
    size_t cut = length;
    if (composer.isLeadByte) {
        // Records begin on a character boundary, so a walk from the start
        // finds every boundary; a lead byte at the end waits for its trail.
        size_t at = 0;
        while (at < length) {
            size_t step = composer.isLeadByte(static_cast<unsigned char>(pending[at])) ? 2 : 1;
            if (at + step > length) break;
            at += step;
        }
        cut = at;
    }
    if (cut > 0 && pending[cut - 1] == kCr) --cut;
    // A full record of 1023 bytes always leaves a cut of at least 1021.
    return cut > 0 ? cut : length;
}

void SendRecord(TextComposer& composer, size_t count) {
    char* text = composer.record.text;
    std::memcpy(text, composer.pending, count);
    std::memset(text + count, 0, kRecordTextSize - count);
    composer.sink.send(composer.sink.context, composer.record);
    ++composer.sentRecords;
    composer.pendingLength -= count;
    std::memmove(composer.pending, composer.pending + count, composer.pendingLength);
}

void Append(TextComposer& composer, const char* bytes, size_t count) {
    // Each cut sends at least one byte, so the loop ends; the cut leaves at
    // most two bytes pending, and count is at most two.
    while (composer.pendingLength + count > kMaxRecordText)
        SendRecord(composer, SplitPoint(composer, count));
    std::memcpy(composer.pending + composer.pendingLength, bytes, count);
    composer.pendingLength += count;
}

}  // namespace

void BeginText(TextComposer& composer, const RecordFields& fields, LeadBytePredicate isLeadByte,
               RecordSink sink) {
    StartRecord(&composer.record, sizeof composer.record);
    LogRecordHeader& header = composer.record.header;
    header.processId = fields.processId;
    header.localTime = fields.localTime;
    SetRecordLocation(header, fields.file, fields.line);
    header.depth = fields.depth;
    composer.pendingLength = 0;
    composer.seenByte = false;
    composer.previous = 0;
    composer.sentRecords = 0;
    composer.isLeadByte = isLeadByte;
    composer.sink = sink;
}

void AddText(TextComposer& composer, const char* text, size_t length) {
    static const char kCrLf[2] = {kCr, kLf};
    for (size_t i = 0; i < length && text[i] != '\0'; ++i) {
        char byte = text[i];
        if (byte == kLf && composer.seenByte && composer.previous != kCr) {
            Append(composer, kCrLf, 2);
        } else {
            Append(composer, &byte, 1);
        }
        composer.seenByte = true;
        composer.previous = byte;
    }
}

void EndText(TextComposer& composer) {
    if (composer.pendingLength > 0 || composer.sentRecords == 0) {
        SendRecord(composer, composer.pendingLength);
    }
}

void ComposeText(const RecordFields& fields, const char* text, LeadBytePredicate isLeadByte,
                 RecordSink sink) {
    TextComposer composer;
    BeginText(composer, fields, isLeadByte, sink);
    AddText(composer, text, std::strlen(text));
    EndText(composer);
}

}  // namespace murlo
