// Every export of MURLODLL, called by another process through
// GetProcAddress, sends exactly the records it should to the window of
// class "MurloClass" that this test shows in place of the console.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/client_support.h"
#include "support/wine_support.h"

namespace {

using murlo::test::DriverResult;
using murlo::test::RecordingWindow;
using murlo::test::RunDriver;

struct Expected {
    std::string text;
    std::string location;
    int32_t depth;
};

class ClientExports : public murlo::test::RecordingConsoleTest {
protected:

    // Runs the driver and checks what every record must have.
    DriverResult Run(const std::vector<std::string>& args) {
        console.records.clear();
        console.pings = 0;
        DriverResult result = RunDriver(args);
        EXPECT_EQ(result.exitCode, 0);
        EXPECT_EQ(console.pings, 1) << "a running console is greeted once";
        for (const auto& record : console.records) {
            EXPECT_EQ(record.size, 1312u);
            EXPECT_TRUE(record.isRecord);
            EXPECT_EQ(record.processId, result.processId);
            EXPECT_GE(record.time.year, 2000);
        }
        return result;
    }

    void ExpectRecords(const std::vector<Expected>& expected, const char* name) {
        ASSERT_EQ(console.records.size(), expected.size()) << name;
        for (size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(console.records[i].text, expected[i].text) << name << " record " << i;
            EXPECT_EQ(console.records[i].location, expected[i].location) << name << " record " << i;
            EXPECT_EQ(console.records[i].depth, expected[i].depth) << name << " record " << i;
        }
    }

};

TEST_F(ClientExports, EachSendsItsRecords) {
    const std::string reg1 = "EAX = 00000001  EBX = 23456789  ECX = ABCDEF01  EDX = FFFFFFFF\r\n";
    const std::string reg2 = "ESI = 00000000  EDI = 00000010  EBP = 0012FF80  ESP = 0012FF70\r\n";
    const std::vector<std::string> regs = {"1", "23456789", "ABCDEF01", "FFFFFFFF", "0", "10", "12FF80", "12FF70"};
    auto with = [](std::vector<std::string> head, const std::vector<std::string>& tail) {
        head.insert(head.end(), tail.begin(), tail.end());
        return head;
    };
    struct Case {
        const char* name;
        std::vector<std::string> args;
        std::vector<Expected> records;
    } cases[] = {
        {"StringA", {"string", "a\\nb"}, {{"a\r\nb", "", 0}}},
        {"StringA empty", {"string", ""}, {{"", "", 0}}},
        {"StringFA", {"stringF", "main.c", "12", "x\\r\\ny\\rz"}, {{"x\r\ny\rz", "main.c(12)", 0}}},
        {"StringFA null file", {"stringF", "-", "77", "t"}, {{"t", "", 0}}},
        {"StringFA empty file", {"stringF", "", "5", "t"}, {{"t", "(5)", 0}}},
        {"StringFA negative line", {"stringF", "n.c", "-3", "\\nt\\n"}, {{"\nt\r\n", "n.c(-3)", 0}}},
        {"FormatA", {"format", "%d|%s|%c|%%|%X", "i:-42", "s:abc", "i:65", "u:BEEF"}, {{"-42|abc|A|%|BEEF", "", 0}}},
        {"FormatA %S is wide", {"format", "%S|%s", "w:wide", "s:narrow"}, {{"wide|narrow", "", 0}}},
        {"FormatFA", {"formatF", "f.c", "3", "v=%d\\n", "i:7"}, {{"v=7\r\n", "f.c(3)", 0}}},
        {"RegistersA", with({"registers", "r.c", "4"}, regs), {{reg1, "r.c(4)", 0}, {reg2, "r.c(4)", 0}}},
        {"RegistersW", with({"registersW", "rw.c", "5"}, regs), {{reg1, "rw.c(5)", 0}, {reg2, "rw.c(5)", 0}}},
        {"RegistersW null file", with({"registersW", "-", "5"}, regs), {{reg1, "", 0}, {reg2, "", 0}}},
        {"StringW", {"stringW", "wide\\n"}, {{"wide\r\n", "", 0}}},
        {"StringFW", {"stringFW", "w.c", "8", "t"}, {{"t", "w.c(8)", 0}}},
        {"StringFW null file", {"stringFW", "-", "8", "t"}, {{"t", "", 0}}},
        {"FormatW %s is wide", {"formatW", "%s|%S|%d", "w:wide", "s:narrow", "i:5"}, {{"wide|narrow|5", "", 0}}},
        {"FormatFW", {"formatFW", "fw.c", "9", "%S-%s\\n", "s:n", "w:w"}, {{"n-w\r\n", "fw.c(9)", 0}}},
        {"FormatFW null file", {"formatFW", "-", "9", "x"}, {{"x", "", 0}}},
        {"EnterA", {"enter", "e.c", "1", "in %d", "i:1"}, {{"in 1", "e.c(1)", 0}}},
        {"LeaveW", {"leaveW", "l.c", "2", "out %s", "w:x"}, {{"out x", "l.c(2)", 0}}},
        {"several commands", {"string", "1", ";", "stringW", "2", ";", "format", "3"},
         {{"1", "", 0}, {"2", "", 0}, {"3", "", 0}}},
    };
    for (const auto& c : cases) {
        Run(c.args);
        ExpectRecords(c.records, c.name);
    }
}

TEST_F(ClientExports, EnterAndLeaveDepths) {
    Run({"enter", "d.c", "1", "e1", ";", "string", "s1", ";", "enter", "d.c", "2", "e2", ";",
         "string", "s2", ";", "leave", "d.c", "3", "l2", ";", "leave", "d.c", "4", "l1", ";",
         "leave", "d.c", "5", "l0", ";", "string", "s3", ";", "enterW", "d.c", "6", "ew", ";",
         "stringW", "sw", ";", "leaveW", "d.c", "7", "lw", ";", "string", "s4"});
    ExpectRecords({{"e1", "d.c(1)", 0}, {"s1", "", 1}, {"e2", "d.c(2)", 1}, {"s2", "", 2},
                   {"l2", "d.c(3)", 1}, {"l1", "d.c(4)", 0}, {"l0", "d.c(5)", 0}, {"s3", "", 0},
                   {"ew", "d.c(6)", 0}, {"sw", "", 1}, {"lw", "d.c(7)", 0}, {"s4", "", 0}},
                  "enter and leave");
}

TEST_F(ClientExports, LongTexts) {
    const std::string a2000(2000, 'a');
    // A formatted text is cut at 1023 characters, narrow and wide.
    Run({"format", "%s", "s:" + a2000});
    ExpectRecords({{std::string(1023, 'a'), "", 0}}, "narrow format");
    Run({"formatW", "%s", "w:" + a2000});
    ExpectRecords({{std::string(1023, 'a'), "", 0}}, "wide format");
    // A plain text is sent whole, in as many records as it needs; a record
    // ends after its last line end.
    const std::string line(700, 'b');
    Run({"string", line + "\\n" + line + "\\n" + line});
    ExpectRecords({{line + "\r\n", "", 0}, {line + "\r\n", "", 0}, {line, "", 0}}, "narrow string");
    Run({"stringFW", "long.c", "4", a2000});
    ExpectRecords({{std::string(1023, 'a'), "long.c(4)", 0}, {std::string(977, 'a'), "long.c(4)", 0}},
                  "wide string");
    // A full record whose only LF is its first byte, then an LF: the cut
    // after that LF frees one byte, the CR LF needs two.
    const std::string a1022(1022, 'a');
    for (const char* function : {"string", "stringW"}) {
        Run({function, "\\n" + a1022 + "\\n"});
        ExpectRecords({{"\n" + a1022, "", 0}, {"\r\n", "", 0}}, function);
    }
}

TEST_F(ClientExports, WideTextGoesThroughTheAnsiCodePage) {
    const std::wstring text = L"Gr\u00FC\u00DFe \u20AC \u4E2D";
    const std::wstring file = L"f\u00E9.c";
    std::string expected = murlo::test::ToAnsi(text);
    std::string expectedFile = murlo::test::ToAnsi(file);
    if (GetACP() == 1252) {
        // ü, ß and € exist in the code page; the CJK character becomes '?'.
        EXPECT_EQ(expected, "Gr\xFC\xDF" "e \x80 ?");
    }
    Run({"stringFW", "f\\u00E9.c", "1", "Gr\\u00FC\\u00DFe \\u20AC \\u4E2D", ";",
         "formatW", "%s|%S", "w:Gr\\u00FC\\u00DFe \\u20AC \\u4E2D", "s:n", ";",
         "pauseW", "p\\u00E9", "3"});
    ExpectRecords({{expected, expectedFile + "(1)", 0}, {expected + "|n", "", 0}}, "wide");
    ASSERT_EQ(console.pauses.size(), 1u);
    EXPECT_EQ(console.pauses[0].name, murlo::test::ToAnsi(L"p\u00E9"));
    EXPECT_EQ(console.pauses[0].number, 3);
}

TEST_F(ClientExports, EveryPrototypeKeepsTheStackBalanced) {
    // On 32-bit Windows the driver measures the stack pointer around each
    // call (standard call removes its arguments, C convention does not);
    // in the 64-bit build there is one convention and this only shows that
    // every export is reached with its prototype.
    Run({"stack"});
    EXPECT_EQ(console.records.size(), 22u);
    ASSERT_EQ(console.pauses.size(), 2u);
    EXPECT_EQ(console.pauses[0].name, "stack.c");
    EXPECT_EQ(console.pauses[0].number, 7);
    EXPECT_EQ(console.pauses[1].number, 14);
}

}  // namespace
