// The rule by which a rendered text is appended to the view: it goes in at
// the end; while it does not go in whole, the view's first line is deleted,
// with what went in of the text, and the text is inserted again; a text
// that does not go in whole even into the emptied view shows its newest
// part. Every route of the view's update (view_batch.h) leaves the text
// this rule leaves. Portable: the view is a template parameter offering
//   Length()                  text length, in the units of the positions
//   SetSelection(a, b)        select (a, b); b = -1 selects to the end
//   ReplaceSelection(text)    replace it with text, taking in what fits;
//                             returns how many bytes of text went in
//                             (all of them when it went in whole)
//   LineIndex(line)           first character of a line, -1 when none
//   LineCount()               number of lines, at least 1
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

// Inserts text at the end; returns the bytes that went in. before and
// after are the view's lengths around the insertion.
template <typename View>
size_t InsertAtEnd(View& view, const char* text, long& before, long& after) {
    before = view.Length();
    view.SetSelection(before, before);
    size_t taken = static_cast<size_t>(view.ReplaceSelection(text));
    after = view.Length();
    return taken;
}

// Deletes the part of a text that went in only partly, from the start of
// the line on which it began (older text on that line goes with it) to the
// end. partStart is where that part begins.
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

// One turn of the rule for a text that went in as (a, b), not whole: the
// view's first line goes, and with it what went in of the text.
template <typename View>
void DeleteFirstLine(View& view, long a, long b) {
    const long first = view.LineIndex(1);
    const long beforeDelete = view.Length();
    view.SetSelection(0, first);
    view.ReplaceSelection("");
    if (a < b) {
        // What went in of the text now begins this much further up.
        long partStart = a - (beforeDelete - view.Length());
        DeletePartialText(view, partStart > 0 ? partStart : 0);
    }
    if (view.Length() >= a) {
        // No older text went: empty the view rather than turn forever.
        view.SetSelection(0, -1);
        view.ReplaceSelection("");
    }
}

// Even the empty view took in only taken bytes of the text: it shows the
// newest part of it of as many bytes. A control whose limit counts a line
// end once may take in less of a part with fewer line ends; then it tries
// again with what it took, which is less each time, so this ends.
template <typename View>
void ShowNewestPart(View& view, const char* text, size_t length, size_t taken, long& a, long& b) {
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
}

}  // namespace view_append_detail

// The rule, with a step between its turns: once the first line is gone,
// makeRoom(view, a, b) may make room its own way and answers whether the
// text is in the view now (at (a, b)); if not, the text is inserted again
// as the rule does.
template <typename View, typename MakeRoom>
void AppendOneTextWith(View& view, const char* text, size_t length, MakeRoom makeRoom) {
    using namespace view_append_detail;
    long a = 0;
    long b = 0;
    size_t taken = InsertAtEnd(view, text, a, b);
    while (taken < length) {
        if (a == 0) {
            ShowNewestPart(view, text, length, taken, a, b);
            break;
        }
        DeleteFirstLine(view, a, b);
        if (makeRoom(view, a, b)) break;
        taken = InsertAtEnd(view, text, a, b);
    }
    view.SetSelection(b, b);
}

// Appends length bytes of text (NUL-terminated) at the end of the view by
// the rule, and puts the caret after it. Whether the text went in whole is
// what the insertion reports: no count of the text's characters is trusted
// to say it, for the control may count them otherwise (a code page where a
// character has several bytes).
template <typename View>
void AppendOneText(View& view, const char* text, size_t length) {
    AppendOneTextWith(view, text, length, [](View&, long&, long&) { return false; });
}

}  // namespace murlo
