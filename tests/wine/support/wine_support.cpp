#include "wine_support.h"

#include <cstdlib>
#include <vector>

namespace murlo::test {

namespace {
constexpr char kKey[] = "Software\\OrlemApp\\Murlo";
}

std::string BinPath(const char* name) { return std::string(MURLO_BIN_DIR) + "/" + name; }

std::string WindowsPath(std::string path) {
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    return !path.empty() && path[0] == '\\' ? "Z:" + path : path;
}

DWORD TimeScale() {
    static const DWORD scale = [] {
        char text[16] = {};
        DWORD length = GetEnvironmentVariableA("MURLO_TEST_TIME_SCALE", text, sizeof text);
        long value = length > 0 && length < sizeof text ? strtol(text, nullptr, 10) : 1;
        return value >= 1 && value <= 1000 ? static_cast<DWORD>(value) : 1;
    }();
    return scale;
}

bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs) {
    timeoutMs *= TimeScale();
    DWORD start = GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (GetTickCount() - start > timeoutMs) return condition();
        // Keep serving messages sent to windows of this thread while waiting.
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

void DeleteSettingsKey() { RegDeleteTreeA(HKEY_CURRENT_USER, kKey); }

static void SetValue(const char* name, DWORD type, const void* data, DWORD size) {
    HKEY key;
    if (RegCreateKeyA(HKEY_CURRENT_USER, kKey, &key) != ERROR_SUCCESS) return;
    RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
}

void SetSettingDword(const char* name, DWORD value) { SetValue(name, REG_DWORD, &value, 4); }
void SetSettingString(const char* name, const char* value) {
    SetValue(name, REG_SZ, value, static_cast<DWORD>(strlen(value) + 1));
}
void SetSettingBinary(const char* name, const void* data, DWORD size) {
    SetValue(name, REG_BINARY, data, size);
}

bool GetSettingRaw(const char* name, DWORD* type, std::string* data) {
    HKEY key;
    if (RegOpenKeyA(HKEY_CURRENT_USER, kKey, &key) != ERROR_SUCCESS) return false;
    DWORD size = 0;
    LONG result = RegQueryValueExA(key, name, nullptr, type, nullptr, &size);
    if (result == ERROR_SUCCESS) {
        data->assign(size, '\0');
        result = RegQueryValueExA(key, name, nullptr, type, reinterpret_cast<BYTE*>(data->data()), &size);
        data->resize(size);
    }
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

bool GetSettingDword(const char* name, DWORD* value) {
    DWORD type = 0;
    std::string data;
    if (!GetSettingRaw(name, &type, &data) || type != REG_DWORD || data.size() != 4) return false;
    memcpy(value, data.data(), 4);
    return true;
}

void SetWineVersionFor(const char* program, const char* version) {
    std::string path = std::string("Software\\Wine\\AppDefaults\\") + program;
    if (version == nullptr || *version == 0) {
        RegDeleteTreeA(HKEY_CURRENT_USER, path.c_str());
        return;
    }
    HKEY key;
    if (RegCreateKeyA(HKEY_CURRENT_USER, path.c_str(), &key) != ERROR_SUCCESS) return;
    RegSetValueExA(key, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version),
                   static_cast<DWORD>(strlen(version) + 1));
    RegCloseKey(key);
}

Process StartProcess(const std::string& program, const std::string& args, WORD show) {
    std::string commandLine = "\"" + program + "\"";
    if (!args.empty()) commandLine += " " + args;
    std::vector<char> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = show;
    PROCESS_INFORMATION info = {};
    Process process;
    if (CreateProcessA(program.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr,
                       nullptr, &startup, &info)) {
        CloseHandle(info.hThread);
        process.handle = info.hProcess;
        process.id = info.dwProcessId;
    }
    return process;
}

int WaitProcess(Process& process, DWORD timeoutMs) {
    if (!process.handle) return -1;
    bool ended = WaitFor([&] { return WaitForSingleObject(process.handle, 0) == WAIT_OBJECT_0; },
                         timeoutMs);
    if (!ended) return -1;
    DWORD code = 0;
    GetExitCodeProcess(process.handle, &code);
    return static_cast<int>(code);
}

void CloseProcess(Process& process) {
    if (process.handle) CloseHandle(process.handle);
    process = Process{};
}

HWND FindConsoleWindow() { return FindWindowA("MurloClass", nullptr); }

bool Console::Start(const std::string& args, WORD show) {
    process = StartProcess(BinPath("MURLO.EXE"), args, show);
    if (!process.handle) return false;
    WaitFor([&] {
        HWND found = FindConsoleWindow();
        DWORD owner = 0;
        if (found) GetWindowThreadProcessId(found, &owner);
        if (found && owner == process.id) window = found;
        return window != nullptr || WaitForSingleObject(process.handle, 0) == WAIT_OBJECT_0;
    });
    return window != nullptr;
}

HWND Console::View() const { return window ? GetDlgItem(window, 14) : nullptr; }

std::string Console::ViewText() const { return WindowText(View()); }

int Console::Close() {
    if (!process.handle) return 0;
    if (window && IsWindow(window)) PostMessageA(window, WM_CLOSE, 0, 0);
    int code = WaitProcess(process, 10000);
    if (code == -1 && WaitForSingleObject(process.handle, 0) != WAIT_OBJECT_0) {
        TerminateProcess(process.handle, 99);
        WaitForSingleObject(process.handle, 5000);
    }
    CloseProcess(process);
    window = nullptr;
    return code;
}

bool ReadFileBytes(const std::string& path, std::string* bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bytes->clear();
    char block[65536];
    DWORD got = 0;
    while (ReadFile(file, block, sizeof block, &got, nullptr) && got > 0) bytes->append(block, got);
    CloseHandle(file);
    return true;
}

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
}

