// A model of the view control for the view's update: a text with a
// character limit, lines ending at LF, a CR LF counting two characters, and
// an insertion that takes in only what fits the limit, as the Windows rich
// edit control does. With lineEndIsOneChar the limit counts every CR LF as
// one character and an insertion never splits one, as the 2.0 control
// stores a paragraph end, while lengths and positions still count it as
// two. A charRule makes the limit count characters otherwise (a code page
// whose characters have several bytes, or a character that takes two).
// With a wrapWidth, a line also ends after that many characters of a
// paragraph, as when the control wraps lines at the window edge.
// Counts the redraw, repaint, scroll and insertion calls, and the bytes inserted.
#pragma once

#include <cstring>
#include <string>
#include <utility>

#include "console/view/control_units.h"

namespace murlo::test {

// The character at text (remaining bytes, at least 1): returns its bytes
// and sets how many characters of the limit it takes.
using CharRule = size_t (*)(const char* text, size_t remaining, long* weight);

struct TextControlModel {
    std::string text;
    CharRule charRule = nullptr;
    long limit = 0x7000;
    bool lineEndIsOneChar = false;
    long wrapWidth = 0;  // 0: lines end only at line ends
    long selectionStart = 0;
    long selectionEnd = 0;
    int repaintCalls = 0;
    int scrollCaretCalls = 0;
    int replaceCalls = 0;
    int unlimitedInserts = 0;
    int storedDeletes = 0;
    size_t insertedBytes = 0;  // all that went in, by either insertion: the work
    // What the host expects of the characters (NextChar), when it is not
    // what the model does.
    CharRule expectedRule = nullptr;
    bool redrawOn = true;
    bool repaintedWhileRedrawOff = false;

    long Length() const { return static_cast<long>(text.size()); }

    // The bytes of the character at text[0] and its weight in the limit.
    size_t CharAt(const char* at, size_t remaining, long* weight) const {
        if (lineEndIsOneChar && remaining >= 2 && at[0] == '\r' && at[1] == '\n') {
            *weight = 1;
            return 2;
        }
        if (charRule != nullptr) return charRule(at, remaining, weight);
        *weight = 1;
        return 1;
    }

    // The length that the limit applies to.
    long StoredLength() const {
        long stored = 0;
        for (size_t i = 0; i < text.size();) {
            long weight = 0;
            i += CharAt(text.data() + i, text.size() - i, &weight);
            stored += weight;
        }
        return stored;
    }

    void SetSelection(long a, long b) {
        long length = Length();
        if (b < 0 || b > length) b = length;
        if (a < 0 || a > length) a = length;
        if (a > b) std::swap(a, b);
        selectionStart = a;
        selectionEnd = b;
    }

    // Takes in the longest start of insert that fits the limit, never
    // splitting a character; returns its bytes.
    size_t ReplaceSelection(const char* insert) {
        ++replaceCalls;
        text.erase(static_cast<size_t>(selectionStart),
                   static_cast<size_t>(selectionEnd - selectionStart));
        long room = limit - StoredLength();
        size_t wanted = std::strlen(insert);
        size_t taken = 0;
        while (taken < wanted) {
            long weight = 0;
            size_t bytes = CharAt(insert + taken, wanted - taken, &weight);
            if (weight > room) break;
            room -= weight;
            taken += bytes;
        }
        text.insert(static_cast<size_t>(selectionStart), insert, taken);
        insertedBytes += taken;
        selectionStart += static_cast<long>(taken);
        selectionEnd = selectionStart;
        return taken;
    }

    // Calls visit with where each line after the first begins, in bytes,
    // until it answers false: after every LF, and with a wrapWidth, before
    // a character that would pass it.
    template <typename Visit>
    void VisitLineStarts(Visit visit) const {
        if (wrapWidth == 0) {
            for (size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1)) {
                if (!visit(at + 1)) return;
            }
            return;
        }
        long column = 0;
        for (size_t i = 0; i < text.size();) {
            long weight = 0;
            size_t bytes = CharAt(text.data() + i, text.size() - i, &weight);
            const bool endsLine = text[i + bytes - 1] == '\n';
            if (wrapWidth > 0 && !endsLine && text[i] != '\r' && column >= wrapWidth) {
                if (!visit(i)) return;
                column = 0;
            }
            i += bytes;
            column += weight;
            if (endsLine) {
                if (!visit(i)) return;
                column = 0;
            }
        }
    }

