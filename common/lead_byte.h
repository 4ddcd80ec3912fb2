// The one shape of a lead-byte test: whether a byte of an ANSI text starts a
// double-byte character. Portable logic takes it as a plain function pointer
// so that tests can name their own lead bytes; the Windows binaries pass
// IsAnsiLeadByte (common/ansi_lead_byte.h). Portable: no <windows.h>.
#pragma once

namespace murlo {

using LeadBytePredicate = bool (*)(unsigned char byte);

}  // namespace murlo
