// The settings key's path, with an optional subkey. Portable.
#pragma once

#include <cstddef>

namespace murlo {

inline constexpr size_t kSettingsPathSize = 256;

// Writes the key path, plus a backslash and subkey when subkey is non-null
// and non-empty, into path. Refuses (returns false, path empty) when the
// whole path with its terminator does not fit kSettingsPathSize bytes.
bool ComposeSettingsPath(const char* subkey, char (&path)[kSettingsPathSize]);

}  // namespace murlo
