// Helpers of the integration tests: start and close consoles, find their
// windows, read the view, drive message boxes, the settings key, and
// polling with a deadline. The tests drive the real binaries as a program
// would: by class, control id and message, never by screen position.
#pragma once

#include <windows.h>
#include <dlgs.h>

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>

namespace murlo::test {

inline constexpr char kProgram[] = "MURLO.EXE";
// The file dialogs' name box: cmb13 in the explorer-style dialog, edt1 in the older one.
inline constexpr int kFileNameCombo = cmb13;
inline constexpr int kFileNameEdit = edt1;

// Full path of a binary of this build (MURLO.EXE, MURLODLL.DLL, helpers).
std::string BinPath(const char* name);
// A path with backslashes; a host path from the root gets the drive Z:.
std::string WindowsPath(std::string path);

// Factor by which every deadline of the tests is stretched: the environment
// variable MURLO_TEST_TIME_SCALE (1 to 1000), 1 when unset. Emulated runs,
// where each process start takes about a minute, set it.
DWORD TimeScale();

// Polls condition every few milliseconds until it holds or timeoutMs (times
// TimeScale()) pass.
bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs = 10000);

// Removes HKCU\Software\OrlemApp\Murlo with everything under it.
void DeleteSettingsKey();
void SetSettingDword(const char* name, DWORD value);
void SetSettingString(const char* name, const char* value);
void SetSettingBinary(const char* name, const void* data, DWORD size);
// Reads a value; false when it is missing. type receives its registry type.
bool GetSettingRaw(const char* name, DWORD* type, std::string* data);
bool GetSettingDword(const char* name, DWORD* value);

// Sets the Windows version that Wine reports to MURLO.EXE ("win98",
// "winxp", ...); an empty version removes the setting.
void SetWineVersionFor(const char* program, const char* version);

// A started process; closing it is the owner's job (see Console).
struct Process {
    HANDLE handle = nullptr;
    DWORD id = 0;
};
// Starts program with the command line "program args"; show is the show state.
Process StartProcess(const std::string& program, const std::string& args, WORD show = SW_SHOWNORMAL);
// Waits for the process to end; returns its exit code, or -1 on time-out.
int WaitProcess(Process& process, DWORD timeoutMs = 20000);
void CloseProcess(Process& process);

// A process started by a test, ended by force if it is still running when
// the test leaves.
struct OwnedProcess {
    Process process;
    OwnedProcess() = default;
    explicit OwnedProcess(Process p) : process(p) {}
    OwnedProcess(const OwnedProcess&) = delete;
    OwnedProcess& operator=(const OwnedProcess&) = delete;
    ~OwnedProcess() {
        if (Running()) {
            TerminateProcess(process.handle, 99);
            WaitForSingleObject(process.handle, 5000);
        }
        CloseProcess(process);
    }
    bool Running() const { return process.handle && WaitForSingleObject(process.handle, 0) != WAIT_OBJECT_0; }
};

// All top-level windows of class "MurloClass".
HWND FindConsoleWindow();

// A console started by a test. Close() (also run by the destructor) sends
// WM_CLOSE, waits for the process and ends it by force if it hangs.
struct Console {
    Process process;
    HWND window = nullptr;

    Console() = default;
    Console(const Console&) = delete;
    Console& operator=(const Console&) = delete;
    ~Console() { Close(); }

    // Starts MURLO.EXE with args and waits for its main window.
    bool Start(const std::string& args = "", WORD show = SW_SHOWNORMAL);
    HWND View() const;
    std::string ViewText() const;
    // Closes the console; returns its exit code (-1 when it had to be killed).
    int Close();
};

// Starts a console and waits until it is shown: the window exists (and can
// be found) while WM_CREATE still runs, so readiness is its visibility,
// which the start-up sets only after creation is complete.
bool StartReady(Console& console, const std::string& args = "", WORD show = SW_SHOWNORMAL);

// Whole files, read and written in binary; false when they cannot be opened.
bool ReadFileBytes(const std::string& path, std::string* bytes);
bool WriteFileBytes(const std::string& path, const std::string& bytes);

// The temporary folder, with its trailing backslash.
std::string TempFolder();
// Names of the ring store's temporary files ("MUR*.tmp") now present.
std::set<std::string> RingFiles();

// Text of a window (WM_GETTEXT).
std::string WindowText(HWND window);

// The view's selection, in the control's characters, from EM_GETSEL's
// result: no pointer passes to the console's process, whose memory the
// Wine server reaches at the wrong address when the console runs under
// emulation. The view holds at most 0x7000 characters, so both ends fit
// the result's 16-bit halves.
struct Selection {
    int start;
    int end;
};
Selection GetViewSelection(HWND view);
void SetViewSelection(HWND view, int start, int end);

// Sends a record to window as WM_COPYDATA from this process.
LRESULT SendPayload(HWND window, const void* data, DWORD size);

// Finds a visible top-level dialog (class #32770) with the given caption
// that belongs to process id (0: any process).
HWND FindDialog(const char* caption, DWORD processId = 0);
// Text of a message box (its static control 0xFFFF).
std::string MessageBoxText(HWND box);
// Presses a dialog button by id (WM_COMMAND with BN_CLICKED).
void PressButton(HWND dialog, int id);

// A test that starts with no settings key, the default Wine version for the
// console and no console running, and leaves the same way.
class FreshConsoleTest : public ::testing::Test {
protected:
    void SetUp() override {
        DeleteSettingsKey();
        SetWineVersionFor(kProgram, "");
        ASSERT_TRUE(WaitFor([] { return FindConsoleWindow() == nullptr; }, 5000))
            << "a console from elsewhere is still running";
    }
    void TearDown() override {
        SetWineVersionFor(kProgram, "");
        DeleteSettingsKey();
    }
};

}  // namespace murlo::test
