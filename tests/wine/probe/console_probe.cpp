// The hook procedure of the console probe (see console_probe.h). It runs on
// the console's user-interface thread, inside the console's process.
#include "probe/console_probe.h"

#include <commctrl.h>
#include <commdlg.h>

#include "console/resources/resource.h"

#include <cstring>

namespace murlo_probe {
namespace {


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
