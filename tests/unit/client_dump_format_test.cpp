// The hex-dump line, the register lines and the error line of an
// unreadable range, byte for byte.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "client/dump_format.h"

namespace {

std::string DumpLine(uint32_t address, const std::string& bytes, unsigned codePage = 1252) {
    char line[256];
    memset(line, 'Z', sizeof line);
    size_t length = murlo::FormatDumpLine(line, sizeof line, address,
                                          reinterpret_cast<const unsigned char*>(bytes.data()),
                                          bytes.size(), codePage);
    EXPECT_EQ(length, strlen(line));
    return std::string(line, length);
}

TEST(ClientDumpFormat, FullAndPartialLines) {
    std::string sixteen;
    for (int i = 0; i < 16; ++i) sixteen += static_cast<char>(i == 1 ? 'A' : i == 2 ? ' ' : i);
    struct Case {
        const char* name;
        uint32_t address;
        std::string bytes;
        const char* line;
    } cases[] = {
        {"sixteen bytes", 0x12345678, sixteen,
         "12345678:00 41 20 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F   :.A ............. \r\n"},
        {"one byte", 0xDEADBEEF, "~",
         "DEADBEEF:7E                                                :~                \r\n"},
        {"seventeenth byte's line", 0x00000010, "\x7F\x80zz",
         "00000010:7F 80 7A 7A                                       :..zz             \r\n"},
        {"more than sixteen reads sixteen", 0xFFFFFFF0, std::string(20, 'k'),
         "FFFFFFF0:6B 6B 6B 6B 6B 6B 6B 6B 6B 6B 6B 6B 6B 6B 6B 6B   :kkkkkkkkkkkkkkkk \r\n"},
    };
    for (const auto& c : cases) {
        std::string line = DumpLine(c.address, c.bytes);
        EXPECT_EQ(line, c.line) << c.name;
        EXPECT_EQ(line.size(), murlo::kDumpLineLength) << c.name;
    }
}

TEST(ClientDumpFormat, CharacterColumn) {
    struct Case {
        unsigned char byte;
        unsigned codePage;
        bool shown;
    } cases[] = {
        {0x1F, 1252, false}, {0x20, 1252, true}, {0x7E, 1252, true}, {0x7F, 1252, false},
        {0x00, 932, false},  {0x0D, 932, false}, {0x0A, 932, false}, {0x41, 932, true},
        {0xB1, 932, true},   {0xB1, 1252, false}, {0xA1, 932, true},  {0xDF, 932, true},
        {0xA0, 932, false},  {0xE0, 932, false},  {0xA1, 936, false}, {0xFF, 1252, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(murlo::IsDumpCharacter(c.byte, c.codePage), c.shown)
            << std::hex << int(c.byte) << " cp " << std::dec << c.codePage;
        std::string line = DumpLine(0, std::string(1, static_cast<char>(c.byte)), c.codePage);
        EXPECT_EQ(line[60], c.shown ? static_cast<char>(c.byte) : '.');
    }
}

TEST(ClientDumpFormat, LineCount) {
    struct Case {
        uint32_t length;
        uint32_t lines;
    } cases[] = {{0, 0}, {1, 1}, {16, 1}, {17, 2}, {32, 2}, {33, 3}, {0xFFFFFFFF, 0x10000000}};
    for (const auto& c : cases) EXPECT_EQ(murlo::DumpLineCount(c.length), c.lines) << c.length;
}

TEST(ClientDumpFormat, TooSmallBufferGetsNothing) {
    // An exact heap block, so that a write past it is reported.
    auto line = std::make_unique<char[]>(murlo::kDumpLineLength);
    const unsigned char bytes[1] = {0x41};
    EXPECT_EQ(murlo::FormatDumpLine(line.get(), murlo::kDumpLineLength, 0, bytes, 1, 932), 0u);
    EXPECT_EQ(line[0], '\0');
}

TEST(ClientDumpFormat, InvalidPointerLine) {
    char out[256];
    murlo::FormatInvalidPointer(out, sizeof out, 0x0000ABCD, 0xFFFF0001);
    EXPECT_STREQ(out, "Invalid Pointer 0x0000ABCD-0xFFFF0001");
}

TEST(ClientDumpFormat, RegisterLines) {
    const uint32_t values[8] = {0x1, 0x23456789, 0xABCDEF01, 0xFFFFFFFF, 0, 0x10, 0x0012FF80, 0x0012FF70};
    char first[256], second[256];
    murlo::FormatRegisterLines(first, second, sizeof first, values);
    EXPECT_STREQ(first, "EAX = 00000001  EBX = 23456789  ECX = ABCDEF01  EDX = FFFFFFFF\r\n");
    EXPECT_STREQ(second, "ESI = 00000000  EDI = 00000010  EBP = 0012FF80  ESP = 0012FF70\r\n");
    EXPECT_EQ(strlen(first), murlo::kRegisterLineLength);
    EXPECT_EQ(strlen(second), murlo::kRegisterLineLength);
}

}  // namespace
