// Code pages as the tests know them, independent of the platform's tables.
#pragma once

namespace murlo::test {

// Lead bytes of code page 932 (Shift-JIS).
inline bool IsLead932(unsigned char byte) { return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC); }

// A single-byte code page.
inline bool NoLeadBytes(unsigned char) { return false; }

}  // namespace murlo::test
