// Payloads sent to the console with SendMessage(WM_COPYDATA) appear in the
// view exactly as rendered, for every decoration option read at start,
// for plain strings, short payloads, fitted and full records and empty
// payloads; the caret ends after the new text.
#include "view_test_support.h"

#include <random>

namespace murlo_view_test {
namespace {

// A sequence that exercises indentation, continuation lines, several lines
// in one text, a record with process id 0, a lone line feed, a deep
// nesting, the year 2000, an empty location and an empty text.
std::string SendSequence(const Console& console, ExpectedRendering& expected) {
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
    std::string shown;
    for (const Step& step : steps) {
        RecordFields fields = base;
        fields.processId = step.processId;
        fields.depth = step.depth;
        fields.location = step.location;
        fields.time.year = step.year;
        fields.full = step.full;
        std::string record = MakeRecord(fields, step.text);
        EXPECT_TRUE(Send(console.window, record));
        shown += expected.Render(record);
        EXPECT_EQ(console.ViewText(), shown) << "after " << step.text;
    }
    return shown;
}

TEST_F(ViewTest, RecordsAppearAsRenderedForEachDecorationOption) {
    const struct {
        const char* name;  // registry value set to 1 before start; null: none
        murlo::RenderOptions options;
    } cases[] = {
        {nullptr, {true, false, false, false, false, false}},
        {"LogFileName", {true, true, false, false, false, false}},
        {"LogProcessID", {true, false, true, false, false, false}},
        {"LogDate", {true, false, false, true, false, false}},
        {"LogTime", {true, false, false, false, true, false}},
        {"AddCR", {true, false, false, false, false, true}},
        {"*", {true, true, true, true, true, true}},
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
        ExpectedRendering expected(c.options);
        std::string shown = SendSequence(console, expected);
        EXPECT_FALSE(shown.empty());
        ExpectCaretAtEnd(console);
        EXPECT_EQ(console.Close(), 0);
    }
}

TEST_F(ViewTest, PayloadsOfEveryShapeAreShownWithinTheirSize) {
    for (const char* name : {"LogFileName", "LogProcessID", "LogDate", "LogTime", "AddCR"})
        SetSettingDword(name, 1);
    Console console;
    ASSERT_TRUE(StartReady(console));
    ExpectedRendering expected({true, true, true, true, true, true});

    std::string fullRecord = MakeRecord(RecordFields{}, "whole header, short text");
    std::string noNulText = MakeRecord(RecordFields{}, "");
    noNulText.resize(murlo::kRecordHeaderSize);
    noNulText += std::string(40, 'q');  // the text runs to the payload's end
    const struct {
        const char* name;
        std::string bytes;
        long size;  // what cbData says; -1: all of bytes
        bool nullData;
    } cases[] = {
        {"plain string, decorations ignored", std::string("plain text\r\n", 13), 13, false},
        {"plain string with a lone LF", std::string("one\ntwo", 8), 8, false},
        {"plain string cut by cbData", "abcdefXYZ", 6, false},
        {"shorter than the header", fullRecord.substr(0, 100), 100, false},
        {"header only, no text", fullRecord.substr(0, murlo::kRecordHeaderSize), -1, false},
        {"fitted record", MakeRecord(RecordFields{}, "fitted\r\n"), -1, false},
        {"full record", MakeRecord(RecordFields{4321, {}, "f.cpp(9)", 1, true}, "full"), -1, false},
        {"record text without NUL", noNulText, -1, false},
        {"cbData 0", "ignored", 0, false},
        {"no data at all", "", 0, true},
    };
    std::string shown;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DWORD size = static_cast<DWORD>(c.size < 0 ? c.bytes.size() : c.size);
        const void* data = c.nullData ? nullptr : c.bytes.data();
        ASSERT_TRUE(Send(console.window, data, size));
        shown += expected.Render(data, size);
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
    ASSERT_EQ(ViewSelection(console).cpMax, 7);
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
}  // namespace murlo_view_test
