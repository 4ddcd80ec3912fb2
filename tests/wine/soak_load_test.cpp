// Soak under load: many processes and threads sending at once keep every
// record exactly once and in order per sender, in the direct log, through
// the ring and from the debug-output channel; long runs keep the console's
// memory, handles and GDI objects flat.
#include "support/soak_support.h"

#include <commdlg.h>

namespace murlo::test {
namespace {

constexpr int kProcesses = 4;
constexpr int kThreads = 4;

class SoakLoad : public CaptureTest {
protected:
    Scale scale = CurrentScale();

    // Starts the senders, lets them go at once and waits for all of them.
    // Returns the milliseconds from the start signal to the last exit.
    DWORD RunSenders(const std::vector<std::string>& args, DWORD timeoutMs) {
        StartSignal go("Go");
        std::vector<OwnedProcess> clients(args.size());
        for (size_t i = 0; i < args.size(); ++i) {
            EXPECT_TRUE(StartClient(clients[i], args[i] + " " + go.name)) << args[i];
        }
        DWORD start = GetTickCount();
        go.Set();
        for (size_t i = 0; i < args.size(); ++i) {
            EXPECT_EQ(WaitProcess(clients[i].process, timeoutMs), 0) << args[i];
        }
        return GetTickCount() - start;
    }
};

TEST_F(SoakLoad, FourProcessesOfFourThreadsLoseNothingInTheDirectLog) {
    Console console;
    ASSERT_TRUE(StartConsole(console));
    const std::string path = folder + "direct.txt";
    ASSERT_TRUE(ConfirmLogFileDialog(console.window, console.process.id, {path}));

    const long count = scale.recordsPerThread;
    std::vector<std::string> args;
    for (int p = 0; p < kProcesses; ++p) {
        args.push_back("lib P" + std::to_string(p) + " " + std::to_string(kThreads) + " " + std::to_string(count));
    }
    DWORD elapsed = RunSenders(args, 600000);
    ASSERT_TRUE(SendCommand(console.window, IDM_LOG_TO_FILE));  // closes the log

    std::string bytes;
    ASSERT_TRUE(ReadFileBytes(path, &bytes));
    bool whole = false;
    NumberedLog log = ParseNumbered(SplitLines(bytes, &whole), "P");
    EXPECT_TRUE(whole);
    EXPECT_TRUE(log.strangers.empty()) << "first strange line: " << log.strangers.front();
    EXPECT_EQ(log.bySource.size(), static_cast<size_t>(kProcesses * kThreads));
    for (int p = 0; p < kProcesses; ++p) {
        for (int t = 0; t < kThreads; ++t) {
            std::string source = "P" + std::to_string(p) + "." + std::to_string(t);
            EXPECT_TRUE(IsRun(log.bySource[source], 0, count - 1)) << source;
        }
    }
    // The view shows the newest records while it trims.
    EXPECT_LE(ViewCharacters(console.ViewText()), 0x7000u);
    SOAK_FIGURES("direct log: %d processes x %d threads x %ld records = %ld lines in %lu ms (%.0f records/s), "
                 "file %lu bytes",
                 kProcesses, kThreads, count, log.total, static_cast<unsigned long>(elapsed),
                 log.total * 1000.0 / (elapsed ? elapsed : 1), static_cast<unsigned long>(bytes.size()));
    EXPECT_EQ(console.Close(), 0);
}

TEST_F(SoakLoad, FourProcessesOfFourThreadsKeepTheNewestWholeLinesInARing) {
    Console console;
    ASSERT_TRUE(StartConsole(console));
    SendRecord(console.window, "before the ring\n");
    const std::set<std::string> ringFilesBefore = RingFiles();
    const std::string path = folder + "ring.txt";
    LogFileChoice choice = {path};
    choice.size = "64";
    choice.noDisplay = true;
    ASSERT_TRUE(ConfirmLogFileDialog(console.window, console.process.id, choice));

    const long count = scale.ringRecordsPerThread;
    std::vector<std::string> args;
    for (int p = 0; p < kProcesses; ++p) {
        args.push_back("lib R" + std::to_string(p) + " " + std::to_string(kThreads) + " " + std::to_string(count));
    }
    DWORD elapsed = RunSenders(args, 600000);
    EXPECT_EQ(console.ViewText(), "before the ring\r\n");  // the view rests
    ASSERT_TRUE(SendCommand(console.window, IDM_LOG_TO_FILE));
    EXPECT_EQ(RingFiles(), ringFilesBefore);

    std::string bytes;
    ASSERT_TRUE(ReadFileBytes(path, &bytes));
    // Every line is a whole record ("R<p>.<t> <n>" is at most 13 bytes and
    // CR LF), and the ring is full within one line.
    EXPECT_LE(bytes.size(), 64u * 1024u);
    EXPECT_GT(bytes.size(), 64u * 1024u - 16);
    bool whole = false;
    const std::vector<std::string> lines = SplitLines(bytes, &whole);
    NumberedLog log = ParseNumbered(lines, "R");
    EXPECT_TRUE(whole);
    EXPECT_TRUE(log.strangers.empty()) << "first strange line: " << log.strangers.front();
    // The file's last line is the last record of a thread.
    ASSERT_FALSE(lines.empty());
    const std::string& last = lines.back();
    EXPECT_EQ(last.substr(last.rfind(' ') + 1), std::to_string(count - 1)) << last;
    // What a thread has in the file is the end of its sequence: the ring
    // keeps the newest text, and each thread's records arrive in order.
    long kept = 0;
    for (const auto& [source, numbers] : log.bySource) {
        ASSERT_FALSE(numbers.empty());
        EXPECT_TRUE(IsRun(numbers, count - static_cast<long>(numbers.size()), count - 1)) << source;
        kept += static_cast<long>(numbers.size());
    }
    SOAK_FIGURES("ring log: %d processes x %d threads x %ld records in %lu ms (%.0f records/s); file %lu bytes "
                 "holds the newest %ld lines from %zu threads",
                 kProcesses, kThreads, count, static_cast<unsigned long>(elapsed),
                 kProcesses * kThreads * count * 1000.0 / (elapsed ? elapsed : 1),
                 static_cast<unsigned long>(bytes.size()), kept, log.bySource.size());

    SendRecord(console.window, "after the ring\n");  // the view shows records again
    EXPECT_EQ(console.ViewText(), "before the ring\r\nafter the ring\r\n");
    EXPECT_EQ(console.Close(), 0);
}

TEST_F(SoakLoad, FourProcessesWritingDebugStringsAreCapturedOnceEachInOrder) {
    Console console;
    ASSERT_TRUE(StartConsole(console));
    ASSERT_TRUE(WaitFor(ChannelReady));
    const std::string path = folder + "capture.txt";
    ASSERT_TRUE(ConfirmLogFileDialog(console.window, console.process.id, {path}));
    // The save dialog stopped the capture and started a new one.
    ASSERT_TRUE(WaitFor(ChannelReady));

    const long count = scale.debugStrings;
    std::vector<std::string> args;
    for (int p = 0; p < kProcesses; ++p) {
        args.push_back("ods D" + std::to_string(p) + " " + std::to_string(count));
    }
    DWORD elapsed = RunSenders(args, 600000);
    // A writer's call returns once its string is in the channel's buffer,
    // before the console has taken it. The channel takes one string at a
    // time, in order: once a string written after every writer ended is
    // shown, all of theirs are in the log.
    OutputDebugStringA("Dend 0\n");
    ASSERT_TRUE(WaitFor([&] { return console.ViewText().find("Dend 0\r\n") != std::string::npos; }));
    ASSERT_TRUE(SendCommand(console.window, IDM_LOG_TO_FILE));

    std::string bytes;
    ASSERT_TRUE(ReadFileBytes(path, &bytes));
    bool whole = false;
    NumberedLog log = ParseNumbered(SplitLines(bytes, &whole), "D");
    EXPECT_TRUE(whole);
    for (int p = 0; p < kProcesses; ++p) {
        std::string source = "D" + std::to_string(p);
        EXPECT_TRUE(IsRun(log.bySource[source], 0, count - 1)) << source;
    }
    EXPECT_TRUE(IsRun(log.bySource["Dend"], 0, 0));
    SOAK_FIGURES("debug capture: %d processes x %ld strings = %ld lines in %lu ms (%.0f strings/s), "
                 "%zu lines of other programs",
                 kProcesses, count, log.total - 1, static_cast<unsigned long>(elapsed),
                 (log.total - 1) * 1000.0 / (elapsed ? elapsed : 1), log.strangers.size());
    EXPECT_EQ(console.Close(), 0);
}

// Private bytes are sampled while the senders send; after the first tenth
// of the run, in which the console takes its working memory for a stream
// of records, the samples must stay within 2 MB of each other, so that
// memory that grows with the records fails however long the run. The
// console's figures at rest, before and after, are printed but not judged:
// the step from rest to serving a stream of records (up to 2 MB) is
// working memory taken and given back, not growth.
TEST_F(SoakLoad, ManyRecordsWithTheViewShownKeepPrivateBytesFlat) {
    Console console;
    ASSERT_TRUE(StartConsole(console));
    // Warm-up: fill the view until it trims, so that every buffer has
    // reached its working size.
    ASSERT_EQ(RunClient("lib W 2 2000", 600000), 0);
    const ResourceFigures baseline = MeasureProcess(console.process.handle);

    const long count = scale.longRunRecords;
    OwnedProcess senders[2];
    DWORD start = GetTickCount();
    for (int p = 0; p < 2; ++p) {
        ASSERT_TRUE(StartClient(senders[p], "lib L" + std::to_string(p) + " 2 " + std::to_string(count / 4)));
    }
    struct Sample {
        DWORD at;
        SIZE_T privateBytes;
    };
    std::vector<Sample> samples;
    DWORD lastSample = GetTickCount();
    auto done = [&] {
        if (GetTickCount() - lastSample >= 500) {
            lastSample = GetTickCount();
            samples.push_back(Sample{lastSample - start, MeasureProcess(console.process.handle).privateBytes});
        }
        return WaitForSingleObject(senders[0].process.handle, 0) == WAIT_OBJECT_0 &&
               WaitForSingleObject(senders[1].process.handle, 0) == WAIT_OBJECT_0;
    };
    ASSERT_TRUE(WaitFor(done, 24 * 3600 * 1000));
    DWORD elapsed = GetTickCount() - start;
    for (auto& sender : senders) EXPECT_EQ(WaitProcess(sender.process, 1000), 0);
    const ResourceFigures after = MeasureProcess(console.process.handle);

    // The view ends with the newest record of the second sender's last thread or the first's.
    std::string text = console.ViewText();
    EXPECT_LE(ViewCharacters(text), 0x7000u);
    const std::string lastA = "L0.1 " + std::to_string(count / 4 - 1) + "\r\n";
    const std::string lastB = "L1.1 " + std::to_string(count / 4 - 1) + "\r\n";
    EXPECT_TRUE(text.find(lastA) != std::string::npos || text.find(lastB) != std::string::npos);
    EXPECT_TRUE(Answers(console.window));

    SIZE_T lowest = 0, highest = 0, warmUpHighest = 0;
    long counted = 0;
    for (const Sample& sample : samples) {
        if (sample.at < elapsed / 10) {
            warmUpHighest = sample.privateBytes > warmUpHighest ? sample.privateBytes : warmUpHighest;
            continue;
        }
        lowest = counted == 0 || sample.privateBytes < lowest ? sample.privateBytes : lowest;
        highest = sample.privateBytes > highest ? sample.privateBytes : highest;
        ++counted;
    }
    EXPECT_LE(highest - lowest, 2u * 1024u * 1024u);
    EXPECT_LE(after.handles, baseline.handles + 4);
    SOAK_FIGURES("long run with the view shown: %ld records in %lu ms (%.0f records/s); while sending, private bytes "
                 "from %lu to %lu KiB over %ld samples after warm-up (spread %lu KiB; highest %lu KiB in the "
                 "warm-up's %lu samples); idle before: %s; idle after: %s",
                 count, static_cast<unsigned long>(elapsed), count * 1000.0 / (elapsed ? elapsed : 1),
                 static_cast<unsigned long>(lowest / 1024), static_cast<unsigned long>(highest / 1024), counted,
                 static_cast<unsigned long>((highest - lowest) / 1024),
                 static_cast<unsigned long>(warmUpHighest / 1024),
                 static_cast<unsigned long>(samples.size() - counted),
                 Describe(baseline).c_str(), Describe(after).c_str());
    EXPECT_EQ(console.Close(), 0);
}

// The platform's own share: registry key handles that a confirmed save
// dialog leaves open in the process that showed it (Wine 8 leaves one per
// dialog; Windows none), measured on three dialogs in this process after a first one.
UINT_PTR CALLBACK ConfirmAtOnce(HWND dialog, UINT message, WPARAM, LPARAM) {
    if (message == WM_INITDIALOG) {
        HWND parent = GetParent(dialog);
        const std::string path = TempFolder() + "murlo-soak-platform.txt";
        SetDlgItemTextA(parent, kFileNameCombo, path.c_str());
        SetDlgItemTextA(parent, kFileNameEdit, path.c_str());
        PostMessageA(parent, WM_COMMAND, IDOK, 0);
    }
    return 0;
}

int PlatformKeysPerDialog() {
    constexpr int kKeyType = 19;  // the registry key's object type number under Wine
    std::map<int, int> before, after;
    for (int i = 0; i < 4; ++i) {
        if (i == 1) detail::CountHandles(GetCurrentProcessId(), &before);
        char name[MAX_PATH] = "";
        OPENFILENAMEA request = {};
        request.lStructSize = sizeof request;
        request.lpstrFilter = "Text\0*.txt\0";
        request.lpstrFile = name;
        request.nMaxFile = sizeof name;
        request.Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_ENABLEHOOK | OFN_PATHMUSTEXIST | OFN_EXPLORER;
        request.lpfnHook = ConfirmAtOnce;
        using SaveDialog = BOOL(WINAPI*)(OPENFILENAMEA*);
        static const auto show = reinterpret_cast<SaveDialog>(
            reinterpret_cast<void*>(GetProcAddress(LoadLibraryA("comdlg32.dll"), "GetSaveFileNameA")));
        if (show) show(&request);
        DeleteFileA((TempFolder() + "murlo-soak-platform.txt").c_str());
    }
    detail::CountHandles(GetCurrentProcessId(), &after);
    return (after[kKeyType] - before[kKeyType] + 2) / 3;
}

// Which kinds of kernel object the handles added or dropped are of.
std::string HandleTypeChanges(const std::map<int, int>& before, std::map<int, int> after) {
    std::string changes = "handles by object type number, before -> after:";
    for (const auto& [type, count] : before) after[type] += 0;
    for (const auto& [type, count] : after) {
        auto found = before.find(type);
        int old = found == before.end() ? 0 : found->second;
        if (old == count) continue;
        char change[48];
        std::snprintf(change, sizeof change, " %d: %d -> %d", type, old, count);
        changes += change;
    }
    return changes;
}

// One round of both save dialogs: a log file opened and closed, the view
// saved. Returns what went wrong, empty when nothing did.
std::string DialogCycle(Console& console, const std::string& folder, int round) {
    const std::string logPath = folder + "cycle-log.txt";
    const std::string savePath = folder + "cycle-save.txt";
    // The console may still be closing last round's saved file.
    for (const std::string& path : {logPath, savePath}) {
        WaitFor([&] { return DeleteFileA(path.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND; });
    }
    auto failed = [&](const char* step) {
        HWND box = FindAnyMessageBox(console.process.id);
        return std::string(step) + (box ? ", message box: " + MessageBoxText(box) : std::string());
    };
    if (!ConfirmLogFileDialog(console.window, console.process.id, {logPath})) return failed("Log to File dialog");
    SendRecord(console.window, "round " + std::to_string(round) + "\n");
    if (!SendCommand(console.window, IDM_LOG_TO_FILE)) return failed("closing the log");
    PostCommand(console.window, IDM_SAVE_LOG);
    HWND dialog = WaitForSaveDialog(console.process.id);
    if (dialog == nullptr) return failed("Save log dialog did not come");
    TypeFileName(dialog, savePath);
    PressButton(dialog, IDOK);
    if (!WaitGone(dialog)) return failed("Save log dialog did not go");
    if (!WaitFor([&] { return GetFileAttributesA(savePath.c_str()) != INVALID_FILE_ATTRIBUTES; })) {
        return failed("no saved file");
    }
    return {};
}

TEST_F(SoakLoad, RepeatedSaveDialogsLeaveHandlesAndGdiObjectsFlatAndCaptureWorking) {
    Console console;
    ASSERT_TRUE(StartConsole(console));
    ASSERT_TRUE(WaitFor(ChannelReady));
    // Warm-up: the dialogs' libraries are loaded and their caches (icons of
    // the folder's files) filled.
    constexpr int kWarmUpRounds = 4;
    for (int round = 0; round < kWarmUpRounds; ++round) {
        ASSERT_EQ(DialogCycle(console, folder, round), "") << "warm-up round " << round;
    }
    ASSERT_TRUE(WaitFor(ChannelReady));
    const ResourceFigures before = MeasureProcess(console.process.handle);
    std::map<int, int> typesBefore, typesAfter;
    detail::CountHandles(console.process.id, &typesBefore);
    DWORD start = GetTickCount();
    // GDI objects at the end of each quarter of the rounds.
    constexpr int kQuarters = 4;
    DWORD quarterGdi[kQuarters + 1] = {before.gdiObjects};
    ResourceFigures middle;
    for (int i = 0; i < scale.dialogCycles; ++i) {
        const int round = kWarmUpRounds + i;
        ASSERT_EQ(DialogCycle(console, folder, round), "") << "round " << round;
        if ((i + 1) % (scale.dialogCycles / kQuarters) == 0 && (i + 1) / (scale.dialogCycles / kQuarters) <= kQuarters) {
            const ResourceFigures now = MeasureProcess(console.process.handle);
            quarterGdi[(i + 1) / (scale.dialogCycles / kQuarters)] = now.gdiObjects;
            if (i + 1 == scale.dialogCycles / 2) middle = now;
        }
    }
    DWORD elapsed = GetTickCount() - start;
    ASSERT_TRUE(WaitFor(ChannelReady));
    const ResourceFigures after = MeasureProcess(console.process.handle);

    // The log of the last round holds its record; the saved view ends with it.
    std::string bytes;
    const std::string last = "round " + std::to_string(kWarmUpRounds + scale.dialogCycles - 1) + "\r\n";
    ASSERT_TRUE(ReadFileBytes(folder + "cycle-log.txt", &bytes));
    EXPECT_EQ(bytes, last);
    ASSERT_TRUE(ReadFileBytes(folder + "cycle-save.txt", &bytes));
    EXPECT_TRUE(bytes.size() >= last.size() && bytes.compare(bytes.size() - last.size(), last.size(), last) == 0);
    // Capture works after the last dialog.
    ASSERT_EQ(RunWriter("t:captured\\n"), 0);
    EXPECT_TRUE(ViewEndsWith(console, "captured\r\n"));

    detail::CountHandles(console.process.id, &typesAfter);
    // Two confirmed dialogs a round; what the platform keeps of them is not the console's.
    const int platformShare = PlatformKeysPerDialog() * 2 * scale.dialogCycles;
    EXPECT_LE(static_cast<int>(after.handles), static_cast<int>(before.handles) + platformShare + 4)
        << HandleTypeChanges(typesBefore, typesAfter);
    // Wine's file dialog fills its icon cache on a thread of its own, in
    // steps (12, 6, up to 30 objects in all seen) at times that vary, and
    // then stays; a leak grows in every quarter of the rounds. So at least
    // half of the quarters must add (almost) nothing.
    int flatQuarters = 0;
    for (int q = 0; q < kQuarters; ++q) flatQuarters += quarterGdi[q + 1] <= quarterGdi[q] + 2;
    EXPECT_GE(flatQuarters, kQuarters / 2) << "GDI objects by quarter: " << quarterGdi[0] << " " << quarterGdi[1]
                                           << " " << quarterGdi[2] << " " << quarterGdi[3] << " " << quarterGdi[4];
    SOAK_FIGURES("%d rounds of Log to File and Save log in %lu ms; before: %s; half-way: %s; after: %s; registry "
                 "keys the platform's dialogs keep: %d",
                 scale.dialogCycles, static_cast<unsigned long>(elapsed), Describe(before).c_str(),
                 Describe(middle).c_str(), Describe(after).c_str(), platformShare);
    EXPECT_EQ(console.Close(), 0);
}

}  // namespace
}  // namespace murlo::test
