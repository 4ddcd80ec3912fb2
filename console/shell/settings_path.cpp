#include "console/shell/settings_path.h"

#include <cstring>

#include "console/shell/constants.h"

namespace murlo {

bool ComposeSettingsPath(const char* subkey, char (&path)[kSettingsPathSize]) {
    path[0] = '\0';
    size_t base = sizeof kSettingsKey - 1;
    size_t extra = (subkey && *subkey) ? 1 + strlen(subkey) : 0;
    if (base + extra + 1 > kSettingsPathSize) return false;
    memcpy(path, kSettingsKey, base);
    if (extra) {
        path[base] = '\\';
        memcpy(path + base + 1, subkey, extra - 1);
    }
    path[base + extra] = '\0';
    return true;
}

}  // namespace murlo
