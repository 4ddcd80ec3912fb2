// The client library's literal texts and fixed sizes, each written here once.
// Portable: no <windows.h>.
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/protocol_names.h"

namespace murlo {

inline constexpr char kDefaultConsoleProgram[] = "MURLO.EXE";

inline constexpr char kInvalidPointerFormat[] = "Invalid Pointer 0x%08X-0x%08X";
inline constexpr char kRegisterLine1Format[] = "EAX = %08X  EBX = %08X  ECX = %08X  EDX = %08X\r\n";
inline constexpr char kRegisterLine2Format[] = "ESI = %08X  EDI = %08X  EBP = %08X  ESP = %08X\r\n";

// Connecting to the console.
inline constexpr size_t kConsolePathSize = 260;
inline constexpr uint32_t kStartDelayMs = 500;
inline constexpr uint32_t kStartTimeoutMs = 30000;
inline constexpr uint32_t kStartPollMs = 100;

// Working buffers on the caller's stack.
inline constexpr size_t kFormatBufferSize = 1024;     // narrow bytes, or wide characters
inline constexpr size_t kConvertedTextSize = 1024;
inline constexpr size_t kConvertedNameSize = 260;     // a source file name or a pause text
inline constexpr size_t kRegisterLineSize = 256;
inline constexpr size_t kDumpLineSize = 256;

// A global atom name holds at most 255 characters.
inline constexpr size_t kMaxAtomNameLength = 255;

}  // namespace murlo
