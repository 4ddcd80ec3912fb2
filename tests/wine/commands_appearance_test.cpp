// Appearance commands of the real console: the font and colour dialogs
// (settings stored only when confirmed), transparency on NT 5 and not on
// later versions, top-most, wrapping and the left margin (persisting across
// a restart), and the About box.
#include <windows.h>
#include <commctrl.h>
#include <dlgs.h>
#include <richedit.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "support/commands_support.h"

namespace {

using namespace murlo::test;

constexpr int kFontSizeCombo = cmb3;  // the font dialog's size box
constexpr int kColorRed = 706, kColorGreen = 707, kColorBlue = 708;  // Wine's colour dialog edits

class CommandsAppearance : public CommandsTest {
protected:
    void Start(const char* version = "win7") {
        CommandsTest::Start(version);
        StopLogging();
    }
    void Restart(const char* version = "win7") {
        probe.Detach();
        ASSERT_EQ(console.Close(), 0);
        Start(version);
    }
    // Posts a command that shows a modal dialog and waits for the dialog.
    HWND OpenDialog(UINT id, const char* caption) {
        PostMessageA(console.window, WM_COMMAND, id, 0);
        HWND dialog = nullptr;
        WaitFor([&] { return (dialog = FindDialog(caption, console.process.id)) != nullptr; });
        return dialog;
    }
    void Press(HWND dialog, int id) {
        PressButton(dialog, id);
        ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
    }
    LONG_PTR ExStyle() const { return GetWindowLongPtrA(console.window, GWL_EXSTYLE); }
    bool Exists(const char* value) {
        DWORD type = 0;
        std::string data;
        return GetSettingRaw(value, &type, &data);
    }
    LOGFONTA StoredFont() {
        DWORD type = 0;
        std::string data;
        LOGFONTA font = {};
        if (GetSettingRaw("Font", &type, &data) && data.size() == sizeof font) memcpy(&font, data.data(), sizeof font);
        return font;
    }
    // The dialog's top-left corner lies where centring on the console puts it.
    void ExpectCentredOnConsole(HWND dialog) {
        RECT c, d;
        GetWindowRect(console.window, &c);
        GetWindowRect(dialog, &d);
        EXPECT_EQ(d.left, c.left + ((c.right - c.left) - (d.right - d.left)) / 2);
        EXPECT_EQ(d.top, c.top + ((c.bottom - c.top) - (d.bottom - d.top)) / 2);
    }
};

TEST_F(CommandsAppearance, FontStoredAndAppliedOnlyWhenConfirmed) {
    Start();
    SetViewText(console.View(), "abc");
    LOGFONTA before = StoredFont();

    HWND dialog = OpenDialog(IDM_FONT, "Font");
    ASSERT_NE(dialog, nullptr);
    Press(dialog, IDCANCEL);
    EXPECT_FALSE(Exists("TextColor"));
    LOGFONTA unchanged = StoredFont();
    EXPECT_EQ(memcmp(&unchanged, &before, sizeof before), 0);

    dialog = OpenDialog(IDM_FONT, "Font");
    ASSERT_NE(dialog, nullptr);
    SendDlgItemMessageA(dialog, kFontSizeCombo, CB_SELECTSTRING, WPARAM(-1), reinterpret_cast<LPARAM>("20"));
    SetDlgItemTextA(dialog, kFontSizeCombo, "20");
    Press(dialog, IDOK);
    ASSERT_TRUE(WaitFor([&] { return Exists("TextColor"); }));
    DWORD color = 0;
    EXPECT_TRUE(GetSettingDword("TextColor", &color));

    HDC screen = GetDC(nullptr);
    int ppi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    LOGFONTA chosen = StoredFont();
    EXPECT_EQ(chosen.lfHeight, -MulDiv(20, ppi, 72));

    // The view shows the chosen face and size in the chosen colour.
    ASSERT_TRUE(probe.Attach(console.window));
    SetViewSelection(console.View(), 0, 3);
    ASSERT_TRUE(probe.Ask(murlo_probe::kReadCharFormat, SCF_SELECTION));
    const CHARFORMATA& format = probe.result->format;
    EXPECT_EQ(format.yHeight, std::abs(chosen.lfHeight) * 1440 / ppi);
    EXPECT_STREQ(format.szFaceName, chosen.lfFaceName);
    EXPECT_EQ(format.crTextColor, color);
}

TEST_F(CommandsAppearance, BackgroundColourStoredOnlyWhenConfirmed) {
    Start();
    HWND dialog = OpenDialog(IDM_BACK_COLOR, "Color");
    ASSERT_NE(dialog, nullptr);
    Press(dialog, IDCANCEL);
    EXPECT_FALSE(Exists("BackColor"));
    EXPECT_FALSE(Exists("UserDefinedColor"));

    // Stored custom colours are read into the dialog and written back.
    COLORREF custom[16];
    for (int i = 0; i < 16; ++i) custom[i] = RGB(i * 16, 255 - i, i);
    SetSettingBinary("UserDefinedColor", custom, sizeof custom);
    dialog = OpenDialog(IDM_BACK_COLOR, "Color");
    ASSERT_NE(dialog, nullptr);
    SetDlgItemTextA(dialog, kColorRed, "10");
    SetDlgItemTextA(dialog, kColorGreen, "20");
    SetDlgItemTextA(dialog, kColorBlue, "30");
    Press(dialog, IDOK);
    DWORD back = 0;
    ASSERT_TRUE(WaitFor([&] { return GetSettingDword("BackColor", &back); }));
    EXPECT_EQ(back, RGB(10, 20, 30));
    DWORD type = 0;
    std::string stored;
    ASSERT_TRUE(GetSettingRaw("UserDefinedColor", &type, &stored));
    EXPECT_EQ(type, DWORD(REG_BINARY));
    ASSERT_EQ(stored.size(), sizeof custom);
    EXPECT_EQ(memcmp(stored.data(), custom, sizeof custom), 0);
}

TEST_F(CommandsAppearance, TransparencyOnNT5) {
    SetSettingDword("DispTransparent", 1);
    Start("winxp");
    EXPECT_EQ(ExStyle() & WS_EX_LAYERED, 0);

    HWND dialog = OpenDialog(IDM_TRANSPARENCY, "Transparency");
    ASSERT_NE(dialog, nullptr);
    ExpectCentredOnConsole(dialog);
    HWND trackbar = GetDlgItem(dialog, IDC_TRANSPARENCY_TRACKBAR);
    EXPECT_EQ(SendMessageA(trackbar, TBM_GETPOS, 0, 0), 0);
    EXPECT_EQ(SendMessageA(trackbar, TBM_GETRANGEMAX, 0, 0), 255);
    SendMessageA(trackbar, TBM_SETPOS, TRUE, 64);
    Press(dialog, IDOK);
    // The style is set before the level: wait for both.
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(WaitFor([&] {
        return (ExStyle() & WS_EX_LAYERED) != 0 && GetLayeredWindowAttributes(console.window, nullptr, &alpha, &flags) &&
               alpha == 191;
    }));
    EXPECT_EQ(flags, DWORD(LWA_ALPHA));

    // Cancel keeps the level.
    dialog = OpenDialog(IDM_TRANSPARENCY, "Transparency");
    ASSERT_NE(dialog, nullptr);
    trackbar = GetDlgItem(dialog, IDC_TRANSPARENCY_TRACKBAR);
    EXPECT_EQ(SendMessageA(trackbar, TBM_GETPOS, 0, 0), 64);
    SendMessageA(trackbar, TBM_SETPOS, TRUE, 200);
    Press(dialog, IDCANCEL);
    ASSERT_TRUE(GetLayeredWindowAttributes(console.window, nullptr, &alpha, &flags));
    EXPECT_EQ(alpha, 191);

    // Transparent off and on again.
    Command(IDM_TRANSPARENT);
    EXPECT_EQ(ExStyle() & WS_EX_LAYERED, 0);
    Command(IDM_TRANSPARENT);
    EXPECT_NE(ExStyle() & WS_EX_LAYERED, 0);

    // Position 0 is opaque: the layered style goes, Transparent is greyed.
    dialog = OpenDialog(IDM_TRANSPARENCY, "Transparency");
    ASSERT_NE(dialog, nullptr);
    SendMessageA(GetDlgItem(dialog, IDC_TRANSPARENCY_TRACKBAR), TBM_SETPOS, TRUE, 0);
    Press(dialog, IDOK);
    ASSERT_TRUE(WaitFor([&] { return (ExStyle() & WS_EX_LAYERED) == 0; }));
    ASSERT_TRUE(probe.Attach(console.window));
    auto view = probe.MainMenu(2);
    EXPECT_FALSE(IsChecked(ItemState(view, IDM_TRANSPARENT)));
    EXPECT_TRUE(IsGrayed(ItemState(view, IDM_TRANSPARENT)));

    probe.Detach();
    ASSERT_EQ(console.Close(), 0);
    DWORD value = 0;
    EXPECT_TRUE(GetSettingDword("Transparent", &value));
    EXPECT_EQ(value, 255u);
    EXPECT_TRUE(GetSettingDword("DispTransparent", &value));
    EXPECT_EQ(value, 1u);
}

// Windows 7 is not NT 5: nothing becomes layered and the dialog never shows.
TEST_F(CommandsAppearance, NoTransparencyOnWindows7) {
    SetSettingDword("DispTransparent", 1);
    SetSettingDword("Transparent", 100);
    Start("win7");
    EXPECT_EQ(ExStyle() & WS_EX_LAYERED, 0);
    Command(IDM_TRANSPARENT);
    Command(IDM_TRANSPARENT);
    EXPECT_EQ(ExStyle() & WS_EX_LAYERED, 0);
    // Sent, not posted: a dialog would keep the call from returning.
    DWORD_PTR answer = 0;
    EXPECT_NE(SendMessageTimeoutA(console.window, WM_COMMAND, IDM_TRANSPARENCY, 0, SMTO_NORMAL, 10000, &answer), 0);
    EXPECT_EQ(FindDialog("Transparency", console.process.id), nullptr);
}

TEST_F(CommandsAppearance, TopMostWrapAndLeftSpacePersist) {
    const std::string longLine(3000, 'x');
    Start();
    HWND view = console.View();
    SetViewText(view, longLine);
    EXPECT_EQ(SendMessageA(view, EM_GETLINECOUNT, 0, 0), 1);
    EXPECT_EQ(ExStyle() & WS_EX_TOPMOST, 0);
    EXPECT_EQ(SendMessageA(view, EM_GETOPTIONS, 0, 0) & ECO_SELECTIONBAR, 0);

    Command(IDM_TOP_MOST);
    EXPECT_NE(ExStyle() & WS_EX_TOPMOST, 0);
    Command(IDM_TOP_MOST);
    EXPECT_EQ(ExStyle() & WS_EX_TOPMOST, 0);
    Command(IDM_TOP_MOST);
    EXPECT_NE(ExStyle() & WS_EX_TOPMOST, 0);

    Command(IDM_WRAP);
    EXPECT_GT(SendMessageA(view, EM_GETLINECOUNT, 0, 0), 1);
    Command(IDM_LEFT_SPACE);
    EXPECT_NE(SendMessageA(view, EM_GETOPTIONS, 0, 0) & ECO_SELECTIONBAR, 0);
    Command(IDM_LEFT_SPACE);
    EXPECT_EQ(SendMessageA(view, EM_GETOPTIONS, 0, 0) & ECO_SELECTIONBAR, 0);
    Command(IDM_LEFT_SPACE);

    Restart();
    view = console.View();
    EXPECT_NE(ExStyle() & WS_EX_TOPMOST, 0);
    EXPECT_NE(GetWindowLongPtrA(view, GWL_STYLE) & ES_SELECTIONBAR, 0);
    SetViewText(view, longLine);
    EXPECT_GT(SendMessageA(view, EM_GETLINECOUNT, 0, 0), 1);

    // Wrapping off again: the long line is one line.
    Command(IDM_WRAP);
    EXPECT_EQ(SendMessageA(view, EM_GETLINECOUNT, 0, 0), 1);
}

TEST_F(CommandsAppearance, AboutBox) {
    Start();
    HWND dialog = OpenDialog(IDM_ABOUT, "About Murlo");
    ASSERT_NE(dialog, nullptr);
    ExpectCentredOnConsole(dialog);
    bool hasVersion = false;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (WindowText(child).find("Version 0.72") != std::string::npos) hasVersion = true;
    EXPECT_TRUE(hasVersion);
    Press(dialog, IDOK);
}

}  // namespace
