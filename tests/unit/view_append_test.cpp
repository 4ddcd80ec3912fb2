// The rule by which a text is appended to the view, on a model of the
// Windows control: the oldest lines go only while the text does not fit, a
// partial insertion takes the older text of its line with it, and a text
// that can never fit shows its newest part.
#include "console/view/view_append.h"

#include <gtest/gtest.h>

#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "tests/support/code_pages.h"
#include "tests/support/text_control_model.h"

namespace murlo::test {
namespace {

void Append(TextControlModel& view, const std::string& text) { AppendOneText(view, text.c_str(), text.size()); }

std::string Lines(int first, int count) {
    std::string text;
    for (int i = first; i < first + count; ++i) {
        text += "line" + std::string(i < 10 ? "0" : "") + std::to_string(i) + "\r\n";
    }
    return text;
}

std::string Repeat(const std::string& piece, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) text += piece;
    return text;
}

// The caret ends after the text, whatever the user had selected.
TEST(AppendOneText, KeepsTheNewestTextByTheRule) {
    const struct {
        const char* name;
        long limit;
        bool lineEndIsOneChar;
        CharRule rule;
        std::string before;
        std::string text;
        std::string shown;
    } cases[] = {
        {"fits", 100, false, nullptr, "old\r\n", "abc\r\n", "old\r\nabc\r\n"},
        {"empty text", 10, false, nullptr, "0123456789", "", "0123456789"},
        {"the oldest lines go until it fits", 30, false, nullptr, Lines(1, 4), "newtext-long\r\n",
         Lines(3, 2) + "newtext-long\r\n"},
        {"a single line without room goes whole", 20, false, nullptr, "0123456789012345", "abcdefgh", "abcdefgh"},
        {"a partial insertion takes the older text of its line", 20, false, nullptr, "first\r\nolder", "XYZ-new\r\n",
         "XYZ-new\r\n"},
        {"a partial insertion of several lines leaves no copy", 28, false, nullptr, "aaaa\r\nbbbb\r\ncccc\r\n",
         "L1\r\nL2\r\nL3\r\n", "bbbb\r\ncccc\r\nL1\r\nL2\r\nL3\r\n"},
        // Longer than the limit: the newest part that fits, from a line start.
        {"cut at a line start", 50, false, nullptr, Lines(90, 3), Lines(0, 15), Lines(9, 6)},
        {"into an empty view", 50, false, nullptr, "", Lines(0, 15), Lines(9, 6)},
        {"exactly a line start", 48, false, nullptr, "x", Lines(0, 15), Lines(9, 6)},
        {"no line end: cut mid-line", 50, false, nullptr, "old\r\n", std::string(70, 'a') + std::string(50, 'z'),
         std::string(50, 'z')},
        {"only a final line end", 10, false, nullptr, "", std::string(30, 'a') + "\r\n", std::string(8, 'a') + "\r\n"},
        {"control takes nothing", 0, false, nullptr, "", "abc\r\n", ""},
        // The newest bytes that the length allows hold fewer line ends than
        // the first attempt, so the control takes in less of them.
        {"line ends only at its start, counted once", 100, true, nullptr, "old\r\n",
         Repeat("x\r\n", 40) + std::string(90, 'z'), Repeat("x\r\n", 5) + std::string(90, 'z')},
        // A control counting characters otherwise than the bytes suggest:
        // what the insertion took decides, no count of the text.
        {"UTF-8, a lone lead byte last: the oldest line goes, nothing more", 10, false, Utf8Rule, "ab\r\ncd\r\n",
         "\xC3\xA9\xC3\xA9x\xE3", "cd\r\n\xC3\xA9\xC3\xA9x\xE3"},
        {"UTF-8, fits exactly", 10, false, Utf8Rule, "ab\r\n", "\xE3\x81\x82\xE3\x81\x82zz\r\xE3",
         "ab\r\n\xE3\x81\x82\xE3\x81\x82zz\r\xE3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TextControlModel view = MakeModel(c.limit, c.lineEndIsOneChar, c.rule, c.before);
        view.SetSelection(0, view.Length() / 2);  // the user's selection
        Append(view, c.text);
        EXPECT_EQ(view.text, c.shown);
        EXPECT_EQ(view.selectionStart, view.Length());
        EXPECT_EQ(view.selectionEnd, view.Length());
    }
}

// The part of a text that cannot fit which the console lets wait for the
// view: its newest whole lines that the view holds, counted as the control
// stores them; mid-line only when the last line alone does not fit. Only
// the text's tail is read, however long the text.
TEST(NewestPartWithin, KeepsTheNewestWholeLinesThatFit) {
    constexpr ControlTextForm kRichEdit2{true, nullptr};
    constexpr ControlTextForm kRichEdit1{false, nullptr};
    constexpr ControlTextForm kDoubleByte{true, IsLead932};
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

// Many appends of random lines into small views, the limit counting a line
// end twice or once (as the 2.0 control stores it, taking in more bytes of
// lines than its limit): every append ends, keeps the view within its
// limit and leaves the new text as the view's end.
TEST(AppendOneText, RandomAppendsEndWithTheNewTextWithinTheLimit) {
    for (bool lineEndIsOneChar : {false, true}) {
        SCOPED_TRACE(lineEndIsOneChar);
        std::mt19937 random(lineEndIsOneChar ? 11 : 7);
        for (int round = 0; round < 200; ++round) {
            TextControlModel view = MakeModel(20 + static_cast<long>(random() % 200), lineEndIsOneChar);
            for (int i = 0; i < 50; ++i) {
                std::string text;
                int lines = static_cast<int>(random() % 5);
                for (int l = 0; l < lines; ++l) text += std::string(random() % 30, 'a' + l) + "\r\n";
                if (random() % 2) text += std::string(random() % 40, 'o');
                Append(view, text);
                ASSERT_LE(view.StoredLength(), view.limit);
                if (MakeModel(view.limit, lineEndIsOneChar, nullptr, text).StoredLength() <= view.limit) {
                    ASSERT_GE(view.text.size(), text.size());
                    ASSERT_EQ(view.text.substr(view.text.size() - text.size()), text);
                } else {
                    ASSERT_FALSE(view.text.empty());
                    ASSERT_EQ(text.substr(text.size() - view.text.size()), view.text);
                }
            }
        }
    }
}

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

// A control counting characters otherwise than the bytes: several bytes
// to one character (UTF-8), or one byte to two (a surrogate pair).
TEST(AppendOneText, ControlCountingOtherwiseKeepsEveryLineThatFits) {
    const struct {
        const char* name;
        CharRule rule;
        bool lineEndIsOneChar;
    } cases[] = {
        {"UTF-8", Utf8Rule, false},
        {"UTF-8, line end once", Utf8Rule, true},
        {"two characters for one byte", WideHashRule, false},
        {"two characters for one byte, line end once", WideHashRule, true},
    };
    const char* pieces[] = {"a", "bc", "\xC3\xA9", "\xE3\x81\x82", "\xF0\x9F\x98\x80", "#", " "};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::mt19937 random(23);
        for (int round = 0; round < 40; ++round) {
            TextControlModel view = MakeModel(40 + static_cast<long>(random() % 120), c.lineEndIsOneChar, c.rule);
            std::vector<std::string> lines;
            for (int i = 0; i < 60; ++i) {
                std::string text;
                size_t count = random() % 12;
                for (size_t k = 0; k < count; ++k) text += pieces[random() % std::size(pieces)];
                text += "\r\n";
                if (Weight(view, text) > view.limit) continue;
                std::string expected = KeepNewestLines(view, lines, text);
                view.replaceCalls = 0;
                Append(view, text);
                ASSERT_EQ(view.text, expected) << "append " << i;
                ASSERT_LE(view.StoredLength(), view.limit);
                // One insertion, then per dropped line at most a deletion,
                // a removal of a partial insertion and a new insertion.
                ASSERT_LE(view.replaceCalls, 1 + 3 * 60);
            }
        }
    }
}

// A text longer than the whole view, of multi-byte characters: the newest
// part that fits is shown, within the limit, and the append ends.
TEST(AppendOneText, OverLongMultiByteTextShowsItsNewestPart) {
    const std::string text = Repeat("\xE3\x81\x82\xE3\x81\x84 line\r\n", 30);  // 9 characters, 14 bytes a line
    TextControlModel view = MakeModel(50, false, Utf8Rule, "old\r\n");
    Append(view, text);
    EXPECT_LE(view.StoredLength(), view.limit);
    ASSERT_FALSE(view.text.empty());
    EXPECT_EQ(text.substr(text.size() - view.text.size()), view.text);
}

}  // namespace
}  // namespace murlo::test
