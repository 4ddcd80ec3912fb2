#include "console/shell/command_line.h"

#include "console/shell/constants.h"

namespace murlo {

namespace {

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

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

}  // namespace murlo
