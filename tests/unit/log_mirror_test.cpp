#include "console/view/log_mirror.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace murlo::test {
namespace {

void AppendToString(void* context, const char* bytes, size_t count) {
    static_cast<std::string*>(context)->append(bytes, count);
}

TEST(LogMirror, RingSizeIsTheLimitInKiBWhenItFits) {
    const struct {
        uint32_t maxLogKB;
        bool ok;
        uint32_t size;
    } cases[] = {
        {0, false, 0},
        {1, true, 1024},
        {0x7fff, true, 0x7fff * 1024u},
        {UINT32_MAX / 1024, true, (UINT32_MAX / 1024) * 1024},
        {UINT32_MAX / 1024 + 1, false, 0},
        {UINT32_MAX, false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.maxLogKB);
        uint32_t size = 0;
        EXPECT_EQ(RingStoreSize(c.maxLogKB, &size), c.ok);
        if (c.ok) {
            EXPECT_EQ(size, c.size);
        }
    }
}

// Where two texts go for each state of the log file and its ring.
TEST(LogMirror, TextsGoToTheRingOrTheFileOrNowhere) {
    const struct {
        const char* name;
        bool logFileOpen;
        uint32_t maxLogKB;
        bool ringMapped;
        std::string file;
        std::string ring;
    } cases[] = {
        {"no log file", false, 0, false, "", ""},
        {"no log file, ring left mapped", false, 1, true, "", ""},
        {"unlimited log", true, 0, false, "a\r\nb\r\n", ""},
        {"limited log", true, 1, true, "", "a\r\nb\r\n"},
        {"limited log whose ring failed", true, 1, false, "a\r\nb\r\n", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<char> memory(1024);
        RingRegion ring{};
        ResetRing(ring, c.ringMapped ? memory.data() : nullptr, 1024);
        std::string file;
        for (const char* text : {"a\r\n", "b\r\n"}) {
            MirrorLogText(text, std::char_traits<char>::length(text), c.logFileOpen, c.maxLogKB,
                          ring, ByteSink{AppendToString, &file});
        }
        EXPECT_EQ(file, c.file);
        std::string ringOut;
        CopyOutRing(ring, ByteSink{AppendToString, &ringOut});
        EXPECT_EQ(ringOut, c.ring);
    }
}

}  // namespace
}  // namespace murlo::test
