// Menu item states of the real console, read inside its process by the
// probe after WM_INITMENUPOPUP, for the states the rules look at; the
// context menu's items and keyboard position; status-bar help.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "support/commands_support.h"

namespace {

using namespace murlo::test;
using murlo_probe::MenuItem;
using Items = std::vector<MenuItem>;

constexpr int kFile = 0, kEdit = 1, kView = 2, kHelp = 3;

class CommandsMenu : public CommandsTest {
protected:
    void Start(const char* version = "win7") {
        CommandsTest::Start(version);
        ASSERT_TRUE(probe.Attach(console.window));
    }
};

TEST_F(CommandsMenu, FreshConsole) {
    Start();
    Items file = probe.MainMenu(kFile);
    ASSERT_EQ(file.size(), 5u);
    EXPECT_TRUE(IsChecked(ItemState(file, IDM_START_LOG)));
    EXPECT_FALSE(IsChecked(ItemState(file, IDM_LOG_TO_FILE)));
    EXPECT_FALSE(IsGrayed(ItemState(file, IDM_SAVE_LOG)));

    Items edit = probe.MainMenu(kEdit);
    ASSERT_EQ(edit.size(), 8u);
    EXPECT_TRUE(IsGrayed(ItemState(edit, IDM_COPY)));
    EXPECT_TRUE(IsGrayed(ItemState(edit, IDM_FIND_PREVIOUS)));
    EXPECT_TRUE(IsGrayed(ItemState(edit, IDM_FIND_NEXT)));
    EXPECT_FALSE(IsGrayed(ItemState(edit, IDM_SELECT_ALL)));
    EXPECT_FALSE(IsGrayed(ItemState(edit, IDM_FIND)));

    Items view = probe.MainMenu(kView);
    ASSERT_EQ(view.size(), 15u);
    for (UINT id : {IDM_SHOW_FILE_NAME, IDM_SHOW_PROCESS_ID, IDM_SHOW_DATE, IDM_SHOW_TIME, IDM_TRANSPARENT,
                    IDM_ADD_LINE_END, IDM_WRAP, IDM_LEFT_SPACE, IDM_TOP_MOST})
        EXPECT_FALSE(IsChecked(ItemState(view, id))) << id;
    // Windows 7 is not NT 5: no transparency.
    EXPECT_TRUE(IsGrayed(ItemState(view, IDM_TRANSPARENT)));
    EXPECT_TRUE(IsGrayed(ItemState(view, IDM_TRANSPARENCY)));

    Items help = probe.MainMenu(kHelp);
    EXPECT_TRUE(IsGrayed(ItemState(help, IDM_HELP)));
    EXPECT_FALSE(IsGrayed(ItemState(help, IDM_ABOUT)));
}

// Each toggle shows in its menu at once, is saved at close and is read
// back at the next start.
TEST_F(CommandsMenu, TogglesCheckAndPersist) {
    const UINT viewToggles[] = {IDM_SHOW_FILE_NAME, IDM_SHOW_PROCESS_ID, IDM_SHOW_DATE, IDM_SHOW_TIME,
                                IDM_ADD_LINE_END, IDM_WRAP, IDM_LEFT_SPACE, IDM_TOP_MOST};
    Start();
    Command(IDM_START_LOG);
    for (UINT id : viewToggles) Command(id);
    EXPECT_FALSE(IsChecked(ItemState(probe.MainMenu(kFile), IDM_START_LOG)));
    Items view = probe.MainMenu(kView);
    for (UINT id : viewToggles) EXPECT_TRUE(IsChecked(ItemState(view, id))) << id;

    // A second toggle turns one off again.
    Command(IDM_SHOW_DATE);
    EXPECT_FALSE(IsChecked(ItemState(probe.MainMenu(kView), IDM_SHOW_DATE)));

    probe.Detach();
    ASSERT_EQ(console.Close(), 0);
    const std::pair<const char*, DWORD> stored[] = {
        {"LogFileName", 1}, {"LogProcessID", 1}, {"LogDate", 0}, {"LogTime", 1},
        {"AddCR", 1},       {"WrapWindow", 1},   {"LeftSpace", 1}, {"TopMost", 1}};
    for (const auto& [name, expected] : stored) {
        DWORD value = 99;
        EXPECT_TRUE(GetSettingDword(name, &value)) << name;
        EXPECT_EQ(value, expected) << name;
    }

    Start();
    view = probe.MainMenu(kView);
    for (UINT id : viewToggles) EXPECT_EQ(IsChecked(ItemState(view, id)), id != IDM_SHOW_DATE) << id;
    // Logging is not a setting: a new console logs again.
    EXPECT_TRUE(IsChecked(ItemState(probe.MainMenu(kFile), IDM_START_LOG)));
}

TEST_F(CommandsMenu, CopyFollowsTheSelection) {
    Start();
    StopLogging();
    SetViewText(console.View(), "hello world");
    SetViewSelection(console.View(), 0, 5);
    EXPECT_FALSE(IsGrayed(ItemState(probe.MainMenu(kEdit), IDM_COPY)));
    SetViewSelection(console.View(), 3, 3);
    EXPECT_TRUE(IsGrayed(ItemState(probe.MainMenu(kEdit), IDM_COPY)));
}

TEST_F(CommandsMenu, FindTextEnablesRepeatedSearch) {
    Start();
    StopLogging();
    SetViewText(console.View(), "alpha beta gamma");
    SetViewSelection(console.View(), 6, 10);
    PostMessageA(console.window, WM_COMMAND, IDM_FIND, 0);
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (dialog = FindDialog("Find", console.process.id)) != nullptr; }));
    EXPECT_EQ(WindowText(GetDlgItem(dialog, edt1)), "beta");
    PressButton(dialog, IDCANCEL);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
    Items edit = probe.MainMenu(kEdit);
    EXPECT_FALSE(IsGrayed(ItemState(edit, IDM_FIND_PREVIOUS)));
    EXPECT_FALSE(IsGrayed(ItemState(edit, IDM_FIND_NEXT)));
}

