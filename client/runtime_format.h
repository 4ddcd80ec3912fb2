// printf-style formatting by the Windows C runtime (msvcrt), whose rules
// callers expect: in a wide format %s takes a wide string and %S a narrow
// one. mingw-w64's own C99 printf, which C++ mode selects for the standard
// names, reverses these, so the runtime's _vsnprintf and _vsnwprintf are
// called by name.
#pragma once

#include <cstdarg>
#include <cstddef>

namespace murlo {

// Formats into size bytes; output that does not fit is cut and terminated.
void FormatNarrow(char* out, size_t size, const char* format, va_list args);

// Formats into size wide characters; cut and terminated as above.
void FormatWide(wchar_t* out, size_t size, const wchar_t* format, va_list args);

}  // namespace murlo
