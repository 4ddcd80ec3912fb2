// The settings key's value operations (Windows registry).
#include "console/shell/settings_store.h"

#include "console/shell/constants.h"
#include "console/shell/settings_path.h"

#include <cstring>

namespace murlo {

void LoadViewOptions(const RegistryKey& key, ViewOptions& options) {
    for (const StoredOption& option : kStoredOptions)
        options.*option.field = key.ReadDword(option.name, option.defaultValue) & option.keptBits;
}

void SaveViewOptions(const RegistryKey& key, const ViewOptions& options) {
    for (const StoredOption& option : kStoredOptions) key.WriteDword(option.name, options.*option.field);
}

LOGFONTA ReadStoredFont(const RegistryKey& key, bool hasNewShell) {
    LOGFONTA font;
    memset(&font, 0, sizeof font);
    if (key.ReadBinary(kValueFont, &font, sizeof font) == 0) {
        memset(&font, 0, sizeof font);
        GetObjectA(GetStockObject(hasNewShell ? DEFAULT_GUI_FONT : OEM_FIXED_FONT), sizeof font, &font);
    }
    font.lfFaceName[LF_FACESIZE - 1] = '\0';
    return font;
}

RegistryKey& RegistryKey::operator=(RegistryKey&& other) noexcept {
    if (this != &other) {
        Close();
        key = other.key;
        other.key = nullptr;
    }
    return *this;
}

bool RegistryKey::Open(const char* subkey, bool create) {
    if (key) return true;
    char path[kSettingsPathSize];
    if (!ComposeSettingsPath(subkey, path)) return false;
    HKEY opened = nullptr;
    if (RegOpenKeyA(HKEY_CURRENT_USER, path, &opened) != ERROR_SUCCESS) {
        opened = nullptr;
        if (!create || RegCreateKeyA(HKEY_CURRENT_USER, path, &opened) != ERROR_SUCCESS) return false;
    }
    key = opened;
    return key != nullptr;
}

DWORD RegistryKey::ReadDword(const char* name, DWORD fallback) const {
    if (!key) return fallback;
    // Zeroed, so that a REG_DWORD stored shorter than 4 bytes reads as its
    // bytes followed by zeros; a longer one does not fit and reads as missing.
    BYTE data[4] = {};
    DWORD type = 0;
    DWORD size = sizeof data;
    if (RegQueryValueExA(key, name, nullptr, &type, data, &size) != ERROR_SUCCESS || type != REG_DWORD)
        return fallback;
    DWORD value;
    memcpy(&value, data, sizeof value);
    return value;
}

void RegistryKey::WriteDword(const char* name, DWORD value) const {
    if (!key) return;
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

DWORD RegistryKey::ReadBinary(const char* name, void* buffer, DWORD size) const {
    if (!key) return 0;
    DWORD type = 0;
    DWORD read = size;
    if (RegQueryValueExA(key, name, nullptr, &type, static_cast<BYTE*>(buffer), &read) != ERROR_SUCCESS ||
        type != REG_BINARY || read > size)
        return 0;
    return read;
}

void RegistryKey::WriteBinary(const char* name, const void* data, DWORD size) const {
    if (!key) return;
    RegSetValueExA(key, name, 0, REG_BINARY, static_cast<const BYTE*>(data), size);
}

void RegistryKey::WriteString(const char* name, const char* text) const {
    if (!key) return;
    if (!text) {
        RegDeleteValueA(key, name);
        return;
    }
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                   static_cast<DWORD>(strlen(text) + 1));
}

void RegistryKey::Close() {
    if (!key) return;
    RegCloseKey(key);
    key = nullptr;
}

}  // namespace murlo
