#include "console/view/control_units.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/code_pages.h"

namespace murlo::test {
namespace {

constexpr ControlTextForm kRichEdit2{true, nullptr};
constexpr ControlTextForm kRichEdit1{false, nullptr};
constexpr ControlTextForm kRichEdit2Dbcs{true, IsLead932};
constexpr ControlTextForm kRichEdit2Utf8{true, nullptr, true};

// How the 2.0 control stores inserted text, as observed: every kind of
// paragraph end is one character and begins a line, a CR CR LF is one
// blank; the 1.0 control keeps every byte. Characters are written with '|'
// between them; a surrogate pair takes two positions.
TEST(ControlUnits, NextControlCharSplitsTextAsTheControlStoresIt) {
    const struct {
        const char* name;
        std::string text;
        ControlTextForm form;
        std::string split;
        size_t positions;
        size_t lineEnds;
    } cases[] = {
        {"plain", "abc", kRichEdit2, "a|b|c", 3, 0},
        {"CR LF lines", "ab\r\ncd\r\n", kRichEdit2, "a|b|\r\n|c|d|\r\n", 6, 2},
        {"lone LF", "ab\ncd\n", kRichEdit2, "a|b|\n|c|d|\n", 6, 2},
        {"lone CR", "ab\rcd\r", kRichEdit2, "a|b|\r|c|d|\r", 6, 2},
        {"CR CR LF soft break", "a\r\r\nb", kRichEdit2, "a|\r\r\n|b", 3, 0},
        {"CR then CR CR LF", "a\r\r\r\nb", kRichEdit2, "a|\r|\r\r\n|b", 4, 1},
        {"CR LF LF", "a\r\n\nb", kRichEdit2, "a|\r\n|\n|b", 4, 2},
        {"LF CR", "a\n\rb", kRichEdit2, "a|\n|\r|b", 4, 2},
        {"trailing CR", "a\r", kRichEdit2, "a|\r", 2, 1},
        {"1.0 keeps every byte", "ab\r\r\ncd\r\n", kRichEdit1, "a|b|\r|\r|\n|c|d|\r|\n", 9, 2},
        {"double-byte pairs", "\x82\xa0x\x82\xa2\r\n", kRichEdit2Dbcs, "\x82\xa0|x|\x82\xa2|\r\n", 4, 1},
        {"lead byte at the end", "ab\x82", kRichEdit2Dbcs, "a|b|\x82", 3, 0},
        {"UTF-8 two and three bytes", "\xC3\xA9\xE3\x81\x82\r\n", kRichEdit2Utf8, "\xC3\xA9|\xE3\x81\x82|\r\n", 3, 1},
        {"UTF-8 four bytes: a surrogate pair", "a\xF0\x9F\x98\x80", kRichEdit2Utf8, "a|\xF0\x9F\x98\x80", 3, 0},
        {"UTF-8 lone lead byte at the end", "ab\xE3", kRichEdit2Utf8, "a|b|\xE3", 3, 0},
        {"UTF-8 cut sequence, then ASCII", "\xE3\x81z", kRichEdit2Utf8, "\xE3|\x81|z", 3, 0},
        {"UTF-8 stray trail byte", "\x81\x81", kRichEdit2Utf8, "\x81|\x81", 2, 0},
        {"empty", "", kRichEdit2, "", 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string split;
        size_t positions = 0;
        size_t lineEnds = 0;
        for (size_t i = 0; i < c.text.size();) {
            ControlChar next = NextControlChar(c.text.data(), c.text.size(), i, c.form);
            ASSERT_GT(next.bytes, 0u);
            split += (i > 0 ? "|" : "") + c.text.substr(i, next.bytes);
            positions += next.chars;
            lineEnds += next.endsLine ? 1 : 0;
            i += next.bytes;
        }
        EXPECT_EQ(split, c.split);
        EXPECT_EQ(positions, c.positions);
        EXPECT_EQ(lineEnds, c.lineEnds);
    }
}

TEST(ControlUnits, FittingPrefixNeverSplitsALineEndOrACharacter) {
    const struct {
        std::string text;
        size_t room;
        ControlTextForm form;
        std::string prefix;
    } cases[] = {
        {"ab\r\ncd\r\n", 0, kRichEdit2, ""},
        {"ab\r\ncd\r\n", 2, kRichEdit2, "ab"},
        {"ab\r\ncd\r\n", 3, kRichEdit2, "ab\r\n"},
        {"ab\r\ncd\r\n", 5, kRichEdit2, "ab\r\ncd"},
        {"ab\r\ncd\r\n", 6, kRichEdit2, "ab\r\ncd\r\n"},
        {"ab\r\ncd\r\n", 100, kRichEdit2, "ab\r\ncd\r\n"},
        {"a\r\r\nb", 2, kRichEdit2, "a\r\r\n"},
        {"ab\r\ncd", 3, kRichEdit1, "ab\r"},
        {"\x82\xa0\x82\xa2z", 1, kRichEdit2Dbcs, "\x82\xa0"},
        {"\x82\xa0\x82\xa2z", 2, kRichEdit2Dbcs, "\x82\xa0\x82\xa2"},
        {"\xE3\x81\x82\xC3\xA9z", 1, kRichEdit2Utf8, "\xE3\x81\x82"},
        {"\xE3\x81\x82\xC3\xA9z", 2, kRichEdit2Utf8, "\xE3\x81\x82\xC3\xA9"},
        {"a\xF0\x9F\x98\x80" "b", 2, kRichEdit2Utf8, "a"},
        {"a\xF0\x9F\x98\x80" "b", 3, kRichEdit2Utf8, "a\xF0\x9F\x98\x80"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text + " room " + std::to_string(c.room));
        size_t bytes = FittingPrefix(c.text.data(), c.text.size(), c.room, c.form);
        EXPECT_EQ(c.text.substr(0, bytes), c.prefix);
    }
}

// The stored form (EM_GETTEXTRANGE) against the CR LF form (WM_GETTEXT),
// both in characters.
TEST(ControlUnits, StoredTextConvertsToTheCrLfForm) {
    const std::string stored = "ab\rcd\r";  // shown as ab CR LF cd CR LF
    EXPECT_EQ(StoredTextUnits(stored.data(), stored.size(), kRichEdit2), 8u);
    EXPECT_EQ(StoredTextUnits(stored.data(), stored.size(), kRichEdit1), 6u);
    const std::string dbcs = "\x82\xa0\r";  // one character, then a paragraph end
    EXPECT_EQ(StoredTextUnits(dbcs.data(), dbcs.size(), kRichEdit2Dbcs), 3u);

    const struct {
        size_t units;
        size_t chars;
    } positions[] = {{0, 0}, {2, 2}, {3, 2}, {4, 3}, {5, 4}, {7, 5}, {8, 6}, {100, 6}};
    for (const auto& p : positions) {
        SCOPED_TRACE(p.units);
        EXPECT_EQ(StoredCharsWithin(stored.data(), stored.size(), p.units, kRichEdit2), p.chars);
    }
    EXPECT_EQ(StoredCharsWithin(stored.data(), stored.size(), 4, kRichEdit1), 4u);
    EXPECT_EQ(StoredCharsWithin(dbcs.data(), dbcs.size(), 0, kRichEdit2Dbcs), 0u);
    EXPECT_EQ(StoredCharsWithin(dbcs.data(), dbcs.size(), 1, kRichEdit2Dbcs), 1u);
    EXPECT_EQ(StoredCharsWithin(dbcs.data(), dbcs.size(), 2, kRichEdit2Dbcs), 1u);
    EXPECT_EQ(StoredCharsWithin(dbcs.data(), dbcs.size(), 3, kRichEdit2Dbcs), 2u);

    // UTF-8: a character of several bytes is one unit, a paragraph two.
    const std::string utf8 = "\xC3\xA9\r\xE3\x81\x82";  // shown as e-acute CR LF a
    EXPECT_EQ(StoredTextUnits(utf8.data(), utf8.size(), kRichEdit2Utf8), 4u);
    EXPECT_EQ(StoredCharsWithin(utf8.data(), utf8.size(), 1, kRichEdit2Utf8), 1u);
    EXPECT_EQ(StoredCharsWithin(utf8.data(), utf8.size(), 3, kRichEdit2Utf8), 2u);
    EXPECT_EQ(StoredCharsWithin(utf8.data(), utf8.size(), 4, kRichEdit2Utf8), 3u);
}

}  // namespace
}  // namespace murlo::test
