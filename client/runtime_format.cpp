#include "client/runtime_format.h"

#include <stdio.h>
#include <wchar.h>

#ifdef _UCRT
#error "The client library formats with msvcrt's _vsnprintf and _vsnwprintf; build against msvcrt."
#endif

namespace murlo {

void FormatNarrow(char* out, size_t size, const char* format, va_list args) {
    if (size == 0) return;
    if (format == nullptr) {
        out[0] = '\0';
        return;
    }
    // _vsnprintf leaves a cut string without its NUL.
    _vsnprintf(out, size, format, args);
    out[size - 1] = '\0';
}

void FormatWide(wchar_t* out, size_t size, const wchar_t* format, va_list args) {
    if (size == 0) return;
    if (format == nullptr) {
        out[0] = L'\0';
        return;
    }
    _vsnwprintf(out, size, format, args);
    out[size - 1] = L'\0';
}

}  // namespace murlo
