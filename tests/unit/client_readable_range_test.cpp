// The readability walk over memory regions, against a made-up map.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "client/readable_range.h"

namespace {

using murlo::MemoryRegion;

constexpr uintptr_t kTop = UINTPTR_MAX;

// The map the query answers from; addresses outside it have no region.
std::vector<MemoryRegion> g_map;
int g_queries;

bool QueryMap(uintptr_t address, MemoryRegion& region) {
    ++g_queries;
    for (const auto& entry : g_map) {
        if (address >= entry.base && address - entry.base <= entry.size - 1) {
            region = entry;
            return true;
        }
    }
    return false;
}

TEST(ClientReadableRange, WalksRegions) {
    g_map = {
        {0x1000, 0x1000, true},  {0x2000, 0x2000, true},  {0x4000, 0x1000, false},
        {0x5000, 0x1000, true},  {kTop - 0xFFF, 0x1000, true},
    };
    struct Case {
        const char* name;
        uintptr_t start;
        uintptr_t length;
        bool readable;
    } cases[] = {
        {"inside one region", 0x1010, 0x10, true},
        {"across two readable regions", 0x1FF0, 0x20, true},
        {"up to a region's last byte", 0x3000, 0x1000, true},
        {"one byte into a no-access region", 0x3000, 0x1001, false},
        {"starts in a no-access region", 0x4FFF, 2, false},
        {"starts where nothing is mapped", 0x10, 0x10, false},
        {"runs past the map", 0x5FF0, 0x20, false},
        {"zero length anywhere", 0x10, 0, true},
        {"zero length at a null pointer", 0, 0, true},
        {"ends at the top of the address space", kTop - 0xF, 0x10, true},
        {"wraps past the top", kTop - 0xF, 0x11, false},
        {"whole address space", 0, kTop, false},
    };
    for (const auto& c : cases) {
        g_queries = 0;
        EXPECT_EQ(murlo::IsRangeReadable(c.start, c.length, QueryMap), c.readable) << c.name;
        EXPECT_LT(g_queries, 10) << c.name;
    }
}

TEST(ClientReadableRange, BrokenRegionAnswersEndTheWalk) {
    struct Case {
        const char* name;
        MemoryRegion region;
    } cases[] = {
        {"empty region", {0x1000, 0, true}},
        {"region after the address", {0x1800, 0x1000, true}},
    };
    for (const auto& c : cases) {
        g_map = {c.region};
        g_queries = 0;
        // A region that does not hold the queried address must not loop.
        EXPECT_FALSE(murlo::IsRangeReadable(0x1000, 0x100, [](uintptr_t, MemoryRegion& region) {
            ++g_queries;
            region = g_map[0];
            return true;
        })) << c.name;
        EXPECT_EQ(g_queries, 1) << c.name;
    }
}

}  // namespace
