#include "console/commands/appearance_rules.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace murlo::test {
namespace {

TEST(AppearanceRules, HelpFilePathTable) {
    struct Row {
        const char* program;
        const char* expected;
    };
    const Row rows[] = {
        {"C:\\Tools\\MURLO.EXE", "C:\\Tools\\MURLO.HLP"},
        {"C:\\Tools\\murlo.exe", "C:\\Tools\\murlo.HLP"},
        {"C:\\Tools\\MURLO.TEST.EXE", "C:\\Tools\\MURLO.TEST.HLP"},
        {"C:\\v1.2\\MURLO", "C:\\v1.2\\MURLO.HLP"},
        {"C:\\Tools\\MURLO", "C:\\Tools\\MURLO.HLP"},
        {"C:\\Tools\\MURLO.", "C:\\Tools\\MURLO.HLP"},
        {"C:\\Tools\\.MURLO", "C:\\Tools\\.HLP"},
        {"MURLO.EXE", "MURLO.HLP"},
        {"MURLO", "MURLO.HLP"},
        {"Z:/opt/v2.0/murlo", "Z:/opt/v2.0/murlo.HLP"},
        {"Z:/opt/v2.0\\murlo.bin", "Z:/opt/v2.0\\murlo.HLP"},
        {"", ".HLP"},
    };
    for (const auto& row : rows) {
        char out[260];
        EXPECT_TRUE(HelpFilePath(row.program, "HLP", out, sizeof out)) << row.program;
        EXPECT_STREQ(out, row.expected) << row.program;
    }
}

TEST(AppearanceRules, HelpFilePathBoundedByBuffer) {
    // 255 bytes of path without a '.': with ".HLP" and the NUL it needs 260.
    std::string path = "C:\\" + std::string(252, 'p');
    std::unique_ptr<char[]> exact(new char[260]);
    ASSERT_TRUE(HelpFilePath(path.c_str(), "HLP", exact.get(), 260));
    EXPECT_EQ(std::string(exact.get()), path + ".HLP");

    std::string longer = path + "q";
    std::unique_ptr<char[]> small(new char[260]);
    small[0] = 'x';
    EXPECT_FALSE(HelpFilePath(longer.c_str(), "HLP", small.get(), 260));
    EXPECT_EQ(small[0], '\0');

    // A path with an extension keeps its length.
    std::string withExt = "C:\\" + std::string(252, 'p') + ".EXE";
    std::unique_ptr<char[]> same(new char[260]);
    ASSERT_TRUE(HelpFilePath(withExt.c_str(), "HLP", same.get(), 260));
    EXPECT_EQ(std::string(same.get()), "C:\\" + std::string(252, 'p') + ".HLP");

    char none = 'x';
    EXPECT_FALSE(HelpFilePath("a.exe", "HLP", &none, 0));
    EXPECT_EQ(none, 'x');
}

TEST(AppearanceRules, CenteredOriginTable) {
    struct Row {
        int32_t outer[4];
        int32_t inner[4];
        Point32 expected;
    };
    const Row rows[] = {
        {{100, 50, 500, 350}, {0, 0, 200, 100}, {200, 150}},
        {{100, 50, 501, 351}, {7, 9, 207, 109}, {200, 150}},
        // A dialog larger than the console overhangs on both sides.
        {{100, 100, 300, 200}, {0, 0, 400, 300}, {0, 0}},
        {{100, 100, 301, 201}, {0, 0, 400, 300}, {1, 1}},
        // Odd negative differences truncate toward zero.
        {{0, 0, 100, 100}, {0, 0, 103, 105}, {-1, -2}},
        {{-500, -400, -100, -100}, {0, 0, 100, 100}, {-350, -300}},
    };
    for (const auto& row : rows) {
        Point32 got = CenteredOrigin(row.outer, row.inner);
        EXPECT_EQ(got.x, row.expected.x);
        EXPECT_EQ(got.y, row.expected.y);
    }
}

TEST(AppearanceRules, FontPointSize) {
    EXPECT_EQ(FontPointSize(-13, 96), 9);
    EXPECT_EQ(FontPointSize(13, 96), 9);
    EXPECT_EQ(FontPointSize(-16, 96), 12);
    EXPECT_EQ(FontPointSize(16, 120), 9);
    EXPECT_EQ(FontPointSize(0, 96), 0);
    EXPECT_EQ(FontPointSize(-13, 0), 0);
    EXPECT_EQ(FontPointSize(-13, -96), 0);
    EXPECT_EQ(FontPointSize(INT32_MIN, 96), 1610612736);  // 2^31 x 72 / 96, no overflow
    EXPECT_EQ(FontPointSize(INT32_MIN, 1), INT32_MAX);
}

TEST(AppearanceRules, TrackbarShowsTransparency) {
    EXPECT_EQ(AlphaFromTrackbar(0), 255);
    EXPECT_EQ(AlphaFromTrackbar(64), 191);
    EXPECT_EQ(AlphaFromTrackbar(255), 0);
    EXPECT_EQ(TrackbarFromAlpha(255), 0);
    EXPECT_EQ(TrackbarFromAlpha(191), 64);
    EXPECT_EQ(TrackbarFromAlpha(0), 255);
    for (int a = 0; a <= 255; ++a) EXPECT_EQ(AlphaFromTrackbar(TrackbarFromAlpha(uint8_t(a))), a);
}

}  // namespace
}  // namespace murlo::test
