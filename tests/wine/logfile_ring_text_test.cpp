// The log file as the view's texts reach it, through "Log to File": an
// unlimited log gets every text at once; a limited one keeps its newest
// lines in a ring in a temporary "MUR*.tmp" file that exists only while
// the log is open and is copied into the log when it closes; a limit that
// cannot be mapped still logs every text.
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "console/logfile/ring_buffer.h"
#include "console/resources/resource.h"
#include "support/capture_support.h"
#include "support/view_support.h"

namespace murlo::test {
namespace {

// The ring's files present before a log is opened: the test looks only at
// files that appear after.
class LogFileRingText : public ViewTest {
protected:
    std::string logPath;
    std::set<std::string> ringFilesBefore;

    void SetUp() override {
        ViewTest::SetUp();
        logPath = TempFolder() + "murlo-view-ring-" + std::to_string(GetCurrentProcessId()) + ".txt";
        DeleteFileA(logPath.c_str());
        ringFilesBefore = RingFiles();
    }
    void TearDown() override {
        DeleteFileA(logPath.c_str());
        ViewTest::TearDown();
    }

    size_t NewRingFiles() {
        size_t count = 0;
        for (const std::string& name : RingFiles()) count += ringFilesBefore.count(name) == 0;
        return count;
    }

    // Opens the log through the command's dialog with the size typed in.
    bool OpenLog(const Console& console, const char* sizeKB) {
        return ConfirmLogFileDialog(console.window, console.process.id, LogFileChoice{logPath, sizeKB});
    }

    // Closes the log (the same command toggles it; closing shows no
    // dialog, so the command can be sent) and reads the file.
    bool CloseLog(const Console& console, std::string* bytes) {
        SendMessageA(console.window, WM_COMMAND, MAKEWPARAM(IDM_LOG_TO_FILE, 0), 0);
        return ReadFileBytes(logPath, bytes);
    }
};

void AppendToString(void* context, const char* bytes, size_t count) {
    static_cast<std::string*>(context)->append(bytes, count);
}

TEST_F(LogFileRingText, LogFilesGetTheTextsDirectlyOrThroughTheRing) {
    const struct {
        const char* name;
        const char* sizeKB;
        bool ring;  // the texts go through a ring of that many KiB
    } cases[] = {
        {"unlimited", "0", false},
        {"one KiB ring", "1", true},
        {"two KiB ring", "2", true},
        {"a size whose bytes do not fit 32 bits: logged in full", "4194304", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DeleteFileA(logPath.c_str());
        Console console;
        ASSERT_TRUE(StartReady(console));
        ASSERT_TRUE(OpenLog(console, c.sizeKB));
        EXPECT_EQ(NewRingFiles(), c.ring ? 1u : 0u);

        // What the log should receive: the texts with every LF as CR LF (no
        // option is on and the depth is 0), or what the same ring keeps of them.
        std::string direct;
        std::vector<char> ringMemory(c.ring ? std::stoul(c.sizeKB) * 1024 : 0);
        murlo::RingRegion ring{};
        murlo::ResetRing(ring, ringMemory.empty() ? nullptr : ringMemory.data(),
                         static_cast<uint32_t>(ringMemory.size()));
        for (int i = 0; i < 120; ++i) {
            std::string text = "line " + std::to_string(i) + std::string(static_cast<size_t>(i % 23), '-');
            std::string rendered = text;
            if (i % 5 != 2) {  // some lines are continued by the next record
                text += "\n";
                rendered += "\r\n";
            }
            ASSERT_TRUE(Send(console.window, MakeRecord(RecordFields{}, text)));
            murlo::WriteLogText(rendered.data(), rendered.size(), murlo::ByteSink{AppendToString, &direct});
            murlo::WriteRing(ring, rendered.data(), rendered.size());
        }
        std::string wanted = direct;
        if (c.ring) {
            wanted.clear();
            murlo::CopyOutRing(ring, murlo::ByteSink{AppendToString, &wanted});
            EXPECT_LT(wanted.size(), direct.size());  // the ring did wrap
            // Nothing reaches the file before it is closed.
            std::string early;
            ASSERT_TRUE(ReadFileBytes(logPath, &early));
            EXPECT_EQ(early, "");
        }
        std::string logged;
        ASSERT_TRUE(CloseLog(console, &logged));
        EXPECT_EQ(logged, wanted);
        EXPECT_EQ(NewRingFiles(), 0u);
        // The view got every text, whatever the log did.
        EXPECT_NE(console.ViewText().find("line 119"), std::string::npos);
        EXPECT_EQ(console.Close(), 0);
    }
}

// A ring still open when the console closes is written out and removed.
TEST_F(LogFileRingText, ClosingTheConsoleWritesTheRingAndRemovesItsFile) {
    Console console;
    ASSERT_TRUE(StartReady(console));
    ASSERT_TRUE(OpenLog(console, "1"));
    ASSERT_EQ(NewRingFiles(), 1u);
    ASSERT_TRUE(Send(console.window, MakeRecord(RecordFields{}, "kept at close\n")));
    EXPECT_EQ(console.Close(), 0);
    EXPECT_EQ(NewRingFiles(), 0u);
    std::string logged;
    ASSERT_TRUE(ReadFileBytes(logPath, &logged));
    EXPECT_EQ(logged, "kept at close\r\n");
}

}  // namespace
}  // namespace murlo::test
