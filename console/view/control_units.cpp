#include "console/view/control_units.h"

namespace murlo {

namespace {

bool IsLead(const ControlTextForm& form, char c) {
    return form.isLeadByte != nullptr && form.isLeadByte(static_cast<unsigned char>(c));
}

// Bytes of one stored character at text[i]; a lead byte without its
// trail byte counts alone.
size_t StoredCharBytes(const char* text, size_t length, size_t i, const ControlTextForm& form) {
    return IsLead(form, text[i]) && i + 1 < length ? 2 : 1;
}

// A paragraph end, kept as one CR, shows as CR LF.
size_t StoredCharUnits(const char* text, size_t bytes, const ControlTextForm& form) {
    return form.paragraphIsCr && bytes == 1 && text[0] == '\r' ? 2 : 1;
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
        ++chars;
    }
    return chars;
}

size_t InsertedChars(const char* text, size_t length, const ControlTextForm& form) {
    size_t chars = 0;
    for (size_t i = 0; i < length; ++chars) i += InsertedCharBytes(text, length, i, form);
    return chars;
}

size_t InsertedUnits(const char* text, size_t length, const ControlTextForm& form) {
    size_t units = 0;
    for (size_t i = 0; i < length;) {
        size_t bytes = InsertedCharBytes(text, length, i, form);
        // Every paragraph end but the soft break shows as CR LF.
        bool paragraph = form.paragraphIsCr && bytes < 3 && (text[i] == '\r' || text[i] == '\n');
        units += paragraph ? 2 : 1;
        i += bytes;
    }
    return units;
}

size_t FittingPrefix(const char* text, size_t length, size_t room, const ControlTextForm& form) {
    size_t i = 0;
    for (size_t chars = 0; i < length && chars < room; ++chars) {
        i += InsertedCharBytes(text, length, i, form);
    }
    return i;
}

}  // namespace murlo
