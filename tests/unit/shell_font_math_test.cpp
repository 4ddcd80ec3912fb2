// Twips of the view font, wheel steps, and the settings key path.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

#include "console/shell/font_math.h"
#include "console/shell/settings_path.h"

namespace murlo {
namespace {

TEST(FontMath, TwipsFromFontHeight) {
    struct Case {
        int32_t height, ppi, twips;
    };
    const Case cases[] = {
        {-13, 96, 195},   // character height
        {13, 96, 195},    // cell height: same magnitude
        {16, 120, 192},
        {-11, 96, 165},
        {-12, 72, 240},
        {-13, 120, 156},  // 156.0
        {-7, 96, 105},
        {-1, 96, 15},
        {-1, 97, 14},     // 14.84 truncates
        {0, 96, 0},
        {-13, 0, 195},    // an unmeasured device counts as 96
        {-13, -5, 195},
        {INT32_MIN, 96, INT32_MAX},  // capped; 32-bit arithmetic would overflow
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TwipsFromFontHeight(c.height, c.ppi), c.twips) << c.height << " @" << c.ppi;
    }
    EXPECT_EQ(TwipsFromFontHeight(INT32_MAX, 1), INT32_MAX);
}

TEST(FontMath, WheelStep) {
    struct Case {
        int32_t delta;
        uint32_t lines;
        int64_t step;
    };
    const Case cases[] = {
        {119, 3, 0},     {-119, 3, 0},   {0, 3, 0},       {120, 3, 3},     {-240, 3, -6},
        {239, 3, 5},     // 5.975 truncates
        {-239, 3, -5},   // toward zero, not down
        {360, 1, 3},     {120, 0, 0},    {-120, 0, 0},
        // Page scrolling's UINT_MAX and extreme deltas must not overflow.
        {120, 0xFFFFFFFFu, 0xFFFFFFFFLL},
        {INT32_MIN, 3, int64_t(INT32_MIN) * 3 / 120},
        {INT32_MAX, 0xFFFFFFFFu, int64_t(0xFFFFFFFFu) * INT32_MAX / 120},
    };
    for (const Case& c : cases) EXPECT_EQ(WheelStep(c.delta, c.lines), c.step) << c.delta << " x" << c.lines;
}

TEST(FontMath, WheelPositionStaysInRange) {
    struct Case {
        int32_t position;
        int64_t step;
        int32_t maximum, result;
    };
    const Case cases[] = {
        {10, 3, 100, 7},      {10, -6, 100, 16},   {2, 3, 100, 0},    {98, -6, 100, 100},
        {0, 3, 0, 0},         {0, -3, 0, 0},       {5, 0xFFFFFFFFLL, 100, 0},
        {5, -0xFFFFFFFFLL, 100, 100},              {INT32_MAX, -1, INT32_MAX, INT32_MAX},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WheelScrollPosition(c.position, c.step, c.maximum), c.result) << c.position << " " << c.step;
}

TEST(SettingsPath, ComposesAndRefusesOverlongSubkeys) {
    char path[kSettingsPathSize];
    ASSERT_TRUE(ComposeSettingsPath(nullptr, path));
    EXPECT_STREQ(path, "Software\\OrlemApp\\Murlo");
    ASSERT_TRUE(ComposeSettingsPath("", path));
    EXPECT_STREQ(path, "Software\\OrlemApp\\Murlo");
    ASSERT_TRUE(ComposeSettingsPath("Recent", path));
    EXPECT_STREQ(path, "Software\\OrlemApp\\Murlo\\Recent");

    const size_t base = strlen("Software\\OrlemApp\\Murlo");
    // The longest subkey that fits: base + '\' + subkey + NUL == 256.
    std::string fits(kSettingsPathSize - base - 2, 'k');
    ASSERT_TRUE(ComposeSettingsPath(fits.c_str(), path));
    EXPECT_EQ(strlen(path), kSettingsPathSize - 1);
    EXPECT_EQ(std::string(path + base + 1), fits);

    std::string tooLong = fits + "k";
    EXPECT_FALSE(ComposeSettingsPath(tooLong.c_str(), path));
    EXPECT_STREQ(path, "");
}

}  // namespace
}  // namespace murlo
