#include "console/commands/find_text.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tests/support/code_pages.h"

namespace murlo::test {
namespace {

// Copies into a heap block of exactly outSize bytes, so that AddressSanitizer
// sees any write past it.
std::string Copy(const std::string& text, size_t outSize, LeadBytePredicate lead, size_t* used = nullptr) {
    std::unique_ptr<char[]> out(new char[outSize]);
    size_t n = CopyFindText(text.data(), text.size(), out.get(), outSize, lead);
    if (used) *used = n;
    EXPECT_EQ(out[n], '\0');
    return std::string(out.get(), n);
}

TEST(FindText, BoundedCopyTable) {
    const std::string kanji = "\x8C\x9F\x8D\xF5";  // two double-byte characters
    struct Row {
        const char* name;
        std::string text;
        size_t outSize;
        LeadBytePredicate lead;
        std::string expected;
    };
    const Row rows[] = {
        {"plain text fits", "hello", 256, IsLead932, "hello"},
        {"empty", "", 256, IsLead932, ""},
        {"single-byte text cut to 255", std::string(300, 'a'), 256, IsLead932, std::string(255, 'a')},
        {"exactly 255 bytes", std::string(255, 'b'), 256, IsLead932, std::string(255, 'b')},
        {"double-byte text keeps whole characters", kanji, 256, IsLead932, kanji},
        {"255 double-byte characters need 510 bytes: 127 fit",
         [] { std::string s; for (int i = 0; i < 255; ++i) s += "\x82\xA0"; return s; }(), 256,
         IsLead932, [] { std::string s; for (int i = 0; i < 127; ++i) s += "\x82\xA0"; return s; }()},
        {"a character across the limit is left out",
         std::string(254, 'x') + "\x82\xA0" + "y", 256, IsLead932, std::string(254, 'x')},
        {"the same bytes without lead bytes are cut at 255",
         std::string(254, 'x') + "\x82\xA0" + "y", 256, NoLeadBytes, std::string(254, 'x') + "\x82"},
        {"a lead byte that ends the text is left out", "ab\x82", 256, IsLead932, "ab"},
        {"a lead byte before a NUL is left out", std::string("ab\x82\0cd", 6), 256, IsLead932, "ab"},
        {"stops at a NUL", std::string("ab\0cd", 5), 256, IsLead932, "ab"},
        {"trail bytes that look like ASCII stay with their lead", "\x83\x5C\x83\x41z", 256,
         IsLead932, "\x83\x5C\x83\x41z"},
        {"room for the terminator only", "abc", 1, IsLead932, ""},
        {"small buffer, double-byte first", "\x82\xA0", 2, IsLead932, ""},
        {"small buffer fits one double-byte character", "\x82\xA0\x82\xA2", 3, IsLead932, "\x82\xA0"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(Copy(row.text, row.outSize, row.lead), row.expected);
    }
}

TEST(FindText, ZeroSizedOutputIsLeftAlone) {
    char out = 'z';
    EXPECT_EQ(CopyFindText("abc", 3, &out, 0, IsLead932), 0u);
    EXPECT_EQ(out, 'z');
}

TEST(FindText, SelectionCutTo255Characters) {
    struct Row {
        TextRange selection;
        TextRange expected;
    };
    const Row rows[] = {
        {{0, 300}, {0, 255}},
        {{10, 20}, {10, 20}},
        {{10, 265}, {10, 265}},
        {{10, 266}, {10, 265}},
        {{0x7FFFFF00, 0x7FFFFFFF}, {0x7FFFFF00, 0x7FFFFFFF}},
    };
    for (const auto& row : rows) {
        TextRange got = FindTextSource(row.selection);
        EXPECT_EQ(got.min, row.expected.min);
        EXPECT_EQ(got.max, row.expected.max);
    }
}

TEST(FindText, SearchStepRange) {
    TextRange down = SearchRange({5, 9}, true);
    EXPECT_EQ(down.min, 9);
    EXPECT_EQ(down.max, -1);
    TextRange up = SearchRange({5, 9}, false);
    EXPECT_EQ(up.min, 5);
    EXPECT_EQ(up.max, 0);
}

}  // namespace
}  // namespace murlo::test
