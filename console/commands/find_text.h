// Find rules that work on plain numbers and bytes: the part of a selection
// that becomes the search text, the byte-bounded copy of that text, and the
// range one search step covers. Portable; console/commands/find.cpp drives
// the view and the find dialog with them.
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/lead_byte.h"

namespace murlo {

// A range of character positions in the view, as the rich edit control
// gives and takes them (max -1: the end of the text).
struct TextRange {
    int32_t min;
    int32_t max;
};

// At most this many characters of a selection become the search text.
inline constexpr int32_t kFindTextMaxChars = 255;

// The part of a non-empty selection that is copied: from its start to its
// end, but to at most kFindTextMaxChars characters after the start.
TextRange FindTextSource(TextRange selection);

// Copies text (length bytes) into out (outSize bytes) and terminates it.
// Copies at most outSize - 1 bytes and never the first byte of a double-byte
// character without its second: a character that does not fit, or a lead
// byte that ends the text, is left out. The copy stops at a NUL. Returns the
// number of bytes copied; nothing is written when outSize is 0.
size_t CopyFindText(const char* text, size_t length, char* out, size_t outSize,
                    LeadBytePredicate isLeadByte);

// The range one search step covers: downward from the selection's end to
// the end of the text, upward from its start to the beginning.
TextRange SearchRange(TextRange selection, bool down);

}  // namespace murlo
