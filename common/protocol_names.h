// The names both sides of the protocol look up: the console's window class,
// the registered pause message, the settings key and the value that holds the
// console's path, and the ping a client sends to a console it found.
// Portable: no <windows.h>.
#pragma once

#include <cstdint>

namespace murlo {

inline constexpr char kConsoleClassName[] = "MurloClass";
inline constexpr char kPauseMessageName[] = "MurloPauseMessage";
inline constexpr char kSettingsKey[] = "Software\\OrlemApp\\Murlo";
inline constexpr char kValueMurloPath[] = "MurloPath";

// A client that finds a running console sends it this message (WM_USER,
// no parameters); the console raises its window and answers 0.
inline constexpr uint32_t kConsolePingMessage = 0x0400;

}  // namespace murlo
