// "Save log": the view's text into a file in one go.
#include "support/capture_support.h"

namespace murlo::test {
namespace {

class SaveLog : public CaptureTest {
protected:
    // Runs "Save log" and confirms the dialog with path.
    bool ConfirmSaveDialog(Console& console, const std::string& path, bool replace) {
        PostCommand(console.window, IDM_SAVE_LOG);
        HWND dialog = WaitForSaveDialog(console.process.id);
        if (!dialog) return false;
        TypeFileName(dialog, path);
        PressButton(dialog, IDOK);
        if (replace) {
            HWND question = WaitForMessageBox(console.process.id, "already exists");
            if (!question) return false;
            PressButton(question, IDYES);
        }
        return WaitGone(dialog);
    }
};

TEST_F(SaveLog, WritesExactlyTheViewsText) {
    Console console;
    ASSERT_TRUE(StartConsole(console));
    for (int i = 0; i < 50; ++i) SendRecord(console.window, std::string("saved line ").append(std::to_string(i)).append("\n"));
    SendRecord(console.window, "no line end");
    const std::string path = folder + "saved.txt";
    ASSERT_TRUE(ConfirmSaveDialog(console, path, false));
    std::string bytes;
    ASSERT_TRUE(WaitFor([&] { return ReadFileBytes(path, &bytes) && !bytes.empty(); }));
    std::string view = console.ViewText();
    EXPECT_EQ(bytes, view);
    EXPECT_EQ(bytes.substr(0, 14), "saved line 0\r\n");
    EXPECT_EQ(bytes.substr(bytes.size() - 11), "no line end");
}

TEST_F(SaveLog, FullViewIsCutToTheSaveBuffer) {
    Console console;
    ASSERT_TRUE(StartConsole(console));
    // Short lines: with their line ends counted twice the full view's text
    // is longer than the save buffer.
    for (int i = 0; i < 800; ++i)
        SendRecord(console.window, "row " + std::to_string(i) + std::string(34, '.') + "\n");
    std::string view = console.ViewText();
    ASSERT_GT(view.size(), 0x7000u - 1);
    const std::string path = folder + "full.txt";
    ASSERT_TRUE(ConfirmSaveDialog(console, path, false));
    std::string bytes;
    ASSERT_TRUE(WaitFor([&] { return ReadFileBytes(path, &bytes) && !bytes.empty(); }));
    EXPECT_EQ(bytes, view.substr(0, 0x7000 - 1));
}

TEST_F(SaveLog, AnExistingFileIsReplacedAfterTheQuestion) {
    const std::string path = folder + "existing.txt";
    ASSERT_TRUE(WriteFileBytes(path, std::string(5000, 'o')));
    Console console;
    ASSERT_TRUE(StartConsole(console));
    SendRecord(console.window, "replacement\n");
    ASSERT_TRUE(ConfirmSaveDialog(console, path, true));
    std::string bytes;
    ASSERT_TRUE(WaitFor([&] { return ReadFileBytes(path, &bytes) && bytes == "replacement\r\n"; })) << bytes.size();
}

TEST_F(SaveLog, FileThatCannotBeCreatedIsReported) {
    const std::string path = folder + "locked.txt";
    HANDLE lock = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    Console console;
    ASSERT_TRUE(StartConsole(console));
    SendRecord(console.window, "text\n");
    bool confirmed = ConfirmSaveDialog(console, path, true);
    HWND box = WaitForMessageBox(console.process.id, "Can't create file.");
    CloseHandle(lock);
    ASSERT_TRUE(confirmed);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(WindowText(box), "Murlo");
    PressButton(box, IDOK);
    ASSERT_TRUE(WaitGone(box));
    std::string bytes;
    ASSERT_TRUE(ReadFileBytes(path, &bytes));
    EXPECT_EQ(bytes, "");
}

TEST_F(SaveLog, LeavesAnOpenLogFileAlone) {
    Console console;
    ASSERT_TRUE(StartConsole(console));
    const std::string logPath = folder + "log.txt";
    ASSERT_TRUE(ConfirmLogFileDialog(console.window, console.process.id, {logPath}));
    SendRecord(console.window, "first\n");
    ASSERT_TRUE(ConfirmSaveDialog(console, folder + "view.txt", false));
    SendRecord(console.window, "second\n");
    ASSERT_TRUE(SendCommand(console.window, IDM_LOG_TO_FILE));
    std::string bytes;
    ASSERT_TRUE(ReadFileBytes(logPath, &bytes));
    EXPECT_EQ(bytes, "first\r\nsecond\r\n");
    ASSERT_TRUE(ReadFileBytes(folder + "view.txt", &bytes));
    EXPECT_EQ(bytes, "first\r\n");
}

}  // namespace
}  // namespace murlo::test
