// WM_CREATE of the main window: toolbar, status bar and view, buffers,
// font and colours, the debug monitor, transparency and the wheel.
#include "console/console_window.h"

#include <commctrl.h>
#include <richedit.h>
#include <shlwapi.h>

#include <cstring>

#include "console/resources/resource.h"
#include "console/shell/constants.h"
#include "console/shell/font_math.h"
#include "console/shell/platform_version.h"
#include "console/shell/settings_store.h"

namespace murlo {

#ifndef _WIN64
static_assert(sizeof(LOGFONTA) == 60);
static_assert(sizeof(CHARFORMATA) == 60);
static_assert(sizeof(TBBUTTON) == 20);
static_assert(sizeof(OSVERSIONINFOA) == 148);
#endif
static_assert(sizeof(DLLVERSIONINFO) == 20);

namespace {

// Common controls versions as major << 16 | minor.
constexpr DWORD kDefaultCommonControlsVersion = 4 << 16;  // 4.0
constexpr DWORD kFlatToolbarVersion = 4 << 16 | 70;      // 4.70
constexpr DWORD kToolbarStyle = WS_CHILD | WS_VISIBLE | TBSTYLE_TOOLTIPS;
constexpr DWORD kStatusStyle = WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP | CCS_BOTTOM;
constexpr DWORD kViewStyle = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_AUTOVSCROLL |
                             ES_AUTOHSCROLL | ES_NOHIDESEL | ES_READONLY | ES_NOOLEDRAGDROP | ES_DISABLENOSCROLL;
constexpr int kStandardImageCount = 11;
constexpr int kViewTopOffset = 30;
constexpr DWORD kCharFormatMask =
    CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT | CFM_SIZE | CFM_COLOR | CFM_FACE | CFM_CHARSET;
constexpr LONG kBoldWeight = FW_NORMAL;  // heavier than normal shows bold

DWORD CommonControlsVersion() {
    HMODULE library = GetModuleHandleA(kCommonControlsLibrary);
    auto getVersion = library ? reinterpret_cast<DLLGETVERSIONPROC>(
                                    reinterpret_cast<void*>(GetProcAddress(library, kDllGetVersionName)))
                              : nullptr;
    if (!getVersion) return kDefaultCommonControlsVersion;
    DLLVERSIONINFO info = {};
    info.cbSize = sizeof info;
    if (FAILED(getVersion(&info))) return kDefaultCommonControlsVersion;
    return (info.dwMajorVersion << 16) | (info.dwMinorVersion & 0xFFFF);
}

char* AllocateZeroed(size_t size) {
    return static_cast<char*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size));
}

bool GetPlatformVersion(OSVERSIONINFOA& version) {
    memset(&version, 0, sizeof version);
    version.dwOSVersionInfoSize = sizeof version;
    return GetVersionExA(&version) != FALSE;
}

// The stored font with the fixed face name, written back.
LOGFONTA LoadViewFont(const RegistryKey& key) {
    LOGFONTA font = ReadStoredFont(key, g_console.platform.hasNewShell);
    static_assert(sizeof kFixedFaceName <= sizeof font.lfFaceName);
    memset(font.lfFaceName, 0, sizeof font.lfFaceName);
    memcpy(font.lfFaceName, kFixedFaceName, sizeof kFixedFaceName);
    key.WriteBinary(kValueFont, &font, sizeof font);
    return font;
}

}  // namespace

