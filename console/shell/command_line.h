// The console's command line: the walk over its options and what it decides
// about a running console. Portable.
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

}  // namespace murlo
