#include "console/view/rich_edit_view.h"

#include <richedit.h>

#include <cstring>

#include "common/ansi_lead_byte.h"
#include "console/shell/counters.h"

namespace murlo {

namespace {

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

// What EM_EXLIMITTEXT is given while the layer inserts: the control takes
// in the whole text, and the layer cuts what went over its own limit.
constexpr LPARAM kNoLimit = 0x7FFFFFF0;

// Characters from..to of the control in its stored form, on the process heap.
struct StoredText {
    char* bytes = nullptr;
    size_t length = 0;

    StoredText(const RichEditView& view, long from, long to) {
        if (to <= from) return;
        HWND window = view.window;
        // Room for the longest character of the code page at every position.
        size_t size = static_cast<size_t>(to - from) * static_cast<size_t>(view.maxCharSize) + 1;
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

RichEditView MakeRichEditView(HWND window, bool richEdit2, long limit, bool wrapped) {
    CPINFO info = {};
    long maxCharSize = GetCPInfo(CP_ACP, &info) && info.MaxCharSize > 1 ? static_cast<long>(info.MaxCharSize) : 1;
    bool utf8 = GetACP() == CP_UTF8;
    ControlTextForm form{richEdit2, maxCharSize == 2 ? IsAnsiLeadByte : nullptr, utf8};
    if (utf8 && maxCharSize < 4) maxCharSize = 4;
    return RichEditView{window, form, limit, maxCharSize, wrapped};
}

// Counted exactly (GTL_PRECISE), in characters: a double-byte character
// counts one, as in every other length and position of the control.
long RichEditView::Length() {
    if (!form.paragraphIsCr) return GetWindowTextLengthA(window);
    return TextLength(window, GTL_PRECISE | GTL_USECRLF | GTL_NUMCHARS);
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
        StoredText head(*this, 0, position);
        if (head.bytes == nullptr) return position;
        return static_cast<long>(StoredTextUnits(head.bytes, head.length, form));
    }
    StoredText tail(*this, position, chars);
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
        StoredText head(*this, 0, units < chars ? units : chars);
        if (head.bytes == nullptr) return units;
        return static_cast<long>(StoredCharsWithin(head.bytes, head.length, static_cast<size_t>(units), form));
    }
    // Every character takes at least one unit: the position lies within
    // the last total - units characters, or on the one before them.
    long start = chars - (total - units) - 1;
    if (start < 0) start = 0;
    StoredText tail(*this, start, chars);
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

size_t RichEditView::ReplaceSelection(const char* text) {
    const size_t length = std::strlen(text);
    CHARRANGE selection = Selection(window);
    long from = selection.cpMin < selection.cpMax ? selection.cpMin : selection.cpMax;
    long to = selection.cpMin < selection.cpMax ? selection.cpMax : selection.cpMin;
    if (from < 0) from = 0;
    const long stored = StoredLength();
    if (to > stored) to = stored;
    if (from > to) from = to;
    long room = limit - (stored - (to - from));
    if (room < 0) room = 0;

    // The control takes in the text, or of a text far longer than the room
    // only as many bytes as make more characters than the room whatever
    // their code (no character has more than four); then its own count
    // says how much went over the limit, and that much is cut from the end
    // of the insertion, as the Windows control would have refused it.
    const size_t most = static_cast<size_t>(room) * 4 + 8;
    char* part = nullptr;
    if (length > most) {
        part = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, most + 1));
        if (part != nullptr) {
            std::memcpy(part, text, most);
            part[most] = '\0';
        }
    }
    SendMessageA(window, EM_EXLIMITTEXT, 0, kNoLimit);
    Replace(window, part != nullptr ? part : text);
    if (part != nullptr) HeapFree(GetProcessHeap(), 0, part);
    size_t taken = length;
    long over = StoredLength() - limit;
    if (over > 0) {
        long caret = Selection(window).cpMax;
        long cut = caret - over > from ? caret - over : from;
        if (cut < caret) {
            Select(window, cut, caret);
            Replace(window, "");
        }
        // Not whole: the bytes of the characters that stayed, at most.
        size_t kept = FittingPrefix(text, length, static_cast<size_t>(cut - from), form);
        taken = kept < length ? kept : (length > 0 ? length - 1 : 0);
    }
    SendMessageA(window, EM_EXLIMITTEXT, 0, static_cast<LPARAM>(limit));
    return taken;
}

long RichEditView::StoredLineIndex(long line) {
    long position = static_cast<long>(SendMessageA(window, EM_LINEINDEX, static_cast<WPARAM>(line), 0));
    return position < 0 ? -1 : position;
}

long RichEditView::InsertUnlimited(const char* text) {
    MURLO_TIMED(Insert);
    const long before = StoredLength();
    SendMessageA(window, EM_EXLIMITTEXT, 0, kNoLimit);
    Select(window, before, before);
    Replace(window, text);
    SendMessageA(window, EM_EXLIMITTEXT, 0, static_cast<LPARAM>(limit));
    return StoredLength() - before;
}

void RichEditView::DeleteStored(long from, long to) {
    MURLO_TIMED(Delete);
    Select(window, from, to);
    Replace(window, "");
}

long RichEditView::LineIndex(long line) {
    long position = static_cast<long>(SendMessageA(window, EM_LINEINDEX, static_cast<WPARAM>(line), 0));
    return position < 0 ? -1 : ToUnits(position);
}

long RichEditView::LineCount() { return static_cast<long>(SendMessageA(window, EM_GETLINECOUNT, 0, 0)); }

void RichEditView::ScrollCaret() { SendMessageA(window, EM_SCROLLCARET, 0, 0); }

void RichEditView::SetRedraw(bool on) {
    if (on) {
        MURLO_TIMED(Repaint);
        SendMessageA(window, WM_SETREDRAW, TRUE, 0);
        return;
    }
    SendMessageA(window, WM_SETREDRAW, FALSE, 0);
}

void RichEditView::Repaint() {
    MURLO_TIMED(Repaint);
    InvalidateRect(window, nullptr, TRUE);
    UpdateWindow(window);
}

}  // namespace murlo