std::string TempFolder() {
    char path[MAX_PATH] = {};
    GetTempPathA(sizeof path, path);
    return path;
}

std::set<std::string> RingFiles() {
    std::set<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((TempFolder() + "MUR*.tmp").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do names.insert(found.cFileName);
    while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

Selection GetViewSelection(HWND view) {
    auto packed = static_cast<DWORD>(SendMessageA(view, EM_GETSEL, 0, 0));
    return Selection{LOWORD(packed), HIWORD(packed)};
}

void SetViewSelection(HWND view, int start, int end) { SendMessageA(view, EM_SETSEL, start, end); }

std::string WindowText(HWND window) {
    if (!window) return {};
    LRESULT length = SendMessageA(window, WM_GETTEXTLENGTH, 0, 0);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    LRESULT copied = SendMessageA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(copied));
    return text;
}

LRESULT SendPayload(HWND window, const void* data, DWORD size) {
    COPYDATASTRUCT copy = {0, size, const_cast<void*>(data)};
    return SendMessageA(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy));
}

namespace {
struct DialogSearch {
    const char* caption;
    DWORD processId;
    HWND found;
};
BOOL CALLBACK MatchDialog(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<DialogSearch*>(lParam);
    char className[64] = {};
    GetClassNameA(window, className, sizeof className);
    if (strcmp(className, "#32770") != 0 || !IsWindowVisible(window)) return TRUE;
    if (search->processId) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner != search->processId) return TRUE;
    }
    if (WindowText(window) != search->caption) return TRUE;
    search->found = window;
    return FALSE;
}
}  // namespace

HWND FindDialog(const char* caption, DWORD processId) {
    DialogSearch search = {caption, processId, nullptr};
    EnumWindows(MatchDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string MessageBoxText(HWND box) { return WindowText(GetDlgItem(box, 0xFFFF)); }

void PressButton(HWND dialog, int id) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

bool StartReady(Console& console, const std::string& args, WORD show) {
    if (!console.Start(args, show)) return false;
    return WaitFor([&] { return IsWindowVisible(console.window) != FALSE; });
}

}  // namespace murlo::test
