// Resource module, single instance, command line, class registration and
// platform detection.
#include "console/shell/startup.h"

#include <commctrl.h>

#include <cstdlib>
#include <cstring>

#include "console/console_window.h"
#include "console/resources/resource.h"
#include "console/shell/command_line.h"
#include "console/shell/constants.h"
#include "console/shell/platform_version.h"
#include "console/shell/settings_store.h"

namespace murlo {

bool CheckRunningConsole(uint32_t& options) {
    g_console.platform.japaneseUi = PRIMARYLANGID(GetUserDefaultLangID()) == LANG_JAPANESE;
    // A missing Japanese library leaves a null module, which the resource
    // functions take as the program itself.
    g_console.resourceModule = g_console.platform.japaneseUi ? LoadLibraryA(kJapaneseResourceLibrary)
                                                             : g_console.programInstance;
    HWND running = FindWindowA(kConsoleClassName, nullptr);
    StartDecision decision = DecideStart(__argc, __argv, running != nullptr);
    options = decision.options;
    switch (decision.action) {
    case StartAction::kClearRunning:
        SendMessageA(running, WM_COMMAND, MAKEWPARAM(IDM_CLEAR, 0), 0);
        return false;
    case StartAction::kInvalidOption:
        ShowResourceMessage(running, IDS_INVALID_COMMAND_OPTION, MB_ICONERROR);
        return false;
    case StartAction::kBringForward:
        SetForegroundWindow(running);
        return false;
    case StartAction::kStartNew:
        break;
    }
    return true;
}

void RegisterAndDetectPlatform() {
    InitCommonControls();
    RegisterConsoleClass();
    {
        char path[MAX_PATH] = {};
        GetModuleFileNameA(g_console.programInstance, path, sizeof path);
        path[sizeof path - 1] = '\0';
        RegistryKey key;
        key.Open();
        key.WriteString(kValueMurloPath, path);
    }
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    if (GetVersionExA(&version)) {
        PlatformFlags flags = FlagsFromVersion(version.dwPlatformId, version.dwMajorVersion, version.dwMinorVersion);
        g_console.platform.hasNewShell = flags.hasNewShell;
        g_console.platform.isNT = flags.isNT;
        g_console.platform.isNT5 = flags.isNT5;
        g_console.platform.isWinMe = flags.isWinMe;
    }
}

}  // namespace murlo
