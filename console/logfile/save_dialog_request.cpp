#include "console/logfile/save_dialog_request.h"

#include <cstring>

#include "console/resources/resource.h"

namespace murlo {

namespace {

constexpr uint32_t kCommonFlags = kOfnOverwritePrompt | kOfnHideReadOnly | kOfnPathMustExist;

bool FullSize(const SaveDialogPlatform& platform) { return platform.isNT5 || platform.isWinMe; }

uint32_t ShellFlag(const SaveDialogPlatform& platform) {
    return platform.hasNewShell ? kOfnExplorer : 0;
}

}  // namespace

SaveDialogRequest LogFileDialogRequest(const SaveDialogPlatform& platform) {
    SaveDialogRequest request = {};
    request.fullSize = FullSize(platform);
    request.flags = kCommonFlags | kOfnEnableHook | kOfnEnableTemplate | ShellFlag(platform);
    request.hooked = true;
    request.templateId = platform.hasNewShell ? IDD_LOG_FILE : IDD_LOG_FILE_OLD;
    return request;
}

SaveDialogRequest SaveLogDialogRequest(const SaveDialogPlatform& platform) {
    SaveDialogRequest request = {};
    request.fullSize = FullSize(platform);
    request.flags = kCommonFlags | ShellFlag(platform);
    return request;
}

void MakeFilterList(char* buffer, size_t size, LeadBytePredicate isLeadByte) {
    if (buffer == nullptr || size == 0) return;
    if (size == 1) {
        buffer[0] = '\0';
        return;
    }
    // Keep room for the list's second NUL.
    size_t length = strnlen(buffer, size);
    if (length > size - 2) length = size - 2;
    buffer[length] = '\0';
    buffer[length + 1] = '\0';
    for (size_t i = 0; i < length; ++i) {
        auto byte = static_cast<unsigned char>(buffer[i]);
        if (isLeadByte(byte)) {
            // The trail byte may be '|' (0x7C): it belongs to the character.
            if (i + 1 < length) ++i;
        } else if (byte == '|') {
            buffer[i] = '\0';
        }
    }
}

}  // namespace murlo
