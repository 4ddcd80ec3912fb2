// A second start of the console: the options "clear" and "stop", options
// that are not recognised, and bringing a running console forward.
#include "support/shell_support.h"
#include "tests/support/record_builder.h"

namespace murlo::test {
namespace {

constexpr char kInvalidOption[] = "Invalid command option";

using ShellCommandLine = ShellTest;

void FillView(const Console& console) {
    SendMessageA(console.View(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("earlier trace\r\n"));
    ASSERT_EQ(console.ViewText(), "earlier trace\r\n");
}

// Runs a second start against a running console (or none) and waits for it
// to end; returns its exit code.
int RunSecondStart(const std::string& args) {
    OwnedProcess second;
    StartConsoleProcess(second, args);
    return WaitProcess(second.process);
}

TEST_F(ShellCommandLine, ClearIsForwardedToTheRunningConsoleInAnyCaseAndPrefix) {
    Console running;
    ASSERT_TRUE(StartReady(running));
    // The walk stops at "clear": "/stop" before it has no effect on the running
    // console, "/bogus" after it is never looked at.
    for (const char* args : {"/clear", "/CLEAR", "-Clear", "/stop /clear", "/clear /bogus", "x /clear"}) {
        SCOPED_TRACE(args);
        FillView(running);
        DeleteSettingsKey();
        EXPECT_EQ(RunSecondStart(args), 0);
        EXPECT_TRUE(WaitFor([&] { return running.ViewText().empty(); })) << running.ViewText();
        EXPECT_EQ(FindDialog("Murlo"), nullptr);
        // The second start registers nothing and writes nothing.
        DWORD type;
        std::string data;
        EXPECT_FALSE(GetSettingRaw("MurloPath", &type, &data));
        EXPECT_EQ(FindConsoleWindow(), running.window);
    }
    // The running console's Start-log button is still down.
    EXPECT_TRUE(SendMessageA(GetDlgItem(running.window, IDC_TOOLBAR), TB_ISBUTTONCHECKED, IDM_START_LOG, 0));
    EXPECT_EQ(running.Close(), 0);
}

TEST_F(ShellCommandLine, WordsWithoutPrefixOrStopOnlyBringTheRunningConsoleForward) {
    Console running;
    ASSERT_TRUE(StartReady(running));
    for (const char* args : {"", "clear", "/stop", "-STOP stop"}) {
        SCOPED_TRACE(args);
        FillView(running);
        DeleteSettingsKey();
        EXPECT_EQ(RunSecondStart(args), 0);
        EXPECT_EQ(running.ViewText(), "earlier trace\r\n");
        EXPECT_EQ(FindDialog("Murlo"), nullptr);
        DWORD type;
        std::string data;
        EXPECT_FALSE(GetSettingRaw("MurloPath", &type, &data));
        // "stop" has no effect on the running console.
        EXPECT_TRUE(SendMessageA(GetDlgItem(running.window, IDC_TOOLBAR), TB_ISBUTTONCHECKED, IDM_START_LOG, 0));
    }
    EXPECT_EQ(running.Close(), 0);
}

TEST_F(ShellCommandLine, AnUnknownOptionIsReportedToTheRunningConsolesOwnerBox) {
    Console running;
    ASSERT_TRUE(StartReady(running));
    for (const char* args : {"/bogus", "/clear:x", "/", "-", "/stop /bogus"}) {
        SCOPED_TRACE(args);
        FillView(running);
        OwnedProcess second;
        StartConsoleProcess(second, args);
        HWND box = WaitForMurloBox(second.process.id);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(MessageBoxText(box), kInvalidOption);
        EXPECT_EQ(GetWindow(box, GW_OWNER), running.window);
        PressButton(box, IDOK);
        EXPECT_EQ(WaitProcess(second.process), 0);
        EXPECT_EQ(running.ViewText(), "earlier trace\r\n");
        EXPECT_EQ(FindConsoleWindow(), running.window);
    }
    EXPECT_EQ(running.Close(), 0);
}

TEST_F(ShellCommandLine, AnUnknownOptionWithNoConsoleShowsAnOwnerlessBoxAndStartsNothing) {
    for (const char* args : {"/bogus", "/clear:x", "-clear /x"}) {
        SCOPED_TRACE(args);
        OwnedProcess alone;
        StartConsoleProcess(alone, args);
        HWND box = WaitForMurloBox(alone.process.id);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(MessageBoxText(box), kInvalidOption);
        EXPECT_EQ(GetWindow(box, GW_OWNER), nullptr);
        EXPECT_EQ(FindConsoleWindow(), nullptr);
        PressButton(box, IDOK);
        EXPECT_EQ(WaitProcess(alone.process), 0);
        EXPECT_EQ(FindConsoleWindow(), nullptr);
        DWORD type;
        std::string data;
        EXPECT_FALSE(GetSettingRaw("MurloPath", &type, &data));
    }
}

TEST_F(ShellCommandLine, ClearWithNoConsoleStartsOneNormally) {
    for (const char* args : {"/clear", "-CLEAR", "clear"}) {
        SCOPED_TRACE(args);
        Console console;
        ASSERT_TRUE(StartReady(console, args));
        EXPECT_TRUE(WaitFor([&] {
            return SendMessageA(GetDlgItem(console.window, IDC_TOOLBAR), TB_ISBUTTONCHECKED, IDM_START_LOG, 0) != 0;
        }));
        DWORD type;
        std::string data;
        EXPECT_TRUE(GetSettingRaw("MurloPath", &type, &data));
        EXPECT_EQ(console.Close(), 0);
    }
}

// Sends one full record with text to the console, as a client does.
void SendText(HWND console, const char* text) {
    const std::string record = MakeRecord(RecordFields{0, {}, "", 0, true}, text);
    SendPayload(console, record.data(), DWORD(record.size()));
}

TEST_F(ShellCommandLine, StopStartsAConsoleWithLoggingOff) {
    Console console;
    ASSERT_TRUE(StartReady(console, "-Stop"));
    HWND toolbar = GetDlgItem(console.window, IDC_TOOLBAR);
    ASSERT_NE(toolbar, nullptr);
    // The idle hook keeps the Start-log button in step with logging: up.
    // Pressing it from outside is undone by the next idle pass, which a
    // posted message brings about.
    SendMessageA(toolbar, TB_CHECKBUTTON, IDM_START_LOG, TRUE);
    ASSERT_NE(SendMessageA(toolbar, TB_ISBUTTONCHECKED, IDM_START_LOG, 0), 0);
    PostMessageA(console.window, WM_NULL, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return SendMessageA(toolbar, TB_ISBUTTONCHECKED, IDM_START_LOG, 0) == 0; }));

    // Records are dropped until Start log is chosen; then they are shown
    // and the button goes down.
    SendText(console.window, "dropped\r\n");
    EXPECT_EQ(console.ViewText(), "");
    SendMessageA(console.window, WM_COMMAND, MAKEWPARAM(IDM_START_LOG, 0), 0);
    SendText(console.window, "shown\r\n");
    EXPECT_EQ(console.ViewText(), "shown\r\n");
    PostMessageA(console.window, WM_NULL, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return SendMessageA(toolbar, TB_ISBUTTONCHECKED, IDM_START_LOG, 0) != 0; }));
    EXPECT_EQ(console.Close(), 0);
}

}  // namespace
}  // namespace murlo::test
