// The stored options' table: the eleven registry names and defaults the
// console has always used, each field stored once, and the logging switch
// never stored.
#include "console/shell/view_options.h"

#include <gtest/gtest.h>

#include <cstring>
#include <algorithm>
#include <vector>

namespace murlo::test {
namespace {

TEST(ViewOptions, TheElevenStoredOptionsWithTheirDefaults) {
    const struct {
        const char* name;
        uint32_t defaultValue;
    } expected[] = {
        {"LogFileName", 0}, {"LogProcessID", 0}, {"LogDate", 0}, {"LogTime", 0},
        {"TopMost", 0}, {"AddCR", 0}, {"DispTransparent", 0}, {"Transparent", 255},
        {"WrapWindow", 0}, {"LeftSpace", 0}, {"MaxLogFileSize", 0},
    };
    ASSERT_EQ(std::size(kStoredOptions), std::size(expected));
    for (size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE(expected[i].name);
        EXPECT_STREQ(kStoredOptions[i].name, expected[i].name);
        EXPECT_EQ(kStoredOptions[i].defaultValue, expected[i].defaultValue);
    }
}

// The defaults in the table are the ones a fresh ViewOptions holds, and
// every field but the logging switch is stored exactly once.
TEST(ViewOptions, EachFieldStoredOnceWithItsStartingValue) {
    ViewOptions fresh;
    EXPECT_EQ(fresh.loggingOn, 1u);
    std::vector<uint32_t ViewOptions::*> seen;
    for (const StoredOption& option : kStoredOptions) {
        SCOPED_TRACE(option.name);
        EXPECT_NE(option.field, &ViewOptions::loggingOn);
        EXPECT_EQ(std::find(seen.begin(), seen.end(), option.field), seen.end());
        seen.push_back(option.field);
        EXPECT_EQ(fresh.*option.field, option.defaultValue);
    }
    EXPECT_EQ(seen.size(), sizeof(ViewOptions) / sizeof(uint32_t) - 1);
}

// Only the opacity is cut on loading, to its low byte (a stored 300 is 44).
TEST(ViewOptions, OnlyTheOpacityKeepsItsLowByte) {
    for (const StoredOption& option : kStoredOptions) {
        SCOPED_TRACE(option.name);
        uint32_t kept = 300 & option.keptBits;
        EXPECT_EQ(kept, std::strcmp(option.name, "Transparent") == 0 ? 44u : 300u);
    }
}

}  // namespace
}  // namespace murlo::test
