#include "console/view/control_units.h"

namespace murlo {

namespace {

bool IsLead(const ControlTextForm& form, char c) {
    return form.isLeadByte != nullptr && form.isLeadByte(static_cast<unsigned char>(c));
}

// Bytes of the UTF-8 sequence at text[i], or 1 when none begins there
// (a stray or cut sequence is replaced by one character).
size_t Utf8SequenceBytes(const char* text, size_t length, size_t i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    size_t bytes = lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3
                 : lead >= 0xF0 && lead <= 0xF4 ? 4 : 1;
    if (bytes == 1 || length - i < bytes) return 1;
    for (size_t k = 1; k < bytes; ++k) {
        if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return 1;
    }
    return bytes;
}

// Bytes of one stored character at text[i]; a lead byte without its
// trail byte counts alone.
size_t StoredCharBytes(const char* text, size_t length, size_t i, const ControlTextForm& form) {
    if (form.utf8) return Utf8SequenceBytes(text, length, i);
    return IsLead(form, text[i]) && i + 1 < length ? 2 : 1;
}

// Characters of the control that the stored character of bytes bytes makes:
// a four-byte UTF-8 sequence is a surrogate pair.
size_t StoredCharCount(size_t bytes, const ControlTextForm& form) {
    return form.utf8 && bytes == 4 ? 2 : 1;
}

// A paragraph end, kept as one CR, shows as CR LF.
size_t StoredCharUnits(const char* text, size_t bytes, const ControlTextForm& form) {
    if (form.paragraphIsCr && bytes == 1 && text[0] == '\r') return 2;
    return StoredCharCount(bytes, form);
}

// Bytes of text at text[i] that become one character when inserted.
size_t InsertedCharBytes(const char* text, size_t length, size_t i, const ControlTextForm& form) {
    if (form.paragraphIsCr && text[i] == '\r') {
        if (i + 2 < length && text[i + 1] == '\r' && text[i + 2] == '\n') return 3;
        if (i + 1 < length && text[i + 1] == '\n') return 2;
        return 1;
    }
    return StoredCharBytes(text, length, i, form);
}

}  // namespace

size_t StoredTextUnits(const char* stored, size_t length, const ControlTextForm& form) {
    size_t units = 0;
    for (size_t i = 0; i < length;) {
        size_t bytes = StoredCharBytes(stored, length, i, form);
        units += StoredCharUnits(stored + i, bytes, form);
        i += bytes;
    }
    return units;
}

size_t StoredCharsWithin(const char* stored, size_t length, size_t units,
                         const ControlTextForm& form) {
    size_t chars = 0;
    size_t used = 0;
    size_t i = 0;
    while (i < length) {
        size_t bytes = StoredCharBytes(stored, length, i, form);
        size_t charUnits = StoredCharUnits(stored + i, bytes, form);
        if (used + charUnits > units) break;
        used += charUnits;
        i += bytes;
        chars += StoredCharCount(bytes, form);
    }
    return chars;
}

ControlChar NextControlChar(const char* text, size_t length, size_t i, const ControlTextForm& form) {
    size_t bytes = InsertedCharBytes(text, length, i, form);
    // The 2.0 control ends a paragraph at a CR LF, a lone CR or a lone LF,
    // not at a soft break; the 1.0 control begins a line after each LF.
    bool endsLine = text[i] == '\n' || (form.paragraphIsCr && text[i] == '\r' && bytes < 3);
    return ControlChar{bytes, StoredCharCount(bytes, form), endsLine};
}

size_t FittingPrefix(const char* text, size_t length, size_t room, const ControlTextForm& form) {
    size_t i = 0;
    for (size_t chars = 0; i < length;) {
        size_t bytes = InsertedCharBytes(text, length, i, form);
        chars += StoredCharCount(bytes, form);
        if (chars > room) break;
        i += bytes;
    }
    return i;
}

}  // namespace murlo
