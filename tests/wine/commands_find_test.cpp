// Find under Wine: the dialog's text from the selection, stepping forwards
// and backwards from the selection, no wrap-around, and the closed dialog's
// choices kept for F3 and Shift+F3, by command and by real keys.
#include <windows.h>
#include <dlgs.h>

#include <gtest/gtest.h>

#include "support/commands_support.h"

namespace {

using namespace murlo::test;

constexpr int kFindWhat = edt1;
constexpr int kWholeWord = chx1;
constexpr int kMatchCase = chx2;
constexpr int kUp = rad1;
constexpr int kDown = rad2;

class CommandsFind : public CommandsTest {
protected:
    void SetUp() override {
        CommandsTest::SetUp();
        Start("");
        view = console.View();
        StopLogging();
    }

    HWND OpenDialog() {
        PostMessageA(console.window, WM_COMMAND, IDM_FIND, 0);
        HWND dialog = nullptr;
        WaitFor([&] { return (dialog = FindDialog("Find", console.process.id)) != nullptr; });
        return dialog;
    }
    void CloseDialog(HWND dialog) {
        PressButton(dialog, IDCANCEL);
        ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
    }
    // Sets the dialog's choices and presses its Find Next button; waits
    // until the console has handled the notification.
    void FindFromDialog(HWND dialog, const char* text, bool down, bool matchCase = false, bool wholeWord = false) {
        SetDlgItemTextA(dialog, kFindWhat, text);
        CheckDlgButton(dialog, kUp, down ? BST_UNCHECKED : BST_CHECKED);
        CheckDlgButton(dialog, kDown, down ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(dialog, kMatchCase, matchCase ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(dialog, kWholeWord, wholeWord ? BST_CHECKED : BST_UNCHECKED);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    }
    void ExpectSelection(int start, int end) {
        Selection s = GetViewSelection(view);
        EXPECT_EQ(s.start, start);
        EXPECT_EQ(s.end, end);
    }

    HWND view = nullptr;
};

TEST_F(CommandsFind, LongSelectionFillsTheDialogWithIts255FirstCharacters) {
    std::string text;
    for (int i = 0; i < 300; ++i) text += char('a' + i % 26);
    SetViewText(view, text);
    SetViewSelection(view, 0, 300);
    HWND dialog = OpenDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(WindowText(GetDlgItem(dialog, kFindWhat)), text.substr(0, 255));
}

// Without a selection the dialog shows the previous search text (empty the
// first time); Find while the dialog is open reuses that dialog.
TEST_F(CommandsFind, DialogTextAndOneDialog) {
    SetViewText(view, "alpha beta gamma");
    SetViewSelection(view, 2, 2);
    HWND dialog = OpenDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(WindowText(GetDlgItem(dialog, kFindWhat)), "");

    SetViewSelection(view, 6, 10);
    Command(IDM_FIND);
    EXPECT_EQ(FindDialog("Find", console.process.id), dialog);
    EXPECT_EQ(WindowText(GetDlgItem(dialog, kFindWhat)), "beta");
    CloseDialog(dialog);

    SetViewSelection(view, 0, 0);
    dialog = OpenDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(WindowText(GetDlgItem(dialog, kFindWhat)), "beta");
}

TEST_F(CommandsFind, NextAndPreviousFromTheMiddle) {
    // "two" at 4, 12 and 20.
    SetViewText(view, "one two one two one two one");
    HWND dialog = OpenDialog();
    ASSERT_NE(dialog, nullptr);
    SetViewSelection(view, 10, 10);
    FindFromDialog(dialog, "two", true);
    ExpectSelection(12, 15);
    SetViewSelection(view, 10, 10);
    FindFromDialog(dialog, "two", false);
    ExpectSelection(4, 7);
    // Nothing before the first match: the selection stays.
    FindFromDialog(dialog, "two", false);
    ExpectSelection(4, 7);
    // A search that finds nothing gives the dialog the focus back.
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(console.window, nullptr), &info);
    EXPECT_EQ(GetAncestor(info.hwndFocus, GA_ROOT), dialog);
}

// Match case and whole word stay with F3 and Shift+F3 after the dialog is
// closed; the last match is not followed by the first again.
TEST_F(CommandsFind, RepeatAfterClosingKeepsChoicesWithoutWrapping) {
    // Match-case "abc" at 4, 12, 20; "Abc" at 0 and "ABC" at 8 do not match.
    SetViewText(view, "Abc abc ABC abc xx abc");
    HWND dialog = OpenDialog();
    ASSERT_NE(dialog, nullptr);
    SetViewSelection(view, 0, 0);
    FindFromDialog(dialog, "abc", true, true);
    ExpectSelection(4, 7);
    CloseDialog(dialog);

    Command(IDM_FIND_NEXT);
    ExpectSelection(12, 15);
    Command(IDM_FIND_NEXT);
    ExpectSelection(19, 22);
    Command(IDM_FIND_NEXT);
    ExpectSelection(19, 22);
    Command(IDM_FIND_PREVIOUS);
    ExpectSelection(12, 15);
    Command(IDM_FIND_PREVIOUS);
    ExpectSelection(4, 7);
    Command(IDM_FIND_PREVIOUS);
    ExpectSelection(4, 7);
    Command(IDM_FIND_NEXT);
    ExpectSelection(12, 15);
}

TEST_F(CommandsFind, WholeWordIsKept) {
    SetViewText(view, "cat concat cat");
    HWND dialog = OpenDialog();
    ASSERT_NE(dialog, nullptr);
    SetViewSelection(view, 0, 0);
    FindFromDialog(dialog, "cat", true, false, true);
    ExpectSelection(0, 3);
    CloseDialog(dialog);
    Command(IDM_FIND_NEXT);
    ExpectSelection(11, 14);
}

// The real keys, with the focus in the view: F3 steps down, Shift+F3 up, and
// F3 after the last match leaves the selection there.
TEST_F(CommandsFind, FunctionKeys) {
    // "two" at 4, 12 and 20.
    SetViewText(view, "one two one two one two one");
    SetViewSelection(view, 4, 7);
    HWND dialog = OpenDialog();
    ASSERT_NE(dialog, nullptr);
    CloseDialog(dialog);
    ASSERT_TRUE(BringToFront(console.window));
    SetViewSelection(view, 0, 0);

    auto selectionIs = [&](int start, int end) {
        return WaitFor([&] {
            Selection s = GetViewSelection(view);
            return s.start == start && s.end == end;
        });
    };
    ASSERT_TRUE(TypeKeys("F3"));
    EXPECT_TRUE(selectionIs(4, 7));
    ASSERT_TRUE(TypeKeys("F3"));
    EXPECT_TRUE(selectionIs(12, 15));
    ASSERT_TRUE(TypeKeys("F3"));
    EXPECT_TRUE(selectionIs(20, 23));
    // At the end: F3 finds nothing and keeps the selection, so Shift+F3
    // then steps back to the match before the last. Both keys go in one
    // typing: TypeKeys returns once the typing has started, and two typings
    // started together may reach the window in either order.
    ASSERT_TRUE(TypeKeys("F3 shift+F3"));
    EXPECT_TRUE(selectionIs(12, 15));
    // The failed search left the focus in the view.
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(console.window, nullptr), &info);
    EXPECT_EQ(info.hwndFocus, view);
}

}  // namespace
