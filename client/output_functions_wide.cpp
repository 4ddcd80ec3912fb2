// The wide output functions: each converts with the ANSI code page and
// leads to its narrow counterpart. A null source file stays null.
#include <windows.h>

#include <cstdarg>

#define MURLOAPI
#include "client/client_constants.h"
#include "client/client_state.h"
#include "client/murlo.h"
#include "client/runtime_format.h"
#include "client/wide_text.h"

using namespace murlo;

namespace {

// The converted source file name; name() is null when none was given.
struct ConvertedFile {
    explicit ConvertedFile(const wchar_t* file) : given(file != nullptr) {
        ConvertWideCut(file, text, sizeof text);
    }
    const char* name() const { return given ? text : nullptr; }
    bool given;
    char text[kConvertedNameSize];
};

// Formats under the lock (held by the caller), converts and sends.
void FormatAndSendWide(const wchar_t* file, int line, const wchar_t* format, va_list args) {
    wchar_t text[kFormatBufferSize];
    FormatWide(text, kFormatBufferSize, format, args);
    ConvertedFile converted(file);
    SendWideText(converted.name(), line, text);
}

}  // namespace

void __stdcall DB_OutputStringW(const wchar_t* text) { SendWideText(nullptr, 0, text); }

void __stdcall DB_OutputStringFW(const wchar_t* file, int line, const wchar_t* text) {
    ConvertedFile converted(file);
    SendWideText(converted.name(), line, text);
}

void __cdecl DB_OutputStringFormatW(const wchar_t* format, ...) {
    OutputLockHold hold;
    va_list args;
    va_start(args, format);
    FormatAndSendWide(nullptr, 0, format, args);
    va_end(args);
}

void __cdecl DB_OutputStringFormatFW(const wchar_t* file, int line, const wchar_t* format, ...) {
    OutputLockHold hold;
    va_list args;
    va_start(args, format);
    FormatAndSendWide(file, line, format, args);
    va_end(args);
}

void __stdcall DB_OutputDumpFW(const wchar_t* file, int line, const void* data, unsigned long length) {
    ConvertedFile converted(file);
    DB_OutputDumpFA(converted.name(), line, data, length);
}

void __stdcall DB_OutputRegistersW(const wchar_t* file, int line, unsigned long eax, unsigned long ebx,
                                   unsigned long ecx, unsigned long edx, unsigned long esi,
                                   unsigned long edi, unsigned long ebp, unsigned long esp) {
    ConvertedFile converted(file);
    DB_OutputRegistersA(converted.name(), line, eax, ebx, ecx, edx, esi, edi, ebp, esp);
}

void __cdecl DB_EnterW(const wchar_t* file, int line, const wchar_t* format, ...) {
    OutputLockHold hold;
    va_list args;
    va_start(args, format);
    FormatAndSendWide(file, line, format, args);
    va_end(args);
    RaiseDepth();
}

void __cdecl DB_LeaveW(const wchar_t* file, int line, const wchar_t* format, ...) {
    OutputLockHold hold;
    LowerDepth();
    va_list args;
    va_start(args, format);
    FormatAndSendWide(file, line, format, args);
    va_end(args);
}
