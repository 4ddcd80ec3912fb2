// The console's start-up rules that need no platform: the command-line walk,
// the platform flags from the version numbers, the window rectangle from the
// stored geometry. Portable.
#pragma once

#include <cstdint>

namespace murlo {

// Bit 0 of the options word: the option "stop" (start with logging off).
inline constexpr uint32_t kStopOptionBit = 1;

enum class StartAction {
    kStartNew,       // no console is running: go on and start this one
    kClearRunning,   // send the running console the Clear command, then end
    kBringForward,   // bring the running console to the foreground, then end
    kInvalidOption,  // show "Invalid command option", then end
};

struct StartDecision {
    StartAction action;
    uint32_t options;  // kStopOptionBit when "stop" was seen before the walk ended
};

// Walks argv[1..argc-1] left to right. An argument not starting with '/' or
// '-' is ignored; otherwise the rest of it is compared, whole and ignoring
// ASCII case, with "clear" and "stop". "clear" ends the walk when a console
// is running and is ignored otherwise; anything else ends it as invalid.
StartDecision DecideStart(int argc, const char* const* argv, bool consoleRunning);

// True when text equals word ignoring ASCII case (no locale).
bool EqualsIgnoringAsciiCase(const char* text, const char* word);

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

struct WindowRect {
    int32_t left, top, right, bottom;
};

// left = X, top = Y, right = X + Width, bottom = Y + Height, modulo 2^32, so
// that right - left and bottom - top give Width and Height back exactly.
WindowRect RectFromGeometry(uint32_t x, uint32_t y, uint32_t width, uint32_t height);
// Width or height of a rectangle side, modulo 2^32 (inverse of the above).
int32_t SpanOf(int32_t low, int32_t high);

}  // namespace murlo
