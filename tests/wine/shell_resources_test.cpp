// The resources inside MURLO.EXE: menus 20 and 21, accelerator table 200,
// the string table, icon 10 and bitmap 13.
#include <vector>

#include "shell_test_support.h"

namespace murlo_shell_test {
namespace {

struct Item {
    UINT id;  // 0: separator
    const char* text;
};

class ShellResources : public ::testing::Test {
protected:
    void SetUp() override {
        module = LoadLibraryExA(BinPath(kProgram).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(module, nullptr);
    }
    void TearDown() override {
        if (module) FreeLibrary(module);
    }
    HMODULE module = nullptr;
};

void ExpectPopup(HMENU popup, const std::vector<Item>& items) {
    ASSERT_NE(popup, nullptr);
    ASSERT_EQ(GetMenuItemCount(popup), int(items.size()));
    for (size_t i = 0; i < items.size(); ++i) {
        SCOPED_TRACE(i);
        MENUITEMINFOA info = {};
        char text[128] = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = sizeof text;
        ASSERT_TRUE(GetMenuItemInfoA(popup, UINT(i), TRUE, &info));
        if (items[i].id == 0) {
            EXPECT_TRUE(info.fType & MFT_SEPARATOR);
            continue;
        }
        EXPECT_EQ(info.wID, items[i].id);
        EXPECT_STREQ(text, items[i].text);
    }
}

std::string PopupTitle(HMENU menu, int position) {
    char text[64] = {};
    GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
    return text;
}

TEST_F(ShellResources, MainMenuHasEveryItemWithItsShortcutText) {
    HMENU menu = LoadMenuA(module, MAKEINTRESOURCEA(20));
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(GetMenuItemCount(menu), 4);
    EXPECT_EQ(PopupTitle(menu, 0), "&File");
    EXPECT_EQ(PopupTitle(menu, 1), "&Edit");
    EXPECT_EQ(PopupTitle(menu, 2), "&View");
    EXPECT_EQ(PopupTitle(menu, 3), "&Help");
    ExpectPopup(GetSubMenu(menu, 0), {{101, "S&tart log"},
                                      {57604, "&Save log...\tCtrl+S"},
                                      {102, "Log to &File..."},
                                      {0, nullptr},
                                      {57665, "E&xit\tAlt+F4"}});
    ExpectPopup(GetSubMenu(menu, 1), {{57642, "Select &All\tCtrl+A"},
                                      {0, nullptr},
                                      {57634, "&Copy\tCtrl+C"},
                                      {57633, "C&lear\tDelete"},
                                      {0, nullptr},
                                      {57636, "&Find...\tCtrl+F"},
                                      {115, "Find &previous\tShift+F3"},
                                      {116, "Find ne&xt\tF3"}});
    ExpectPopup(GetSubMenu(menu, 2), {{103, "Display File &Name"},
                                      {106, "Display &ProcessID"},
                                      {107, "Display &Date"},
                                      {108, "Display &Time"},
                                      {0, nullptr},
                                      {110, "Trans&parent\tCtrl+T"},
                                      {109, "&Add carriage return"},
                                      {0, nullptr},
                                      {113, "&Wrap to window"},
                                      {114, "Le&ft space"},
                                      {104, "Top&Most"},
                                      {0, nullptr},
                                      {105, "&Font..."},
                                      {112, "&Background color..."},
                                      {111, "T&ransparency..."}});
    ExpectPopup(GetSubMenu(menu, 3), {{57670, "&Help"}, {0, nullptr}, {57664, "&About Murlo"}});
    DestroyMenu(menu);
}

TEST_F(ShellResources, ContextMenu) {
    HMENU menu = LoadMenuA(module, MAKEINTRESOURCEA(21));
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(GetMenuItemCount(menu), 1);
    EXPECT_EQ(PopupTitle(menu, 0), "Popup");
    ExpectPopup(GetSubMenu(menu, 0), {{101, "S&tart log"},
                                      {0, nullptr},
                                      {57634, "&Copy\tCtrl+C"},
                                      {57633, "C&lear\tDelete"},
                                      {0, nullptr},
                                      {57642, "Select &All\tCtrl+A"},
                                      {0, nullptr},
                                      {110, "Trans&parent\tCtrl+T"},
                                      {113, "&Wrap to window"}});
    DestroyMenu(menu);
}

TEST_F(ShellResources, AcceleratorTable) {
    // Accelerator tables load only from a module mapped as an image.
    HMODULE image = LoadLibraryExA(BinPath(kProgram).c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
    ASSERT_NE(image, nullptr);
    HACCEL table = LoadAcceleratorsA(image, MAKEINTRESOURCEA(200));
    ASSERT_NE(table, nullptr);
    ACCEL entries[16] = {};
    ASSERT_EQ(CopyAcceleratorTableA(table, entries, 16), 8);
    const BYTE ctrl = FVIRTKEY | FCONTROL | FNOINVERT;
    const ACCEL expected[] = {
        {ctrl, 'A', 57642},
        {ctrl, 'C', 57634},
        {ctrl, 'F', 57636},
        {ctrl, 'S', 57604},
        {ctrl, 'T', 110},
        {FVIRTKEY | FNOINVERT, VK_DELETE, 57633},
        {FVIRTKEY | FNOINVERT, VK_F3, 116},
        {FVIRTKEY | FSHIFT | FNOINVERT, VK_F3, 115},
    };
    for (size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(entries[i].fVirt & ~0x80, expected[i].fVirt);  // 0x80 marks the last entry
        EXPECT_EQ(entries[i].key, expected[i].key);
        EXPECT_EQ(entries[i].cmd, expected[i].cmd);
    }
    DestroyAcceleratorTable(table);
    FreeLibrary(image);
}

TEST_F(ShellResources, StringTable) {
    const struct {
        UINT id;
        const char* text;
    } strings[] = {
        {101, "Start debug logging."},
        {57604, "Save debug log to file."},
        {102, "Write logs to file."},
        {57665, "Exit from Murlo."},
        {57642, "Select all text."},
        {57634, "Copy debug log in selected area."},
        {57633, "Clear all debug log."},
        {57636, "Find word in texts"},
        {115, "Find previous word."},
        {116, "Find next word."},
        {103, "Display file name on debug log."},
        {106, "Display process id on debug log."},
        {107, "Display date on debug log."},
        {108, "Display time on debug log."},
        {110, "Display transparent."},
        {109, "If end of line isn't carriage return, add carriage return."},
        {113, "Wrap to window"},
        {114, "Spacing left edge for selection lines."},
        {104, "Display topmost alway."},
        {105, "Select font."},
        {112, "Select background color."},
        {111, "Set transpalency."},
        {57670, "Help"},
        {57664, "Display Murlo version."},
        {2000, "Text file(*.txt)|*.txt|All file(*.*)|*.*|"},
        {3000, "Not enough memory."},
        {3001, "Can't create file."},
        {3002, "Exist debug monitor."},
        {3003, "Can't create shared memory."},
        {3004, "Error occured."},
        {3005, "Invalid command option"},
        {3006, "Can't load RICHED32.DLL or RICHED20.DLL"},
    };
    for (const auto& s : strings) {
        char text[256] = {};
        EXPECT_GT(LoadStringA(module, s.id, text, sizeof text), 0) << s.id;
        EXPECT_STREQ(text, s.text) << s.id;
    }
}

#pragma pack(push, 1)
struct GroupIconEntry {
    BYTE width, height, colours, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

TEST_F(ShellResources, IconAndToolbarBitmapSizes) {
    HRSRC group = FindResourceA(module, MAKEINTRESOURCEA(10), MAKEINTRESOURCEA(14));  // RT_GROUP_ICON
    ASSERT_NE(group, nullptr);
    auto* header = static_cast<const WORD*>(LockResource(LoadResource(module, group)));
    ASSERT_NE(header, nullptr);
    ASSERT_EQ(header[2], 2);  // two images
    auto* entries = reinterpret_cast<const GroupIconEntry*>(header + 3);
    bool has32 = false, has16 = false;
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(entries[i].colours, 16);
        EXPECT_EQ(entries[i].bitCount, 4);
        has32 |= entries[i].width == 32 && entries[i].height == 32;
        has16 |= entries[i].width == 16 && entries[i].height == 16;
    }
    EXPECT_TRUE(has32);
    EXPECT_TRUE(has16);

    HRSRC bitmap = FindResourceA(module, MAKEINTRESOURCEA(13), MAKEINTRESOURCEA(2));  // RT_BITMAP
    ASSERT_NE(bitmap, nullptr);
    auto* info = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(module, bitmap)));
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->biWidth, 16);
    EXPECT_EQ(info->biHeight, 15);
    EXPECT_EQ(info->biBitCount, 4);
}

}  // namespace
}  // namespace murlo_shell_test