// Layered transparency is offered on NT 5 only, and Transparent only when
// the level is not opaque.
TEST_F(CommandsMenu, TransparencyOnNT5) {
    struct Row {
        const char* version;
        DWORD alpha;
        DWORD transparent;
        bool transparentChecked, transparentGrayed, transparencyGrayed;
    };
    const Row rows[] = {
        {"winxp", 255, 1, false, true, false},
        {"winxp", 200, 1, true, false, false},
        {"winxp", 200, 0, false, false, false},
        {"win2k", 0, 1, true, false, false},
        {"win7", 200, 1, false, true, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.version) + " alpha " + std::to_string(row.alpha));
        DeleteSettingsKey();
        SetSettingDword("Transparent", row.alpha);
        SetSettingDword("DispTransparent", row.transparent);
        Start(row.version);
        Items view = probe.MainMenu(kView);
        EXPECT_EQ(IsChecked(ItemState(view, IDM_TRANSPARENT)), row.transparentChecked);
        EXPECT_EQ(IsGrayed(ItemState(view, IDM_TRANSPARENT)), row.transparentGrayed);
        EXPECT_EQ(IsGrayed(ItemState(view, IDM_TRANSPARENCY)), row.transparencyGrayed);
        probe.Detach();
        console.Close();
    }
}

// The keyboard form of WM_CONTEXTMENU opens menu 21 at the first selected
// character; its items follow the File, Edit and View rules.
TEST_F(CommandsMenu, ContextMenuAtTheSelection) {
    Start();
    StopLogging();
    HWND view = console.View();
    SetViewText(view, "first line\r\nsecond line\r\nthird line");
    SetViewSelection(view, 16, 20);
    auto packed = static_cast<DWORD>(SendMessageA(view, EM_POSFROMCHAR, 16, 0));
    POINT expected = {static_cast<short>(LOWORD(packed)), static_cast<short>(HIWORD(packed))};
    ClientToScreen(view, &expected);

    PostMessageA(console.window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(view), MAKELPARAM(0xFFFF, 0xFFFF));
    HWND popup = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (popup = FindPopupMenuWindow()) != nullptr && IsWindowVisible(popup); }));
    RECT rect;
    GetWindowRect(popup, &rect);
    EXPECT_EQ(rect.left, expected.x);
    EXPECT_EQ(rect.top, expected.y);

    Items items = probe.TrackedMenu();
    ASSERT_EQ(items.size(), 9u);
    EXPECT_FALSE(IsChecked(ItemState(items, IDM_START_LOG)));
    EXPECT_FALSE(IsGrayed(ItemState(items, IDM_COPY)));
    EXPECT_TRUE(IsGrayed(ItemState(items, IDM_TRANSPARENT)));
    EXPECT_FALSE(IsChecked(ItemState(items, IDM_WRAP)));
    EXPECT_TRUE(WaitFor([] { return FindPopupMenuWindow() == nullptr || !IsWindowVisible(FindPopupMenuWindow()); }));

    // A mouse position is taken as it is.
    Command(IDM_WRAP);
    PostMessageA(console.window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(view), MAKELPARAM(300, 200));
    ASSERT_TRUE(WaitFor([&] { return (popup = FindPopupMenuWindow()) != nullptr && IsWindowVisible(popup); }));
    GetWindowRect(popup, &rect);
    EXPECT_EQ(rect.left, 300);
    EXPECT_EQ(rect.top, 200);
    items = probe.TrackedMenu();
    EXPECT_TRUE(IsChecked(ItemState(items, IDM_WRAP)));
}

