// Wide input of the client library, converted with the ANSI code page.
#pragma once

#include <cstddef>

namespace murlo {

// Converts text and its NUL into size bytes. False when it does not fit;
// out then holds an empty string.
bool ConvertWide(const wchar_t* text, char* out, size_t size);

// Converts as many whole characters of text as fit into size bytes with
// the NUL (a source file name, a pause text).
void ConvertWideCut(const wchar_t* text, char* out, size_t size);

// Sends a wide text of any length: converted whole into 1024 bytes when it
// fits, else piece by piece into records under outputLock.
void SendWideText(const char* file, int line, const wchar_t* text);

}  // namespace murlo
