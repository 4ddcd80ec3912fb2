// Appearance commands: font and text colour, background colour,
// transparency, top-most, wrapping, the selection margin, About and Help.
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <richedit.h>

#include <cstring>

#include "console/commands/appearance_rules.h"
#include "console/commands/menu_state.h"
#include "console/console_window.h"
#include "console/resources/resource.h"
#include "console/shell/constants.h"
#include "console/shell/settings_store.h"

namespace murlo {

#ifndef _WIN64
static_assert(sizeof(CHOOSEFONTA) == 60);
static_assert(sizeof(CHOOSECOLORA) == 36);
#endif
static_assert(sizeof(LOGFONTA) == 60);
static_assert(sizeof(ConsoleWindow::customColors) == 64);

namespace {

constexpr DWORD kFontDialogFlags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_EFFECTS;
constexpr DWORD kColorDialogFlags = CC_RGBINIT | CC_ANYCOLOR;
constexpr DWORD kSelectionBarOff = ~DWORD(ECO_SELECTIONBAR);
constexpr int kSmallIconSize = 16;

using SetLayeredProc = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);

// Bound at run time: the console must start where user32 lacks it.
SetLayeredProc SetLayeredFunction() {
    HMODULE user = GetModuleHandleA(kUserLibrary);
    if (!user) return nullptr;
    return reinterpret_cast<SetLayeredProc>(
        reinterpret_cast<void*>(GetProcAddress(user, kSetLayeredWindowAttributesName)));
}

// The dialogs' small icon, owned by the dialog until it is destroyed.
void SetDialogIcon(HWND dialog) {
    auto icon = static_cast<HICON>(LoadImageA(g_console.programInstance, MAKEINTRESOURCEA(IDI_MURLO),
                                              IMAGE_ICON, kSmallIconSize, kSmallIconSize, LR_DEFAULTCOLOR));
    if (icon) SendMessageA(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

void DestroyDialogIcon(HWND dialog) {
    auto icon = reinterpret_cast<HICON>(SendMessageA(dialog, WM_SETICON, ICON_SMALL, 0));
    if (icon) DestroyIcon(icon);
}

INT_PTR CALLBACK TransparencyDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        SetWindowLongPtrA(dialog, GWLP_USERDATA, lParam);
        auto* console = reinterpret_cast<ConsoleWindow*>(lParam);
        CenterOnConsole(dialog);
        SetDialogIcon(dialog);
        HWND trackbar = GetDlgItem(dialog, IDC_TRANSPARENCY_TRACKBAR);
        SendMessageA(trackbar, TBM_SETRANGE, TRUE, MAKELPARAM(0, 255));
        SendMessageA(trackbar, TBM_SETTICFREQ, 32, 0);
        SendMessageA(trackbar, TBM_SETLINESIZE, 0, 4);
        SendMessageA(trackbar, TBM_SETPAGESIZE, 0, 32);
        SendMessageA(trackbar, TBM_SETPOS, TRUE, TrackbarFromAlpha(console->options.alpha));
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            auto* console = reinterpret_cast<ConsoleWindow*>(GetWindowLongPtrA(dialog, GWLP_USERDATA));
            LRESULT position = SendDlgItemMessageA(dialog, IDC_TRANSPARENCY_TRACKBAR, TBM_GETPOS, 0, 0);
            if (console) console->options.alpha = AlphaFromTrackbar(position);
            EndDialog(dialog, 1);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, 1);
            return TRUE;
        }
        return FALSE;
    case WM_DESTROY:
        DestroyDialogIcon(dialog);
        return FALSE;
    default:
        return FALSE;
    }
}

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        CenterOnConsole(dialog);
        SetDialogIcon(dialog);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        }
        return FALSE;
    case WM_DESTROY:
        DestroyDialogIcon(dialog);
        return FALSE;
    default:
        return FALSE;
    }
}

}  // namespace

void FontCommand(ConsoleWindow& console) {
    LOGFONTA font;
    COLORREF color;
    {
        RegistryKey key;
        key.Open();
        font = ReadStoredFont(key, g_console.platform.hasNewShell);
        color = key.ReadDword(kValueTextColor, GetSysColor(COLOR_WINDOWTEXT));
    }
    char style[256] = {};
    CHOOSEFONTA request = {};
    request.lStructSize = sizeof request;
    request.hwndOwner = console.mainWindow;
    request.lpLogFont = &font;
    request.iPointSize = FontPointSize(font.lfHeight, g_console.platform.pixelsPerInchY);
    request.Flags = kFontDialogFlags;
    request.rgbColors = color;
    request.lpszStyle = style;
    request.nFontType = SCREEN_FONTTYPE;
    // A console closed while the dialog was up was destroyed in its loop.
    if (!ChooseFontA(&request) || console.windowDestroyed) return;
    {
        RegistryKey key;
        key.Open();
        key.WriteBinary(kValueFont, &font, sizeof font);
        key.WriteDword(kValueTextColor, request.rgbColors);
    }
    ApplyViewFont(console.viewWindow, font, request.rgbColors);
}