    long LineCount() const {
        long count = 1;
        VisitLineStarts([&count](size_t) {
            ++count;
            return true;
        });
        return count;
    }

    long LineIndex(long line) const {
        if (line < 0) return -1;
        if (line == 0) return 0;
        long seen = 0;
        long found = -1;
        VisitLineStarts([&](size_t start) {
            if (++seen < line) return true;
            found = static_cast<long>(start);
            return false;
        });
        return found;
    }

    // The host operations of the view's update, in the positions the limit counts.
    long StoredLimit() const { return limit; }
    long StoredLineCount() const { return LineCount(); }
    long StoredBefore(size_t bytes) const {
        TextControlModel head = *this;
        head.text.resize(bytes);
        return head.StoredLength();
    }
    size_t ByteAt(long position) const {
        size_t i = 0;
        for (long at = 0; i < text.size() && at < position;) {
            long weight = 0;
            i += CharAt(text.data() + i, text.size() - i, &weight);
            at += weight;
        }
        return i;
    }
    long StoredLineIndex(long line) const {
        long at = LineIndex(line);
        return at < 0 ? -1 : StoredBefore(static_cast<size_t>(at));
    }
    long InsertUnlimited(const char* insert) {
        ++unlimitedInserts;
        long before = StoredLength();
        text += insert;
        insertedBytes += std::strlen(insert);
        return StoredLength() - before;
    }
    void DeleteStored(long from, long to) {
        ++storedDeletes;
        size_t a = ByteAt(from);
        text.erase(a, ByteAt(to) - a);
    }
    ControlChar NextChar(const char* at, size_t length, size_t i) const {
        long weight = 0;
        size_t bytes = 0;
        if (expectedRule != nullptr && !(lineEndIsOneChar && length - i >= 2 && at[i] == '\r' && at[i + 1] == '\n')) {
            bytes = expectedRule(at + i, length - i, &weight);
        } else {
            bytes = CharAt(at + i, length - i, &weight);
        }
        return ControlChar{bytes, static_cast<size_t>(weight), at[i + bytes - 1] == '\n'};
    }
    bool LinesAreParagraphs() const { return wrapWidth == 0; }

    void ScrollCaret() { ++scrollCaretCalls; }

    void SetRedraw(bool on) { redrawOn = on; }

    void Repaint() {
        ++repaintCalls;
        if (!redrawOn) repaintedWhileRedrawOff = true;
    }
};

// A model of limit characters holding text.
inline TextControlModel MakeModel(long limit, bool lineEndIsOneChar = false, CharRule rule = nullptr,
                                  const std::string& text = {}) {
    TextControlModel model;
    model.limit = limit;
    model.lineEndIsOneChar = lineEndIsOneChar;
    model.charRule = rule;
    model.text = text;
    return model;
}

// UTF-8 as a control counts it: a valid sequence of two to four bytes is
// one character of the limit; any other byte (a lead byte without its trail
// bytes) one.
inline size_t Utf8Rule(const char* at, size_t remaining, long* weight) {
    *weight = 1;
    const auto lead = static_cast<unsigned char>(at[0]);
    size_t bytes = lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3
                 : lead >= 0xF0 && lead <= 0xF4 ? 4 : 1;
    if (bytes > remaining) return 1;
    for (size_t k = 1; k < bytes; ++k) {
        if ((static_cast<unsigned char>(at[k]) & 0xC0) != 0x80) return 1;
    }
    return bytes;
}

// A control that stores '#' as two characters (as a surrogate pair): it
// counts more characters than bytes.
inline size_t WideHashRule(const char* at, size_t, long* weight) {
    *weight = at[0] == '#' ? 2 : 1;
    return 1;
}

}  // namespace murlo::test
