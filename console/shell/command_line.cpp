#include "console/shell/command_line.h"

#include "console/shell/constants.h"

namespace murlo {

namespace {

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

int32_t Wrap(uint32_t value) { return static_cast<int32_t>(value); }

}  // namespace

bool EqualsIgnoringAsciiCase(const char* text, const char* word) {
    for (;; ++text, ++word) {
        if (LowerAscii(*text) != LowerAscii(*word)) return false;
        if (*text == '\0') return true;
    }
}

StartDecision DecideStart(int argc, const char* const* argv, bool consoleRunning) {
    StartDecision decision = {consoleRunning ? StartAction::kBringForward : StartAction::kStartNew, 0};
    for (int i = 1; i < argc; ++i) {
        const char* argument = argv[i];
        if (!argument || (argument[0] != '/' && argument[0] != '-')) continue;
        const char* word = argument + 1;
        if (EqualsIgnoringAsciiCase(word, kOptionWordClear)) {
            if (consoleRunning) return {StartAction::kClearRunning, decision.options};
        } else if (EqualsIgnoringAsciiCase(word, kOptionWordStop)) {
            decision.options |= kStopOptionBit;
        } else {
            return {StartAction::kInvalidOption, decision.options};
        }
    }
    return decision;
}

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

WindowRect RectFromGeometry(uint32_t x, uint32_t y, uint32_t width, uint32_t height) {
    return {Wrap(x), Wrap(y), Wrap(x + width), Wrap(y + height)};
}

int32_t SpanOf(int32_t low, int32_t high) {
    return Wrap(static_cast<uint32_t>(high) - static_cast<uint32_t>(low));
}

}  // namespace murlo
