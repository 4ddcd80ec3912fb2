// Shared pieces of the debug-capture and log-file integration tests: a
// fixture with a clean settings key, Wine version and scratch folder; the
// debug writer helper; records sent from the test; driving the save
// dialogs and the message boxes of a console.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "console/resources/resource.h"
#include "support/wine_support.h"
#include "tests/support/record_builder.h"

namespace murlo::test {

inline constexpr char kMonitorBuffer[] = "DBWIN_BUFFER";
inline constexpr char kMonitorBufferReady[] = "DBWIN_BUFFER_READY";
inline constexpr char kMonitorDataReady[] = "DBWIN_DATA_READY";

// "#%08X " of a process id, as the console puts it in front of a line.
inline std::string IdPrefix(DWORD processId) {
    char text[16];
    std::snprintf(text, sizeof text, "#%08X ", static_cast<unsigned>(processId));
    return text;
}

// Starts the debug writer with args (see helpers/debug_writer.cpp).
inline bool StartWriter(OwnedProcess& writer, const std::string& args) {
    writer.process = StartProcess(BinPath("debug_writer.exe"), args, SW_HIDE);
    return writer.process.handle != nullptr;
}

// Runs the debug writer to its end; returns its exit code (-1: did not end).
inline int RunWriter(const std::string& args, DWORD* processId = nullptr) {
    OwnedProcess writer;
    if (!StartWriter(writer, args)) return -1;
    if (processId) *processId = writer.process.id;
    return WaitProcess(writer.process);
}

// A named event that the writer helper waits for or sets.
struct NamedEvent {
    HANDLE handle;
    explicit NamedEvent(const char* name) : handle(CreateEventA(nullptr, TRUE, FALSE, name)) {}
    NamedEvent(const NamedEvent&) = delete;
    NamedEvent& operator=(const NamedEvent&) = delete;
    ~NamedEvent() {
        if (handle) CloseHandle(handle);
    }
    void Set() const { SetEvent(handle); }
    bool IsSet() const { return WaitForSingleObject(handle, 0) == WAIT_OBJECT_0; }
};

inline bool ObjectExists(bool isSection, const char* name) {
    HANDLE handle = isSection ? OpenFileMappingA(FILE_MAP_READ, FALSE, name)
                              : OpenEventA(SYNCHRONIZE, FALSE, name);
    if (handle) CloseHandle(handle);
    return handle != nullptr;
}

// True once a reader of the debug channel has made all its objects, so
// that a writer's string reaches it.
inline bool ChannelReady() {
    return ObjectExists(false, kMonitorBufferReady) && ObjectExists(false, kMonitorDataReady) &&
           ObjectExists(true, kMonitorBuffer);
}

// Sends a full LogRecord with text from this process, with no location
// and no time.
inline void SendRecord(HWND window, const std::string& text) {
    const std::string record = MakeRecord(RecordFields{GetCurrentProcessId(), {}, "", 0, true}, text);
    SendPayload(window, record.data(), static_cast<DWORD>(record.size()));
}

// Posts a command to the console (posted: the commands show modal dialogs).
inline void PostCommand(HWND window, UINT id) { PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

struct WindowSearch {
    DWORD processId;
    bool (*match)(HWND window, void* context);
    void* context;
    HWND found;
};

inline BOOL CALLBACK MatchTopLevel(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<WindowSearch*>(lParam);
    char className[64] = {};
    GetClassNameA(window, className, sizeof className);
    if (std::string(className) != "#32770" || !IsWindowVisible(window)) return TRUE;
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || !search->match(window, search->context)) return TRUE;
    search->found = window;
    return FALSE;
}

inline HWND FindTopLevelDialog(DWORD processId, bool (*match)(HWND, void*), void* context = nullptr) {
    WindowSearch search = {processId, match, context, nullptr};
    EnumWindows(MatchTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The save dialog of a console: the dialog with a file-name box.
inline HWND FindSaveDialog(DWORD processId) {
    return FindTopLevelDialog(processId, [](HWND window, void*) {
        return GetDlgItem(window, kFileNameCombo) != nullptr || GetDlgItem(window, kFileNameEdit) != nullptr;
    });
}

// A message box of a console whose text contains part.
inline HWND FindMessageBox(DWORD processId, const std::string& part) {
    std::string wanted = part;
    return FindTopLevelDialog(
        processId,
        [](HWND window, void* context) {
            HWND text = GetDlgItem(window, 0xFFFF);
            return text != nullptr &&
                   WindowText(text).find(*static_cast<std::string*>(context)) != std::string::npos;
        },
        &wanted);
}

// Any message box of a console.
inline HWND FindAnyMessageBox(DWORD processId) { return FindMessageBox(processId, ""); }

inline HWND WaitForSaveDialog(DWORD processId) {
    HWND dialog = nullptr;
    WaitFor([&] { return (dialog = FindSaveDialog(processId)) != nullptr; });
    return dialog;
}

inline HWND WaitForMessageBox(DWORD processId, const std::string& part) {
    HWND box = nullptr;
    WaitFor([&] { return (box = FindMessageBox(processId, part)) != nullptr; });
    return box;
}

inline bool WaitGone(HWND window) { return WaitFor([&] { return !IsWindow(window); }); }

// The window that holds the log-file template's controls: with the
// explorer-style dialog a child dialog, with the older one the dialog itself.
// A lambda does not convert to a stdcall WNDENUMPROC in 32-bit code, so the
// enumeration callbacks are named CALLBACK functions.
inline BOOL CALLBACK MatchTemplateHolder(HWND child, LPARAM lParam) {
    if (GetDlgItem(child, IDC_MAX_SIZE) == nullptr) return TRUE;
    *reinterpret_cast<HWND*>(lParam) = child;
    return FALSE;
}

inline HWND TemplateHolder(HWND dialog) {
    if (GetDlgItem(dialog, IDC_MAX_SIZE)) return dialog;
    HWND found = nullptr;
    EnumChildWindows(dialog, MatchTemplateHolder, reinterpret_cast<LPARAM>(&found));
    return found;
}

// Types name into the dialog's file-name box.
inline void TypeFileName(HWND dialog, const std::string& name) {
    HWND box = GetDlgItem(dialog, kFileNameCombo);
    if (!box) box = GetDlgItem(dialog, kFileNameEdit);
    SendMessageA(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
}

inline void SetCheck(HWND holder, int id, bool checked) {
    SendMessageA(GetDlgItem(holder, id), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

// Sends a command that shows no dialog and waits until it is handled;
// false when it did not return (it showed a dialog after all).
inline bool SendCommand(HWND window, UINT id) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(window, WM_COMMAND, MAKEWPARAM(id, 0), 0, SMTO_NORMAL, 10000 * murlo::test::TimeScale(), &result) != 0;
}

// What to put into the log-file dialog before confirming it.
struct LogFileChoice {
    std::string path;
    std::string size = "0";  // text of the size field
    bool noDisplay = false;
    bool replace = false;    // the file exists: confirm the question to replace it
};

// Runs "Log to File" and confirms the dialog; true when it came and went
// and the command ran to its end (the log file opened and its ring made).
inline bool ConfirmLogFileDialog(HWND console, DWORD processId, const LogFileChoice& choice) {
    PostCommand(console, IDM_LOG_TO_FILE);
    HWND dialog = WaitForSaveDialog(processId);
    if (!dialog) return false;
    HWND holder = TemplateHolder(dialog);
    if (!holder) return false;
    SetDlgItemTextA(holder, IDC_MAX_SIZE, choice.size.c_str());
    SetCheck(holder, IDC_NO_DISPLAY, choice.noDisplay);
    TypeFileName(dialog, choice.path);
    PressButton(dialog, IDOK);
    if (choice.replace) {
        HWND question = WaitForMessageBox(processId, "already exists");
        if (!question) return false;
        PressButton(question, IDYES);
    }
    // The command has run to its end once the console answers a sent
    // message: the ring is made after the log file, without a turn of the
    // message loop between them.
    DWORD_PTR answer = 0;
    return WaitGone(dialog) &&
           SendMessageTimeoutA(console, WM_NULL, 0, 0, SMTO_NORMAL, 10000 * TimeScale(), &answer) != 0;
}


// A fresh console test with an empty scratch folder, removed at the end.
class CaptureTest : public FreshConsoleTest {
protected:
    std::string folder;

    void SetUp() override {
        FreshConsoleTest::SetUp();
        if (HasFatalFailure()) return;
        char name[64];
        std::snprintf(name, sizeof name, "murlo-capture-%lu\\", GetCurrentProcessId());
        folder = TempFolder() + name;
        RemoveFolder();
        ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    }
    void TearDown() override {
        FreshConsoleTest::TearDown();
        RemoveFolder();
    }
    void RemoveFolder() {
        // A set-up that failed before the folder was named leaves it empty;
        // "*" would then be every file of the working folder.
        if (folder.empty()) return;
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                std::string name = found.cFileName;
                if (name != "." && name != "..") {
                    SetFileAttributesA((folder + name).c_str(), FILE_ATTRIBUTE_NORMAL);
                    DeleteFileA((folder + name).c_str());
                }
            } while (FindNextFileA(search, &found));
            FindClose(search);
        }
        RemoveDirectoryA(folder.c_str());
    }

    // Starts a console and waits until its window is shown (creation is complete).
    bool StartConsole(Console& console) {
        if (!console.Start()) return false;
        return WaitFor([&] { return IsWindowVisible(console.window) != FALSE; });
    }
    // Starts a console whose capture runs, with the process-id decoration on.
    bool StartCapturingConsole(Console& console) {
        SetSettingDword("LogProcessID", 1);
        return StartConsole(console) && WaitFor(ChannelReady);
    }
    bool ViewEndsWith(const Console& console, const std::string& tail) {
        return WaitFor([&] {
            std::string text = console.ViewText();
            return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
        });
    }
};

}  // namespace murlo::test
