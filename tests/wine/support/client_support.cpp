#include "support/client_support.h"

#include <tlhelp32.h>

#include <cstring>

#include "support/wine_support.h"

namespace murlo::test {

namespace {

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<RecordingWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!self) return DefWindowProcA(window, message, wParam, lParam);
    if (self->pauseMessage && message == self->pauseMessage) {
        char name[256] = {};
        GlobalGetAtomNameA(static_cast<ATOM>(wParam), name, sizeof name);
        self->pauses.push_back({name, lParam});
        return 0;
    }
    if (message == WM_USER) {
        ++self->pings;
        return 0;
    }
    if (message == WM_COPYDATA) {
        auto* copy = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        if (copy->dwData == kForwardedPing) {
            ++self->pings;
            return 0;
        }
        ReceivedRecord record;
        record.size = copy->cbData;
        murlo::PayloadView view = murlo::ClassifyPayload(copy->lpData, copy->cbData);
        record.isRecord = view.isRecord;
        record.text.assign(view.text, view.textLength);
        if (view.isRecord) {
            record.location.assign(view.location, view.locationLength);
            record.depth = view.header->depth;
            record.processId = view.header->processId;
            record.time = view.header->localTime;
        }
        self->records.push_back(record);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

bool RecordingWindow::Create(const char* className) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = RecordingProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = className;
    RegisterClassA(&windowClass);  // fails harmlessly when already registered
    pauseMessage = RegisterWindowMessageA("MurloPauseMessage");
    window = CreateWindowA(className, "recorder", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                           windowClass.hInstance, this);
    return window != nullptr;
}

void RecordingWindow::Destroy() {
    if (window) DestroyWindow(window);
    window = nullptr;
}

std::vector<std::string> RecordingWindow::Texts() const {
    std::vector<std::string> texts;
    for (const auto& record : records) texts.push_back(record.text);
    return texts;
}

static std::string JoinQuoted(const std::vector<std::string>& args) {
    std::string line;
    for (const auto& arg : args) {
        if (!line.empty()) line += ' ';
        line += '"' + arg + '"';
    }
    return line;
}

Process StartDriver(const std::vector<std::string>& args) {
    return StartProcess(BinPath("client_driver.exe"), JoinQuoted(args));
}

DriverResult RunDriver(const std::vector<std::string>& args, DWORD timeoutMs) {
    DriverResult result;
    DWORD start = GetTickCount();
    Process process = StartDriver(args);
    result.processId = process.id;
    result.exitCode = WaitProcess(process, timeoutMs);
    result.elapsedMs = GetTickCount() - start;
    if (result.exitCode == -1 && process.handle) {
        TerminateProcess(process.handle, 99);
        WaitForSingleObject(process.handle, 5000);
    }
    CloseProcess(process);
    return result;
}

namespace {

struct WindowSearch {
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectConsoles(HWND window, LPARAM lParam) {
    char className[64] = {};
    GetClassNameA(window, className, sizeof className);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (strcmp(className, "MurloClass") == 0 && owner != GetCurrentProcessId()) {
        reinterpret_cast<WindowSearch*>(lParam)->windows.push_back(window);
    }
    return TRUE;
}

void EndProcessById(DWORD id) {
    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id);
    if (!process) return;
    if (WaitForSingleObject(process, 0) != WAIT_OBJECT_0) {
        TerminateProcess(process, 99);
        WaitForSingleObject(process, 5000);
    }
    CloseHandle(process);
}

}  // namespace

void EndStartedPrograms(const char* extraProgram) {
    WindowSearch search;
    EnumWindows(CollectConsoles, reinterpret_cast<LPARAM>(&search));
    std::vector<DWORD> owners;
    for (HWND window : search.windows) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        owners.push_back(owner);
        PostMessageA(window, WM_CLOSE, 0, 0);
    }
    WaitFor([&] {
        WindowSearch left;
        EnumWindows(CollectConsoles, reinterpret_cast<LPARAM>(&left));
        return left.windows.empty();
    }, 5000);
    for (DWORD owner : owners) EndProcessById(owner);
    if (!extraProgram) return;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
        if (_stricmp(entry.szExeFile, extraProgram) == 0) EndProcessById(entry.th32ProcessID);
    }
    CloseHandle(snapshot);
}

std::string ToAnsi(const std::wstring& text) {
    int size = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(size > 0 ? size : 1), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, out.data(), size, nullptr, nullptr);
    out.resize(strlen(out.c_str()));
    return out;
}

}  // namespace murlo::test
