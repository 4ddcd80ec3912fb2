// RegistryKey: the scoped handle over the settings key
// HKEY_CURRENT_USER\Software\OrlemApp\Murlo and its value operations.
// Reads check type and size and fall back to the caller's default; write
// results are not reported (the console runs on with defaults).
#pragma once

#include <windows.h>

#include "console/shell/view_options.h"

namespace murlo {

struct RegistryKey {
    HKEY key = nullptr;

    RegistryKey() = default;
    ~RegistryKey() { Close(); }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    RegistryKey(RegistryKey&& other) noexcept : key(other.key) { other.key = nullptr; }
    RegistryKey& operator=(RegistryKey&& other) noexcept;

    // Opens the key (plus "\subkey" when given), creating it when create is
    // set; does nothing when already open. Returns whether a key is open.
    bool Open(const char* subkey = nullptr, bool create = true);
    // The stored number when the value is a REG_DWORD of at most 4 bytes, else fallback.
    DWORD ReadDword(const char* name, DWORD fallback) const;
    void WriteDword(const char* name, DWORD value) const;
    // Bytes read when the value is REG_BINARY and fits size, else 0.
    DWORD ReadBinary(const char* name, void* buffer, DWORD size) const;
    void WriteBinary(const char* name, const void* data, DWORD size) const;
    // Stores text as REG_SZ with its terminator; a null text deletes the value.
    void WriteString(const char* name, const char* text) const;
    void Close();
};

// The stored options, each at its default unless its stored value is a
// DWORD; the logging switch is left as it is.
void LoadViewOptions(const RegistryKey& key, ViewOptions& options);
void SaveViewOptions(const RegistryKey& key, const ViewOptions& options);

// The stored view font, or the stock font (DEFAULT_GUI_FONT on the newer
// shell, else OEM_FIXED_FONT) when none is stored; a shorter stored value
// leaves the rest of the record zero, and the face name always ends.
LOGFONTA ReadStoredFont(const RegistryKey& key, bool hasNewShell);

}  // namespace murlo
