// The view's rich edit control as the text control of AppendToView.
//
// Positions and lengths are given in characters of the control's CR LF
// form (what WM_GETTEXT returns), in which the appended text is measured;
// the control's own positions, in which the 2.0 control keeps a paragraph
// end as one character, are converted where they cross.
//
// ReplaceSelection keeps only what fits the text limit, counted in the
// control's own characters, as the Windows control does by itself: Wine's
// control raises its limit instead, and the trimming would never start.
// What fits is measured on the control after the insertion, not predicted
// from the bytes, and ReplaceSelection reports whether all of it went in.
#pragma once

#include <windows.h>

#include "console/view/control_units.h"

namespace murlo {

struct RichEditView {
    HWND window;
    ControlTextForm form;
    long limit;         // in the control's characters
    long maxCharSize;   // bytes of the longest character of the code page
    bool wrapped;       // lines wrap at the window edge: a line is not a paragraph

    long Length();
    void SetSelection(long a, long b);
    // The bytes of text that stayed in the control: all of them, or fewer
    // when it did not go in whole.
    size_t ReplaceSelection(const char* text);
    long LineIndex(long line);
    long LineCount();
    void ScrollCaret();
    void SetRedraw(bool on);
    void Repaint();

    // The length in the control's own characters: what the limit counts.
    long StoredLength();
    // What the view's update needs beside, in the control's own characters.
    long StoredLimit() { return limit; }
    long StoredLineCount() { return LineCount(); }
    long StoredLineIndex(long line);
    long InsertUnlimited(const char* text);
    void DeleteStored(long from, long to);
    ControlChar NextChar(const char* text, size_t length, size_t i) { return NextControlChar(text, length, i, form); }
    bool LinesAreParagraphs() { return !wrapped; }
    // A position converted from the control's characters to the CR LF
    // form, and back.
    long ToUnits(long position);
    long ToPosition(long units);
};

// The view of a console: 2.0 or 1.0 control, and the code page's lead bytes.
RichEditView MakeRichEditView(HWND window, bool richEdit2, long limit, bool wrapped);

}  // namespace murlo
