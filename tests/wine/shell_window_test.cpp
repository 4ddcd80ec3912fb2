// The main window: its children and layout, the WM_USER ping, the pause
// receiver, transparency at start per platform version, wheel scrolling
// through the old wheel driver.
#include <richedit.h>

#include <atomic>
#include <thread>

#include "support/shell_support.h"

namespace murlo::test {
namespace {

using ShellWindow = ShellTest;

std::string ClassOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

RECT ClientRectInParent(HWND child) {
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void ExpectLayout(HWND main, HWND toolbar, HWND status, HWND view) {
    RECT client, bar, st, vw;
    GetClientRect(main, &client);
    bar = ClientRectInParent(toolbar);
    st = ClientRectInParent(status);
    vw = ClientRectInParent(view);
    EXPECT_EQ(bar.top, 0);
    EXPECT_LE(bar.left, 0);                // its side borders fall outside
    EXPECT_EQ(bar.left + bar.right, client.right);  // centred on the client area
    EXPECT_EQ(st.left, 0);
    EXPECT_EQ(st.right, client.right);
    EXPECT_EQ(st.bottom, client.bottom);
    EXPECT_EQ(vw.left, 0);
    EXPECT_EQ(vw.right, client.right);
    EXPECT_EQ(vw.top, bar.bottom - bar.top);
    EXPECT_EQ(vw.bottom, st.top);
}

TEST_F(ShellWindow, ChildrenStylesAndLayout) {
    Console console;
    ASSERT_TRUE(StartReady(console));
    HWND main = console.window;
    char title[64] = {};
    GetWindowTextA(main, title, sizeof title);
    EXPECT_STREQ(title, "Lumbrix");
    EXPECT_EQ(GetWindowLongPtrA(main, GWL_STYLE) & 0x02CF0000, 0x02CF0000);
    EXPECT_TRUE(ExStyleOf(main) & WS_EX_WINDOWEDGE);
    EXPECT_FALSE(ExStyleOf(main) & (WS_EX_TOPMOST | WS_EX_LAYERED));
    EXPECT_NE(GetMenu(main), nullptr);

    HWND view = console.View();
    HWND toolbar = GetDlgItem(main, IDC_TOOLBAR);
    HWND status = GetDlgItem(main, IDC_STATUS);
    ASSERT_NE(view, nullptr);
    ASSERT_NE(toolbar, nullptr);
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(ClassOf(view), "RichEdit20A");
    EXPECT_EQ(ClassOf(toolbar), "ToolbarWindow32");
    EXPECT_EQ(ClassOf(status), "msctls_statusbar32");
    EXPECT_EQ(GetWindowLongPtrA(view, GWL_STYLE) & 0x513029CC, 0x503029CC);
    EXPECT_TRUE(ExStyleOf(view) & WS_EX_CLIENTEDGE);
    EXPECT_EQ(SendMessageA(view, EM_GETLIMITTEXT, 0, 0), 0x7000);
    EXPECT_EQ(GetWindowLongPtrA(toolbar, GWL_STYLE) & 0x50000900, 0x50000900);  // flat, with tooltips
    EXPECT_EQ(GetWindowLongPtrA(status, GWL_STYLE) & 0x50000103, 0x50000103);

    // Start log, separator, Save, separator, Copy, Clear; Start log pressed.
    EXPECT_EQ(SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0), 6);
    const struct {
        UINT command;
        LRESULT index;
    } buttons[] = {{IDM_START_LOG, 0}, {IDM_SAVE_LOG, 2}, {IDM_COPY, 4}, {IDM_CLEAR, 5}};
    for (const auto& b : buttons) {
        EXPECT_EQ(SendMessageA(toolbar, TB_COMMANDTOINDEX, b.command, 0), b.index) << b.command;
        EXPECT_TRUE(SendMessageA(toolbar, TB_ISBUTTONENABLED, b.command, 0)) << b.command;
    }
    EXPECT_TRUE(WaitFor([&] { return SendMessageA(toolbar, TB_ISBUTTONCHECKED, 101, 0) != 0; }));

    ExpectLayout(main, toolbar, status, view);
    ASSERT_TRUE(SetWindowPos(main, nullptr, 40, 40, 420, 330, SWP_NOZORDER | SWP_NOACTIVATE));
    ASSERT_TRUE(WaitFor([&] {
        RECT client, vw;
        GetClientRect(main, &client);
        vw = ClientRectInParent(view);
        return vw.right == client.right;
    }));
    ExpectLayout(main, toolbar, status, view);
    EXPECT_EQ(console.Close(), 0);
}

TEST_F(ShellWindow, ColoursAndWrappingComeFromTheSettings) {
    SetSettingDword("BackColor", 0x00123456);
    Console console;
    ASSERT_TRUE(StartReady(console));
    // EM_SETBKGNDCOLOR answers the colour it replaces.
    EXPECT_EQ(SendMessageA(console.View(), EM_SETBKGNDCOLOR, 0, 0x00FFFFFF), 0x00123456);
    EXPECT_EQ(console.Close(), 0);
    // A colour is not written back at close.
    DWORD value = 0;
    EXPECT_TRUE(GetSettingDword("BackColor", &value));
    EXPECT_EQ(value, 0x00123456u);

    DeleteSettingsKey();
    Console plain;
    ASSERT_TRUE(StartReady(plain));
    EXPECT_EQ(COLORREF(SendMessageA(plain.View(), EM_SETBKGNDCOLOR, 0, 0)), GetSysColor(COLOR_BTNFACE));
    EXPECT_FALSE(GetSettingDword("BackColor", &value));
    EXPECT_EQ(plain.Close(), 0);
}

// Height of the view's first line: the top of the second line (rich edit
// answers the position packed when wParam is a character index). The text
// is appended as the console appends records, so it takes the view's format.
int FirstLineHeight(HWND view) {
    SendMessageA(view, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>("Ag\r\nAg\r\n"));
    LRESULT second = SendMessageA(view, EM_LINEINDEX, 1, 0);
    return HIWORD(SendMessageA(view, EM_POSFROMCHAR, WPARAM(second), 0)) -
           HIWORD(SendMessageA(view, EM_POSFROMCHAR, 0, 0));
}

TEST_F(ShellWindow, StoredFontSizeReachesTheView) {
    int heights[2] = {};
    const LONG fontHeights[2] = {-12, -36};
    for (int i = 0; i < 2; ++i) {
        DeleteSettingsKey();
        LOGFONTA font = {};
        font.lfHeight = fontHeights[i];
        font.lfWeight = 400;
        SetSettingBinary("Font", &font, sizeof font);
        Console console;
        ASSERT_TRUE(StartReady(console));
        heights[i] = FirstLineHeight(console.View());
        EXPECT_EQ(console.Close(), 0);
    }
    EXPECT_GE(heights[0], 12);
    EXPECT_GE(heights[1], 36);
    EXPECT_GT(heights[1], 2 * heights[0]);
}

TEST_F(ShellWindow, WrapToWindowSetting) {
    std::string longLine(2000, 'w');
    for (DWORD wrap : {0u, 1u}) {
        SCOPED_TRACE(wrap);
        DeleteSettingsKey();
        SetSettingDword("WrapWindow", wrap);
        Console console;
        ASSERT_TRUE(StartReady(console));
        SendMessageA(console.View(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(longLine.c_str()));
        LRESULT lines = SendMessageA(console.View(), EM_GETLINECOUNT, 0, 0);
        if (wrap)
            EXPECT_GT(lines, 1);
        else
            EXPECT_EQ(lines, 1);
        EXPECT_EQ(console.Close(), 0);
    }
}

TEST_F(ShellWindow, UserMessageRaisesWithoutActivating) {
    Console console;
    ASSERT_TRUE(StartReady(console));
    RECT before;
    GetWindowRect(console.window, &before);

    // A window of the test's own lies over the console and is active.
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "MurloShellCover";
    RegisterClassA(&windowClass);
    HWND cover = CreateWindowA("MurloShellCover", "cover", WS_OVERLAPPEDWINDOW | WS_VISIBLE, before.left,
                               before.top, 300, 200, nullptr, nullptr, windowClass.hInstance, nullptr);
    ASSERT_NE(cover, nullptr);
    SetForegroundWindow(cover);
    SetWindowPos(cover, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    auto consoleAboveCover = [&] {
        for (HWND w = GetWindow(cover, GW_HWNDPREV); w; w = GetWindow(w, GW_HWNDPREV))
            if (w == console.window) return true;
        return false;
    };
    ASSERT_TRUE(WaitFor([&] { return !consoleAboveCover(); }));
    ASSERT_EQ(GetForegroundWindow(), cover);

    EXPECT_EQ(SendMessageA(console.window, WM_USER, 0, 0), 0);
    EXPECT_TRUE(WaitFor(consoleAboveCover));
    EXPECT_EQ(GetForegroundWindow(), cover);
    RECT after;
    GetWindowRect(console.window, &after);
    EXPECT_TRUE(EqualRect(&before, &after));

    // A minimised console is raised but not restored.
    ShowWindow(console.window, SW_MINIMIZE);
    ASSERT_TRUE(WaitFor([&] { return IsIconic(console.window) != FALSE; }));
    SendMessageA(console.window, WM_USER, 0, 0);
    EXPECT_TRUE(IsIconic(console.window));
    DestroyWindow(cover);
    EXPECT_EQ(console.Close(), 0);
}

// Sends the pause message from another thread, which blocks until the box
// in the console is closed.
struct PauseSender {
    std::atomic<bool> returned{false};
    LRESULT result = -1;
    std::thread thread;
    PauseSender(HWND console, UINT message, WPARAM atom, LPARAM number)
        : thread([=, this] {
              result = SendMessageA(console, message, atom, number);
              returned = true;
          }) {}
    ~PauseSender() {
        if (thread.joinable()) thread.join();
    }
};

TEST_F(ShellWindow, PauseShowsTheTextAndNumberAndHoldsTheSenderUntilOk) {
    Console console;
    ASSERT_TRUE(StartReady(console));
    UINT pause = RegisterWindowMessageA("MurloPauseMessage");
    const struct {
        const char* text;
        LPARAM number;
        const char* shown;
    } cases[] = {
        {"c:\\src\\pause.cpp", 42, "c:\\src\\pause.cpp(42)"},
        {"x", -7, "x(-7)"},
        {nullptr, 42, "(42)"},  // an atom that no longer exists: an empty name
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shown);
        ATOM atom = GlobalAddAtomA(c.text ? c.text : "murlo pause atom gone");
        if (!c.text) GlobalDeleteAtom(atom);
        if (c.text) {
            ASSERT_NE(atom, 0);
        } else {
            char probe[8];
            ASSERT_EQ(GlobalGetAtomNameA(atom, probe, sizeof probe), 0u);
        }
        HWND box = nullptr;
        {
            PauseSender sender(console.window, pause, atom, c.number);
            box = WaitForMurloBox(console.process.id);
            if (!box) {
                console.Close();  // frees the sender
                FAIL() << "no pause box";
            }
            EXPECT_EQ(MessageBoxText(box), c.shown);
            EXPECT_EQ(GetWindow(box, GW_OWNER), console.window);
            EXPECT_NE(GetDlgItem(box, IDOK), nullptr);
            EXPECT_EQ(GetDlgItem(box, IDCANCEL), nullptr);
            // The sender is still held, and the console still takes messages.
            EXPECT_FALSE(sender.returned);
            EXPECT_EQ(SendMessageA(console.window, WM_USER, 0, 0), 0);
            EXPECT_FALSE(sender.returned);
            PressButton(box, IDOK);
            EXPECT_TRUE(WaitFor([&] { return sender.returned.load(); }));
            EXPECT_EQ(sender.result, 0);
        }
        if (c.text) GlobalDeleteAtom(atom);
    }
    EXPECT_EQ(console.Close(), 0);
}

// Transparency at start needs NT 5, the option on and alpha below 255.
TEST_F(ShellWindow, LayeredAtStartOnlyOnNt5WithTransparency) {
    const struct {
        const char* version;
        DWORD on, alpha;
        bool layered;
    } cases[] = {
        {"win2k", 1, 128, true},  {"winxp", 1, 300, true},   // 300 is alpha 44
        {"winxp", 1, 255, false}, {"winxp", 1, 0x1FF, false}, {"winxp", 0, 128, false},
        {"win98", 1, 128, false}, {"winme", 1, 128, false},  {"win7", 1, 128, false},
        {"win10", 1, 128, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.version) + " on=" + std::to_string(c.on) + " alpha=" + std::to_string(c.alpha));
        DeleteSettingsKey();
        SetWineVersionFor(kProgram, c.version);
        SetSettingDword("DispTransparent", c.on);
        SetSettingDword("Transparent", c.alpha);
        Console console;
        ASSERT_TRUE(StartReady(console));
        EXPECT_EQ((ExStyleOf(console.window) & WS_EX_LAYERED) != 0, c.layered);
        if (c.layered) {
            BYTE alpha = 0;
            DWORD flags = 0;
            // Wine keeps layered attributes where another process can read them.
            if (GetLayeredWindowAttributes(console.window, nullptr, &alpha, &flags)) {
                EXPECT_EQ(flags & LWA_ALPHA, DWORD(LWA_ALPHA));
                EXPECT_EQ(alpha, BYTE(c.alpha & 0xFF));
            }
        }
        EXPECT_EQ(console.Close(), 0);
    }
}

// The old wheel driver's window, as the console looks for it on platforms
// that report no wheel lines themselves: it answers the lines per notch.
struct WheelDriver {
    HWND window = nullptr;
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        static UINT linesMessage = RegisterWindowMessageA("MSH_SCROLL_LINES_MSG");
        if (message == linesMessage) return 3;
        return DefWindowProcA(window, message, wParam, lParam);
    }
    WheelDriver() {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = Proc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "MouseZ";
        RegisterClassA(&windowClass);
        window = CreateWindowA("MouseZ", "Magellan MSWHEEL", 0, 0, 0, 0, 0, nullptr, nullptr,
                               windowClass.hInstance, nullptr);
    }
    ~WheelDriver() {
        if (window) DestroyWindow(window);
    }
};

TEST_F(ShellWindow, OldWheelDriverScrollsTheViewWithinItsRange) {
    WheelDriver driver;
    ASSERT_NE(driver.window, nullptr);
    SetWineVersionFor(kProgram, "win95");
    Console console;
    ASSERT_TRUE(StartReady(console));
    HWND view = console.View();
    std::string lines;
    for (int i = 0; i < 300; ++i) lines += "line " + std::to_string(i) + "\r\n";
    SendMessageA(view, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lines.c_str()));
    SendMessageA(view, WM_VSCROLL, SB_TOP, 0);
    ASSERT_EQ(SendMessageA(view, EM_GETFIRSTVISIBLELINE, 0, 0), 0);

