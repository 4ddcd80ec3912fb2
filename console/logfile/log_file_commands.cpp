// The two File commands that put the console's output into files: "Log to
// File" (a toggle that opens and closes the log file) and "Save log" (the
// view's text in one go); the log-file dialog's hook and the filter list.
#include <cstddef>
#include <cstring>

#include "common/ansi_lead_byte.h"
#include "console/console_window.h"
#include "console/logfile/save_dialog_request.h"
#include "console/resources/resource.h"
#include "console/shell/constants.h"

#include <commctrl.h>

namespace murlo {

static_assert(kOfnOverwritePrompt == OFN_OVERWRITEPROMPT && kOfnHideReadOnly == OFN_HIDEREADONLY &&
              kOfnEnableHook == OFN_ENABLEHOOK && kOfnEnableTemplate == OFN_ENABLETEMPLATE &&
              kOfnPathMustExist == OFN_PATHMUSTEXIST && kOfnExplorer == OFN_EXPLORER);

namespace {

// The request record without its three trailing fields (the SDK's
// OPENFILENAME_SIZE_VERSION_400A, which is not a constant expression).
constexpr DWORD kShortRequestSize =
    offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(OPENFILENAMEA::lpTemplateName);
#ifndef _WIN64
// The two request sizes of the 32-bit platform.
static_assert(kShortRequestSize == 76 && sizeof(OPENFILENAMEA) == 88);
#endif

constexpr size_t kFilterSize = 128;
constexpr UINT kMaxSpinKB = 0x7fff;

SaveDialogPlatform DialogPlatform() {
    const PlatformInfo& platform = g_console.platform;
    return SaveDialogPlatform{platform.hasNewShell, platform.isNT5, platform.isWinMe};
}

// Fills the save dialog's request; every field not named stays zero.
void FillSaveRequest(OPENFILENAMEA& request, const SaveDialogRequest& plan, ConsoleWindow& console,
                     const char* filter, char* fileName) {
    std::memset(&request, 0, sizeof request);
    // The shorter form ends before the trailing fields that older platforms reject.
    request.lStructSize = plan.fullSize ? sizeof(OPENFILENAMEA) : kShortRequestSize;
    request.hwndOwner = console.mainWindow;
    request.lpstrFilter = filter;
    request.lpstrFile = fileName;
    request.nMaxFile = MAX_PATH;
    request.Flags = plan.flags;
    request.lpstrDefExt = kDefaultExtension;
    if (plan.hooked) {
        request.hInstance = g_console.resourceModule;
        request.lCustData = reinterpret_cast<LPARAM>(&console);
        request.lpfnHook = LogFileDialogHook;
        request.lpTemplateName = MAKEINTRESOURCEA(plan.templateId);
    }
}

ConsoleWindow* DialogConsole(HWND dialog) {
    return reinterpret_cast<ConsoleWindow*>(GetWindowLongPtrA(dialog, GWLP_USERDATA));
}

bool IsFileOkNotification(UINT message, LPARAM lParam) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    return message == WM_NOTIFY && header != nullptr && header->code == static_cast<UINT>(CDN_FILEOK);
}

// The size limit and the no-display box, as confirmed.
void TakeDialogValues(HWND dialog) {
    ConsoleWindow* console = DialogConsole(dialog);
    if (!console) return;
    console->log.displayToWindow = IsDlgButtonChecked(dialog, IDC_NO_DISPLAY) != BST_CHECKED;
    console->options.maxLogKB = GetDlgItemInt(dialog, IDC_MAX_SIZE, nullptr, FALSE);
}

}  // namespace

void LoadFilterString(UINT id, char* buffer) {
    std::memset(buffer, 0, kFilterSize);
    LoadStringA(g_console.resourceModule, id, buffer, kFilterSize);
    MakeFilterList(buffer, kFilterSize, IsAnsiLeadByte);
}

