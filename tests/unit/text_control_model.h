// A model of the view control for AppendToView: a text with a character
// limit, lines ending at LF, a CR LF counting two characters, and an
// insertion that takes in only what fits the limit, as the Windows rich
// edit control does. With lineEndIsOneChar the limit counts every CR LF as
// one character and an insertion never splits one, as the 2.0 control
// stores a paragraph end, while lengths and positions still count it as
// two. Counts the redraw, repaint and scroll calls.
#pragma once

#include <cstring>
#include <string>
#include <utility>

namespace murlo::test {

struct TextControlModel {
    std::string text;
    long limit = 0x7000;
    bool lineEndIsOneChar = false;
    long selectionStart = 0;
    long selectionEnd = 0;
    int redrawOffCalls = 0;
    int redrawOnCalls = 0;
    int repaintCalls = 0;
    int scrollCaretCalls = 0;
    int replaceCalls = 0;
    bool redrawOn = true;
    bool repaintedWhileRedrawOff = false;

    long Length() const { return static_cast<long>(text.size()); }

    // The length that the limit applies to.
    long StoredLength() const {
        if (!lineEndIsOneChar) return Length();
        long pairs = 0;
        for (size_t i = 0; i + 1 < text.size(); ++i) pairs += text[i] == '\r' && text[i + 1] == '\n';
        return Length() - pairs;
    }

    void SetSelection(long a, long b) {
        long length = Length();
        if (b < 0 || b > length) b = length;
        if (a < 0 || a > length) a = length;
        if (a > b) std::swap(a, b);
        selectionStart = a;
        selectionEnd = b;
    }

    void ReplaceSelection(const char* insert) {
        ++replaceCalls;
        text.erase(static_cast<size_t>(selectionStart),
                   static_cast<size_t>(selectionEnd - selectionStart));
        long room = limit - StoredLength();
        long wanted = static_cast<long>(std::strlen(insert));
        long taken = 0;
        for (long chars = 0; taken < wanted && chars < room; ++chars) {
            bool pair = lineEndIsOneChar && insert[taken] == '\r' && insert[taken + 1] == '\n';
            taken += pair ? 2 : 1;
        }
        text.insert(static_cast<size_t>(selectionStart), insert, static_cast<size_t>(taken));
        selectionStart += taken;
        selectionEnd = selectionStart;
    }

    long LineCount() const {
        long count = 1;
        for (char c : text) count += c == '\n';
        return count;
    }

    long LineIndex(long line) const {
        if (line < 0) return -1;
        if (line == 0) return 0;
        long seen = 0;
        for (size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\n' && ++seen == line) return static_cast<long>(i + 1);
        }
        return -1;
    }

    void ScrollCaret() { ++scrollCaretCalls; }

    void SetRedraw(bool on) {
        (on ? redrawOnCalls : redrawOffCalls) += 1;
        redrawOn = on;
    }

    void Repaint() {
        ++repaintCalls;
        if (!redrawOn) repaintedWhileRedrawOff = true;
    }
};

}  // namespace murlo::test
