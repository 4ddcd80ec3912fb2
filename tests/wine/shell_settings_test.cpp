// The settings key as the console reads and writes it: the first start,
// the orderly close, geometry, and stored values of the wrong type or size.
#include <cstring>

#include "support/shell_support.h"
#include "tests/support/stored_options.h"

namespace murlo::test {
namespace {

constexpr unsigned char kFixedFace[14] = {0x82, 0x6C, 0x82, 0x72, 0x20, 0x83, 0x53,
                                          0x83, 0x56, 0x83, 0x62, 0x83, 0x4E, 0x00};
constexpr size_t kFaceOffset = 28;  // lfFaceName within LOGFONTA
constexpr size_t kFontSize = 60;

DWORD DwordOr(const char* name, DWORD fallback) {
    DWORD value = fallback;
    return GetSettingDword(name, &value) ? value : fallback;
}

void StoreGeometry(DWORD x, DWORD y, DWORD w, DWORD h) {
    SetSettingDword("X", x);
    SetSettingDword("Y", y);
    SetSettingDword("Width", w);
    SetSettingDword("Height", h);
}

using ShellSettings = ShellTest;

TEST_F(ShellSettings, FirstStartWritesPathAndFontThenCloseWritesEverything) {
    Console console;
    ASSERT_TRUE(StartReady(console));

    DWORD type = 0;
    std::string data;
    ASSERT_TRUE(GetSettingRaw("MurloPath", &type, &data));
    EXPECT_EQ(type, DWORD(REG_SZ));
    ASSERT_FALSE(data.empty());
    EXPECT_EQ(data.back(), '\0');  // stored with its terminator
    std::string path = data.c_str();
    EXPECT_NE(path.find("MURLO.EXE"), std::string::npos) << path;
    EXPECT_NE(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES) << path;

    ASSERT_TRUE(GetSettingRaw("Font", &type, &data));
    EXPECT_EQ(type, DWORD(REG_BINARY));
    ASSERT_EQ(data.size(), kFontSize);
    EXPECT_EQ(memcmp(data.data() + kFaceOffset, kFixedFace, sizeof kFixedFace), 0);
    LOGFONTA font;
    memcpy(&font, data.data(), sizeof font);
    EXPECT_NE(font.lfHeight, 0);  // the stock font's size

    // Nothing else before the first close.
    for (const ExpectedOption& option : kExpectedOptions)
        EXPECT_FALSE(GetSettingRaw(option.name, &type, &data)) << option.name;
    for (const char* name : {"X", "Y", "Width", "Height", "TextColor", "BackColor", "UserDefinedColor"})
        EXPECT_FALSE(GetSettingRaw(name, &type, &data)) << name;

    RECT rect;
    ASSERT_TRUE(GetWindowRect(console.window, &rect));
    EXPECT_EQ(console.Close(), 0);

    EXPECT_EQ(DwordOr("X", 0xDEAD), DWORD(rect.left));
    EXPECT_EQ(DwordOr("Y", 0xDEAD), DWORD(rect.top));
    EXPECT_EQ(DwordOr("Width", 0xDEAD), DWORD(rect.right - rect.left));
    EXPECT_EQ(DwordOr("Height", 0xDEAD), DWORD(rect.bottom - rect.top));
    for (const ExpectedOption& option : kExpectedOptions)
        EXPECT_EQ(DwordOr(option.name, 0xDEAD), option.defaultValue) << option.name;
    EXPECT_FALSE(GetSettingRaw("TextColor", &type, &data));
    EXPECT_FALSE(GetSettingRaw("BackColor", &type, &data));
}

TEST_F(ShellSettings, StoredGeometryAndOptionsComeBackAtClose) {
    StoreGeometry(120, 90, 520, 410);
    // Any non-zero number counts as on and is written back unchanged.
    const DWORD values[] = {1, 7, 0, 1, 0, 1, 0, 200, 1, 1, 64};
    for (size_t i = 0; i < std::size(kExpectedOptions); ++i) SetSettingDword(kExpectedOptions[i].name, values[i]);

    Console console;
    ASSERT_TRUE(StartReady(console));
    RECT rect;
    ASSERT_TRUE(GetWindowRect(console.window, &rect));
    EXPECT_EQ(rect.left, 120);
    EXPECT_EQ(rect.top, 90);
    EXPECT_EQ(rect.right - rect.left, 520);
    EXPECT_EQ(rect.bottom - rect.top, 410);
    // LeftSpace puts the selection bar into the view's style.
    EXPECT_TRUE(GetWindowLongPtrA(console.View(), GWL_STYLE) & 0x01000000);

    // A move by the user is stored at the close.
    ASSERT_TRUE(SetWindowPos(console.window, nullptr, 150, 60, 600, 300, SWP_NOZORDER | SWP_NOACTIVATE));
    ASSERT_TRUE(WaitFor([&] {
        RECT now;
        return GetWindowRect(console.window, &now) && now.left == 150 && now.right - now.left == 600;
    }));
    EXPECT_EQ(console.Close(), 0);
    EXPECT_EQ(DwordOr("X", 0), 150u);
    EXPECT_EQ(DwordOr("Y", 0), 60u);
    EXPECT_EQ(DwordOr("Width", 0), 600u);
    EXPECT_EQ(DwordOr("Height", 0), 300u);
    for (size_t i = 0; i < std::size(kExpectedOptions); ++i)
        EXPECT_EQ(DwordOr(kExpectedOptions[i].name, 0xDEAD), values[i]) << kExpectedOptions[i].name;
}

TEST_F(ShellSettings, ClosingMinimisedOrMaximisedKeepsTheOldGeometry) {
    for (WORD show : {WORD(SW_SHOWMINIMIZED), WORD(SW_SHOWMAXIMIZED)}) {
        SCOPED_TRACE(show == SW_SHOWMINIMIZED ? "minimised" : "maximised");
        DeleteSettingsKey();
        StoreGeometry(111, 77, 444, 333);
        Console console;
        ASSERT_TRUE(StartReady(console, "", show));
        ASSERT_TRUE(WaitFor([&] {
            return show == SW_SHOWMINIMIZED ? IsIconic(console.window) != FALSE : IsZoomed(console.window) != FALSE;
        }));
        EXPECT_EQ(console.Close(), 0);
        EXPECT_EQ(DwordOr("X", 0), 111u);
        EXPECT_EQ(DwordOr("Y", 0), 77u);
        EXPECT_EQ(DwordOr("Width", 0), 444u);
        EXPECT_EQ(DwordOr("Height", 0), 333u);
        // The options are written all the same.
        for (const ExpectedOption& option : kExpectedOptions)
            EXPECT_NE(DwordOr(option.name, 0xDEAD), 0xDEADu) << option.name;
    }
}

TEST_F(ShellSettings, OnlyTheLowByteOfTransparentCounts) {
    const struct {
        DWORD stored, alpha;
    } cases[] = {{0x1FF, 255}, {300, 44}, {0x12345680, 0x80}, {0, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        DeleteSettingsKey();
        SetSettingDword("Transparent", c.stored);
        Console console;
        ASSERT_TRUE(StartReady(console));
        EXPECT_EQ(console.Close(), 0);
        EXPECT_EQ(DwordOr("Transparent", 0xDEAD), c.alpha);
    }
}

TEST_F(ShellSettings, ValuesOfTheWrongTypeOrSizeReadAsMissing) {
    // TopMost as a string: off, and a DWORD replaces it at the close.
    SetSettingString("TopMost", "1");
    // A DWORD stored with 8 bytes is too long: the default 0 is used.
    const unsigned char eight[8] = {1, 0, 0, 0, 0, 0, 0, 0};
    SetValueRaw("LogDate", REG_DWORD, eight, sizeof eight);
    // A binary value where a DWORD belongs.
    DWORD one = 1;
    SetSettingBinary("AddCR", &one, sizeof one);
    // Transparent as a string: the default 255.
    SetSettingString("Transparent", "12");
    // A Font value longer than 60 bytes reads as missing and is replaced.
    unsigned char longFont[64] = {};
    longFont[0] = 0xEC;  // lfHeight -20 if it were taken
    longFont[1] = 0xFF;
    longFont[2] = 0xFF;
    longFont[3] = 0xFF;
    SetSettingBinary("Font", longFont, sizeof longFont);

    Console console;
    ASSERT_TRUE(StartReady(console));
    EXPECT_FALSE(ExStyleOf(console.window) & WS_EX_TOPMOST);
    DWORD type = 0;
    std::string data;
    ASSERT_TRUE(GetSettingRaw("Font", &type, &data));
    ASSERT_EQ(data.size(), kFontSize);
    LOGFONTA font;
    memcpy(&font, data.data(), sizeof font);
    EXPECT_NE(font.lfHeight, -20);
    EXPECT_EQ(memcmp(data.data() + kFaceOffset, kFixedFace, sizeof kFixedFace), 0);
    EXPECT_EQ(console.Close(), 0);

    ASSERT_TRUE(GetSettingRaw("TopMost", &type, &data));
    EXPECT_EQ(type, DWORD(REG_DWORD));
    EXPECT_EQ(DwordOr("TopMost", 0xDEAD), 0u);
    EXPECT_EQ(DwordOr("LogDate", 0xDEAD), 0u);
    EXPECT_EQ(DwordOr("AddCR", 0xDEAD), 0u);
    EXPECT_EQ(DwordOr("Transparent", 0xDEAD), 255u);
}

TEST_F(ShellSettings, AStoredFontKeepsItsSizeButGetsTheFixedFace) {
    LOGFONTA font = {};
    font.lfHeight = -21;
    font.lfWeight = 700;
    font.lfItalic = 1;
    strcpy(font.lfFaceName, "Courier New");
    SetSettingBinary("Font", &font, sizeof font);
    SetSettingDword("TopMost", 1);

    Console console;
    ASSERT_TRUE(StartReady(console));
    EXPECT_TRUE(ExStyleOf(console.window) & WS_EX_TOPMOST);
    DWORD type = 0;
    std::string data;
    ASSERT_TRUE(GetSettingRaw("Font", &type, &data));
    ASSERT_EQ(data.size(), kFontSize);
    LOGFONTA stored;
    memcpy(&stored, data.data(), sizeof stored);
    EXPECT_EQ(stored.lfHeight, -21);
    EXPECT_EQ(stored.lfWeight, 700);
    EXPECT_EQ(stored.lfItalic, 1);
    EXPECT_EQ(memcmp(stored.lfFaceName, kFixedFace, sizeof kFixedFace), 0);
    // The rest of the face name is cleared, not left from "Courier New".
    for (size_t i = sizeof kFixedFace; i < sizeof stored.lfFaceName; ++i) EXPECT_EQ(stored.lfFaceName[i], 0) << i;
    EXPECT_EQ(console.Close(), 0);
}

TEST_F(ShellSettings, PositionWithoutWidthLetsThePlatformChooseTheSize) {
    SetSettingDword("X", 130);
    SetSettingDword("Y", 70);
    SetSettingDword("Height", 250);
    Console console;
    ASSERT_TRUE(StartReady(console));
    RECT rect;
    ASSERT_TRUE(GetWindowRect(console.window, &rect));
    EXPECT_EQ(rect.left, 130);
    EXPECT_EQ(rect.top, 70);
    EXPECT_GT(rect.right - rect.left, 0);
    EXPECT_GT(rect.bottom - rect.top, 0);
    EXPECT_EQ(console.Close(), 0);
    EXPECT_EQ(DwordOr("Width", 0), DWORD(rect.right - rect.left));
}

}  // namespace
}  // namespace murlo::test