void BackColorCommand(ConsoleWindow& console) {
    COLORREF color;
    {
        RegistryKey key;
        key.Open();
        color = key.ReadDword(kValueBackColor, GetSysColor(COLOR_BTNFACE));
        // A shorter stored list replaces only the colours it holds.
        COLORREF stored[16] = {};
        DWORD bytes = key.ReadBinary(kValueUserDefinedColor, stored, sizeof stored);
        memcpy(console.customColors, stored, bytes);
    }
    CHOOSECOLORA request = {};
    request.lStructSize = sizeof request;
    request.hwndOwner = console.mainWindow;
    request.rgbResult = color;
    request.lpCustColors = console.customColors;
    request.Flags = kColorDialogFlags;
    if (!ChooseColorA(&request) || console.windowDestroyed) return;
    {
        RegistryKey key;
        key.Open();
        key.WriteDword(kValueBackColor, request.rgbResult);
        key.WriteBinary(kValueUserDefinedColor, console.customColors, sizeof console.customColors);
    }
    SendMessageA(console.viewWindow, EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(request.rgbResult));
}

void ApplyTransparency(const ViewOptions& options, HWND mainWindow) {
    if (!g_console.platform.isNT5) return;
    SetLayeredProc setLayered = SetLayeredFunction();
    if (!setLayered) return;
    LONG_PTR exStyle = GetWindowLongPtrA(mainWindow, GWL_EXSTYLE);
    if (options.transparent && options.alpha != 255) {
        SetWindowLongPtrA(mainWindow, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
        setLayered(mainWindow, 0, options.alpha, LWA_ALPHA);
    } else {
        setLayered(mainWindow, 0, options.alpha, LWA_ALPHA);
        SetWindowLongPtrA(mainWindow, GWL_EXSTYLE, exStyle & ~LONG_PTR(WS_EX_LAYERED));
    }
}

void TransparentCommand(ViewOptions& options, HWND mainWindow) {
    options.transparent = Toggled(options.transparent);
    if (g_console.platform.isNT5) ApplyTransparency(options, mainWindow);
}

void TransparencyCommand(ConsoleWindow& console) {
    if (!g_console.platform.isNT5) return;
    INT_PTR result = DialogBoxParamA(g_console.resourceModule, MAKEINTRESOURCEA(IDD_TRANSPARENCY),
                                     console.mainWindow, TransparencyDialogProc, reinterpret_cast<LPARAM>(&console));
    if (result == 1 && !console.windowDestroyed) ApplyTransparency(console.options, console.mainWindow);
}

void TopMostCommand(ViewOptions& options, HWND mainWindow) {
    options.topMost = Toggled(options.topMost);
    SetWindowPos(mainWindow, options.topMost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void WrapCommand(ViewOptions& options, HWND view) {
    options.wrapToWindow = Toggled(options.wrapToWindow);
    SendMessageA(view, EM_SETTARGETDEVICE, 0, options.wrapToWindow ? 0 : 1);
}

void LeftSpaceCommand(ViewOptions& options, HWND view) {
    options.leftSpace = Toggled(options.leftSpace);
    if (options.leftSpace)
        SendMessageA(view, EM_SETOPTIONS, ECOOP_OR, ECO_SELECTIONBAR);
    else
        SendMessageA(view, EM_SETOPTIONS, ECOOP_AND, kSelectionBarOff);
}

void AboutCommand(HWND owner) {
    DialogBoxParamA(g_console.resourceModule, MAKEINTRESOURCEA(IDD_ABOUT), owner, AboutDialogProc, 0);
}

void HelpCommand(HWND owner) {
    char program[MAX_PATH] = {};
    DWORD length = GetModuleFileNameA(g_console.programInstance, program, sizeof program);
    // A cut path (length equal to the buffer) may lack its terminator.
    if (length == 0 || length >= sizeof program) return;
    char help[MAX_PATH];
    if (!HelpFilePath(program, kHelpExtension, help, sizeof help)) return;
    WinHelpA(owner, help, HELP_CONTENTS, 0);
}

void CenterOnConsole(HWND dialog) {
    RECT console = {}, box = {};
    GetWindowRect(g_console.consoleTarget, &console);
    GetWindowRect(dialog, &box);
    const int32_t outer[4] = {console.left, console.top, console.right, console.bottom};
    const int32_t inner[4] = {box.left, box.top, box.right, box.bottom};
    Point32 origin = CenteredOrigin(outer, inner);
    SetWindowPos(dialog, nullptr, origin.x, origin.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

}  // namespace murlo
