// The save dialogs' request fields by platform, and the filter list.
#include "console/logfile/save_dialog_request.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

#include "tests/support/code_pages.h"

namespace murlo::test {
namespace {

TEST(SaveDialogRequest, FieldsByPlatform) {
    const struct {
        SaveDialogPlatform platform;
        bool fullSize;
        uint32_t logFlags;
        uint16_t logTemplate;
        uint32_t saveFlags;
    } cases[] = {
        {{true, false, false}, false, 0x80866, 1000, 0x80806},   // NT 4, Windows 95/98
        {{true, true, false}, true, 0x80866, 1000, 0x80806},     // NT 5
        {{true, false, true}, true, 0x80866, 1000, 0x80806},     // Windows Me
        {{false, false, false}, false, 0x866, 1002, 0x806},      // older shell
        {{false, true, false}, true, 0x866, 1002, 0x806},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.platform.hasNewShell << c.platform.isNT5 << c.platform.isWinMe);
        SaveDialogRequest log = LogFileDialogRequest(c.platform);
        EXPECT_EQ(log.fullSize, c.fullSize);
        EXPECT_EQ(log.flags, c.logFlags);
        EXPECT_TRUE(log.hooked);
        EXPECT_EQ(log.templateId, c.logTemplate);
        SaveDialogRequest save = SaveLogDialogRequest(c.platform);
        EXPECT_EQ(save.fullSize, c.fullSize);
        EXPECT_EQ(save.flags, c.saveFlags);
        EXPECT_FALSE(save.hooked);
        EXPECT_EQ(save.templateId, 0);
    }
}

// Runs the walk on a heap buffer of exactly size bytes (AddressSanitizer
// reports any access past it) and returns all of its bytes.
std::string Walk(const std::string& text, size_t size, LeadBytePredicate isLead) {
    std::unique_ptr<char[]> buffer(new char[size]);
    std::memset(buffer.get(), 'Z', size);
    std::memcpy(buffer.get(), text.data(), std::min(text.size() + 1, size));
    MakeFilterList(buffer.get(), size, isLead);
    return std::string(buffer.get(), size);
}

TEST(SaveDialogRequest, FilterList) {
    using namespace std::string_literals;
    const struct {
        const char* name;
        std::string text;
        size_t size;
        LeadBytePredicate isLead;
        std::string list;  // every byte of the buffer afterwards
    } cases[] = {
        {"the console's filter", "Text file(*.txt)|*.txt|All file(*.*)|*.*|", 44, IsLead932,
         "Text file(*.txt)\0*.txt\0All file(*.*)\0*.*\0\0\0Z"s},
        {"'|' as the trail byte of a double-byte character", "\x83\x7C|*.txt|", 12, IsLead932,
         "\x83\x7C\0*.txt\0\0\0Z"s},
        {"the same bytes read without double-byte characters", "\x83\x7C|*.txt|", 12, NoLeadBytes,
         "\x83\0\0*.txt\0\0\0Z"s},
        {"double-byte characters around a separator", "\x82\xA0\x82\x7C|\x83\x7C|", 12, IsLead932,
         "\x82\xA0\x82\x7C\0\x83\x7C\0\0\0ZZ"s},
        {"a lead byte as the last byte", "a|\x83", 6, IsLead932, "a\0\x83\0\0Z"s},
        {"no closing '|' still ends with two NULs", "a|b", 6, IsLead932, "a\0b\0\0Z"s},
        {"a string that fills the buffer loses its last byte", "abcdefg", 8, IsLead932,
         "abcdef\0\0"s},
        {"a closing '|' that fills the buffer", "ab|cd|", 7, IsLead932, "ab\0cd\0\0"s},
        {"empty", "", 3, IsLead932, "\0\0Z"s},
        {"separators only", "||", 4, IsLead932, "\0\0\0\0"s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Walk(c.text, c.size, c.isLead), c.list);
    }
}

TEST(SaveDialogRequest, FilterListInTinyBuffers) {
    char one[1] = {'x'};
    MakeFilterList(one, 1, IsLead932);
    EXPECT_EQ(one[0], '\0');
    char two[2] = {'|', 'x'};
    MakeFilterList(two, 2, IsLead932);
    EXPECT_EQ(std::string(two, 2), std::string("\0\0", 2));
    MakeFilterList(nullptr, 10, IsLead932);  // nothing to do, nothing touched
}

}  // namespace
}  // namespace murlo::test
