#include "console/shell/platform_version.h"

namespace murlo {

PlatformFlags FlagsFromVersion(uint32_t platformId, uint32_t major, uint32_t minor) {
    PlatformFlags flags = {};
    flags.hasNewShell = major > 3;
    flags.isNT = platformId == kPlatformNT;
    flags.isNT5 = flags.isNT && major == 5;
    flags.isWinMe = platformId == kPlatformWindows && major == 4 && minor == 90;
    return flags;
}

bool HasSystemWheelSupport(uint32_t platformId, uint32_t major, uint32_t minor) {
    if (platformId == kPlatformNT) return major >= 4;
    return major > 4 || (major == 4 && minor >= 10);
}

}  // namespace murlo
