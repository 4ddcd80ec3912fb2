// "Log to File" without a size limit: the dialog, the file with CR LF line
// ends, the toggle that closes it, and the file that cannot be created.
#include "support/capture_support.h"

namespace murlo::test {
namespace {

class LogFileDirect : public CaptureTest {};

TEST_F(LogFileDirect, WritesEveryRecordWithCrLfAndTheCommandClosesIt) {
    Console console;
    ASSERT_TRUE(StartConsole(console));
    SendRecord(console.window, "before\n");
    std::set<std::string> ringFiles = RingFiles();

    // A name without an extension gets the default one.
    ASSERT_TRUE(ConfirmLogFileDialog(console.window, console.process.id, {folder + "direct"}));
    const std::string path = folder + "direct.txt";
    ASSERT_TRUE(WaitFor([&] { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }));
    EXPECT_EQ(RingFiles(), ringFiles);

    SendRecord(console.window, "one\n");
    SendRecord(console.window, "two\r\n");
    SendRecord(console.window, "three\r\nfour");
    ASSERT_TRUE(WaitFor(ChannelReady));
    ASSERT_EQ(RunWriter("t:\\ncaptured\\n"), 0);
    ASSERT_TRUE(ViewEndsWith(console, "captured\r\n"));

    // The second run closes the file without a dialog.
    ASSERT_TRUE(SendCommand(console.window, IDM_LOG_TO_FILE));
    std::string bytes;
    ASSERT_TRUE(ReadFileBytes(path, &bytes));
    const std::string logged = "one\r\ntwo\r\nthree\r\nfour\r\ncaptured\r\n";
    EXPECT_EQ(bytes, logged);
    // The view showed the same while logging.
    EXPECT_EQ(console.ViewText(), "before\r\n" + logged);

    // Records after the close go to the view only.
    SendRecord(console.window, "after\n");
    ASSERT_TRUE(ReadFileBytes(path, &bytes));
    EXPECT_EQ(bytes, logged);
    EXPECT_EQ(console.ViewText(), "before\r\n" + logged + "after\r\n");
}

// The file follows the view: once the console has handled the records, they
// are in the file while it runs (another program can read them), and a
// console that is then killed loses none of them.
TEST_F(LogFileDirect, RecordsReachTheFileWhileTheConsoleRunsAndSurviveItsEnd) {
    Console console;
    ASSERT_TRUE(StartConsole(console));
    const std::string path = folder + "followed.txt";
    ASSERT_TRUE(ConfirmLogFileDialog(console.window, console.process.id, {path}));
    std::string logged;
    for (int i = 0; i < 40; ++i) {
        const std::string line = "record " + std::to_string(i);
        SendRecord(console.window, line + "\n");
        logged += line + "\r\n";
    }
    std::string bytes;
    EXPECT_TRUE(WaitFor([&] { return ReadFileBytes(path, &bytes) && bytes == logged; }, 3000))
        << bytes.size() << " of " << logged.size() << " bytes in the file while the console runs";

    ASSERT_TRUE(TerminateProcess(console.process.handle, 1));
    ASSERT_EQ(WaitForSingleObject(console.process.handle, 10000), WAIT_OBJECT_0);
    ASSERT_TRUE(ReadFileBytes(path, &bytes));
    EXPECT_EQ(bytes, logged) << "the file after the console was killed";
}

TEST_F(LogFileDirect, AnExistingFileIsReplacedAfterTheQuestion) {
    const std::string path = folder + "exists.txt";
    ASSERT_TRUE(WriteFileBytes(path, "old content\r\nmore old content\r\n"));
    Console console;
    ASSERT_TRUE(StartConsole(console));
    LogFileChoice choice = {path};
    choice.replace = true;
    ASSERT_TRUE(ConfirmLogFileDialog(console.window, console.process.id, choice));
    SendRecord(console.window, "new\n");
    ASSERT_TRUE(SendCommand(console.window, IDM_LOG_TO_FILE));
    std::string bytes;
    ASSERT_TRUE(ReadFileBytes(path, &bytes));
    EXPECT_EQ(bytes, "new\r\n");
}

TEST_F(LogFileDirect, SizeThatIsNotANumberLogsDirectly) {
    Console console;
    ASSERT_TRUE(StartConsole(console));
    std::set<std::string> ringFiles = RingFiles();
    LogFileChoice choice = {folder + "notanumber.txt"};
    choice.size = "abc";
    ASSERT_TRUE(ConfirmLogFileDialog(console.window, console.process.id, choice));
    ASSERT_TRUE(WaitFor([&] { return GetFileAttributesA(choice.path.c_str()) != INVALID_FILE_ATTRIBUTES; }));
    EXPECT_EQ(RingFiles(), ringFiles);
    SendRecord(console.window, "x\n");
    ASSERT_TRUE(SendCommand(console.window, IDM_LOG_TO_FILE));
    std::string bytes;
    ASSERT_TRUE(ReadFileBytes(choice.path, &bytes));
    EXPECT_EQ(bytes, "x\r\n");
    console.Close();
    DWORD stored = 99;
    ASSERT_TRUE(GetSettingDword("MaxLogFileSize", &stored));
    EXPECT_EQ(stored, 0u);
}

TEST_F(LogFileDirect, FileThatCannotBeCreatedIsReported) {
    // Held open without sharing by this test: the console cannot open it.
    const std::string path = folder + "locked.txt";
    HANDLE lock = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    Console console;
    ASSERT_TRUE(StartConsole(console));
    LogFileChoice choice = {path};
    choice.replace = true;
    choice.noDisplay = true;
    bool confirmed = ConfirmLogFileDialog(console.window, console.process.id, choice);
    HWND box = WaitForMessageBox(console.process.id, "Can't create file.");
    CloseHandle(lock);
    ASSERT_TRUE(confirmed);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(WindowText(box), "Murlo");
    EXPECT_EQ(MessageBoxText(box), "Can't create file.");
    PressButton(box, IDOK);
    ASSERT_TRUE(WaitGone(box));

    // No log file is open: the command shows its dialog again, and the
    // view goes on showing records, although no display was asked for the
    // log file that could not be made.
    SendRecord(console.window, "shown\n");
    EXPECT_EQ(console.ViewText(), "shown\r\n");
    PostCommand(console.window, IDM_LOG_TO_FILE);
    HWND dialog = WaitForSaveDialog(console.process.id);
    ASSERT_NE(dialog, nullptr);
    PressButton(dialog, IDCANCEL);
    EXPECT_TRUE(WaitGone(dialog));
}

TEST_F(LogFileDirect, OlderShellUsesTheWholeDialogTemplate) {
    // NT 3.51: the NT platform (capture runs) without the newer shell.
    SetWineVersionFor(kProgram, "nt351");
    SetSettingDword("MaxLogFileSize", 5);
    Console console;
    ASSERT_TRUE(StartConsole(console));
    PostCommand(console.window, IDM_LOG_TO_FILE);
    HWND dialog = WaitForSaveDialog(console.process.id);
    ASSERT_NE(dialog, nullptr);
    // The template is the whole dialog (its caption is the platform's title):
    // the additions lie on it, and there is no spin control.
    EXPECT_EQ(TemplateHolder(dialog), dialog);
    EXPECT_NE(GetDlgItem(dialog, edt1), nullptr);
    EXPECT_EQ(GetDlgItem(dialog, IDC_MAX_SIZE_SPIN), nullptr);
    EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_MAX_SIZE)), "5");
    EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_NO_DISPLAY)), "No displa&y");
    PressButton(dialog, IDCANCEL);
    ASSERT_TRUE(WaitGone(dialog));

    LogFileChoice choice = {folder + "old.txt"};
    ASSERT_TRUE(ConfirmLogFileDialog(console.window, console.process.id, choice));
    ASSERT_TRUE(WaitFor([&] { return GetFileAttributesA(choice.path.c_str()) != INVALID_FILE_ATTRIBUTES; }));
    ASSERT_TRUE(WaitFor(ChannelReady));
    ASSERT_EQ(RunWriter("\"t:from the channel\\n\""), 0);
    ASSERT_TRUE(ViewEndsWith(console, "from the channel\r\n"));
    SendRecord(console.window, "old\n");
    ASSERT_TRUE(SendCommand(console.window, IDM_LOG_TO_FILE));
    std::string bytes;
    ASSERT_TRUE(ReadFileBytes(choice.path, &bytes));
    EXPECT_EQ(bytes, "from the channel\r\nold\r\n");
}

}  // namespace
}  // namespace murlo::test