bool ConsoleWindow::OnCreate() {
    HINSTANCE instance = g_console.programInstance;
    // The common controls version, the debug monitor's target window and the registered messages.
    g_console.commonControlsVersion = CommonControlsVersion();
    g_console.consoleTarget = mainWindow;
    g_console.pauseMessage = RegisterWindowMessageA(kPauseMessageName);
    g_console.fileNameOkMessage = RegisterWindowMessageA(kFileNameOkMessageName);
    g_console.findReplaceMessage = RegisterWindowMessageA(kFindReplaceMessageName);

    // The render buffer.
    render.capacity = kRenderBufferInitialSize;
    render.buffer = AllocateZeroed(render.capacity);
    if (!render.buffer) {
        ShowResourceMessage(mainWindow, IDS_NOT_ENOUGH_MEMORY, MB_ICONERROR);
        return false;
    }

    // The toolbar, then the Start-log button from the program's own bitmap in front.
    TBBUTTON buttons[5] = {
        {0, 0, TBSTATE_ENABLED, TBSTYLE_SEP, {}, 0, 0},
        {STD_FILESAVE, IDM_SAVE_LOG, TBSTATE_ENABLED, TBSTYLE_BUTTON, {}, 0, 0},
        {0, 0, TBSTATE_ENABLED, TBSTYLE_SEP, {}, 0, 0},
        {STD_COPY, IDM_COPY, TBSTATE_ENABLED, TBSTYLE_BUTTON, {}, 0, 0},
        {STD_DELETE, IDM_CLEAR, TBSTATE_ENABLED, TBSTYLE_BUTTON, {}, 0, 0},
    };
    DWORD toolbarStyle =
        kToolbarStyle | (g_console.commonControlsVersion >= kFlatToolbarVersion ? TBSTYLE_FLAT : 0);
    toolbarWindow = CreateToolbarEx(mainWindow, toolbarStyle, IDC_TOOLBAR, kStandardImageCount, HINST_COMMCTRL,
                                    IDB_STD_SMALL_COLOR, buttons, 5, 0, 0, 16, 16, sizeof(TBBUTTON));
    if (!toolbarWindow) return false;
    TBADDBITMAP startImage = {instance, IDB_START_LOG};
    LRESULT image = SendMessageA(toolbarWindow, TB_ADDBITMAP, 1, reinterpret_cast<LPARAM>(&startImage));
    TBBUTTON startButton = {static_cast<int>(image), IDM_START_LOG, TBSTATE_ENABLED, TBSTYLE_BUTTON, {}, 0, 0};
    SendMessageA(toolbarWindow, TB_INSERTBUTTONA, 0, reinterpret_cast<LPARAM>(&startButton));

    // The status bar.
    statusWindow = CreateStatusWindowA(kStatusStyle, "", mainWindow, IDC_STATUS);
    if (!statusWindow) return false;

    // The view, its text limit and its wrapping.
    RECT client = {};
    GetClientRect(mainWindow, &client);
    DWORD viewStyle = kViewStyle | (options.leftSpace ? ES_SELECTIONBAR : 0);
    viewWindow = CreateWindowExA(WS_EX_CLIENTEDGE, g_console.platform.richEdit2 ? kRichEdit20Class : kRichEdit10Class,
                                 "", viewStyle, 0, kViewTopOffset, client.right, client.bottom, mainWindow,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_VIEW)), instance, nullptr);
    if (!viewWindow) return false;
    HookViewQueue(*this);
    SendMessageA(viewWindow, EM_EXLIMITTEXT, 0, kViewTextLimit);
    SendMessageA(viewWindow, EM_SETTARGETDEVICE, 0, options.wrapToWindow ? 0 : 1);

    // The save buffer.
    log.saveBuffer = AllocateZeroed(kSaveBufferSize);
    if (!log.saveBuffer) {
        ShowResourceMessage(mainWindow, IDS_NOT_ENOUGH_MEMORY, MB_ICONERROR);
        return false;
    }

    // Font, text and background colours.
    {
        RegistryKey key;
        key.Open();
        LOGFONTA font = LoadViewFont(key);
        HDC context = GetDC(mainWindow);
        g_console.platform.pixelsPerInchY = GetDeviceCaps(context, LOGPIXELSY);
        ReleaseDC(mainWindow, context);
        ApplyViewFont(viewWindow, font, key.ReadDword(kValueTextColor, GetSysColor(COLOR_WINDOWTEXT)));
        SendMessageA(viewWindow, EM_SETBKGNDCOLOR, 0, key.ReadDword(kValueBackColor, GetSysColor(COLOR_BTNFACE)));
    }

    // The debug monitor, on NT only.
    OSVERSIONINFOA version;
    bool haveVersion = GetPlatformVersion(version);
    if (haveVersion && version.dwPlatformId == VER_PLATFORM_WIN32_NT) StartDebugMonitor(capture, windowDestroyed);

    // Transparency at start, only on NT 5 and only when not opaque; the
    // same routine as the transparency commands.
    if (g_console.platform.isNT5 && options.transparent && options.alpha != 255) ApplyTransparency(options, mainWindow);

    // Wheel lines from the platform, or from the old wheel driver.
    if (haveVersion && HasSystemWheelSupport(version.dwPlatformId, version.dwMajorVersion, version.dwMinorVersion)) {
        SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &g_console.wheelScrollLines, 0);
    } else if (HWND driver = FindWindowA(kWheelDriverClass, kWheelDriverTitle)) {
        g_console.wheelRollMessage = RegisterWindowMessageA(kWheelRollMessageName);
        g_console.scrollLinesMessage = RegisterWindowMessageA(kScrollLinesMessageName);
        if (g_console.scrollLinesMessage)
            g_console.wheelScrollLines =
                static_cast<UINT>(SendMessageA(driver, g_console.scrollLinesMessage, 0, 0));
    }
    return true;
}

void ApplyViewFont(HWND view, const LOGFONTA& font, COLORREF color) {
    CHARFORMATA format = {};
    format.cbSize = sizeof format;
    format.dwMask = kCharFormatMask;
    format.dwEffects = (font.lfWeight > kBoldWeight ? CFE_BOLD : 0) | (font.lfItalic ? CFE_ITALIC : 0) |
                       (font.lfUnderline ? CFE_UNDERLINE : 0) | (font.lfStrikeOut ? CFE_STRIKEOUT : 0);
    format.yHeight = TwipsFromFontHeight(font.lfHeight, g_console.platform.pixelsPerInchY);
    format.crTextColor = color;
    format.bCharSet = font.lfCharSet;
    format.bPitchAndFamily = font.lfPitchAndFamily;
    static_assert(sizeof format.szFaceName == sizeof font.lfFaceName);
    memcpy(format.szFaceName, font.lfFaceName, sizeof format.szFaceName);
    format.szFaceName[sizeof format.szFaceName - 1] = '\0';
    SendMessageA(view, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
}

}  // namespace murlo
