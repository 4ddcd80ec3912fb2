#include "console_probe_client.h"

#include "wine_support.h"

namespace murlo::test {

bool ConsoleProbe::Attach(HWND consoleWindow) {
    Detach();
    console = consoleWindow;
    mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(murlo_probe::Result),
                                 murlo_probe::kResultMapping);
    if (!mapping) return false;
    result = static_cast<murlo_probe::Result*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof *result));
    library = LoadLibraryA(BinPath(murlo_probe::kLibraryName).c_str());
    auto procedure = library ? reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(
                                   GetProcAddress(library, murlo_probe::kHookName)))
                             : nullptr;
    DWORD thread = GetWindowThreadProcessId(consoleWindow, nullptr);
    if (procedure && thread) hook = SetWindowsHookExA(WH_CALLWNDPROC, procedure, library, thread);
    return result && hook;
}

void ConsoleProbe::Detach() {
    if (hook) UnhookWindowsHookEx(hook);
    if (library) FreeLibrary(library);
    if (result) UnmapViewOfFile(result);
    if (mapping) CloseHandle(mapping);
    hook = nullptr;
    library = nullptr;
    result = nullptr;
    mapping = nullptr;
}

bool ConsoleProbe::Ask(WPARAM request, LPARAM argument) {
    if (!result) return false;
    static const UINT message = RegisterWindowMessageA(murlo_probe::kRequestMessage);
    LONG before = result->serial;
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(console, message, request, argument, SMTO_NORMAL, 10000 * murlo::test::TimeScale(), &answer);
    return result->serial != before;
}

std::vector<murlo_probe::MenuItem> ConsoleProbe::MainMenu(int position, std::string* title) {
    if (!Ask(murlo_probe::kReadMainMenu, position)) return {};
    if (title) *title = result->text;
    return {result->items, result->items + result->count};
}

std::vector<murlo_probe::MenuItem> ConsoleProbe::TrackedMenu() {
    if (!Ask(murlo_probe::kReadTrackedMenu)) return {};
    return {result->items, result->items + result->count};
}

bool ConsoleProbe::FailWritableViews() { return Ask(murlo_probe::kFailWritableViews) && result->count == 1; }

UINT ItemState(const std::vector<murlo_probe::MenuItem>& items, UINT id) {
    for (const auto& item : items)
        if (item.id == id) return item.state;
    return ~0u;
}

}  // namespace murlo::test
