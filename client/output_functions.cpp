// The narrow output functions: plain and formatted strings, enter and
// leave, the register dump.
#include <windows.h>

#include <climits>
#include <cstdarg>
#include <cstdint>

#define MURLOAPI
#include "client/client_constants.h"
#include "client/client_state.h"
#include "client/dump_format.h"
#include "client/murlo.h"
#include "client/runtime_format.h"

using namespace murlo;

namespace {

// Formats under the lock (held by the caller) and sends.
void FormatAndSend(const char* file, int line, const char* format, va_list args) {
    char text[kFormatBufferSize];
    FormatNarrow(text, sizeof text, format, args);
    DB_OutputStringFA(file, line, text);
}

}  // namespace

namespace murlo {

void RaiseDepth() {
    if (g_client.NestingDepth < LONG_MAX) ++g_client.NestingDepth;
}

void LowerDepth() {
    if (--g_client.NestingDepth < 0) g_client.NestingDepth = 0;
}

}  // namespace murlo

void __stdcall DB_OutputStringA(const char* text) { DB_OutputStringFA(nullptr, 0, text); }

void __cdecl DB_OutputStringFormatA(const char* format, ...) {
    OutputLockHold hold;
    va_list args;
    va_start(args, format);
    FormatAndSend(nullptr, 0, format, args);
    va_end(args);
}

void __cdecl DB_OutputStringFormatFA(const char* file, int line, const char* format, ...) {
    OutputLockHold hold;
    va_list args;
    va_start(args, format);
    FormatAndSend(file, line, format, args);
    va_end(args);
}

// The enter line carries the depth from before the call.
void __cdecl DB_EnterA(const char* file, int line, const char* format, ...) {
    OutputLockHold hold;
    va_list args;
    va_start(args, format);
    FormatAndSend(file, line, format, args);
    va_end(args);
    RaiseDepth();
}

// The leave line carries the lowered depth, never below 0.
void __cdecl DB_LeaveA(const char* file, int line, const char* format, ...) {
    OutputLockHold hold;
    LowerDepth();
    va_list args;
    va_start(args, format);
    FormatAndSend(file, line, format, args);
    va_end(args);
}

void __stdcall DB_OutputRegistersA(const char* file, int line, unsigned long eax, unsigned long ebx,
                                   unsigned long ecx, unsigned long edx, unsigned long esi,
                                   unsigned long edi, unsigned long ebp, unsigned long esp) {
    const uint32_t values[8] = {eax, ebx, ecx, edx, esi, edi, ebp, esp};
    char first[kRegisterLineSize];
    char second[kRegisterLineSize];
    OutputLockHold hold;
    FormatRegisterLines(first, second, kRegisterLineSize, values);
    DB_OutputStringFA(file, line, first);
    DB_OutputStringFA(file, line, second);
}
