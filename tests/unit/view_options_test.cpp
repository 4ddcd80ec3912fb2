// The stored options' table: the eleven registry names and defaults, each
// field stored once, and the logging switch never stored.
#include "console/shell/view_options.h"

#include <gtest/gtest.h>

#include <cstring>
#include <algorithm>
#include <vector>

#include "tests/support/stored_options.h"

namespace murlo::test {
namespace {

TEST(ViewOptions, TheElevenStoredOptionsWithTheirDefaults) {
    ASSERT_EQ(std::size(kStoredOptions), std::size(kExpectedOptions));
    for (size_t i = 0; i < std::size(kExpectedOptions); ++i) {
        SCOPED_TRACE(kExpectedOptions[i].name);
        EXPECT_STREQ(kStoredOptions[i].name, kExpectedOptions[i].name);
        EXPECT_EQ(kStoredOptions[i].defaultValue, kExpectedOptions[i].defaultValue);
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
