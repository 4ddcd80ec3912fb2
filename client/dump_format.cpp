#include "client/dump_format.h"

#include <cstdio>
#include <cstring>

#include "client/client_constants.h"

namespace murlo {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

// Columns of the dump line.
constexpr size_t kColonColumn = 8;
constexpr size_t kFirstHexColumn = 9;
constexpr size_t kCharColonColumn = 59;
constexpr size_t kFirstCharColumn = 60;
constexpr size_t kLineEndColumn = 77;

void WriteHex(char* out, uint32_t value, int digits) {
    for (int i = digits - 1; i >= 0; --i) {
        out[i] = kHexDigits[value & 0xF];
        value >>= 4;
    }
}

}  // namespace

bool IsDumpCharacter(unsigned char byte, unsigned codePage) {
    if (byte >= 0x20 && byte <= 0x7E) return true;
    return codePage == kJapaneseCodePage && byte >= 0xA1 && byte <= 0xDF;
}

uint32_t DumpLineCount(uint32_t length) {
    return length == 0 ? 0 : ((length - 1) >> 4) + 1;
}

size_t FormatDumpLine(char* out, size_t outSize, uint32_t address, const unsigned char* bytes,
                      size_t count, unsigned codePage) {
    if (outSize < kDumpLineLength + 1) {
        if (outSize > 0) out[0] = '\0';
        return 0;
    }
    if (count > kDumpBytesPerLine) count = kDumpBytesPerLine;
    std::memset(out, ' ', kDumpLineLength);
    WriteHex(out, address, 8);
    out[kColonColumn] = ':';
    for (size_t i = 0; i < count; ++i) {
        WriteHex(out + kFirstHexColumn + 3 * i, bytes[i], 2);
        out[kFirstCharColumn + i] = IsDumpCharacter(bytes[i], codePage) ? static_cast<char>(bytes[i]) : '.';
    }
    out[kCharColonColumn] = ':';
    out[kLineEndColumn] = '\r';
    out[kLineEndColumn + 1] = '\n';
    out[kDumpLineLength] = '\0';
    return kDumpLineLength;
}

void FormatInvalidPointer(char* out, size_t outSize, uint32_t first, uint32_t last) {
    std::snprintf(out, outSize, kInvalidPointerFormat, static_cast<unsigned>(first),
                  static_cast<unsigned>(last));
}

void FormatRegisterLines(char* first, char* second, size_t outSize, const uint32_t values[8]) {
    std::snprintf(first, outSize, kRegisterLine1Format, static_cast<unsigned>(values[0]),
                  static_cast<unsigned>(values[1]), static_cast<unsigned>(values[2]),
                  static_cast<unsigned>(values[3]));
    std::snprintf(second, outSize, kRegisterLine2Format, static_cast<unsigned>(values[4]),
                  static_cast<unsigned>(values[5]), static_cast<unsigned>(values[6]),
                  static_cast<unsigned>(values[7]));
}

}  // namespace murlo
