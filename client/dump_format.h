// The fixed-layout lines of the hex dump and the register dump, and the
// error line of an unreadable dump range. Portable: no <windows.h>; the
// ANSI code page is passed in.
#pragma once

#include <cstddef>
#include <cstdint>

namespace murlo {

constexpr size_t kDumpBytesPerLine = 16;
constexpr size_t kDumpLineLength = 79;     // CR LF included
constexpr size_t kRegisterLineLength = 64; // CR LF included
constexpr unsigned kJapaneseCodePage = 932;

// Whether the character column shows byte as itself: printable ASCII, and
// the single-byte kana range 0xA1 to 0xDF under code page 932.
bool IsDumpCharacter(unsigned char byte, unsigned codePage);

// Number of lines a dump of length bytes takes.
uint32_t DumpLineCount(uint32_t length);

// Writes one 79-character dump line and its NUL into out (at least
// kDumpLineLength + 1 bytes): the address (low 32 bits), count bytes
// (1 to 16) in hexadecimal and as characters; the columns of missing bytes
// stay blank. Returns the line's length.
size_t FormatDumpLine(char* out, size_t outSize, uint32_t address, const unsigned char* bytes,
                      size_t count, unsigned codePage);

// "Invalid Pointer 0x%08X-0x%08X" of the first and last byte of a range.
void FormatInvalidPointer(char* out, size_t outSize, uint32_t first, uint32_t last);

// The two 64-character register lines of eight values (EAX, EBX, ECX, EDX,
// ESI, EDI, EBP, ESP).
void FormatRegisterLines(char* first, char* second, size_t outSize, const uint32_t values[8]);

}  // namespace murlo
