// Payloads sent to the console with SendMessage(WM_COPYDATA) appear in the
// view as the literal texts below, for every decoration option read at start,
// for plain strings, short payloads, fitted and full records and empty
// payloads; the caret ends after the new text.
#include "support/view_support.h"

#include <random>

namespace murlo::test {
namespace {

// A sequence that exercises indentation, continuation lines, several lines
// in one text, a record with process id 0, a lone line feed, a deep
// nesting, the year 2000, an empty location and an empty text. Every record
// carries the time 09:05:07 on 5 November of its year.
void SendSequence(const Console& console) {
    RecordFields base;
    struct Step {
        uint32_t processId;
        int32_t depth;
        const char* location;
        uint16_t year;
        bool full;
        const char* text;
    } steps[] = {
        {1234, 2, "main.cpp(42)", 2002, true, "abc"},
        {1234, 2, "main.cpp(43)", 2002, false, "def\n"},
        {0x4D2, 1, "", 2000, false, "x\r\ny\r\n"},
        {0, 3, "main.cpp(44)", 2002, false, "cont\r\n"},
        {1234, 0, "main.cpp(45)", 2002, false, "open"},
        {0, 0, "", 0, false, "\r\n"},
        {1234, 25, "deep.cpp(1)", 2099, true, "deep\n"},
        {7, -1, "neg.cpp(2)", 2002, false, ""},
        {7, 0, "last.cpp(3)", 2002, false, "end\r\n"},
    };
    for (const Step& step : steps) {
        RecordFields fields = base;
        fields.processId = step.processId;
        fields.depth = step.depth;
        fields.location = step.location;
        fields.time.year = step.year;
        fields.full = step.full;
        EXPECT_TRUE(Send(console.window, MakeRecord(fields, step.text))) << step.text;
    }
}

TEST_F(ViewTest, RecordsAppearAsRenderedForEachDecorationOption) {
    // Decorations go before the first line of a record with a process id;
    // four blanks per nesting level (at most ten) at the start of a line; CR
    // removed and every LF shown as CR LF; AddCR ends every text with a line
    // end and drops the lone line feed that would then make an empty line.
    const struct {
        const char* name;  // registry value set to 1 before start; null: none; "*": all
        const char* shown;
    } cases[] = {
        {nullptr,
         "        abcdef\r\n"
         "    x\r\n"
         "y\r\n"
         "            cont\r\n"
         "open\r\n"
         "                                        deep\r\n"
         "end\r\n"},
        {"LogFileName",
         "main.cpp(42)         abcmain.cpp(43) def\r\n"
         "    x\r\n"
         "y\r\n"
         "            cont\r\n"
         "main.cpp(45) open\r\n"
         "deep.cpp(1)                                         deep\r\n"
         "neg.cpp(2) last.cpp(3) end\r\n"},
        {"LogProcessID",
         "#000004D2         abc#000004D2 def\r\n"
         "#000004D2     x\r\n"
         "y\r\n"
         "            cont\r\n"
         "#000004D2 open\r\n"
         "#000004D2                                         deep\r\n"
         "#00000007 #00000007 end\r\n"},
        {"LogDate",
         "02/11/05         abc02/11/05 def\r\n"
         "00/11/05     x\r\n"
         "y\r\n"
         "            cont\r\n"
         "02/11/05 open\r\n"
         "99/11/05                                         deep\r\n"
         "02/11/05 02/11/05 end\r\n"},
        {"LogTime",
         "09:05:07         abc09:05:07 def\r\n"
         "09:05:07     x\r\n"
         "y\r\n"
         "            cont\r\n"
         "09:05:07 open\r\n"
         "09:05:07                                         deep\r\n"
         "09:05:07 09:05:07 end\r\n"},
        {"AddCR",
         "        abc\r\n"
         "        def\r\n"
         "    x\r\n"
         "y\r\n"
         "            cont\r\n"
         "open\r\n"
         "                                        deep\r\n"
         "\r\n"
         "end\r\n"},
        {"*",
         "main.cpp(42) #000004D2 02/11/05 09:05:07         abc\r\n"
         "main.cpp(43) #000004D2 02/11/05 09:05:07         def\r\n"
         "#000004D2 00/11/05 09:05:07     x\r\n"
         "y\r\n"
         "            cont\r\n"
         "main.cpp(45) #000004D2 02/11/05 09:05:07 open\r\n"
         "deep.cpp(1) #000004D2 99/11/05 09:05:07                                         deep\r\n"
         "neg.cpp(2) #00000007 02/11/05 09:05:07 \r\n"
         "last.cpp(3) #00000007 02/11/05 09:05:07 end\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name ? c.name : "no option");
        DeleteSettingsKey();
        if (c.name != nullptr && std::strcmp(c.name, "*") == 0) {
            for (const char* name : {"LogFileName", "LogProcessID", "LogDate", "LogTime", "AddCR"})
                SetSettingDword(name, 1);
        } else if (c.name != nullptr) {
            SetSettingDword(c.name, 1);
        }
        Console console;
        ASSERT_TRUE(StartReady(console));
        SendSequence(console);
        EXPECT_EQ(console.ViewText(), c.shown);
        ExpectCaretAtEnd(console);
        EXPECT_EQ(console.Close(), 0);
    }
}

TEST_F(ViewTest, PayloadsOfEveryShapeAreShownWithinTheirSize) {
    for (const char* name : {"LogFileName", "LogProcessID", "LogDate", "LogTime", "AddCR"})
        SetSettingDword(name, 1);
    Console console;
    ASSERT_TRUE(StartReady(console));

    std::string fullRecord = MakeRecord(RecordFields{}, "whole header, short text");
    std::string noNulText = MakeRecord(RecordFields{}, "");
    noNulText.resize(murlo::kRecordHeaderSize);
    noNulText += std::string(40, 'q');  // the text runs to the payload's end
    // Every option on: records get all four decorations and AddCR's line
    // end; a plain string is shown as it is, up to its NUL or cbData.
    const struct {
        const char* name;
        std::string bytes;
        long size;  // what cbData says; -1: all of bytes
        bool nullData;
        const char* shown;
    } cases[] = {
        {"plain string, decorations ignored", std::string("plain text\r\n", 13), 13, false, "plain text\r\n"},
        {"plain string with a lone LF", std::string("one\ntwo", 8), 8, false, "one\r\ntwo\r\n"},
        {"plain string cut by cbData", "abcdefXYZ", 6, false, "abcdef\r\n"},
        // 288 is the bytes 0x20 0x01: a string of a blank, 0x01 and "DB061".
        {"shorter than the header", fullRecord.substr(0, 100), 100, false, " \x01" "DB061\r\n"},
        {"header only, no text", fullRecord.substr(0, murlo::kRecordHeaderSize), -1, false,
         "main.cpp(42) #000004D2 02/11/05 09:05:07 \r\n"},
        {"fitted record", MakeRecord(RecordFields{}, "fitted\r\n"), -1, false,
         "main.cpp(42) #000004D2 02/11/05 09:05:07 fitted\r\n"},
        {"full record", MakeRecord(RecordFields{4321, {}, "f.cpp(9)", 1, true}, "full"), -1, false,
         "f.cpp(9) #000010E1 00/00/00 00:00:00     full\r\n"},
        {"record text without NUL", noNulText, -1, false,
         "main.cpp(42) #000004D2 02/11/05 09:05:07 qqqqqqqqqqqqqqqqqqqqqqqqqqqqqqqqqqqqqqqq\r\n"},
        {"cbData 0", "ignored", 0, false, "\r\n"},
        {"no data at all", "", 0, true, "\r\n"},
    };
    std::string shown;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DWORD size = static_cast<DWORD>(c.size < 0 ? c.bytes.size() : c.size);
        const void* data = c.nullData ? nullptr : c.bytes.data();
        ASSERT_TRUE(Send(console.window, data, size));
        shown += c.shown;
        EXPECT_EQ(console.ViewText(), shown);
        ExpectCaretAtEnd(console);
    }
    EXPECT_NE(shown.find("abcdef"), std::string::npos);
    EXPECT_EQ(shown.find("XYZ"), std::string::npos);
    EXPECT_EQ(console.Close(), 0);
}

// Payloads that no client sends, from another process: a size with no data,
// and 64 KiB of random bytes (with NULs, without NULs, behind a valid
// record header). The console answers each and shows the next record on a
// line of its own (every text gets its line end here).
TEST_F(ViewTest, OddPayloadsFromAnotherProcessLeaveTheConsoleAnswering) {
    SetSettingDword("AddCR", 1);
    Console console;
    ASSERT_TRUE(StartReady(console));
    for (DWORD size : {1u, 288u, 1312u, 65536u}) {
        SCOPED_TRACE(size);
        ASSERT_TRUE(Send(console.window, nullptr, size));
        ASSERT_TRUE(Send(console.window, MakeRecord(RecordFields{}, "after nothing")));
        // The empty payload may show as a blank line at most.
        std::string text = console.ViewText();
        EXPECT_TRUE(text == "after nothing\r\n" || text == "\r\nafter nothing\r\n") << text;
        SendMessageA(console.View(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
    }

    std::mt19937 random(65536);
    for (int kind = 0; kind < 3; ++kind) {
        SCOPED_TRACE(kind);
        std::string bytes(65536, '\0');
        for (char& byte : bytes) byte = static_cast<char>(kind == 0 ? random() % 256 : 1 + random() % 255);
        if (kind == 2) {
            std::string header = MakeRecord(RecordFields{}, "");
            bytes.replace(0, murlo::kRecordHeaderSize, header, 0, murlo::kRecordHeaderSize);
        }
        ASSERT_TRUE(Send(console.window, bytes));
        ASSERT_TRUE(Send(console.window, MakeRecord(RecordFields{}, "next")));
        const std::string text = console.ViewText();
        ASSERT_GE(text.size(), 8u);
        EXPECT_EQ(text.substr(text.size() - 7), "\nnext\r\n");
        EXPECT_LE(text.size(), static_cast<size_t>(2 * kViewTextLimit));
    }
    EXPECT_EQ(console.Close(), 0);
}

// Whatever the user selected, an append moves the caret after the new text.
TEST_F(ViewTest, AppendReplacesTheUsersSelectionByTheCaretAtTheEnd) {
    Console console;
    ASSERT_TRUE(StartReady(console));
    ASSERT_TRUE(Send(console.window, MakeRecord(RecordFields{}, "first line\r\nsecond line\r\n")));
    SendMessageA(console.View(), EM_SETSEL, 2, 7);
    ASSERT_EQ(GetViewSelection(console.View()).end, 7);
    ASSERT_TRUE(Send(console.window, MakeRecord(RecordFields{}, "third\r\n")));
    EXPECT_EQ(console.ViewText(), "first line\r\nsecond line\r\nthird\r\n");
    ExpectCaretAtEnd(console);
    EXPECT_EQ(console.Close(), 0);
}

// Started with "stop", the console ignores payloads: the view stays empty.
TEST_F(ViewTest, PayloadsAreIgnoredWhileLoggingIsOff) {
    Console console;
    ASSERT_TRUE(StartReady(console, "/stop"));
    ASSERT_TRUE(Send(console.window, MakeRecord(RecordFields{}, "not shown\r\n")));
    ASSERT_TRUE(Send(console.window, std::string("plain\r\n", 8)));
    EXPECT_EQ(console.ViewText(), "");
    EXPECT_EQ(console.Close(), 0);
}

}  // namespace
}  // namespace murlo::test