    UINT roll = RegisterWindowMessageA("MSWHEEL_ROLLMSG");
    auto firstLine = [&] { return SendMessageA(view, EM_GETFIRSTVISIBLELINE, 0, 0); };
    // A large roll toward the bottom stops at the end of the range.
    SendMessageA(console.window, roll, WPARAM(-120 * 100000), 0);
    LRESULT bottom = firstLine();
    EXPECT_GT(bottom, 200);
    // Less than a notch does nothing.
    SendMessageA(console.window, roll, 119, 0);
    EXPECT_EQ(firstLine(), bottom);
    // A large roll toward the top stops at 0.
    SendMessageA(console.window, roll, 120 * 100000, 0);
    EXPECT_EQ(firstLine(), 0);
    EXPECT_EQ(console.Close(), 0);
}

TEST_F(ShellWindow, NewerPlatformsLeaveTheWheelToTheView) {
    WheelDriver driver;
    ASSERT_NE(driver.window, nullptr);
    for (const char* version : {"win98", "win7"}) {
        SCOPED_TRACE(version);
        SetWineVersionFor(kProgram, version);
        Console console;
        ASSERT_TRUE(StartReady(console));
        HWND view = console.View();
        std::string lines;
        for (int i = 0; i < 300; ++i) lines += "line\r\n";
        SendMessageA(view, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lines.c_str()));
        SendMessageA(view, WM_VSCROLL, SB_TOP, 0);
        SendMessageA(console.window, RegisterWindowMessageA("MSWHEEL_ROLLMSG"), WPARAM(-120 * 100000), 0);
        EXPECT_EQ(SendMessageA(view, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
        EXPECT_EQ(console.Close(), 0);
    }
}

}  // namespace
}  // namespace murlo::test
