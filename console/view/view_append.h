// Appending rendered text to the view, deleting the oldest lines while it
// does not fit. Portable: the view is a template parameter offering
//   Length()                  text length, in the units of the positions
//   SetSelection(a, b)        select (a, b); b = -1 selects to the end
//   ReplaceSelection(text)    replace it with text, taking in what fits;
//                             returns how many bytes of text went in
//                             (all of them when it went in whole)
//   LineIndex(line)           first character of a line, -1 when none
//   LineCount()               number of lines, at least 1
//   ScrollCaret(), SetRedraw(on), Repaint()
// The console drives a rich edit control through this; tests drive a model.
#pragma once

#include <cstddef>
#include <cstring>

#include "console/view/control_units.h"

namespace murlo {

// Where the newest part of a text that can never fit whole begins: the
// last room bytes, moved forward to the start of a line when one begins
// inside them (so that the view shows whole lines), else cut mid-line.
inline size_t NewestPartStart(const char* text, size_t length, size_t room) {
    if (room >= length) return 0;
    size_t start = length - room;
    if (text[start - 1] == '\n') return start;
    // An LF as the very last byte would leave nothing to show.
    if (length - start < 2) return start;
    const void* lineFeed = std::memchr(text + start, '\n', length - start - 1);
    if (lineFeed == nullptr) return start;
    return static_cast<size_t>(static_cast<const char*>(lineFeed) - text) + 1;
}

// Where the newest part of a text begins that a view holding limit
// characters takes in whole: the first line start from which the rest of
// the text makes at most limit characters, as nextChar(text, length, i)
// counts the character at text[i] (a ControlChar); when even the last line
// makes more, the first character from which the rest does. 0 when the
// whole text fits. A character has at most four bytes and makes at least
// one character of the limit, so only the last 4 x (limit + 1) bytes are
// read, however long the text.
template <typename NextChar>
size_t NewestPartWithin(const char* text, size_t length, long limit, NextChar nextChar) {
    if (limit <= 0) return length;
    const size_t window = 4 * (static_cast<size_t>(limit) + 1);
    size_t first = 0;
    if (length > window) {
        // Counting begins at a line start, where a character surely begins.
        first = length - window;
        const void* lineFeed = std::memchr(text + first - 1, '\n', length - first);
        if (lineFeed != nullptr) first = static_cast<size_t>(static_cast<const char*>(lineFeed) - text) + 1;
    }
    size_t total = 0;
    for (size_t i = first; i < length;) {
        ControlChar c = nextChar(text, length, i);
        total += c.chars;
        i += c.bytes;
    }
    const size_t room = static_cast<size_t>(limit);
    if (first == 0 && total <= room) return 0;
    size_t rest = total;
    size_t fitsFrom = length;  // the first character from which the rest fits
    bool lineStart = first == 0 || text[first - 1] == '\n';
    for (size_t i = first; i < length;) {
        if (rest <= room) {
            if (fitsFrom == length) fitsFrom = i;
            if (lineStart) return i;
        }
        ControlChar c = nextChar(text, length, i);
        rest -= c.chars;
        i += c.bytes;
        lineStart = c.endsLine;
    }
    return fitsFrom;
}

namespace view_append_detail {

// Deletes the part of a text that went in only partly, from the start of
// the line on which it began (older text on that line goes with it) to the
// end. partStart is where that part now begins.
template <typename View>
void DeletePartialText(View& view, long partStart) {
    while (view.Length() > partStart) {
        long length = view.Length();
        long count = view.LineCount();
        long last = view.LineIndex(count - 1);
        // An empty last line after a line end: take the line above with it.
        if ((last < 0 || last >= length) && count > 1) last = view.LineIndex(count - 2);
        if (last < 0 || last >= length) last = partStart < length ? partStart : 0;
        view.SetSelection(last, length);
        view.ReplaceSelection("");
        if (view.Length() >= length) break;  // the control deleted nothing
    }
}

// A view that can also measure a text in its own characters: insert it
// whatever the limit, and delete a range of them (see FlushToView).
template <typename View>
concept MeasuresText = requires(View& view, const char* text, long position) {
    view.InsertUnlimited(text);
    view.StoredLength();
    view.StoredLimit();
    view.DeleteStored(position, position);
};

// Deleting the view's first lines until a text fits, without inserting the
// text again after each one: the text is measured once, in the view's own
// characters, by inserting it whatever the limit (and deleting it again
// when it went over). Lines are then deleted from the top while the view
// and the text together pass the limit by more than the two characters
// that a line end split between them may count.
//
// This leaves the lines that deleting one line and inserting again per
// turn leaves, for a fraction of the work (the insertions, each up to the
// whole text, are what cost), once the view ends at a line start: while it
// ends in an open line, a partial insertion would take that line away with
// it, so the view is left to the turns that insert until that happened.
// Returns false, leaving the view alone, while it ends in an open line.
// Otherwise returns true when the measuring insertion went in within the
// limit (then a and b are where the text begins and ends), false when the
// lines it needs are gone.
template <typename View>
bool MakeRoomByMeasure(View& view, const char* text, long& units, long& a, long& b) {
    const long length = view.Length();
    if (length > 0 && view.LineIndex(view.LineCount() - 1) != length) return false;
    if (units < 0) {
        const long before = view.StoredLength();
        units = view.InsertUnlimited(text);
        if (before + units <= view.StoredLimit()) {
            a = length;
            b = view.Length();
            return true;
        }
        view.DeleteStored(before, before + units);
    }
    while (view.Length() > 0 && view.StoredLength() + units > view.StoredLimit() + 2) {
        const long remaining = view.Length();
        view.SetSelection(0, view.LineIndex(1));
        view.ReplaceSelection("");
        if (view.Length() >= remaining) {
            view.SetSelection(0, -1);
            view.ReplaceSelection("");
        }
    }
    return false;
}

// Inserts text (length bytes) at the end; returns the bytes that went in.
template <typename View>
size_t InsertAtEnd(View& view, const char* text, long& before, long& after) {
    before = view.Length();
    view.SetSelection(before, before);
    size_t taken = static_cast<size_t>(view.ReplaceSelection(text));
    after = view.Length();
    return taken;
}

}  // namespace view_append_detail

// Appends length bytes of text (NUL-terminated) at the end of the view.
// Whether the text went in whole is what the insertion reports: no count
// of the text's characters is trusted to say it, for the control may
// count them otherwise (a code page where a character has several bytes).
// While the text does not go in whole, the view's first line is deleted,
// and after a partial insertion what went in of the text too; repainting
// is stopped during the deletions and the view repainted once at the end.
// A text that does not go in whole even into the emptied view can never
// fit: its newest part that fits is shown instead, so the loop always ends.
// A view that measures text (MeasuresText) is measured instead of
// inserting the text again after every line deleted.
// Finally the caret is put after the text and scrolled into view.
// AppendTrimmed does all but the scrolling and the repaint, and sets
// drawingOff when it stopped the repainting (it does so once).
template <typename View>
void AppendTrimmed(View& view, const char* text, size_t length, bool& drawingOff) {
    using view_append_detail::InsertAtEnd;
    long a = 0;
    long b = 0;
    size_t taken = InsertAtEnd(view, text, a, b);
    long units = -1;  // the text in the view's own characters, once measured
    while (taken < length) {
        if (!drawingOff) {
            view.SetRedraw(false);
            drawingOff = true;
        }
        if (a == 0) {
            // Even the empty view took in only part of the text: show the
            // newest part of it of as many bytes. A control whose limit
            // counts a line end once may take in less of a part with
            // fewer line ends; then try again with what it took, which is
            // less each time, so this ends.
            size_t room = taken;
            for (;;) {
                view.SetSelection(0, -1);
                view.ReplaceSelection("");
                size_t start = NewestPartStart(text, length, room);
                size_t part = length - start;
                size_t partTaken = InsertAtEnd(view, text + start, a, b);
                if (partTaken >= part || partTaken == 0) break;
                room = partTaken < room ? partTaken : room - 1;
            }
            break;
        }
        const long first = view.LineIndex(1);
        const long beforeDelete = view.Length();
        view.SetSelection(0, first);
        view.ReplaceSelection("");
        if (a < b) {
            // What went in of the text now begins this much further up.
            long partStart = a - (beforeDelete - view.Length());
            view_append_detail::DeletePartialText(view, partStart > 0 ? partStart : 0);
        }
        if (view.Length() >= a) {
            // No older text went: empty the view rather than turn forever.
            view.SetSelection(0, -1);
            view.ReplaceSelection("");
        }
        if constexpr (view_append_detail::MeasuresText<View>) {
            if (view_append_detail::MakeRoomByMeasure(view, text, units, a, b)) break;
        }
        taken = InsertAtEnd(view, text, a, b);
    }
    view.SetSelection(b, b);
}

template <typename View>
void AppendToView(View& view, const char* text, size_t length) {
    bool drawingOff = false;
    AppendTrimmed(view, text, length, drawingOff);
    view.ScrollCaret();
    if (drawingOff) {
        view.SetRedraw(true);
        view.Repaint();
    }
}

}  // namespace murlo
