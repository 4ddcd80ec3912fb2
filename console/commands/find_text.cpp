#include "console/commands/find_text.h"

namespace murlo {

TextRange FindTextSource(TextRange selection) {
    int64_t limit = int64_t(selection.min) + kFindTextMaxChars;
    return TextRange{selection.min, selection.max < limit ? selection.max : int32_t(limit)};
}

size_t CopyFindText(const char* text, size_t length, char* out, size_t outSize,
                    LeadBytePredicate isLeadByte) {
    if (outSize == 0) return 0;
    size_t limit = outSize - 1;
    size_t used = 0;
    while (used < length && text[used] != '\0') {
        size_t width = 1;
        if (isLeadByte(static_cast<unsigned char>(text[used]))) {
            // Half a character is no text to search for.
            if (used + 1 >= length || text[used + 1] == '\0') break;
            width = 2;
        }
        if (used + width > limit) break;
        for (size_t i = 0; i < width; ++i) out[used + i] = text[used + i];
        used += width;
    }
    out[used] = '\0';
    return used;
}

TextRange SearchRange(TextRange selection, bool down) {
    return down ? TextRange{selection.max, -1} : TextRange{selection.min, 0};
}

}  // namespace murlo
