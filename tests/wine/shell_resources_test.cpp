// The resources inside MURLO.EXE, checked by rules that catch drift between
// them rather than by a copy of the resource script: every shortcut shown
// in a menu is a real accelerator of the same command and the other way
// round, every command has its status help, the context menu offers only
// main-menu commands under the same texts, every item has a mnemonic;
// plus the message texts users see, the icon and the toolbar bitmap.
#include <algorithm>
#include <map>
#include <set>
#include <vector>

#include "console/resources/resource.h"
#include "support/shell_support.h"

namespace murlo::test {
namespace {

struct MenuEntry {
    UINT id;           // command id; 0 for a separator or a popup
    std::string text;  // as shown, with '&' and the tab before the shortcut
    bool popup;
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
    // The commands of a menu resource, all popups flattened.
    std::vector<MenuEntry> Commands(UINT menuId) {
        std::vector<MenuEntry> entries;
        HMENU menu = LoadMenuA(module, MAKEINTRESOURCEA(menuId));
        if (!menu) return entries;
        for (int i = 0; i < GetMenuItemCount(menu); ++i) Collect(GetSubMenu(menu, i), entries);
        DestroyMenu(menu);
        return entries;
    }
    // The items of each popup of a menu resource, one list per popup.
    std::vector<std::vector<MenuEntry>> Popups(UINT menuId) {
        std::vector<std::vector<MenuEntry>> popups;
        HMENU menu = LoadMenuA(module, MAKEINTRESOURCEA(menuId));
        if (!menu) return popups;
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            popups.emplace_back();
            Collect(GetSubMenu(menu, i), popups.back());
        }
        DestroyMenu(menu);
        return popups;
    }
    static void Collect(HMENU popup, std::vector<MenuEntry>& entries) {
        for (int i = 0; popup && i < GetMenuItemCount(popup); ++i) {
            MENUITEMINFOA info = {};
            char text[128] = {};
            info.cbSize = sizeof info;
            info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING | MIIM_SUBMENU;
            info.dwTypeData = text;
            info.cch = sizeof text;
            if (!GetMenuItemInfoA(popup, UINT(i), TRUE, &info) || (info.fType & MFT_SEPARATOR)) continue;
            entries.push_back({info.hSubMenu ? 0 : info.wID, text, info.hSubMenu != nullptr});
        }
    }
    std::string String(UINT id) {
        char text[256] = {};
        LoadStringA(module, id, text, sizeof text);
        return text;
    }
    HMODULE module = nullptr;
};

// The shortcut text a menu item shows for an accelerator entry.
std::string ShortcutText(const ACCEL& accel) {
    std::string text;
    if (accel.fVirt & FCONTROL) text += "Ctrl+";
    if (accel.fVirt & FSHIFT) text += "Shift+";
    if (accel.fVirt & FALT) text += "Alt+";
    if (accel.key == VK_DELETE) return text + "Delete";
    if (accel.key >= VK_F1 && accel.key <= VK_F12) return text + "F" + std::to_string(accel.key - VK_F1 + 1);
    return text + char(accel.key);
}

std::string AfterTab(const std::string& text) {
    size_t tab = text.find('\t');
    return tab == std::string::npos ? "" : text.substr(tab + 1);
}

TEST_F(ShellResources, EveryShortcutShownIsAnAcceleratorOfTheSameCommandAndBack) {
    // Accelerator tables load only from a module mapped as an image.
    HMODULE image = LoadLibraryExA(BinPath(kProgram).c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
    ASSERT_NE(image, nullptr);
    HACCEL table = LoadAcceleratorsA(image, MAKEINTRESOURCEA(IDA_ACCELERATORS));
    ASSERT_NE(table, nullptr);
    ACCEL entries[32] = {};
    int count = CopyAcceleratorTableA(table, entries, 32);
    DestroyAcceleratorTable(table);
    FreeLibrary(image);
    ASSERT_GT(count, 0);

    std::map<UINT, std::string> shown;  // command -> shortcut text in the main menu
    for (const auto& entry : Commands(IDM_MAIN_MENU))
        if (!AfterTab(entry.text).empty()) shown[entry.id] = AfterTab(entry.text);
    std::set<UINT> accelerated;
    for (int i = 0; i < count; ++i) {
        SCOPED_TRACE(i);
        // Every accelerator is a virtual key, so the key works whatever the keyboard layout.
        EXPECT_TRUE(entries[i].fVirt & FVIRTKEY);
        ASSERT_TRUE(shown.count(entries[i].cmd)) << "no menu item shows the shortcut of " << entries[i].cmd;
        EXPECT_EQ(shown[entries[i].cmd], ShortcutText(entries[i])) << entries[i].cmd;
        accelerated.insert(entries[i].cmd);
    }
    // A shown shortcut with no accelerator would promise a key that does
    // nothing; Alt+F4 is the system's own key for closing the window.
    for (const auto& [id, shortcut] : shown) {
        if (shortcut == "Alt+F4") {
            EXPECT_EQ(id, UINT(IDM_EXIT));
            continue;
        }
        EXPECT_TRUE(accelerated.count(id)) << shortcut << " of " << id;
    }
}

TEST_F(ShellResources, EveryCommandHasItsStatusHelp) {
    auto main = Commands(IDM_MAIN_MENU);
    ASSERT_GE(main.size(), 20u);
    for (const auto& entry : main) EXPECT_FALSE(String(entry.id).empty()) << entry.text;
    for (const auto& entry : Commands(IDM_CONTEXT_MENU)) EXPECT_FALSE(String(entry.id).empty()) << entry.text;
}

TEST_F(ShellResources, ContextMenuOffersMainMenuCommandsUnderTheSameTexts) {
    std::map<UINT, std::string> main;
    for (const auto& entry : Commands(IDM_MAIN_MENU)) main[entry.id] = entry.text;
    auto context = Commands(IDM_CONTEXT_MENU);
    ASSERT_FALSE(context.empty());
    for (const auto& entry : context) {
        ASSERT_TRUE(main.count(entry.id)) << entry.text;
        EXPECT_EQ(entry.text, main[entry.id]);
    }
}

TEST_F(ShellResources, EveryItemHasAMnemonic) {
    for (UINT menuId : {UINT(IDM_MAIN_MENU), UINT(IDM_CONTEXT_MENU)}) {
        for (const auto& popup : Popups(menuId)) {
            for (const auto& entry : popup) {
                size_t amp = entry.text.find('&');
                ASSERT_NE(amp, std::string::npos) << entry.text;
                EXPECT_TRUE(isalnum(static_cast<unsigned char>(entry.text[amp + 1]))) << entry.text;
            }
        }
    }
}

// The messages users see on failures, word for word.
TEST_F(ShellResources, FailureMessages) {
    const struct {
        UINT id;
        const char* text;
    } messages[] = {
        {IDS_NOT_ENOUGH_MEMORY, "Not enough memory."},
        {IDS_CANT_CREATE_FILE, "Can't create file."},
        {IDS_EXIST_DEBUG_MONITOR, "Exist debug monitor."},
        {IDS_CANT_CREATE_SHARED_MEMORY, "Can't create shared memory."},
        {IDS_ERROR_OCCURED, "Error occured."},
        {IDS_INVALID_COMMAND_OPTION, "Invalid command option"},
        {IDS_CANT_LOAD_RICHEDIT, "Can't load RICHED32.DLL or RICHED20.DLL"},
    };
    for (const auto& m : messages) EXPECT_EQ(String(m.id), m.text) << m.id;
    // The save dialogs' filter: pairs of description and pattern, '|' after each.
    std::string filter = String(IDS_FILTER);
    ASSERT_FALSE(filter.empty());
    EXPECT_EQ(filter.back(), '|');
    EXPECT_EQ(std::count(filter.begin(), filter.end(), '|') % 2, 0);
    EXPECT_NE(filter.find("*.txt"), std::string::npos);
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
    HRSRC group = FindResourceA(module, MAKEINTRESOURCEA(IDI_MURLO), RT_GROUP_ICON);
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

    HRSRC bitmap = FindResourceA(module, MAKEINTRESOURCEA(IDB_START_LOG), RT_BITMAP);
    ASSERT_NE(bitmap, nullptr);
    auto* info = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(module, bitmap)));
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->biWidth, 16);
    EXPECT_EQ(info->biHeight, 15);
    EXPECT_EQ(info->biBitCount, 4);
}

}  // namespace
}  // namespace murlo::test
