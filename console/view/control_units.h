// How the view control counts text, so that the console can insert only
// what fits its limit and convert between the control's character
// positions and the CR LF form that the append logic measures in.
// Portable: the code page's lead-byte test is passed in.
//
// The 2.0 rich edit control keeps every paragraph end as one CR: a CR LF,
// a lone CR, a lone LF and a CR CR LF (a soft break, shown as a blank)
// each become one character. Its text limit counts these characters. Its
// CR LF form (what WM_GETTEXT returns and the lengths with GTL_USECRLF
// count) shows every paragraph end as CR LF again. The 1.0 control keeps
// every byte it was given, so both forms are the same there.
//
// Units are characters of the CR LF form: a double-byte character is one
// unit, as the control's lengths count it (Wine counts GTL_NUMBYTES as
// characters times two in a double-byte code page, so bytes cannot be
// had exactly without reading the whole text). In the UTF-8 code page a
// sequence of two or three bytes is one character and one of four bytes
// two (a UTF-16 surrogate pair); a byte that starts no valid sequence is
// one character.
//
// These counts only estimate: the console decides whether a text went in
// from the control's own lengths, never from these alone.
#pragma once

#include <cstddef>

#include "common/lead_byte.h"

namespace murlo {

struct ControlTextForm {
    bool paragraphIsCr;                      // the 2.0 control: a paragraph end is one CR
    LeadBytePredicate isLeadByte;  // first byte of a double-byte character; null for a single-byte code page
    bool utf8 = false;             // the code page is UTF-8 (isLeadByte is then unused)
};

// Units of the CR LF form of length bytes read from the control in its
// stored form (EM_GETTEXTRANGE), in which a paragraph end is one CR.
size_t StoredTextUnits(const char* stored, size_t length, const ControlTextForm& form);

// How many of the stored characters at the start of stored (length bytes)
// lie wholly within the first units units of the CR LF form.
size_t StoredCharsWithin(const char* stored, size_t length, size_t units,
                         const ControlTextForm& form);

// One character of inserted text as the control will store it.
struct ControlChar {
    size_t bytes;  // of the text
    size_t chars;  // positions it takes in the control (a surrogate pair takes two)
    bool endsLine; // the next character begins a new line
};

// The character that the bytes of text from i on begin (i < length).
ControlChar NextControlChar(const char* text, size_t length, size_t i, const ControlTextForm& form);

// The bytes at the start of text that make at most room stored characters.
// A line end or a double-byte character is never split.
size_t FittingPrefix(const char* text, size_t length, size_t room, const ControlTextForm& form);

}  // namespace murlo
