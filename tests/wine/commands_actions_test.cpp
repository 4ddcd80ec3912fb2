// The simple commands of the real console: Clear, Select All and Copy,
// Exit, and the real keys that reach them (Delete with the focus in the
// view; Ctrl+S, which the menu rules block while a log file is open).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/log_record.h"
#include "support/capture_support.h"
#include "support/commands_support.h"

namespace {

using namespace murlo::test;

class CommandsActions : public CommandsTest {
protected:
    void SetUp() override {
        CommandsTest::SetUp();
        Start("");
        view = console.View();
        StopLogging();
    }
    void TearDown() override {
        CommandsTest::TearDown();
        if (!logPath.empty()) DeleteFileA(logPath.c_str());
    }
    bool ViewTextIs(const std::string& text) {
        return WaitFor([&] { return console.ViewText() == text; });
    }
    // Opens a log file through "Log to File..." and its save dialog.
    bool OpenLogFile() {
        char folder[MAX_PATH];
        GetTempPathA(sizeof folder, folder);
        logPath = std::string(folder) + "murlo_commands_log.txt";
        DeleteFileA(logPath.c_str());
        PostMessageA(console.window, WM_COMMAND, IDM_LOG_TO_FILE, 0);
        HWND dialog = WaitForSaveDialog(console.process.id);
        if (!dialog) return false;
        TypeFileName(dialog, logPath);
        PressButton(dialog, IDOK);
        return WaitFor([&] { return !IsWindow(dialog) && GetFileAttributesA(logPath.c_str()) != INVALID_FILE_ATTRIBUTES; });
    }

    HWND view = nullptr;
    std::string logPath;
};

// A full record from a fixed process id, with no location and no time,
// at a nesting depth.
void SendRecord(HWND console, const std::string& text, int32_t depth = 0) {
    const std::string record = MakeRecord(RecordFields{0x1234, {}, "", depth, true}, text);
    SendPayload(console, record.data(), static_cast<DWORD>(record.size()));
}

// A decoration toggle and the added line end act on records rendered after
// the change; the text already shown stays as it was.
TEST_F(CommandsActions, TogglesActOnLaterRecordsOnly) {
    Command(IDM_START_LOG);  // logging on again
    SendRecord(console.window, "first\n");
    Command(IDM_SHOW_PROCESS_ID);
    SendRecord(console.window, "second\n");
    Command(IDM_ADD_LINE_END);
    SendRecord(console.window, "third");
    Command(IDM_SHOW_PROCESS_ID);
    SendRecord(console.window, "fourth");
    const char* shown = "first\r\n#00001234 second\r\n#00001234 third\r\nfourth\r\n";
    EXPECT_EQ(console.ViewText(), shown);

    // Logging off: records are dropped.
    Command(IDM_START_LOG);
    SendRecord(console.window, "dropped\n");
    EXPECT_EQ(console.ViewText(), shown);
}

// After Clear the next record starts a new line and is indented for its
// depth, although the cleared text ended in the middle of a line.
TEST_F(CommandsActions, ClearStartsANewLine) {
    Command(IDM_START_LOG);
    SendRecord(console.window, "open line", 2);
    SendRecord(console.window, "continued", 2);
    ASSERT_EQ(console.ViewText(), "        open linecontinued");
    Command(IDM_CLEAR);
    EXPECT_EQ(console.ViewText(), "");
    SendRecord(console.window, "next", 2);
    EXPECT_EQ(console.ViewText(), "        next");
}

TEST_F(CommandsActions, ClearEmptiesTheView) {
    SetViewText(view, "first\r\nsecond\r\n");
    ASSERT_TRUE(ViewTextIs("first\r\nsecond\r\n"));
    Command(IDM_CLEAR);
    EXPECT_EQ(console.ViewText(), "");
}

TEST_F(CommandsActions, SelectAllAndCopyPutTheViewOnTheClipboard) {
    const std::string text = "line one\r\nline two\r\nthe end";
    SetViewText(view, text);
    SetViewSelection(view, 2, 2);
    EmptyTheClipboard();
    Command(IDM_SELECT_ALL);
    Selection all = GetViewSelection(view);
    EXPECT_EQ(all.start, 0);
    // The control counts a line end once and selects its final paragraph mark.
    EXPECT_GE(all.end, static_cast<int>(text.size()) - 2);
    Command(IDM_COPY);
    EXPECT_TRUE(WaitFor([&] { return ClipboardText() == text; })) << ClipboardText();
    // Copy with an empty selection leaves the clipboard as it was (Wine's rich
    // edit control would empty it; the console does not send it WM_COPY).
    SetViewSelection(view, 3, 3);
    Command(IDM_COPY);
    EXPECT_EQ(ClipboardText(), text);
}

TEST_F(CommandsActions, ExitEndsTheConsole) {
    PostMessageA(console.window, WM_COMMAND, IDM_EXIT, 0);
    EXPECT_EQ(WaitProcess(console.process), 0);
    EXPECT_EQ(FindConsoleWindow(), nullptr);
}

// The accelerator takes Delete before the view sees it.
TEST_F(CommandsActions, DeleteKeyClearsWithTheFocusInTheView) {
    SetViewText(view, "some text");
    SetViewSelection(view, 2, 4);
    ASSERT_TRUE(BringToFront(console.window));
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    ASSERT_TRUE(WaitFor([&] {
        GetGUIThreadInfo(GetWindowThreadProcessId(console.window, nullptr), &info);
        return info.hwndFocus == view;
    }));
    ASSERT_TRUE(TypeKeys("Delete"));
    EXPECT_TRUE(ViewTextIs(""));
}

// While a log file is open Save log is greyed, and Ctrl+S does nothing; the
// keys are handled in order, so once Ctrl+A has selected the text, Ctrl+S
// has been handled before it.
TEST_F(CommandsActions, CtrlSDoesNothingWhileALogFileIsOpen) {
    ASSERT_TRUE(OpenLogFile());
    ASSERT_TRUE(probe.Attach(console.window));
    auto file = probe.MainMenu(0);
    EXPECT_TRUE(IsChecked(ItemState(file, IDM_LOG_TO_FILE)));
    EXPECT_TRUE(IsGrayed(ItemState(file, IDM_SAVE_LOG)));

    SetViewText(view, "abc");
    SetViewSelection(view, 0, 0);
    ASSERT_TRUE(BringToFront(console.window));
    ASSERT_TRUE(TypeKeys("ctrl+s ctrl+a"));
    ASSERT_TRUE(WaitFor([&] { return GetViewSelection(view).end >= 3; }));
    EXPECT_EQ(FindSaveDialog(console.process.id), nullptr);

    // Without a log file the same key opens the save dialog.
    PostMessageA(console.window, WM_COMMAND, IDM_LOG_TO_FILE, 0);  // stops logging to the file
    ASSERT_TRUE(WaitFor([&] { return !IsChecked(ItemState(probe.MainMenu(0), IDM_LOG_TO_FILE)); }));
    ASSERT_TRUE(BringToFront(console.window));
    ASSERT_TRUE(TypeKeys("ctrl+s"));
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (dialog = FindSaveDialog(console.process.id)) != nullptr; }));
    PressButton(dialog, IDCANCEL);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
}

}  // namespace
