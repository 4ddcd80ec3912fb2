#include "console/view/view_append.h"

#include <gtest/gtest.h>

#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "text_control_model.h"

namespace murlo::test {
namespace {

TextControlModel MakeView(long limit, const std::string& text) {
    TextControlModel view;
    view.limit = limit;
    view.text = text;
    return view;
}

// Instantiated for the view's own type, so that a model's TextUnits is seen.
template <typename View>
void Append(View& view, const std::string& text) {
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

// The part of a text that cannot fit which the console lets wait for the
// view: its newest whole lines that the view holds, counted as the control
// stores them; mid-line only when the last line alone does not fit. Only
// the text's tail is read, however long the text.
TEST(NewestPartWithin, KeepsTheNewestWholeLinesThatFit) {
    constexpr ControlTextForm kRichEdit2{true, nullptr};
    constexpr ControlTextForm kRichEdit1{false, nullptr};
    constexpr ControlTextForm kDoubleByte{true, [](unsigned char byte) { return byte >= 0x81 && byte <= 0x9F; }};
    constexpr ControlTextForm kUtf8{true, nullptr, true};
    const std::string longRun(100000, 'z');
    const struct {
        const char* name;
        ControlTextForm form;
        long limit;
        std::string text;
        std::string part;
    } cases[] = {
        {"fits whole", kRichEdit2, 50, Lines(0, 3), Lines(0, 3)},
        {"a line end counts once", kRichEdit2, 14, Lines(0, 4), Lines(2, 2)},
        {"every byte counts", kRichEdit1, 14, Lines(0, 4), Lines(3, 1)},
        {"exactly the limit", kRichEdit1, 16, Lines(0, 4), Lines(2, 2)},
        {"last line too long: cut mid-line", kRichEdit2, 10, "old\r\n" + std::string(30, 'z'), std::string(10, 'z')},
        {"last line too long, with its line end", kRichEdit2, 10, std::string(30, 'a') + "\r\n",
         std::string(9, 'a') + "\r\n"},
        {"a double-byte character stays whole", kDoubleByte, 3, "\x82\xa0\x82\xa2\x82\xa4\x82\xa6",
         "\x82\xa2\x82\xa4\x82\xa6"},
        {"a surrogate pair counts two", kUtf8, 3, "ab\xF0\x9F\x98\x80", "b\xF0\x9F\x98\x80"},
        {"long text: its last line", kRichEdit2, 10, longRun + "\r\ntail\r\n", "tail\r\n"},
        {"long text without a line end", kRichEdit2, 10, longRun, std::string(10, 'z')},
        {"empty", kRichEdit2, 10, "", ""},
        {"no room", kRichEdit2, 0, "abc\r\n", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        size_t read = 0;
        auto next = [&](const char* text, size_t length, size_t i) {
            ++read;
            return NextControlChar(text, length, i, c.form);
        };
        size_t start = NewestPartWithin(c.text.data(), c.text.size(), c.limit, next);
        ASSERT_LE(start, c.text.size());
        EXPECT_EQ(c.text.substr(start), c.part);
        // Each character is counted at most twice, of the last 4 x (limit + 1) bytes.
        EXPECT_LE(read, 2 * 4 * (static_cast<size_t>(c.limit) + 1));
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

// The control counting characters otherwise than the bytes suggest. The
// view must decide from what the insertion took, never from a count of
// its own: a layer that predicts the growth of the length wrongly (as one
// counting the bytes of UTF-8 text as characters would) offers TextUnits.
struct MispredictingModel : TextControlModel {
    long error = 0;  // added to every prediction
    long TextUnits(const char*, size_t length) const { return static_cast<long>(length) + error; }
};

// The limit's count of a text, by the model's rule.
long Weight(const TextControlModel& like, const std::string& text) {
    TextControlModel measure = like;
    measure.text = text;
    return measure.StoredLength();
}

// What the view must hold after appending a text that ends its line to a
// view of whole lines: the oldest lines dropped only while the text does
// not fit, so no line goes that the control has room for.
std::string KeepNewestLines(const TextControlModel& like, std::vector<std::string>& lines,
                            const std::string& text) {
    lines.push_back(text);
    long total = 0;
    for (const std::string& line : lines) total += Weight(like, line);
    while (total > like.limit) {
        total -= Weight(like, lines.front());
        lines.erase(lines.begin());
    }
    std::string all;
    for (const std::string& line : lines) all += line;
    return all;
}

TEST(AppendToViewCounting, ControlCountingOtherwiseKeepsEveryLineThatFits) {
    const struct {
        const char* name;
        CharRule rule;
        bool lineEndIsOneChar;
        long error;
    } cases[] = {
        {"UTF-8, the layer predicting more", Utf8Rule, false, 3},
        {"UTF-8, line end once, the layer predicting bytes", Utf8Rule, true, 0},
        {"UTF-8, the layer predicting fewer", Utf8Rule, true, -2},
        {"two characters for one byte, predicting fewer", WideHashRule, false, -1},
        {"two characters for one byte, predicting more", WideHashRule, true, 4},
    };
    const char* pieces[] = {"a", "bc", "\xC3\xA9", "\xE3\x81\x82", "\xF0\x9F\x98\x80", "#", " "};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::mt19937 random(23);
        for (int round = 0; round < 40; ++round) {
            MispredictingModel view;
            view.limit = 40 + static_cast<long>(random() % 120);
            view.charRule = c.rule;
            view.lineEndIsOneChar = c.lineEndIsOneChar;
            view.error = c.error;
            std::vector<std::string> lines;
            for (int i = 0; i < 60; ++i) {
                std::string text;
                size_t count = random() % 12;
                for (size_t k = 0; k < count; ++k) text += pieces[random() % std::size(pieces)];
                text += "\r\n";
                if (Weight(view, text) > view.limit) continue;
                std::string expected = KeepNewestLines(view, lines, text);
                view.replaceCalls = 0;
                view.scrollCaretCalls = 0;
                Append(view, text);
                ASSERT_EQ(view.text, expected) << "append " << i;
                ASSERT_LE(view.StoredLength(), view.limit);
                // One insertion, then per dropped line at most a deletion,
                // a removal of a partial insertion and a new insertion.
                ASSERT_LE(view.replaceCalls, 1 + 3 * 60);
                ASSERT_EQ(view.scrollCaretCalls, 1);
            }
        }
    }
}

TEST(AppendToViewCounting, LoneLeadByteAtTheEndOfATextCountsAsTheControlCountsIt) {
    const struct {
        const char* name;
        long error;
        std::string before;
        std::string text;
        std::string shown;
    } cases[] = {
        // 8 + 4 characters: the oldest line goes, nothing more.
        {"predicting more", 2, "ab\r\ncd\r\n", "\xC3\xA9\xC3\xA9x\xE3", "cd\r\n\xC3\xA9\xC3\xA9x\xE3"},
        {"predicting fewer", -3, "ab\r\ncd\r\n", "\xC3\xA9\xC3\xA9x\xE3", "cd\r\n\xC3\xA9\xC3\xA9x\xE3"},
        // 4 + 6 characters: fits exactly, so nothing goes.
        {"fits exactly", 5, "ab\r\n", "\xE3\x81\x82\xE3\x81\x82zz\r\xE3", "ab\r\n\xE3\x81\x82\xE3\x81\x82zz\r\xE3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MispredictingModel view;
        view.limit = 10;
        view.charRule = Utf8Rule;
        view.error = c.error;
        view.text = c.before;
        Append(view, c.text);
        EXPECT_EQ(view.text, c.shown);
        ExpectCaretAtEnd(view);
    }
}

// A text longer than the whole view, of multi-byte characters: the newest
// part that fits is shown, within the limit, and the append ends.
TEST(AppendToViewCounting, OverLongMultiByteTextShowsItsNewestPart) {
    std::string text;
    for (int i = 0; i < 30; ++i) text += "\xE3\x81\x82\xE3\x81\x84 line\r\n";  // 8 characters, 14 bytes
    for (long error : {-5L, 0L, 7L}) {
        SCOPED_TRACE(error);
        MispredictingModel view;
        view.limit = 50;
        view.charRule = Utf8Rule;
        view.error = error;
        view.text = "old\r\n";
        Append(view, text);
        EXPECT_LE(view.StoredLength(), view.limit);
        ASSERT_FALSE(view.text.empty());
        EXPECT_EQ(text.substr(text.size() - view.text.size()), view.text);
        ExpectCaretAtEnd(view);
    }
}

}  // namespace
}  // namespace murlo::test
