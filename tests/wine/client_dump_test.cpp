// The hex dump from another process: one record per 16 bytes, lines of a
// fixed layout, nothing for a length of 0, and one error line for a range
// that cannot be read, found without touching it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/client_support.h"
#include "support/wine_support.h"

namespace {

using murlo::test::RecordingWindow;
using murlo::test::RunDriver;

// 17 bytes: "Hello, Murlo!" CR LF NUL, then 0xB1 (a kana byte in code page 932,
// which the byte-exact tests cover; here the code page is 1252).
constexpr char kData[] = "48656C6C6F2C204D75726C6F210D0A00B1";
constexpr char kFirstLineTail[] = ":48 65 6C 6C 6F 2C 20 4D 75 72 6C 6F 21 0D 0A 00   :Hello, Murlo!... \r\n";
constexpr char kSecondLineHex[] = ":B1                                                :";

class ClientDump : public murlo::test::RecordingConsoleTest {
protected:
    void Run(const std::vector<std::string>& args) {
        console.records.clear();
        EXPECT_EQ(RunDriver(args).exitCode, 0);
        for (const auto& record : console.records) EXPECT_EQ(record.size, 1312u);
    }

    // The address the driver announced in record index ("@XXXXXXXX").
    uint32_t Announced(size_t index) const {
        if (index >= console.records.size()) return 0;
        return static_cast<uint32_t>(strtoul(console.records[index].text.c_str() + 1, nullptr, 16));
    }

};

std::string Hex8(uint32_t value) {
    char text[16];
    snprintf(text, sizeof text, "%08X", value);
    return text;
}

TEST_F(ClientDump, LinesOfSixteenBytes) {
    struct Case {
        const char* name;
        std::vector<std::string> args;
        std::string location;
    } cases[] = {
        {"DB_OutputDump", {"dump", kData}, ""},
        {"DB_OutputDumpFA", {"dumpF", "d.c", "21", kData}, "d.c(21)"},
        {"DB_OutputDumpFW", {"dumpFW", "dw.c", "22", kData}, "dw.c(22)"},
        {"DB_OutputDumpFW null file", {"dumpFW", "-", "22", kData}, ""},
    };
    for (const auto& c : cases) {
        Run(c.args);
        ASSERT_EQ(console.records.size(), 3u) << c.name;
        uint32_t address = Announced(0);
        EXPECT_EQ(console.records[1].text, Hex8(address) + kFirstLineTail) << c.name;
        // The last line: blanks for the missing bytes, 0xB1 a full stop
        // outside code page 932.
        EXPECT_EQ(console.records[2].text, Hex8(address + 16) + kSecondLineHex + ".                \r\n")
            << c.name;
        for (size_t i = 1; i < 3; ++i) {
            EXPECT_EQ(console.records[i].text.size(), 79u) << c.name;
            EXPECT_EQ(console.records[i].location, c.location) << c.name;
        }
    }
    Run({"dump", "000102030405060708090A0B0C0D0E0F"});
    ASSERT_EQ(console.records.size(), 2u);
    EXPECT_EQ(console.records[1].text,
              Hex8(Announced(0)) + ":00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F   :................ \r\n");
}

TEST_F(ClientDump, ZeroLengthSendsNothing) {
    // A null pointer, and a pointer to memory that cannot be read.
    Run({"dumpF", "z.c", "1", ""});
    EXPECT_EQ(console.Texts(), std::vector<std::string>{"@00000000"});
    Run({"dumpBad", "noaccess", "0"});
    ASSERT_EQ(console.records.size(), 1u) << "only the driver's note";
}

TEST_F(ClientDump, UnreadableRangeSendsOneErrorLine) {
    struct Case {
        const char* kind;
        const char* length;
    } cases[] = {
        {"noaccess", "16"}, {"guard", "16"}, {"reserved", "17"}, {"tail", "16"}, {"null", "16"},
    };
    for (const auto& c : cases) {
        Run({"dumpBad", c.kind, c.length});
        ASSERT_GE(console.records.size(), 2u) << c.kind;
        // The driver's note "@FIRST-LAST" gives the first and last byte.
        std::string range = console.records[0].text.substr(1);
        std::string expected = "Invalid Pointer 0x" + range.substr(0, 8) + "-0x" + range.substr(9, 8);
        EXPECT_EQ(console.records[1].text, expected) << c.kind;
        EXPECT_EQ(console.records[1].location, "bad.c(9)") << c.kind;
        if (std::string(c.kind) == "guard") {
            ASSERT_EQ(console.records.size(), 3u);
            EXPECT_EQ(console.records[2].text, "guard armed") << "the test must not touch the range";
        } else {
            EXPECT_EQ(console.records.size(), 2u) << c.kind;
        }
    }
    Run({"dumpBad", "null", "16"});
    ASSERT_EQ(console.records.size(), 2u);
    EXPECT_EQ(console.records[1].text, "Invalid Pointer 0x00000000-0x0000000F");
}

}  // namespace
