#include "console/view/rich_edit_view.h"

#include <richedit.h>

#include <cstring>

namespace murlo {

namespace {

bool AnsiLeadByte(unsigned char byte) { return IsDBCSLeadByte(byte) != FALSE; }

long TextLength(HWND window, DWORD flags) {
    GETTEXTLENGTHEX how = {flags, CP_ACP};
    return static_cast<long>(SendMessageA(window, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&how), 0));
}

CHARRANGE Selection(HWND window) {
    CHARRANGE range = {0, 0};
    SendMessageA(window, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    return range;
}

void Select(HWND window, long from, long to) {
    CHARRANGE range = {from, to};
    SendMessageA(window, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
}

void Replace(HWND window, const char* text) {
    SendMessageA(window, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(text));
}

// Characters from..to of the control in its stored form, on the process heap.
struct StoredText {
    char* bytes = nullptr;
    size_t length = 0;

    StoredText(HWND window, long from, long to) {
        if (to <= from) return;
        // A double-byte code page needs two bytes per character.
        size_t size = static_cast<size_t>(to - from) * 2 + 1;
        bytes = static_cast<char*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size));
        if (bytes == nullptr) return;
        TEXTRANGEA range = {{from, to}, bytes};
        SendMessageA(window, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range));
        length = strnlen(bytes, size - 1);
    }
    ~StoredText() {
        if (bytes != nullptr) HeapFree(GetProcessHeap(), 0, bytes);
    }
    StoredText(const StoredText&) = delete;
    StoredText& operator=(const StoredText&) = delete;
};

}  // namespace

RichEditView MakeRichEditView(HWND window, bool richEdit2, long limit) {
    CPINFO info = {};
    bool doubleByte = GetCPInfo(CP_ACP, &info) && info.MaxCharSize > 1;
    return RichEditView{window, ControlTextForm{richEdit2, doubleByte ? AnsiLeadByte : nullptr}, limit};
}

// Counted exactly (GTL_PRECISE), in characters: a double-byte character
// counts one, as in every other length and position of the control.
long RichEditView::Length() {
    if (!form.paragraphIsCr) return GetWindowTextLengthA(window);
    return TextLength(window, GTL_PRECISE | GTL_USECRLF | GTL_NUMCHARS);
}

long RichEditView::TextUnits(const char* text, size_t length) {
    return static_cast<long>(InsertedUnits(text, length, form));
}

long RichEditView::StoredLength() {
    if (!form.paragraphIsCr) return GetWindowTextLengthA(window);
    return TextLength(window, GTL_PRECISE | GTL_NUMCHARS);
}

// Each conversion reads the shorter side of the text, from the start or
// to the end: the append logic works near both ends.
long RichEditView::ToUnits(long position) {
    if (position <= 0) return position < 0 ? -1 : 0;
    const long chars = StoredLength();
    const long units = Length();
    if (position >= chars) return units;
    if (chars == units) return position;  // nothing in the text widens
    if (position <= chars - position) {
        StoredText head(window, 0, position);
        if (head.bytes == nullptr) return position;
        return static_cast<long>(StoredTextUnits(head.bytes, head.length, form));
    }
    StoredText tail(window, position, chars);
    if (tail.bytes == nullptr) return position;
    return units - static_cast<long>(StoredTextUnits(tail.bytes, tail.length, form));
}

long RichEditView::ToPosition(long units) {
    if (units <= 0) return 0;
    const long chars = StoredLength();
    const long total = Length();
    if (units >= total) return chars;
    if (chars == total) return units;
    if (units <= total - units) {
        StoredText head(window, 0, units < chars ? units : chars);
        if (head.bytes == nullptr) return units;
        return static_cast<long>(StoredCharsWithin(head.bytes, head.length, static_cast<size_t>(units), form));
    }
    // Every character takes at least one unit: the position lies within
    // the last total - units characters, or on the one before them.
    long start = chars - (total - units) - 1;
    if (start < 0) start = 0;
    StoredText tail(window, start, chars);
    if (tail.bytes == nullptr) return units < chars ? units : chars;
    long before = total - static_cast<long>(StoredTextUnits(tail.bytes, tail.length, form));
    if (units <= before) return start;
    return start + static_cast<long>(StoredCharsWithin(tail.bytes, tail.length,
                                                       static_cast<size_t>(units - before), form));
}

void RichEditView::SetSelection(long a, long b) {
    long to = b < 0 ? StoredLength() : ToPosition(b);
    long from = a < 0 ? StoredLength() : ToPosition(a);
    Select(window, from, to);
}

void RichEditView::ReplaceSelection(const char* text) {
    const size_t length = std::strlen(text);
    const long stored = StoredLength();
    CHARRANGE selection = Selection(window);
    long from = selection.cpMin < selection.cpMax ? selection.cpMin : selection.cpMax;
    long to = selection.cpMin < selection.cpMax ? selection.cpMax : selection.cpMin;
    if (from < 0) from = 0;
    if (to > stored) to = stored;
    if (from > to) from = to;
    long room = limit - (stored - (to - from));
    if (room < 0) room = 0;

    size_t fits = FittingPrefix(text, length, static_cast<size_t>(room), form);
    if (fits == length) {
        Replace(window, text);
    } else {
        char* part = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, fits + 1));
        if (part != nullptr) {
            std::memcpy(part, text, fits);
            part[fits] = '\0';
            Replace(window, part);
            HeapFree(GetProcessHeap(), 0, part);
        } else {
            Replace(window, "");
        }
    }

    // Should the control count the text differently after all, cut what
    // went over the limit from the end of the insertion.
    long over = StoredLength() - limit;
    if (over > 0) {
        long caret = Selection(window).cpMax;
        long cut = caret - over > from ? caret - over : from;
        if (cut < caret) {
            Select(window, cut, caret);
            Replace(window, "");
        }
    }
}

long RichEditView::LineIndex(long line) {
    long position = static_cast<long>(SendMessageA(window, EM_LINEINDEX, static_cast<WPARAM>(line), 0));
    return position < 0 ? -1 : ToUnits(position);
}

long RichEditView::LineCount() { return static_cast<long>(SendMessageA(window, EM_GETLINECOUNT, 0, 0)); }

void RichEditView::ScrollCaret() { SendMessageA(window, EM_SCROLLCARET, 0, 0); }

void RichEditView::SetRedraw(bool on) { SendMessageA(window, WM_SETREDRAW, on ? TRUE : FALSE, 0); }

void RichEditView::Repaint() {
    InvalidateRect(window, nullptr, TRUE);
    UpdateWindow(window);
}

}  // namespace murlo
