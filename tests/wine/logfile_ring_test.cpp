// "Log to File" with a size limit and without display: the view rests while
// logging, the file keeps the newest whole lines, the size is offered again.
#include "support/capture_support.h"
#include "support/console_probe_client.h"

namespace murlo::test {
namespace {

class LogFileRing : public CaptureTest {};

std::string NumberedLine(int n) {
    char line[128];
    std::snprintf(line, sizeof line, "line %05d %s\r\n", n, std::string(80 + n % 17, 'a' + n % 26).c_str());
    return line;
}

TEST_F(LogFileRing, KeepsTheNewest64KiBOfWholeLinesAndShowsNothingWhileLogging) {
    Console console;
    ASSERT_TRUE(StartConsole(console));
    SendRecord(console.window, "visible\n");
    std::set<std::string> ringFilesBefore = RingFiles();

    const std::string path = folder + "ring.txt";
    LogFileChoice choice = {path};
    choice.size = "64";
    choice.noDisplay = true;
    ASSERT_TRUE(ConfirmLogFileDialog(console.window, console.process.id, choice));
    ASSERT_TRUE(WaitFor([&] { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }));
    // The ring lives in a temporary file "MUR*.tmp" while the log is open.
    std::set<std::string> ringFilesWhileLogging = RingFiles();
    EXPECT_EQ(ringFilesWhileLogging.size(), ringFilesBefore.size() + 1);

    std::string all;
    for (int n = 0; n < 1000; ++n) {
        std::string line = NumberedLine(n);
        all += line;
        SendRecord(console.window, line);
    }
    ASSERT_GT(all.size(), 64u * 1024u);
    EXPECT_EQ(console.ViewText(), "visible\r\n");

    ASSERT_TRUE(SendCommand(console.window, IDM_LOG_TO_FILE));
    std::string bytes;
    ASSERT_TRUE(ReadFileBytes(path, &bytes));
    // At most the ring's size, the newest text, beginning at a line start,
    // and no more than one line short of a full ring.
    EXPECT_LE(bytes.size(), 64u * 1024u);
    EXPECT_GT(bytes.size(), 64u * 1024u - NumberedLine(999).size() - 20);
    ASSERT_LE(bytes.size(), all.size());
    EXPECT_EQ(bytes, all.substr(all.size() - bytes.size()));
    EXPECT_EQ(bytes.compare(0, 5, "line "), 0);
    EXPECT_EQ(RingFiles(), ringFilesBefore);

    // The view shows records again.
    SendRecord(console.window, "again\n");
    EXPECT_EQ(console.ViewText(), "visible\r\nagain\r\n");

    // The size confirmed is stored at shutdown and offered next time,
    // within the spin control's range.
    console.Close();
    DWORD stored = 0;
    ASSERT_TRUE(GetSettingDword("MaxLogFileSize", &stored));
    EXPECT_EQ(stored, 64u);
    Console next;
    ASSERT_TRUE(StartConsole(next));
    PostCommand(next.window, IDM_LOG_TO_FILE);
    HWND dialog = WaitForSaveDialog(next.process.id);
    ASSERT_NE(dialog, nullptr);
    HWND holder = TemplateHolder(dialog);
    ASSERT_NE(holder, nullptr);
    EXPECT_EQ(WindowText(GetDlgItem(holder, IDC_MAX_SIZE)), "64");
    HWND spin = GetDlgItem(holder, IDC_MAX_SIZE_SPIN);
    ASSERT_NE(spin, nullptr);
    EXPECT_EQ(SendMessageA(spin, UDM_GETRANGE, 0, 0), MAKELONG(0x7fff, 0));
    EXPECT_EQ(LOWORD(SendMessageA(spin, UDM_GETPOS, 0, 0)), 64);
    EXPECT_EQ(SendMessageA(GetDlgItem(holder, IDC_NO_DISPLAY), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    PressButton(dialog, IDCANCEL);
    EXPECT_TRUE(WaitGone(dialog));
}

// A ring whose file cannot be mapped (no room in the address space) is
// given up at once: its temporary file goes and the log is written directly.
TEST_F(LogFileRing, RingThatCannotBeMappedLeavesNoFileAndLogsDirectly) {
    Console console;
    ASSERT_TRUE(StartConsole(console));
    ConsoleProbe probe;
    ASSERT_TRUE(probe.Attach(console.window));
    ASSERT_TRUE(probe.FailWritableViews());
    const std::set<std::string> ringFilesBefore = RingFiles();
    const std::string path = folder + "unmapped.txt";
    LogFileChoice choice = {path};
    choice.size = "64";
    ASSERT_TRUE(ConfirmLogFileDialog(console.window, console.process.id, choice));
    ASSERT_TRUE(WaitFor([&] { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }));
    // The command has returned once the console answers a sent message.
    SendRecord(console.window, "first\n");
    EXPECT_EQ(RingFiles(), ringFilesBefore) << "a ring file stays while logging";

    std::string all = "first\r\n";
    for (int n = 0; n < 50; ++n) {
        std::string line = NumberedLine(n);
        all += line;
        SendRecord(console.window, line);
    }
    ASSERT_TRUE(SendCommand(console.window, IDM_LOG_TO_FILE));
    std::string bytes;
    ASSERT_TRUE(ReadFileBytes(path, &bytes));
    EXPECT_EQ(bytes, all);
    EXPECT_EQ(RingFiles(), ringFilesBefore);
}

TEST_F(LogFileRing, SizeBeyondTheSpinRangeIsOfferedUnchanged) {
    SetSettingDword("MaxLogFileSize", 40000);
    Console console;
    ASSERT_TRUE(StartConsole(console));
    PostCommand(console.window, IDM_LOG_TO_FILE);
    HWND dialog = WaitForSaveDialog(console.process.id);
    ASSERT_NE(dialog, nullptr);
    HWND holder = TemplateHolder(dialog);
    ASSERT_NE(holder, nullptr);
    EXPECT_EQ(WindowText(GetDlgItem(holder, IDC_MAX_SIZE)), "40000");
    PressButton(dialog, IDCANCEL);
    ASSERT_TRUE(WaitGone(dialog));
    console.Close();
    DWORD stored = 0;
    ASSERT_TRUE(GetSettingDword("MaxLogFileSize", &stored));
    EXPECT_EQ(stored, 40000u);
}

}  // namespace
}  // namespace murlo::test
