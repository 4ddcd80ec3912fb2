// What the two save dialogs ask of the platform, by platform, and the
// filter list they show. Portable: log_file_commands.cpp fills the
// platform's request record from it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/lead_byte.h"

namespace murlo {

// The save-dialog flags used here, with the platform's values
// (log_file_commands.cpp checks them against <commdlg.h>).
constexpr uint32_t kOfnOverwritePrompt = 0x00000002;
constexpr uint32_t kOfnHideReadOnly = 0x00000004;
constexpr uint32_t kOfnEnableHook = 0x00000020;
constexpr uint32_t kOfnEnableTemplate = 0x00000040;
constexpr uint32_t kOfnPathMustExist = 0x00000800;
constexpr uint32_t kOfnExplorer = 0x00080000;

struct SaveDialogPlatform {
    bool hasNewShell;  // explorer-style dialog with a child template
    bool isNT5;
    bool isWinMe;
};

struct SaveDialogRequest {
    bool fullSize;        // the request record with its trailing fields (88 bytes in 32-bit)
    uint32_t flags;
    bool hooked;          // the hook, the template, the resource module and the ConsoleWindow
    uint16_t templateId;  // 0 when hooked is false
};

// "Log to File": the hooked dialog with template 1000 (explorer style) or 1002.
SaveDialogRequest LogFileDialogRequest(const SaveDialogPlatform& platform);
// "Save log": the plain dialog.
SaveDialogRequest SaveLogDialogRequest(const SaveDialogPlatform& platform);

// Turns the string in buffer (size bytes, NUL-terminated within them) into
// a filter list in place: every single-byte '|' becomes NUL, a double-byte
// character is passed over whole. The list always ends with two NULs within
// the buffer: a string that fills it loses its last byte.
void MakeFilterList(char* buffer, size_t size, LeadBytePredicate isLeadByte);

}  // namespace murlo
