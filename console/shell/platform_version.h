// The platform flags the console derives from the reported version numbers,
// and whether the platform reports wheel lines itself. Portable.
#pragma once

#include <cstdint>

namespace murlo {

inline constexpr uint32_t kPlatformWindows = 1;  // VER_PLATFORM_WIN32_WINDOWS
inline constexpr uint32_t kPlatformNT = 2;       // VER_PLATFORM_WIN32_NT

struct PlatformFlags {
    bool hasNewShell;
    bool isNT;
    bool isNT5;
    bool isWinMe;
};

PlatformFlags FlagsFromVersion(uint32_t platformId, uint32_t major, uint32_t minor);

// Whether the platform reports wheel lines itself (SPI_GETWHEELSCROLLLINES):
// NT 4 or later, 9x above 4 or 4.10 (Windows 98) and later. Otherwise the
// old wheel driver's window is looked for.
bool HasSystemWheelSupport(uint32_t platformId, uint32_t major, uint32_t minor);

}  // namespace murlo
