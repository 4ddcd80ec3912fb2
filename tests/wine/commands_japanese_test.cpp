// The Japanese resource library: it carries the same menu, dialog and
// string ids as MURLO.EXE; a console whose user language is Japanese takes
// its menus and status help from it, and uses its own English resources
// when the library is missing; search text from a double-byte selection is
// cut to whole characters.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/commands_support.h"

namespace {

using namespace murlo::test;

struct DataModule {
    HMODULE handle;
    explicit DataModule(const std::string& path)
        : handle(LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {}
    ~DataModule() {
        if (handle) FreeLibrary(handle);
    }
    DataModule(const DataModule&) = delete;
    DataModule& operator=(const DataModule&) = delete;
};

bool HasNonAscii(const std::wstring& text) {
    return std::any_of(text.begin(), text.end(), [](wchar_t c) { return c > 0x7F; });
}

std::wstring MenuText(HMENU menu, int position) {
    wchar_t text[128] = {};
    GetMenuStringW(menu, position, text, 128, MF_BYPOSITION);
    return text;
}

// Every item of a menu, depth first: its depth and command id (-1 for a
// popup, 0 for a separator), with its text.
struct MenuEntry {
    int depth;
    int id;
    std::wstring text;
};
void ReadMenu(HMENU menu, int depth, std::vector<MenuEntry>& out) {
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        HMENU popup = GetSubMenu(menu, i);
        out.push_back({depth, popup ? -1 : static_cast<int>(GetMenuItemID(menu, i)), MenuText(menu, i)});
        if (popup) ReadMenu(popup, depth + 1, out);
    }
}

std::vector<MenuEntry> MenuEntries(HMODULE module, UINT id) {
    std::vector<MenuEntry> entries;
    if (HMENU menu = LoadMenuW(module, MAKEINTRESOURCEW(id))) {
        ReadMenu(menu, 0, entries);
        DestroyMenu(menu);
    }
    return entries;
}

INT_PTR CALLBACK QuietDialog(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

// The control ids and classes of a dialog template, sorted.
std::vector<std::pair<int, std::string>> DialogControls(HMODULE module, UINT id, HWND parent) {
    std::vector<std::pair<int, std::string>> controls;
    HWND dialog = CreateDialogParamW(module, MAKEINTRESOURCEW(id), parent, QuietDialog, 0);
    if (!dialog) return controls;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char className[64] = {};
        GetClassNameA(child, className, sizeof className);
        controls.emplace_back(GetDlgCtrlID(child), className);
    }
    DestroyWindow(dialog);
    std::sort(controls.begin(), controls.end());
    return controls;
}

std::string ToCodePage932(const std::wstring& text) {
    char bytes[512] = {};
    int length = WideCharToMultiByte(932, 0, text.c_str(), -1, bytes, sizeof bytes, nullptr, nullptr);
    return length > 0 ? std::string(bytes) : std::string();
}

std::wstring LoadWide(HMODULE module, UINT id) {
    wchar_t text[256] = {};
    LoadStringW(module, id, text, 256);
    return text;
}

// Collects the numbered string-table blocks (a named callback: a lambda does
// not convert to a stdcall ENUMRESNAMEPROCA in 32-bit code).
BOOL CALLBACK CollectStringBlock(HMODULE, LPCSTR, LPSTR name, LONG_PTR list) {
    if (IS_INTRESOURCE(name))
        reinterpret_cast<std::vector<UINT>*>(list)->push_back(static_cast<UINT>(reinterpret_cast<ULONG_PTR>(name)));
    return TRUE;
}

TEST(JapaneseLibrary, CarriesTheProgramsMenuDialogAndStringIds) {
    DataModule exe(BinPath("MURLO.EXE"));
    DataModule jp(BinPath("MURLOJP.DLL"));
    ASSERT_NE(exe.handle, nullptr);
    ASSERT_NE(jp.handle, nullptr);

    for (UINT menu : {IDM_MAIN_MENU, IDM_CONTEXT_MENU}) {
        SCOPED_TRACE(menu);
        auto english = MenuEntries(exe.handle, menu);
        auto japanese = MenuEntries(jp.handle, menu);
        ASSERT_FALSE(english.empty());
        ASSERT_EQ(japanese.size(), english.size());
        for (size_t i = 0; i < english.size(); ++i) {
            EXPECT_EQ(japanese[i].depth, english[i].depth) << i;
            EXPECT_EQ(japanese[i].id, english[i].id) << i;
            if (english[i].id > 0) {
                EXPECT_TRUE(HasNonAscii(japanese[i].text)) << i;
            }
        }
    }

    // Every string of the program, block by block.
    std::vector<UINT> blocks;
    EnumResourceNamesA(exe.handle, reinterpret_cast<LPCSTR>(RT_STRING), CollectStringBlock,
                       reinterpret_cast<LONG_PTR>(&blocks));
    int strings = 0;
    for (UINT block : blocks) {
        for (UINT id = (block - 1) * 16; id < block * 16; ++id) {
            if (LoadWide(exe.handle, id).empty()) continue;
            ++strings;
            std::wstring japanese = LoadWide(jp.handle, id);
            EXPECT_TRUE(HasNonAscii(japanese)) << id;
        }
    }
    EXPECT_GE(strings, 32);

    InitCommonControls();
    HWND parent = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    for (UINT dialog : {IDD_LOG_FILE, IDD_LOG_FILE_OLD, IDD_ABOUT, IDD_TRANSPARENCY}) {
        SCOPED_TRACE(dialog);
        auto english = DialogControls(exe.handle, dialog, parent);
        EXPECT_FALSE(english.empty());
        EXPECT_EQ(DialogControls(jp.handle, dialog, parent), english);
    }
    DestroyWindow(parent);
}

class JapaneseConsole : public CommandsTest {
protected:
    void SetUp() override {
        CommandsTest::SetUp();
        SetWineVersionFor(kProgram, "");
        ASSERT_TRUE(WaitFor([] { return FindConsoleWindow() == nullptr; }));
        jp.handle = LoadLibraryExA(BinPath("MURLOJP.DLL").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(jp.handle, nullptr);
    }
    void TearDown() override {
        CommandsTest::TearDown();
        if (!folder.empty()) {
            DeleteFileA((folder + "\\MURLO.EXE").c_str());
            RemoveDirectoryA(folder.c_str());
        }
    }
    void Start(const std::string& from = "") {
        ASSERT_TRUE(StartJapaneseConsole(console, from));
        ASSERT_TRUE(WaitFor([&] { return console.View() != nullptr && IsWindowVisible(console.window); }));
        ASSERT_TRUE(probe.Attach(console.window));
    }

    struct {
        HMODULE handle = nullptr;
    } jp;
    std::string folder;
};

TEST_F(JapaneseConsole, MenusAndStatusHelpComeFromTheLibrary) {
    Start();
    HMENU bar = LoadMenuW(jp.handle, MAKEINTRESOURCEW(IDM_MAIN_MENU));
    ASSERT_NE(bar, nullptr);
    std::string title;
    auto help = probe.MainMenu(3, &title);
    EXPECT_EQ(title, ToCodePage932(MenuText(bar, 3)));
    EXPECT_FALSE(IsGrayed(ItemState(help, IDM_HELP)));
    probe.MainMenu(0, &title);
    EXPECT_EQ(title, ToCodePage932(MenuText(bar, 0)));
    DestroyMenu(bar);

    SendMessageA(console.window, WM_MENUSELECT, MAKEWPARAM(IDM_CLEAR, MF_HILITE),
                 reinterpret_cast<LPARAM>(GetMenu(console.window)));
    ASSERT_TRUE(probe.Ask(murlo_probe::kReadStatus));
    EXPECT_EQ(std::string(probe.result->text), ToCodePage932(LoadWide(jp.handle, IDM_CLEAR)));
    FreeLibrary(jp.handle);
}

TEST_F(JapaneseConsole, WithoutTheLibraryTheProgramsOwnResourcesServe) {
    folder = BinPath("japanese_without_library");
    CreateDirectoryA(folder.c_str(), nullptr);
    ASSERT_TRUE(CopyFileA(BinPath("MURLO.EXE").c_str(), (folder + "\\MURLO.EXE").c_str(), FALSE));
    Start(folder);
    std::string title;
    auto help = probe.MainMenu(3, &title);
    EXPECT_EQ(title, "&Help");
    // The user's language is still Japanese: Help is offered.
    EXPECT_FALSE(IsGrayed(ItemState(help, IDM_HELP)));
    probe.MainMenu(0, &title);
    EXPECT_EQ(title, "&File");
    FreeLibrary(jp.handle);
}

// 300 double-byte characters selected: the search text holds the 127 whole
// characters that fit 255 bytes.
TEST_F(JapaneseConsole, DoubleByteSelectionIsCutToWholeCharacters) {
    Start();
    SendMessageA(console.window, WM_COMMAND, IDM_START_LOG, 0);  // records would change the text
    std::wstring text;
    for (int i = 0; i < 300; ++i) text += static_cast<wchar_t>(0x3042 + i % 80);  // hiragana
    SendMessageW(console.View(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    SetViewSelection(console.View(), 0, 300);
    PostMessageA(console.window, WM_COMMAND, IDM_FIND, 0);
    HWND findWhat = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        for (HWND w = FindWindowA("#32770", nullptr); w; w = FindWindowExA(nullptr, w, "#32770", nullptr)) {
            DWORD owner = 0;
            GetWindowThreadProcessId(w, &owner);
            if (owner == console.process.id && IsWindowVisible(w) && (findWhat = GetDlgItem(w, edt1))) return true;
        }
        return false;
    }));
    // WM_GETTEXT itself: GetWindowText gives another process's controls' titles.
    wchar_t shown[512] = {};
    SendMessageW(findWhat, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(shown));
    EXPECT_EQ(std::wstring(shown), text.substr(0, 127));
    FreeLibrary(jp.handle);
}

}  // namespace
