#include "console/logfile/log_mirror.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace murlo::test {
namespace {

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

TEST(LogMirror, TextsGoToTheRingOrTheFileOrNowhere) {
    const struct {
        const char* name;
        bool logFileOpen;
        uint32_t maxLogKB;
        bool ringMapped;
        LogRoute route;
    } cases[] = {
        {"no log file", false, 0, false, LogRoute::None},
        {"no log file, ring left mapped", false, 1, true, LogRoute::None},
        {"unlimited log", true, 0, false, LogRoute::File},
        {"unlimited log, stale ring", true, 0, true, LogRoute::File},
        {"limited log", true, 1, true, LogRoute::Ring},
        {"limited log whose ring failed", true, 1, false, LogRoute::File},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ChooseLogRoute(c.logFileOpen, c.maxLogKB, c.ringMapped), c.route);
    }
}

}  // namespace
}  // namespace murlo::test
