// Filling the view past its limit: the oldest lines go, the newest text is
// the view's end, the caret stands after it and the stored length never
// passes 0x7000 characters. The view is compared with the portable append
// logic run on a model of the Windows control (limit counting a line end
// once), so the rich edit glue must behave as that control does.
#include <string>

#include "console/view/view_append.h"
#include "tests/unit/text_control_model.h"
#include "view_test_support.h"

namespace murlo_view_test {
namespace {

struct ModelView {
    murlo::test::TextControlModel model;
    ModelView() {
        model.limit = kViewTextLimit;
        model.lineEndIsOneChar = true;
    }
    void Append(const std::string& text) { murlo::AppendToView(model, text.c_str(), text.size()); }
};

std::string Numbered(int i, size_t width) {
    std::string text = "record " + std::to_string(i) + " ";
    if (text.size() < width) text.append(width - text.size(), static_cast<char>('a' + i % 26));
    return text;
}

void ExpectWithinLimitWithCaretAtEnd(const Console& console) {
    EXPECT_LE(ViewStoredLength(console), kViewTextLimit);
    ExpectCaretAtEnd(console);
}

TEST_F(ViewTest, FillingPastTheLimitDropsTheOldestLines) {
    Console console;
    ASSERT_TRUE(StartReady(console));
    ExpectedRendering expected({true, false, false, false, false, false});
    ModelView model;
    std::string newest;
    // About 90 KB of lines of varying length, some records ending open.
    for (int i = 0; i < 1500; ++i) {
        std::string text = Numbered(i, 20 + static_cast<size_t>(i * 37 % 90));
        if (i % 7 != 3) text += "\r\n";
        std::string record = MakeRecord(RecordFields{}, text);
        ASSERT_TRUE(Send(console.window, record));
        newest = expected.Render(record);
        model.Append(newest);
        if (i % 50 == 0 || i > 1480) {
            SCOPED_TRACE(i);
            std::string shown = console.ViewText();
            ASSERT_EQ(shown, model.model.text);
            ASSERT_GE(shown.size(), newest.size());
            EXPECT_EQ(shown.substr(shown.size() - newest.size()), newest);
            ExpectWithinLimitWithCaretAtEnd(console);
        }
    }
    std::string shown = console.ViewText();
    EXPECT_EQ(shown.find("record 0 "), std::string::npos);
    // The view was trimmed by whole lines only: close to the limit, not emptied.
    EXPECT_GT(ViewStoredLength(console), kViewTextLimit - 200);
    EXPECT_EQ(console.Close(), 0);
}

// Several lines in one text, with the line before it left open: a text of
// which only a part went in takes the older text of its line with it.
TEST_F(ViewTest, TextsOfSeveralLinesTrimLikeTheWindowsControl) {
    Console console;
    ASSERT_TRUE(StartReady(console));
    ExpectedRendering expected({true, false, false, false, false, false});
    ModelView model;
    for (int i = 0; i < 400; ++i) {
        std::string text;
        for (int line = 0; line < 1 + i % 9; ++line) text += Numbered(i * 10 + line, 40 + line * 13) + "\r\n";
        if (i % 3 == 0) text += "open end " + std::to_string(i);
        std::string record = MakeRecord(RecordFields{}, text);
        ASSERT_TRUE(Send(console.window, record));
        model.Append(expected.Render(record));
        if (i % 25 == 0 || i > 390) {
            SCOPED_TRACE(i);
            ASSERT_EQ(console.ViewText(), model.model.text);
            ExpectWithinLimitWithCaretAtEnd(console);
        }
    }
    EXPECT_EQ(console.Close(), 0);
}

// A plain string longer than the whole view can never fit: the console
// shows its newest part and answers, with and without line ends in it.
TEST_F(ViewTest, OverLongPlainStringShowsItsNewestPart) {
    std::string noLines;
    for (int i = 0; noLines.size() < 40000; ++i) noLines += std::to_string(i % 10);
    std::string lines;
    for (int i = 0; lines.size() < 40000; ++i) lines += Numbered(i, 60) + "\r\n";
    std::string linesThenLong;
    for (int i = 0; i < 3000; ++i) linesThenLong += "x\r\n";
    linesThenLong += std::string(27000, 'z') + "TAIL";
    const struct {
        const char* name;
        std::string text;
    } cases[] = {{"no line end", noLines}, {"many lines", lines}, {"lines, then a long line", linesThenLong}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Console console;
        ASSERT_TRUE(StartReady(console));
        ASSERT_TRUE(Send(console.window, MakeRecord(RecordFields{}, "before\r\n")));
        ExpectedRendering expected({true, false, false, false, false, false});
        ModelView model;
        model.Append(expected.Render(MakeRecord(RecordFields{}, "before\r\n")));
        ASSERT_TRUE(Send(console.window, c.text.c_str(), static_cast<DWORD>(c.text.size() + 1)));
        model.Append(expected.Render(c.text.c_str(), c.text.size() + 1));
        std::string shown = console.ViewText();
        EXPECT_EQ(shown, model.model.text);
        ASSERT_FALSE(shown.empty());
        ASSERT_LE(shown.size(), c.text.size());
        EXPECT_EQ(c.text.substr(c.text.size() - shown.size()), shown);
        ExpectWithinLimitWithCaretAtEnd(console);
        // The console still works afterwards.
        ASSERT_TRUE(Send(console.window, MakeRecord(RecordFields{}, "after\r\n")));
        model.Append(expected.Render(MakeRecord(RecordFields{}, "after\r\n")));
        EXPECT_EQ(console.ViewText(), model.model.text);
        EXPECT_EQ(console.Close(), 0);
    }
}

}  // namespace
}  // namespace murlo_view_test
