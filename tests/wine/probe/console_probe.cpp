// The hook procedure of the console probe (see console_probe.h). It runs on
// the console's user-interface thread, inside the console's process.
#include "probe/console_probe.h"

#include <commctrl.h>
#include <commdlg.h>

#include "console/resources/resource.h"

#include <cstring>

namespace murlo_probe {
namespace {

// Stands in for MapViewOfFile in the console's import table: a writable
// view fails as when the address space has no room for it (the ring of a
// size-limited log file); read-only views (the debug channel's buffer) are
// mapped as usual.
LPVOID WINAPI FailingMapViewOfFile(HANDLE mapping, DWORD access, DWORD offsetHigh, DWORD offsetLow, SIZE_T size) {
    if (access & FILE_MAP_WRITE) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    return MapViewOfFile(mapping, access, offsetHigh, offsetLow, size);
}

// Points the program's import of name from library at replacement. The
// probe then stays loaded for the process's life, since the import table
// refers to its code.
bool ReplaceImport(const char* library, const char* name, void* replacement) {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (directory.VirtualAddress == 0) return false;
    for (auto* entry = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress); entry->Name;
         ++entry) {
        if (lstrcmpiA(reinterpret_cast<const char*>(base + entry->Name), library) != 0) continue;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->OriginalFirstThunk);
        auto* addresses = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++addresses) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (lstrcmpA(reinterpret_cast<const char*>(byName->Name), name) != 0) continue;
            HMODULE self = nullptr;
            GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                               reinterpret_cast<LPCSTR>(replacement), &self);
            DWORD protection = 0;
            if (!VirtualProtect(&addresses->u1.Function, sizeof addresses->u1.Function, PAGE_READWRITE, &protection))
                return false;
            addresses->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
            VirtualProtect(&addresses->u1.Function, sizeof addresses->u1.Function, protection, &protection);
            return true;
        }
    }
    return false;
}


void ReadItems(HMENU menu, Result& result) {
    int count = menu ? GetMenuItemCount(menu) : 0;
    result.count = 0;
    for (int i = 0; i < count && i < 32; ++i) {
        MenuItem& item = result.items[result.count++];
        item.id = GetMenuItemID(menu, i);
        item.state = GetMenuState(menu, i, MF_BYPOSITION);
        GetMenuStringA(menu, i, item.text, sizeof item.text, MF_BYPOSITION);
    }
}

void Answer(HWND window, WPARAM request, LPARAM argument, Result& result) {
    memset(&result.items, 0, sizeof result.items);
    result.count = 0;
    result.text[0] = '\0';
    switch (request) {
    case kReadMainMenu: {
        HMENU bar = GetMenu(window);
        HMENU popup = GetSubMenu(bar, static_cast<int>(argument));
        GetMenuStringA(bar, static_cast<UINT>(argument), result.text, sizeof result.text, MF_BYPOSITION);
        if (popup) SendMessageA(window, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), MAKELPARAM(argument, FALSE));
        ReadItems(popup, result);
        break;
    }
    case kReadTrackedMenu: {
        HWND popupWindow = FindWindowA("#32768", nullptr);
        HMENU menu = popupWindow ? reinterpret_cast<HMENU>(SendMessageA(popupWindow, MN_GETHMENU, 0, 0)) : nullptr;
        ReadItems(menu, result);
        EndMenu();
        break;
    }
    case kReadStatus: {
        HWND status = GetDlgItem(window, IDC_STATUS);
        result.statusSimple = static_cast<BOOL>(SendMessageA(status, SB_ISSIMPLE, 0, 0));
        char text[sizeof result.text] = {};
        // The low word is the length; the high word holds the drawing type.
        if (LOWORD(SendMessageA(status, SB_GETTEXTLENGTHA, 0, 0)) < sizeof text - 1)
            SendMessageA(status, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
        memcpy(result.text, text, sizeof text);
        break;
    }
    case kReadCharFormat: {
        memset(&result.format, 0, sizeof result.format);
        result.format.cbSize = sizeof result.format;
        SendMessageA(GetDlgItem(window, IDC_VIEW), EM_GETCHARFORMAT, static_cast<WPARAM>(argument),
                     reinterpret_cast<LPARAM>(&result.format));
        break;
    }
    case kSendFileOk: {
        // WM_NOTIFY carries a pointer, so it is sent from inside the console.
        auto hookDialog = reinterpret_cast<HWND>(argument);
        OFNOTIFYA notify = {};
        notify.hdr.hwndFrom = GetParent(hookDialog);
        notify.hdr.code = CDN_FILEOK;
        SendMessageA(hookDialog, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&notify));
        break;
    }
    case kFailWritableViews:
        result.count = ReplaceImport("kernel32.dll", "MapViewOfFile", reinterpret_cast<void*>(FailingMapViewOfFile));
        break;
    default: break;
    }
}

}  // namespace
}  // namespace murlo_probe

extern "C" __declspec(dllexport) LRESULT CALLBACK ProbeHook(int code, WPARAM wParam, LPARAM lParam) {
    using namespace murlo_probe;
    static const UINT requestMessage = RegisterWindowMessageA(kRequestMessage);
    auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && message && message->message == requestMessage) {
        if (HANDLE mapping = OpenFileMappingA(FILE_MAP_WRITE, FALSE, kResultMapping)) {
            if (auto* result = static_cast<Result*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(Result)))) {
                Answer(message->hwnd, message->wParam, message->lParam, *result);
                InterlockedIncrement(&result->serial);
                UnmapViewOfFile(result);
            }
            CloseHandle(mapping);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