// Threads of this process sending records to a window, until the flood
// goes out of scope. Each sender pauses a millisecond after each record: a
// modal loop, the menu's among them, takes every sent message before
// anything posted or typed, so a flood without pause would starve it on any
// platform; with the pauses it finds moments with no record waiting, while
// records still come many times between two of its turns.
struct RecordFlood {
    std::atomic<bool> sending{true};
    std::vector<std::thread> senders;
    RecordFlood(HWND window, int threads) {
        for (int i = 0; i < threads; ++i) {
            senders.emplace_back([this, window] {
                const char text[] = "flood\n";
                while (sending.load()) {
                    COPYDATASTRUCT copy = {0, sizeof text, const_cast<char*>(text)};
                    DWORD_PTR result = 0;
                    SendMessageTimeoutA(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy), SMTO_NORMAL, 1000,
                                        &result);
                    Sleep(1);
                }
            });
        }
    }
    ~RecordFlood() {
        sending = false;
        for (std::thread& sender : senders) sender.join();
    }
};

// Records keep coming while the context menu is open: a key meant for the
// menu still reaches the menu's own loop, which closes it, and not the
// window below it through the handler of a record. Under Wine the menu's
// loop mostly takes the key first even where records would let it through,
// so the rule of when they may is tested natively (MessageGate); this case
// keeps the menu usable under records.
TEST_F(CommandsMenu, ContextMenuKeepsItsKeysWhileRecordsArrive) {
    Start();
    StopLogging();  // the records are handled, but change nothing
    RecordFlood flood(console.window, 3);
    for (int round = 0; round < 5; ++round) {
        SCOPED_TRACE(round);
        PostMessageA(console.window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(console.View()),
                     MAKELPARAM(0xFFFF, 0xFFFF));
        HWND popup = nullptr;
        ASSERT_TRUE(WaitFor([&] { return (popup = FindPopupMenuWindow()) != nullptr && IsWindowVisible(popup); }));
        PostMessageA(console.View(), WM_KEYDOWN, VK_ESCAPE, 0);
        ASSERT_TRUE(WaitFor([] { return FindPopupMenuWindow() == nullptr || !IsWindowVisible(FindPopupMenuWindow()); },
                            3000));
    }
}

// While an item is highlighted the status bar shows its string in simple
// mode; when the menu closes it returns to its normal mode.
TEST_F(CommandsMenu, StatusHelp) {
    Start();
    const std::pair<UINT, const char*> rows[] = {
        {IDM_CLEAR, "Clear all debug log."},
        {IDM_ADD_LINE_END, "If end of line isn't carriage return, add carriage return."},
        {IDM_TRANSPARENCY, "Set transpalency."},
    };
    for (const auto& [id, text] : rows) {
        SendMessageA(console.window, WM_MENUSELECT, MAKEWPARAM(id, MF_HILITE),
                     reinterpret_cast<LPARAM>(GetMenu(console.window)));
        ASSERT_TRUE(probe.Ask(murlo_probe::kReadStatus));
        EXPECT_TRUE(probe.result->statusSimple);
        EXPECT_STREQ(probe.result->text, text);
    }
    SendMessageA(console.window, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    ASSERT_TRUE(probe.Ask(murlo_probe::kReadStatus));
    EXPECT_FALSE(probe.result->statusSimple);
}

}  // namespace
