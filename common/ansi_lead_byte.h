// The lead-byte test of the ANSI code page, for the Windows binaries.
#pragma once

#include <windows.h>

#include "common/lead_byte.h"

namespace murlo {

inline bool IsAnsiLeadByte(unsigned char byte) { return IsDBCSLeadByte(byte) != FALSE; }

}  // namespace murlo
