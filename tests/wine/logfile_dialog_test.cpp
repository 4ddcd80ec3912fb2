// The file dialogs when the console is closed while they are up (the
// window is destroyed inside the dialog's loop, and the command must start
// nothing afterwards: no capture thread, no log file, no ring file), and
// the two messages by which the log-file dialog confirms its values.
#include "support/capture_support.h"
#include "support/console_probe_client.h"

#include <tlhelp32.h>

#include <atomic>
#include <set>
#include <thread>
#include <vector>

namespace murlo::test {
namespace {

class LogFileDialog : public CaptureTest {};

using QueryThreadProc = LONG(WINAPI*)(HANDLE, int, PVOID, ULONG, PULONG);
constexpr int kThreadStartAddress = 9;  // ThreadQuerySetWin32StartAddress

// The threads of a console that run the console's own code: started at an
// address inside MURLO.EXE's image. The user-interface thread is left out,
// so with the capture stopped the list is empty.
struct ConsoleCode {
    DWORD processId = 0;
    DWORD uiThread = 0;
    uintptr_t begin = 0, end = 0;

    bool Load(const Console& console) {
        processId = console.process.id;
        uiThread = GetWindowThreadProcessId(console.window, nullptr);
        // The first module of a process's module list is its program.
        HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId);
        if (snapshot == INVALID_HANDLE_VALUE) return false;
        MODULEENTRY32 module = {};
        module.dwSize = sizeof module;
        if (Module32First(snapshot, &module)) {
            begin = reinterpret_cast<uintptr_t>(module.modBaseAddr);
            end = begin + module.modBaseSize;
        }
        CloseHandle(snapshot);
        return end > begin && _stricmp(module.szModule, kProgram) == 0;
    }
    bool Contains(const void* address) const {
        auto at = reinterpret_cast<uintptr_t>(address);
        return at >= begin && at < end;
    }
    std::vector<DWORD> Threads() const {
        static auto query = reinterpret_cast<QueryThreadProc>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationThread")));
        std::vector<DWORD> found;
        HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
        if (snapshot == INVALID_HANDLE_VALUE) return found;
        THREADENTRY32 entry = {};
        entry.dwSize = sizeof entry;
        for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
            if (entry.th32OwnerProcessID != processId || entry.th32ThreadID == uiThread) continue;
            HANDLE thread = OpenThread(THREAD_QUERY_INFORMATION, FALSE, entry.th32ThreadID);
            void* start = nullptr;
            if (thread && query(thread, kThreadStartAddress, &start, sizeof start, nullptr) == 0 && Contains(start))
                found.push_back(entry.th32ThreadID);
            if (thread) CloseHandle(thread);
            entry.dwSize = sizeof entry;
        }
        CloseHandle(snapshot);
        return found;
    }
};

// Attaches to a console as its debugger and looks, at every debug event
// after the main window is gone, for a thread of the console's own code
// that did not exist while the window did. Every thread the console has or
// starts reports in while the window exists; the debug events hold the
// console still, so the window's state at an event is the state at the
// thread's start, and a thread started just before the process ends is
// seen as well: the libraries unloaded at its end report in while the
// process still has all its threads. A capture thread started while the
// window existed may still be ending when the process ends: it is no late
// thread.
struct LateThreadWatch {
    const ConsoleCode& code;
    HWND window;
    std::atomic<bool> attached{false}, stop{false}, attachFailed{false};
    std::atomic<int> lateThreads{0};
    std::thread worker;

    LateThreadWatch(const ConsoleCode& c, HWND w) : code(c), window(w) {
        worker = std::thread([this] { Run(); });
        while (!attached) Sleep(1);
    }
    ~LateThreadWatch() { Finish(); }
    void Finish() {
        stop = true;
        if (worker.joinable()) worker.join();
    }

    void Run() {
        if (!DebugActiveProcess(code.processId)) {
            attachFailed = true;
            attached = true;
            return;
        }
        DebugSetProcessKillOnExit(FALSE);
        attached = true;
        std::set<DWORD> known, late;
        for (;;) {
            DEBUG_EVENT event;
            if (!WaitForDebugEvent(&event, 50)) {
                if (stop) break;
                continue;
            }
            DWORD status = DBG_CONTINUE;
            bool created = event.dwDebugEventCode == CREATE_THREAD_DEBUG_EVENT ||
                           event.dwDebugEventCode == CREATE_PROCESS_DEBUG_EVENT;
            if (IsWindow(window)) {
                if (created) known.insert(event.dwThreadId);
            } else {
                if (event.dwDebugEventCode == CREATE_THREAD_DEBUG_EVENT &&
                    code.Contains(reinterpret_cast<void*>(event.u.CreateThread.lpStartAddress)))
                    late.insert(event.dwThreadId);
                for (DWORD id : code.Threads())
                    if (!known.count(id)) late.insert(id);
                lateThreads = static_cast<int>(late.size());
            }
            switch (event.dwDebugEventCode) {
            case CREATE_PROCESS_DEBUG_EVENT:
                if (event.u.CreateProcessInfo.hFile) CloseHandle(event.u.CreateProcessInfo.hFile);
                break;
            case LOAD_DLL_DEBUG_EVENT:
                if (event.u.LoadDll.hFile) CloseHandle(event.u.LoadDll.hFile);
                break;
            case EXCEPTION_DEBUG_EVENT:
                if (event.u.Exception.ExceptionRecord.ExceptionCode != EXCEPTION_BREAKPOINT)
                    status = DBG_EXCEPTION_NOT_HANDLED;
                break;
            default:
                break;
            }
            ContinueDebugEvent(event.dwProcessId, event.dwThreadId, status);
            if (event.dwDebugEventCode == EXIT_PROCESS_DEBUG_EVENT) return;
        }
        DebugActiveProcessStop(code.processId);
    }
};

