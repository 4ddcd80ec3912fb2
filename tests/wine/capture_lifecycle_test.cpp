// When the console reads the debug channel: another reader running, a
// platform that is not NT, and the stop and restart around the save dialogs.
#include "support/capture_support.h"

#include <tlhelp32.h>

#include <atomic>
#include <cstring>
#include <thread>

namespace murlo::test {
namespace {

class CaptureLifecycle : public CaptureTest {
protected:
    // Shows the Save log dialog and cancels it; true when it came and went.
    bool CancelSaveDialog(Console& console) {
        PostCommand(console.window, IDM_SAVE_LOG);
        HWND dialog = WaitForSaveDialog(console.process.id);
        if (!dialog) return false;
        PressButton(dialog, IDCANCEL);
        return WaitGone(dialog);
    }
    // A string written now is shown, with its writer's id.
    void ExpectCaptured(Console& console, const std::string& text) {
        DWORD writer = 0;
        ASSERT_EQ(RunWriter("\"t:" + text + "\\n\"", &writer), 0);
        EXPECT_TRUE(ViewEndsWith(console, IdPrefix(writer) + text + "\r\n")) << console.ViewText();
    }
};

int ThreadCount(DWORD processId) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return -1;
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    int count = 0;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        if (entry.th32OwnerProcessID == processId) ++count;
    CloseHandle(snapshot);
    return count;
}

// Handles to threads that a process holds, from the system's handle table
// (GetProcessHandleCount gives 0 under Wine). -1 when it cannot be read.
int ThreadHandles(DWORD processId) {
    struct Entry {
        USHORT processId;
        USHORT creatorBackTraceIndex;
        UCHAR objectType;
        UCHAR attributes;
        USHORT handle;
        PVOID object;
        ULONG access;
    };
    using Query = LONG(NTAPI*)(ULONG, PVOID, ULONG, PULONG);
    auto query = reinterpret_cast<Query>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    if (!query) return -1;
    // A thread handle of this process tells the thread type's index.
    HANDLE own = OpenThread(SYNCHRONIZE, FALSE, GetCurrentThreadId());
    std::vector<char> table(4 << 20);
    ULONG size = 0;
    LONG status = query(16 /* SystemHandleInformation */, table.data(), static_cast<ULONG>(table.size()), &size);
    CloseHandle(own);
    if (status != 0) return -1;
    ULONG count = *reinterpret_cast<const ULONG*>(table.data());
    const auto* entries = reinterpret_cast<const Entry*>(table.data() + sizeof(ULONG_PTR));
    int threadType = -1;
    for (ULONG i = 0; i < count; ++i)
        if (entries[i].processId == static_cast<USHORT>(GetCurrentProcessId()) &&
            entries[i].handle == static_cast<USHORT>(reinterpret_cast<ULONG_PTR>(own)))
            threadType = entries[i].objectType;
    if (threadType < 0) return -1;
    int handles = 0;
    for (ULONG i = 0; i < count; ++i)
        if (entries[i].processId == static_cast<USHORT>(processId) && entries[i].objectType == threadType) ++handles;
    return handles;
}

TEST_F(CaptureLifecycle, AnotherReaderKeepsTheChannelAndTheConsoleWorksOn) {
    // This test is the channel's reader before the console starts.
    HANDLE reader = CreateEventA(nullptr, FALSE, FALSE, kMonitorBufferReady);
    ASSERT_NE(reader, nullptr);
    ASSERT_NE(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    SetSettingDword("LogProcessID", 1);
    Console console;
    ASSERT_TRUE(StartConsole(console));
    HWND box = WaitForMessageBox(console.process.id, "Exist debug monitor.");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(WindowText(box), "Murlo");
    EXPECT_EQ(MessageBoxText(box), "Exist debug monitor.");
    PressButton(box, IDOK);
    ASSERT_TRUE(WaitGone(box));

    // The console made none of the channel's other objects, and records
    // from clients are still shown.
    EXPECT_FALSE(ObjectExists(false, kMonitorDataReady));
    EXPECT_FALSE(ObjectExists(true, kMonitorBuffer));
    SendRecord(console.window, "client line\n");
    EXPECT_EQ(console.ViewText(), IdPrefix(GetCurrentProcessId()) + "client line\r\n");

    // Again after a save dialog, while the other reader is still there.
    PostCommand(console.window, IDM_SAVE_LOG);
    HWND dialog = WaitForSaveDialog(console.process.id);
    ASSERT_NE(dialog, nullptr);
    PressButton(dialog, IDCANCEL);
    box = WaitForMessageBox(console.process.id, "Exist debug monitor.");
    ASSERT_NE(box, nullptr);
    PressButton(box, IDOK);
    ASSERT_TRUE(WaitGone(box));

    // Once the other reader is gone, the next save dialog brings capture
    // back: the stop signal given to the thread that had already ended
    // must not end the new one.
    CloseHandle(reader);
    ASSERT_TRUE(CancelSaveDialog(console));
    ASSERT_TRUE(WaitFor(ChannelReady));
    ExpectCaptured(console, "after the other reader");
    EXPECT_EQ(FindAnyMessageBox(console.process.id), nullptr);
}

TEST_F(CaptureLifecycle, NoCaptureThreadOnAPlatformThatIsNotNT) {
    SetWineVersionFor(kProgram, "win98");
    Console console;
    ASSERT_TRUE(StartConsole(console));
    // A record sent now is handled after creation, when a capture thread
    // would have been started.
    SendRecord(console.window, "marker\n");
    ASSERT_EQ(console.ViewText(), "marker\r\n");
    EXPECT_EQ(ThreadCount(console.process.id), 1);
    EXPECT_FALSE(ObjectExists(false, kMonitorBufferReady));
    ASSERT_EQ(RunWriter("t:not\\shown\\n"), 0);
    SendRecord(console.window, "end\n");
    EXPECT_EQ(console.ViewText(), "marker\r\nend\r\n");
    EXPECT_EQ(FindAnyMessageBox(console.process.id), nullptr);

    // Nor after a save dialog.
    ASSERT_TRUE(CancelSaveDialog(console));
    SendRecord(console.window, "after\n");
    EXPECT_FALSE(ObjectExists(false, kMonitorBufferReady));
    EXPECT_EQ(FindAnyMessageBox(console.process.id), nullptr);
}

TEST_F(CaptureLifecycle, CaptureResumesAfterSaveDialogs) {
    Console console;
    ASSERT_TRUE(StartCapturingConsole(console));
    ExpectCaptured(console, "before");

    // Cancelled.
    ASSERT_TRUE(CancelSaveDialog(console));
    ASSERT_TRUE(WaitFor(ChannelReady));
    ExpectCaptured(console, "after cancel");

    // Confirmed.
    PostCommand(console.window, IDM_SAVE_LOG);
    HWND dialog = WaitForSaveDialog(console.process.id);
    ASSERT_NE(dialog, nullptr);
    TypeFileName(dialog, folder + "saved.txt");
    PressButton(dialog, IDOK);
    ASSERT_TRUE(WaitGone(dialog));
    ASSERT_TRUE(WaitFor([&] { return GetFileAttributesA((folder + "saved.txt").c_str()) != INVALID_FILE_ATTRIBUTES; }));
    ASSERT_TRUE(WaitFor(ChannelReady));
    ExpectCaptured(console, "after save");

    // Many dialogs leave no handles of the threads that ended.
    int handlesBefore = ThreadHandles(console.process.id);
    ASSERT_GE(handlesBefore, 1);
    for (int i = 0; i < 8; ++i) ASSERT_TRUE(CancelSaveDialog(console));
    ASSERT_TRUE(WaitFor(ChannelReady));
    ExpectCaptured(console, "after many");
    int handlesAfter = ThreadHandles(console.process.id);
    EXPECT_LT(handlesAfter, handlesBefore + 4) << handlesBefore << " -> " << handlesAfter;
    EXPECT_EQ(FindAnyMessageBox(console.process.id), nullptr);
}

TEST_F(CaptureLifecycle, BusyChannelDuringADialogThenCaptureResumes) {
    Console console;
    ASSERT_TRUE(StartCapturingConsole(console));
    NamedEvent stop("murlo-test-stop-writing");
    OwnedProcess writer;
    ASSERT_TRUE(StartWriter(writer, "loop:murlo-test-stop-writing"));
    ASSERT_TRUE(WaitFor([&] { return console.ViewText().find("busy 20\r\n") != std::string::npos; }));

    // The stopped thread may go on taking strings while the channel stays
    // busy; the dialog's loop handles its records. The writer ends before
    // the dialog closes: a writer caught between two readers holds the
    // channel's objects open until its own time-out (10 s).
    PostCommand(console.window, IDM_SAVE_LOG);
    HWND dialog = WaitForSaveDialog(console.process.id);
    ASSERT_NE(dialog, nullptr);
    stop.Set();
    EXPECT_EQ(WaitProcess(writer.process, 30000), 0);
    PressButton(dialog, IDCANCEL);
    ASSERT_TRUE(WaitGone(dialog));

    ASSERT_TRUE(WaitFor(ChannelReady));
    ExpectCaptured(console, "after busy");
    EXPECT_EQ(FindAnyMessageBox(console.process.id), nullptr);
}

// Keeps the console's capture thread taking a string without pause until
// Stop: the string stays in the channel's buffer and the data event is set
// again and again, so the thread finds data whenever it looks and does not
// end, even told to stop, before this stops. Writers calling
// OutputDebugStringA in a loop leave gaps now and then in which a stopped
// thread ends, and a writer then waiting for the buffer holds the channel
// for its 10 s; here no writer ever waits.
struct BusyChannel {
    HANDLE dataReady = nullptr;
    std::atomic<bool> running{true};
    std::thread setter;

    explicit BusyChannel(const std::string& text) {
        if (HANDLE section = OpenFileMappingA(FILE_MAP_WRITE, FALSE, kMonitorBuffer)) {
            if (void* view = MapViewOfFile(section, FILE_MAP_WRITE, 0, 0, 0)) {
                const DWORD processId = GetCurrentProcessId();
                std::memcpy(view, &processId, sizeof processId);
                std::memcpy(static_cast<char*>(view) + sizeof processId, text.c_str(), text.size() + 1);
                UnmapViewOfFile(view);
            }
            CloseHandle(section);
        }
        dataReady = OpenEventA(EVENT_MODIFY_STATE, FALSE, kMonitorDataReady);
        if (dataReady) setter = std::thread([this] {
            while (running.load()) SetEvent(dataReady);
        });
    }
    ~BusyChannel() { Stop(); }
    BusyChannel(const BusyChannel&) = delete;
    BusyChannel& operator=(const BusyChannel&) = delete;
    // The channel is quiet from now on; the thread ends at its next look.
    void Stop() {
        running = false;
        if (setter.joinable()) setter.join();
        if (dataReady) CloseHandle(dataReady);
        dataReady = nullptr;
    }
};

// A second Save log posted while the first restarts the capture waits for
// the main loop. Dispatched by a record that comes during the restart's
// wait for the stopped thread (a busy channel keeps it sending), its stop
// and restart would run inside the first: it closes the handle that wait
// uses and starts a capture thread beside the one the first then starts,
// which finds the channel taken ("Exist debug monitor.").
TEST_F(CaptureLifecycle, SaveLogPostedWhileTheCaptureRestartsWaitsForTheMainLoop) {
    Console console;
    ASSERT_TRUE(StartCapturingConsole(console));
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        const std::string busy = "busy " + std::to_string(round) + "\n";
        BusyChannel channel(busy);
        ASSERT_NE(channel.dataReady, nullptr);
        ASSERT_TRUE(ViewEndsWith(console, busy.substr(0, busy.size() - 1) + "\r\n"));

        PostCommand(console.window, IDM_SAVE_LOG);
        HWND first = WaitForSaveDialog(console.process.id);
        ASSERT_NE(first, nullptr);
        PressButton(first, IDCANCEL);
        PostCommand(console.window, IDM_SAVE_LOG);
        ASSERT_TRUE(WaitGone(first));
        // The restart now waits for the stopped thread, which ends once the
        // channel is quiet.
        channel.Stop();

        HWND second = WaitForSaveDialog(console.process.id);
        ASSERT_NE(second, nullptr);
        PressButton(second, IDCANCEL);
        ASSERT_TRUE(WaitGone(second));
        // Posted, so handled once every command before it has returned.
        PostCommand(console.window, IDM_CLEAR);
        ASSERT_TRUE(WaitFor([&] { return console.ViewText().empty(); }));
        ASSERT_TRUE(WaitFor(ChannelReady));
        ExpectCaptured(console, "after two dialogs " + std::to_string(round));
        HWND box = FindAnyMessageBox(console.process.id);
        ASSERT_EQ(box, nullptr) << MessageBoxText(box);
    }
}

}  // namespace
}  // namespace murlo::test
