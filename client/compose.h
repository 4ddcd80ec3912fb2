// Composing the records of one text: the CR-before-LF rule and the split of
// a long text into further records. Portable: no <windows.h>; the sending
// and the code page's lead bytes are passed in.
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/lead_byte.h"
#include "common/log_record.h"

namespace murlo {

// Bytes of text a full record holds before its NUL.
constexpr size_t kMaxRecordText = kRecordTextSize - 1;

// Receives each finished record; the record lives only during the call.
struct RecordSink {
    void (*send)(void* context, const LogRecord& record);
    void* context;
};

// The fields that every record of one text carries.
struct RecordFields {
    const char* file;      // source file, or null for no location
    int32_t line;
    uint32_t processId;
    RecordTime localTime;
    int32_t depth;
};

// The state of one text being composed; lives on the caller's stack.
struct TextComposer {
    LogRecord record;                // header of every record; text filled when sent
    char pending[kMaxRecordText];    // composed bytes not yet sent
    size_t pendingLength;
    bool seenByte;                   // a byte of the caller's text was taken
    char previous;                   // the caller's byte taken last
    size_t sentRecords;
    LeadBytePredicate isLeadByte;  // null for a single-byte code page
    RecordSink sink;
};

void BeginText(TextComposer& composer, const RecordFields& fields, LeadBytePredicate isLeadByte,
               RecordSink sink);

// Takes up to length bytes of the caller's text (a NUL ends it early),
// writing a CR before every LF that is not the text's first byte and does
// not follow a CR. A record is sent whenever the next bytes would not fit;
// it ends after its last LF when that leaves room for them, else at the
// last character boundary, never between a CR and the LF after it. The text may come in
// several pieces; the rule runs across them.
void AddText(TextComposer& composer, const char* text, size_t length);

// Sends what is pending: always at least one record per text, so an empty
// text gives one record with an empty text.
void EndText(TextComposer& composer);

// BeginText, AddText of the whole NUL-terminated text, EndText.
void ComposeText(const RecordFields& fields, const char* text, LeadBytePredicate isLeadByte,
                 RecordSink sink);

}  // namespace murlo