UINT_PTR CALLBACK LogFileDialogHook(HWND dialog, UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        const auto* request = reinterpret_cast<const OPENFILENAMEA*>(lParam);
        SetWindowLongPtrA(dialog, GWLP_USERDATA, request ? request->lCustData : 0);
        ConsoleWindow* console = DialogConsole(dialog);
        if (!console) return 0;
        if (HWND spin = GetDlgItem(dialog, IDC_MAX_SIZE_SPIN)) {
            SendMessageA(spin, UDM_SETRANGE, 0, MAKELPARAM(kMaxSpinKB, 0));
            SendMessageA(spin, UDM_SETPOS, 0, MAKELPARAM(LOWORD(console->options.maxLogKB), 0));
        }
        // Written after the spin control, which shows its own (clamped)
        // position in the field: the size offered is the one last confirmed.
        SetDlgItemInt(dialog, IDC_MAX_SIZE, console->options.maxLogKB, FALSE);
    } else if ((message != 0 && message == g_console.fileNameOkMessage) || IsFileOkNotification(message, lParam)) {
        // Some platforms send only one of the two; where both come, the
        // second takes the same values again.
        TakeDialogValues(dialog);
        // A notification's answer is the dialog's message result: 0 accepts.
        if (message == WM_NOTIFY) SetWindowLongPtrA(dialog, DWLP_MSGRESULT, 0);
    }
    // The file name is always accepted.
    return 0;
}

namespace {

// Shows a save dialog with the capture stopped around it (RestartCapture
// starts it again); true when the user confirmed a name and the console
// was not closed meanwhile.
bool AskSaveFileName(ConsoleWindow& console, const SaveDialogRequest& plan, char* fileName) {
    char filter[kFilterSize];
    LoadFilterString(IDS_FILTER, filter);
    OPENFILENAMEA request;
    FillSaveRequest(request, plan, console, filter, fileName);
    StopDebugMonitorForDialog(console.capture);
    return GetSaveFileNameA(&request) && !console.windowDestroyed;
}

// A console closed while the dialog or a message box was up has stopped
// the capture for good.
void RestartCapture(ConsoleWindow& console) {
    if (!console.windowDestroyed && g_console.platform.isNT) StartDebugMonitor(console.capture, console.windowDestroyed);
}

}  // namespace

void LogToFileCommand(ConsoleWindow& console) {
    if (console.log.file) {
        CloseLogFile(console.log, console.options.maxLogKB, console.mainWindow);
        return;
    }
    char fileName[MAX_PATH] = {};
    if (AskSaveFileName(console, LogFileDialogRequest(DialogPlatform()), fileName))
        OpenLogFile(console.log, console.options.maxLogKB, console.mainWindow, fileName);
    RestartCapture(console);
}

void OpenLogFile(LogOutput& log, uint32_t maxLogKB, HWND owner, const char* fileName) {
    // Binary: the texts reach the stream already in the file's CR LF form.
    log.file = std::fopen(fileName, "wb");
    if (!log.file) {
        // The dialog's no-display choice holds only while a log file takes
        // the text; without one the text would go nowhere. Set before the
        // message box, whose loop may hand the window the next record.
        log.displayToWindow = true;
        ShowResourceMessage(owner, IDS_CANT_CREATE_FILE, MB_ICONERROR);
    } else if (maxLogKB != 0) {
        OpenRingStore(log.ring, maxLogKB);
    }
}

void CloseLogFile(LogOutput& log, uint32_t maxLogKB, HWND owner) {
    if (!log.file) return;
    if (maxLogKB != 0) CloseRingStore(log, owner);  // writes the ring's lines into the open stream
    std::fclose(log.file);
    log.displayToWindow = true;
    log.file = nullptr;
    log.unflushed = false;
}

void SaveLogCommand(ConsoleWindow& console) {
    char fileName[MAX_PATH] = {};
    if (AskSaveFileName(console, SaveLogDialogRequest(DialogPlatform()), fileName))
        SaveViewText(console.log, console.viewWindow, console.mainWindow, fileName);
    RestartCapture(console);
}

void SaveViewText(const LogOutput& log, HWND view, HWND owner, const char* fileName) {
    HANDLE file = CreateFileA(fileName, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        ShowResourceMessage(owner, IDS_CANT_CREATE_FILE, MB_ICONERROR);
        return;
    }
    char* text = log.saveBuffer;
    if (text) {
        // At most 0x7000 - 1 characters and the NUL.
        GetWindowTextA(view, text, kSaveBufferSize);
        DWORD written = 0;
        WriteFile(file, text, static_cast<DWORD>(strnlen(text, kSaveBufferSize)), &written, nullptr);
    }
    CloseHandle(file);
}

}  // namespace murlo