TEST_F(LogFileDialog, ClosingWhileADialogIsUpStartsNothingAfterTheWindowIsGone) {
    struct Case {
        const char* name;
        UINT command;
        const char* size;  // the log-file dialog's size field, or null
        bool confirm;      // send IDOK to the dialog right after the close
    } cases[] = {
        {"Log to File", IDM_LOG_TO_FILE, "64", false},
        {"Save log", IDM_SAVE_LOG, nullptr, false},
        // Under Wine either comes first: the close destroys the dialog before
        // the IDOK, or the IDOK ends the dialog and Wine drops the close.
        {"Log to File confirmed", IDM_LOG_TO_FILE, "64", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::set<std::string> ringFilesBefore = RingFiles();
        const std::string path = folder + "closed.txt";
        Console console;
        ASSERT_TRUE(StartCapturingConsole(console));
        ConsoleCode code;
        ASSERT_TRUE(code.Load(console));
        ASSERT_EQ(code.Threads().size(), 1u) << "the capture thread runs";
        LateThreadWatch watch(code, console.window);
        ASSERT_FALSE(watch.attachFailed);

        PostCommand(console.window, c.command);
        HWND dialog = WaitForSaveDialog(console.process.id);
        ASSERT_NE(dialog, nullptr);
        // The capture stops for the dialog: its thread ends.
        ASSERT_TRUE(WaitFor([&] { return code.Threads().empty(); }));
        if (c.size) {
            HWND holder = TemplateHolder(dialog);
            ASSERT_NE(holder, nullptr);
            SetDlgItemTextA(holder, IDC_MAX_SIZE, c.size);
        }
        TypeFileName(dialog, path);
        PostMessageA(console.window, WM_CLOSE, 0, 0);
        if (c.confirm) {
            DWORD_PTR result = 0;
            SendMessageTimeoutA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                                reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)), SMTO_NORMAL, 10000, &result);
            // A close that Wine dropped: the log file is open, close it now.
            if (!WaitFor([&] { return !IsWindow(console.window); }, 2000))
                PostMessageA(console.window, WM_CLOSE, 0, 0);
        }
        EXPECT_EQ(WaitProcess(console.process), 0);
        watch.Finish();
        EXPECT_EQ(watch.lateThreads, 0) << "a thread of the console started after its window was gone";
        EXPECT_EQ(RingFiles(), ringFilesBefore);
        if (!c.confirm) {
            EXPECT_EQ(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);
        }
        DeleteFileA(path.c_str());
    }
}

// The log-file dialog's hook takes the size and the no-display box from the
// registered "commdlg_FileNameOK" message and from the CDN_FILEOK
// notification; each alone must do, as a platform may send only one.
// The dialog is cancelled afterwards, so no log file hides the values: the
// size is what the next dialog offers and stores at shutdown, and the
// display is off for the next record.
TEST_F(LogFileDialog, EachConfirmationMessageAloneTakesTheValues) {
    for (bool notification : {false, true}) {
        SCOPED_TRACE(notification ? "CDN_FILEOK" : "commdlg_FileNameOK");
        DeleteSettingsKey();
        Console console;
        ASSERT_TRUE(StartConsole(console));
        ConsoleProbe probe;
        ASSERT_TRUE(probe.Attach(console.window));
        PostCommand(console.window, IDM_LOG_TO_FILE);
        HWND dialog = WaitForSaveDialog(console.process.id);
        ASSERT_NE(dialog, nullptr);
        HWND holder = TemplateHolder(dialog);
        ASSERT_NE(holder, nullptr);
        SetDlgItemTextA(holder, IDC_MAX_SIZE, "77");
        SetCheck(holder, IDC_NO_DISPLAY, true);
        if (notification) {
            ASSERT_TRUE(probe.Ask(murlo_probe::kSendFileOk, reinterpret_cast<LPARAM>(holder)));
        } else {
            DWORD_PTR result = 0;
            ASSERT_NE(SendMessageTimeoutA(holder, RegisterWindowMessageA("commdlg_FileNameOK"), 0, 0, SMTO_NORMAL,
                                          10000, &result),
                      0);
        }
        PressButton(dialog, IDCANCEL);
        ASSERT_TRUE(WaitGone(dialog));

        SendRecord(console.window, "not shown\n");
        EXPECT_EQ(console.ViewText(), "");
        PostCommand(console.window, IDM_LOG_TO_FILE);
        dialog = WaitForSaveDialog(console.process.id);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(WindowText(GetDlgItem(TemplateHolder(dialog), IDC_MAX_SIZE)), "77");
        PressButton(dialog, IDCANCEL);
        ASSERT_TRUE(WaitGone(dialog));
        probe.Detach();
        EXPECT_EQ(console.Close(), 0);
        DWORD stored = 0;
        ASSERT_TRUE(GetSettingDword("MaxLogFileSize", &stored));
        EXPECT_EQ(stored, 77u);
    }
}

}  // namespace
}  // namespace murlo::test
