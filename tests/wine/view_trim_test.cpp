// Filling the view past its limit: the oldest lines go, the newest text is
// the view's end, the caret stands after it and the stored length never
// passes 0x7000 characters. The view is compared with the portable append
// logic run on a model of the Windows control (limit counting a line end
// once), so the rich edit glue must behave as that control does. With every
// option off and depth 0, a text whose lines end in CR LF is shown as sent.
#include <algorithm>
#include <string>
#include <vector>

#include "console/resources/resource.h"
#include "support/commands_support.h"
#include "support/view_support.h"

namespace murlo::test {
namespace {

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
    ModelView model;
    std::string newest;
    // About 67 KB of lines of varying length, some records ending open.
    for (int i = 0; i < 1000; ++i) {
        std::string text = Numbered(i, 20 + static_cast<size_t>(i * 37 % 90));
        if (i % 7 != 3) text += "\r\n";
        std::string record = MakeRecord(RecordFields{}, text);
        ASSERT_TRUE(Send(console.window, record));
        newest = text;
        model.Append(newest);
        if (i % 50 == 0 || i > 985) {
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
    ModelView model;
    for (int i = 0; i < 250; ++i) {
        std::string text;
        for (int line = 0; line < 1 + i % 9; ++line) text += Numbered(i * 10 + line, 40 + line * 13) + "\r\n";
        if (i % 3 == 0) text += "open end " + std::to_string(i);
        std::string record = MakeRecord(RecordFields{}, text);
        ASSERT_TRUE(Send(console.window, record));
        model.Append(text);
        if (i % 25 == 0 || i > 240) {
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
        ModelView model;
        model.Append("before\r\n");
        ASSERT_TRUE(Send(console.window, c.text.c_str(), static_cast<DWORD>(c.text.size() + 1)));
        model.Append(c.text);
        std::string shown = console.ViewText();
        EXPECT_EQ(shown, model.model.text);
        ASSERT_FALSE(shown.empty());
        ASSERT_LE(shown.size(), c.text.size());
        EXPECT_EQ(c.text.substr(c.text.size() - shown.size()), shown);
        ExpectWithinLimitWithCaretAtEnd(console);
        // The console still works afterwards.
        ASSERT_TRUE(Send(console.window, MakeRecord(RecordFields{}, "after\r\n")));
        model.Append("after\r\n");
        EXPECT_EQ(console.ViewText(), model.model.text);
        EXPECT_EQ(console.Close(), 0);
    }
}

// With wrapping at the window edge the view's lines are what it shows, not
// its paragraphs, and the oldest of them go: long texts into a full view
// of short records leave the newest part of the old view, cut at a shown
// line, then the text, up to the limit and not short of it by more than a
// line; a text longer than the view leaves its newest lines alone.
TEST_F(ViewTest, WrappedViewDropsItsOldestShownLines) {
    Console console;
    ASSERT_TRUE(StartReady(console));
    SendMessageA(console.window, WM_COMMAND, IDM_WRAP, 0);
    ASSERT_TRUE(WaitFor([&] { return (GetMenuState(GetMenu(console.window), IDM_WRAP, MF_BYCOMMAND) & MF_CHECKED) != 0; }));
    for (size_t size : {8000u, 20000u, 40000u}) {
        SCOPED_TRACE(size);
        for (int i = 0; i < 1500; ++i) {
            ASSERT_TRUE(Send(console.window, MakeRecord(RecordFields{}, Numbered(i, 12 + i * 37 % 50) + "\r\n")));
        }
        std::string text;
        for (int i = 0; text.size() < size; ++i) text += Numbered(10000 + i, 50 + i * 29 % 170) + "\r\n";
        const std::string before = console.ViewText();
        const DWORD start = GetTickCount();
        ASSERT_TRUE(Send(console.window, MakeRecord(RecordFields{}, text)));
        const std::string shown = console.ViewText();
        std::printf("[ figures  ] wrapped view, %zu bytes into a full view: shown after %lu ms\n", text.size(),
                    static_cast<unsigned long>(GetTickCount() - start));
        ExpectWithinLimitWithCaretAtEnd(console);
        if (text.size() > kViewTextLimit) {
            ASSERT_LE(shown.size(), text.size());
            EXPECT_EQ(text.substr(text.size() - shown.size()), shown);
            EXPECT_EQ(text[text.size() - shown.size() - 1], '\n');
            continue;
        }
        ASSERT_GE(shown.size(), text.size());
        EXPECT_EQ(shown.substr(shown.size() - text.size()), text);
        const std::string kept = shown.substr(0, shown.size() - text.size());
        ASSERT_LE(kept.size(), before.size());
        EXPECT_EQ(before.substr(before.size() - kept.size()), kept);
        EXPECT_GT(ViewStoredLength(console), kViewTextLimit - 400);
    }
    EXPECT_EQ(console.Close(), 0);
}

// The three double-byte characters of the test, in code page 932, and
// their Unicode: the test's own code page is not 932, and the console's
// ANSI text does not come through to it, so the view is read as Unicode.
std::wstring Widen932(const std::string& bytes) {
    static const struct {
        const char* pair;
        wchar_t wide;
    } known[] = {{"\x94\xd4", 0x756A}, {"\x8d\x86", 0x53F7}, {"\x82\xa0", 0x3042}};
    std::wstring wide;
    for (size_t i = 0; i < bytes.size(); ++i) {
        wchar_t c = static_cast<unsigned char>(bytes[i]);
        for (const auto& k : known) {
            if (bytes.compare(i, 2, k.pair) == 0) {
                c = k.wide;
                ++i;
                break;
            }
        }
        wide += c;
    }
    return wide;
}

std::wstring ViewTextWide(const Console& console) {
    HWND view = console.View();
    LRESULT length = SendMessageW(view, WM_GETTEXTLENGTH, 0, 0);
    // Room for the ANSI form too: the view's window procedure is an ANSI
    // one and fills at most wParam bytes, two for a double-byte character.
    std::wstring wide(static_cast<size_t>(length) * 2 + 1, L'\0');
    LRESULT got = SendMessageW(view, WM_GETTEXT, wide.size(), reinterpret_cast<LPARAM>(wide.data()));
    wide.resize(static_cast<size_t>(got));
    return wide;
}

// In a double-byte code page the control counts a double-byte character
// once, in its limit and in its lengths: the view still keeps its newest
// whole lines up to the limit, and the newest text is its end.
TEST_F(ViewTest, DoubleByteTextTrimsByCharacters) {
    Console console;
    ASSERT_TRUE(StartJapaneseConsole(console));
    ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(console.window) != FALSE; }));
    std::wstring all;
    std::vector<size_t> starts;  // where each rendered text begins in all
    for (int i = 0; i < 800; ++i) {
        std::string text = "\x94\xd4\x8d\x86 " + std::to_string(i) + " ";  // a number, in kanji
        for (int k = 0; k < 40 + i % 80; ++k) text += "\x82\xa0";     // hiragana a
        text += "\r\n";
        std::string record = MakeRecord(RecordFields{}, text);
        ASSERT_TRUE(Send(console.window, record));
        std::wstring rendered = Widen932(text);
        starts.push_back(all.size());
        all += rendered;
        if (i % 50 == 0 || i > 790) {
            SCOPED_TRACE(i);
            std::wstring shown = ViewTextWide(console);
            ASSERT_GE(shown.size(), rendered.size());
            ASSERT_LE(shown.size(), all.size());
            // The view is the newest rendered texts, whole.
            size_t from = all.size() - shown.size();
            EXPECT_TRUE(all.substr(from) == shown);
            EXPECT_NE(std::find(starts.begin(), starts.end(), from), starts.end());
            ExpectWithinLimitWithCaretAtEnd(console);
            // Counted in characters, the view is near its limit once full;
            // counting bytes would leave it about half empty.
            if (all.size() > 2 * kViewTextLimit) {
                EXPECT_GT(ViewStoredLength(console), kViewTextLimit - 200);
            }
        }
    }
    EXPECT_GT(all.size(), 2u * kViewTextLimit);
    EXPECT_EQ(console.Close(), 0);
}

}  // namespace
}  // namespace murlo::test
