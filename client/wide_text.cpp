#include "client/wide_text.h"

#include <windows.h>

#include <cstring>
#include <cwchar>

#define MURLOAPI
#include "client/client_constants.h"
#include "client/client_state.h"
#include "client/murlo.h"

namespace murlo {

namespace {

// Wide characters converted at a time when a text does not fit whole: at
// most 3 bytes each in any ANSI code page, so a piece fits 1024 bytes.
constexpr size_t kWidePiece = 256;

bool IsHighSurrogate(wchar_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(wchar_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

int ToAnsi(const wchar_t* text, int units, char* out, size_t size) {
    // No flags and the system's default character, as every wide function does.
    return WideCharToMultiByte(CP_ACP, 0, text, units, out, static_cast<int>(size), nullptr, nullptr);
}

}  // namespace

bool ConvertWide(const wchar_t* text, char* out, size_t size) {
    if (size == 0) return false;
    // With the length -1 the NUL is converted too.
    if (text != nullptr && ToAnsi(text, -1, out, size) > 0) return true;
    out[0] = '\0';
    return text == nullptr;
}

void ConvertWideCut(const wchar_t* text, char* out, size_t size) {
    if (size == 0) return;
    if (ConvertWide(text, out, size)) return;
    size_t used = 0;
    for (const wchar_t* at = text; *at != L'\0';) {
        int units = IsHighSurrogate(at[0]) && IsLowSurrogate(at[1]) ? 2 : 1;
        char piece[8];
        int bytes = ToAnsi(at, units, piece, sizeof piece);
        if (bytes <= 0 || used + static_cast<size_t>(bytes) > size - 1) break;
        std::memcpy(out + used, piece, static_cast<size_t>(bytes));
        used += static_cast<size_t>(bytes);
        at += units;
    }
    out[used] = '\0';
}

void SendWideText(const char* file, int line, const wchar_t* text) {
    char converted[kConvertedTextSize];
    if (ConvertWide(text, converted, sizeof converted)) {
        DB_OutputStringFA(file, line, converted);
        return;
    }
    if (!ConsoleReachable()) return;
    // Too long for one conversion: all pieces go out under one hold of the
    // lock, so no other thread's record comes between them.
    OutputLockHold hold;
    TextComposer composer;
    BeginConsoleText(composer, file, line);
    size_t remaining = std::wcslen(text);
    for (const wchar_t* at = text; remaining > 0;) {
        size_t units = remaining < kWidePiece ? remaining : kWidePiece;
        if (units < remaining && IsHighSurrogate(at[units - 1])) --units;  // keep a pair whole
        int bytes = ToAnsi(at, static_cast<int>(units), converted, sizeof converted);
        if (bytes > 0) AddText(composer, converted, static_cast<size_t>(bytes));
        at += units;
        remaining -= units;
    }
    EndText(composer);
}

}  // namespace murlo
