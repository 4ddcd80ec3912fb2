#include "console/view/view_append.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "text_control_model.h"

namespace murlo::test {
namespace {

TextControlModel MakeView(long limit, const std::string& text) {
    TextControlModel view;
    view.limit = limit;
    view.text = text;
    return view;
}

void Append(TextControlModel& view, const std::string& text) {
    AppendToView(view, text.c_str(), text.size());
}

void ExpectCaretAtEnd(const TextControlModel& view) {
    EXPECT_EQ(view.selectionStart, view.Length());
    EXPECT_EQ(view.selectionEnd, view.Length());
    EXPECT_EQ(view.scrollCaretCalls, 1);
}

std::string Lines(int first, int count) {
    std::string text;
    for (int i = first; i < first + count; ++i) {
        text += "line" + std::string(i < 10 ? "0" : "") + std::to_string(i) + "\r\n";
    }
    return text;
}

TEST(AppendToView, TextThatFitsGoesInWithoutRedrawMessages) {
    TextControlModel view = MakeView(100, "old\r\n");
    view.SetSelection(0, 3);  // the user's selection
    Append(view, "abc\r\n");
    EXPECT_EQ(view.text, "old\r\nabc\r\n");
    EXPECT_EQ(view.replaceCalls, 1);
    EXPECT_EQ(view.redrawOffCalls + view.redrawOnCalls + view.repaintCalls, 0);
    ExpectCaretAtEnd(view);
}

TEST(AppendToView, ViewNearTheLimitLosesItsOldestLinesAndRepaintsOnce) {
    TextControlModel view = MakeView(30, Lines(1, 4));  // 28 characters
    Append(view, "newtext-long\r\n");
    EXPECT_EQ(view.text, Lines(3, 2) + "newtext-long\r\n");
    EXPECT_EQ(view.redrawOffCalls, 1);
    EXPECT_EQ(view.redrawOnCalls, 1);
    EXPECT_EQ(view.repaintCalls, 1);
    EXPECT_FALSE(view.repaintedWhileRedrawOff);
    EXPECT_TRUE(view.redrawOn);
    ExpectCaretAtEnd(view);
}

TEST(AppendToView, SingleLineWithoutRoomIsDeletedWhole) {
    TextControlModel view = MakeView(20, "0123456789012345");
    Append(view, "abcdefgh");
    EXPECT_EQ(view.text, "abcdefgh");
    ExpectCaretAtEnd(view);
}

TEST(AppendToView, PartialInsertionTakesOlderTextOnItsLine) {
    TextControlModel view = MakeView(20, "first\r\nolder");
    Append(view, "XYZ-new\r\n");
    EXPECT_EQ(view.text, "XYZ-new\r\n");
    ExpectCaretAtEnd(view);
}

TEST(AppendToView, PartialInsertionOfSeveralLinesLeavesNoCopy) {
    TextControlModel view = MakeView(28, "aaaa\r\nbbbb\r\ncccc\r\n");
    Append(view, "L1\r\nL2\r\nL3\r\n");
    EXPECT_EQ(view.text, "bbbb\r\ncccc\r\nL1\r\nL2\r\nL3\r\n");
    EXPECT_EQ(view.repaintCalls, 1);
}

TEST(AppendToView, TextLongerThanTheLimitShowsItsNewestPart) {
    const struct {
        const char* name;
        long limit;
        std::string before;
        std::string text;
        std::string shown;
    } cases[] = {
        {"cut at a line start", 50, Lines(90, 3), Lines(0, 15), Lines(9, 6)},
        {"into an empty view", 50, "", Lines(0, 15), Lines(9, 6)},
        {"exactly a line start", 48, "x", Lines(0, 15), Lines(9, 6)},
        {"no line end: cut mid-line", 50, "old\r\n", std::string(70, 'a') + std::string(50, 'z'),
         std::string(50, 'z')},
        {"only a final line end", 10, "", std::string(30, 'a') + "\r\n", std::string(8, 'a') + "\r\n"},
        {"control takes nothing", 0, "", "abc\r\n", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TextControlModel view = MakeView(c.limit, c.before);
        Append(view, c.text);
        EXPECT_EQ(view.text, c.shown);
        EXPECT_EQ(view.redrawOffCalls, 1);
        EXPECT_EQ(view.repaintCalls, 1);
        ExpectCaretAtEnd(view);
    }
}

TEST(AppendToView, EmptyTextOnlyMovesTheCaret) {
    TextControlModel view = MakeView(10, "0123456789");
    view.SetSelection(2, 4);
    Append(view, "");
    EXPECT_EQ(view.text, "0123456789");
    EXPECT_EQ(view.redrawOffCalls, 0);
    ExpectCaretAtEnd(view);
}

// Many appends of random lines into small views: every append ends, keeps
// the view within its limit and leaves the new text as the view's end.
TEST(AppendToView, RandomAppendsAlwaysEndWithTheNewText) {
    std::mt19937 random(7);
    for (int round = 0; round < 200; ++round) {
        TextControlModel view = MakeView(20 + static_cast<long>(random() % 200), "");
        for (int i = 0; i < 50; ++i) {
            std::string text;
            int lines = static_cast<int>(random() % 4);
            for (int l = 0; l < lines; ++l) text += std::string(random() % 30, 'a' + l) + "\r\n";
            if (random() % 2) text += std::string(random() % 20, 'o');
            view.scrollCaretCalls = 0;
            Append(view, text);
            ASSERT_LE(view.Length(), view.limit);
            if (static_cast<long>(text.size()) <= view.limit) {
                ASSERT_GE(view.text.size(), text.size());
                ASSERT_EQ(view.text.substr(view.text.size() - text.size()), text);
            } else {
                ASSERT_EQ(text.substr(text.size() - view.text.size()), view.text);
            }
            ASSERT_EQ(view.scrollCaretCalls, 1);
            ASSERT_EQ(view.redrawOffCalls, view.redrawOnCalls);
        }
    }
}

// A control that stores a line end as one character (the 2.0 rich edit)
// takes in more bytes of lines than its limit; the trimming still ends,
// keeps the stored text within the limit and ends with the new text.
TEST(AppendToView, LimitCountingLineEndsOnceStillTrimsToTheNewestText) {
    std::mt19937 random(11);
    for (int round = 0; round < 200; ++round) {
        TextControlModel view = MakeView(20 + static_cast<long>(random() % 200), "");
        view.lineEndIsOneChar = true;
        for (int i = 0; i < 50; ++i) {
            std::string text;
            int lines = static_cast<int>(random() % 5);
            for (int l = 0; l < lines; ++l) text += std::string(random() % 30, 'a' + l) + "\r\n";
            if (random() % 2) text += std::string(random() % 40, 'o');
            view.scrollCaretCalls = 0;
            Append(view, text);
            ASSERT_LE(view.StoredLength(), view.limit);
            TextControlModel alone = MakeView(view.limit, "");
            alone.lineEndIsOneChar = true;
            alone.text = text;
            if (alone.StoredLength() <= view.limit) {
                ASSERT_GE(view.text.size(), text.size());
                ASSERT_EQ(view.text.substr(view.text.size() - text.size()), text);
            } else {
                ASSERT_FALSE(view.text.empty());
                ASSERT_EQ(text.substr(text.size() - view.text.size()), view.text);
            }
            ASSERT_EQ(view.scrollCaretCalls, 1);
            ASSERT_EQ(view.redrawOffCalls, view.redrawOnCalls);
        }
    }
}

// Lines first and one long line last: the newest bytes that the length
// allows hold fewer line ends than the first attempt, so the control takes
// in less of them; the view still shows the end of the text.
TEST(AppendToView, OverLongTextWithLineEndsOnlyAtItsStartShowsItsEnd) {
    std::string text;
    for (int i = 0; i < 40; ++i) text += "x\r\n";
    text += std::string(90, 'z');
    TextControlModel view = MakeView(100, "old\r\n");
    view.lineEndIsOneChar = true;
    Append(view, text);
    std::string shown;
    for (int i = 0; i < 5; ++i) shown += "x\r\n";
    EXPECT_EQ(view.text, shown + std::string(90, 'z'));
    EXPECT_EQ(view.repaintCalls, 1);
    ExpectCaretAtEnd(view);
}

}  // namespace
}  // namespace murlo::test
