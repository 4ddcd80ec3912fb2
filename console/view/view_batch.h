// Bringing the view up to date with several rendered texts at once, with
// exactly the text that appending and trimming them one by one gives.
//
// The texts are first appended one by one to a shadow of the view: the
// same AppendTrimmed runs on a record of which stretches of the old view
// and of the texts remain, with the lines and characters as the host
// expects the control to count them. Then the control takes all the texts
// in one insertion and loses what the shadow dropped in one deletion (a
// few where an open line was cut out). The control's own counts after
// that insertion are checked against the shadow's; where they differ, or
// where the view's lines are not its paragraphs (wrapping at the window
// edge), the texts are appended one by one to the control itself.
//
// Portable. The host view offers, beside AppendToView's operations:
//   StoredLength(), StoredLimit()   length and limit in the control's own
//                                   positions, those that its limit counts
//   StoredLineCount(), StoredLineIndex(line)   lines in those positions
//                                   (StoredLineIndex -1: no such line)
//   InsertUnlimited(text)           insert at the end whatever the limit;
//                                   returns the positions it added
//   DeleteStored(from, to)          delete that range
//   NextChar(text, length, i)       the character at text[i] as the host
//                                   expects the control to store it
//   LinesAreParagraphs()            a line ends only at a line end
#pragma once

#include <cstddef>
#include <cstring>
#include <utility>
#include <vector>

#include "console/view/control_units.h"
#include "console/view/view_append.h"

namespace murlo {

namespace view_batch_detail {

// Positions count the old view's text first, then the texts of the batch
// one after the other: the text the control holds once all of them were
// inserted.
struct Span {
    long from;
    long to;
};

struct CharBound {
    size_t offset;  // in the batch buffer
    long position;
};

}  // namespace view_batch_detail

// The working memory of FlushToView. A console keeps one for its whole
// life, so that bringing the view up to date does not allocate and free
// up to a few hundred KiB each time (its private bytes would swing with
// the moment they are sampled); the vectors keep their capacity.
struct ViewBatchScratch {
    std::vector<long> oldStartCache;
    std::vector<view_batch_detail::CharBound> bounds;
    std::vector<long> textLineStarts;
    std::vector<view_batch_detail::Span> spans;
    std::vector<view_batch_detail::Span> kept;
    std::vector<size_t> firstBounds;
    std::vector<char> joined;
};

namespace view_batch_detail {

template <typename Host>
struct ShadowView {
    Host& host;
    const char* batch;
    long limit;
    long oldLength;
    long oldLineStarts;  // lines of the old view after the first
    std::vector<long>& oldStartCache;
    std::vector<CharBound>& bounds;      // every character's start in the batch, and each text's end
    std::vector<long>& textLineStarts;   // lines beginning inside the texts
    std::vector<Span>& spans;            // what the view holds, in order
    std::vector<Span>& kept;             // room for Delete
    long length = 0;
    long selectionFrom = 0;
    long selectionTo = 0;
    size_t textFirst = 0;  // bounds of the text being appended
    size_t textLast = 0;   // its end, at the next text's first character
    size_t textEnd = 0;    // the offset of its NUL
    bool failed = false;   // met what the shadow cannot stand for

    ShadowView(Host& h, const char* b, ViewBatchScratch& scratch)
        : host(h),
          batch(b),
          oldStartCache(scratch.oldStartCache),
          bounds(scratch.bounds),
          textLineStarts(scratch.textLineStarts),
          spans(scratch.spans),
          kept(scratch.kept) {
        bounds.clear();
        textLineStarts.clear();
        spans.clear();
        limit = host.StoredLimit();
        oldLength = host.StoredLength();
        long lines = host.StoredLineCount();
        oldLineStarts = lines > 1 ? lines - 1 : 0;
        oldStartCache.assign(static_cast<size_t>(oldLineStarts), -2);
        if (oldLength > 0) spans.push_back(Span{0, oldLength});
        length = oldLength;
    }

    // The u-th position at which a line begins, after the start.
    long LineStart(size_t u) {
        if (u < oldStartCache.size()) {
            long& cached = oldStartCache[u];
            if (cached == -2) {
                cached = host.StoredLineIndex(static_cast<long>(u) + 1);
                if (cached < 0) {
                    failed = true;
                    cached = oldLength;
                }
            }
            return cached;
        }
        return textLineStarts[u - oldStartCache.size()];
    }
    size_t LineStartCount() const { return oldStartCache.size() + textLineStarts.size(); }
    // How many line starts lie at or before position.
    size_t LineStartsUpTo(long position) {
        size_t low = 0;
        size_t high = LineStartCount();
        while (low < high) {
            size_t middle = low + (high - low) / 2;
            if (LineStart(middle) <= position) low = middle + 1;
            else high = middle;
        }
        return low;
    }

    // The view's operations, in positions of what the shadow holds.
    long Length() const { return length; }

    long LineCount() {
        long count = 1;
        for (const Span& span : spans) count += static_cast<long>(LineStartsUpTo(span.to) - LineStartsUpTo(span.from));
        return count;
    }

    long LineIndex(long line) {
        if (line < 0) return -1;
        if (line == 0) return 0;
        long at = 0;
        size_t wanted = static_cast<size_t>(line);
        for (const Span& span : spans) {
            size_t first = LineStartsUpTo(span.from);
            size_t inside = LineStartsUpTo(span.to) - first;
            if (wanted <= inside) return at + (LineStart(first + wanted - 1) - span.from);
            wanted -= inside;
            at += span.to - span.from;
        }
        return -1;
    }

    void SetSelection(long a, long b) {
        if (b < 0 || b > length) b = length;
        if (a < 0 || a > length) a = length;
        if (a > b) std::swap(a, b);
        selectionFrom = a;
        selectionTo = b;
    }

    void Delete(long from, long to) {
        kept.clear();
        long at = 0;
        for (const Span& span : spans) {
            long spanLength = span.to - span.from;
            long cutFrom = from - at;
            long cutTo = to - at;
            if (cutFrom > 0) kept.push_back(Span{span.from, span.from + (cutFrom < spanLength ? cutFrom : spanLength)});
            if (cutTo < spanLength) kept.push_back(Span{span.from + (cutTo > 0 ? cutTo : 0), span.to});
            at += spanLength;
        }
        spans.clear();
        for (const Span& span : kept) {
            if (span.from >= span.to) continue;
            if (!spans.empty() && spans.back().to == span.from) spans.back().to = span.to;
            else spans.push_back(span);
        }
        length -= to - from;
    }

    void Add(long from, long to) {
        if (from >= to) return;
        if (!spans.empty() && spans.back().to == from) spans.back().to = to;
        else spans.push_back(Span{from, to});
        length += to - from;
    }

    // The first bound of the text being appended at or after offset.
    size_t BoundAt(size_t offset) const {
        size_t low = textFirst;
        size_t high = textLast;
        while (low < high) {
            size_t middle = low + (high - low) / 2;
            if (bounds[middle].offset < offset) low = middle + 1;
            else high = middle;
        }
        return low;
    }

    size_t ReplaceSelection(const char* text) {
        if (selectionFrom < selectionTo) Delete(selectionFrom, selectionTo);
        selectionTo = selectionFrom;
        if (*text == '\0') return 0;
        const size_t offset = static_cast<size_t>(text - batch);
        size_t first = BoundAt(offset);
        // Only insertions at the end, of a text from one of its characters.
        if (selectionFrom != length || bounds[first].offset != offset) {
            failed = true;
            return 0;
        }
        const long start = bounds[first].position;
        long room = limit - length;
        size_t last = textLast;
        if (bounds[last].position - start > room) {
            // The longest start of the text that fits, not splitting a character.
            size_t low = first;
            size_t high = textLast;
            while (low < high) {
                size_t middle = low + (high - low + 1) / 2;
                if (bounds[middle].position - start <= room) low = middle;
                else high = middle - 1;
            }
            last = low;
        }
        Add(start, bounds[last].position);
        selectionFrom = selectionTo = length;
        return (last == textLast ? textEnd : bounds[last].offset) - offset;
    }

    void ScrollCaret() {}
    void SetRedraw(bool) {}
    void Repaint() {}
};

// Appends the texts to a shadow, then brings the host to the same text with
// one insertion; false (the host unchanged) when that cannot be done.
template <typename Host>
bool FlushAtOnce(Host& host, const char* batch, const size_t* ends, size_t count, ViewBatchScratch& scratch) {
    // A batch of many times the view's size (one huge text) goes one by
    // one: the shadow keeps a record for every character.
    if (count == 0 || ends[count - 1] > static_cast<size_t>(host.StoredLimit()) * 8 + 1024) return false;
    ShadowView<Host> shadow(host, batch, scratch);
    std::vector<size_t>& firstBounds = scratch.firstBounds;
    firstBounds.clear();
    long position = shadow.oldLength;
    size_t begin = 0;
    for (size_t t = 0; t < count; ++t) {
        firstBounds.push_back(shadow.bounds.size());
        for (size_t i = begin; i < ends[t];) {
            ControlChar c = host.NextChar(batch + begin, ends[t] - begin, i - begin);
            shadow.bounds.push_back(CharBound{i, position});
            position += static_cast<long>(c.chars);
            i += c.bytes;
            if (c.endsLine) shadow.textLineStarts.push_back(position);
        }
        begin = ends[t] + 1;
    }
    // The end of the last text; each text's end is the next one's first bound.
    shadow.bounds.push_back(CharBound{count > 0 ? ends[count - 1] : 0, position});
    firstBounds.push_back(shadow.bounds.size() - 1);

    begin = 0;
    for (size_t t = 0; t < count && !shadow.failed; ++t) {
        shadow.textFirst = firstBounds[t];
        shadow.textLast = firstBounds[t + 1];
        shadow.textEnd = ends[t];
        bool drawingOff = true;
        AppendTrimmed(shadow, batch + begin, ends[t] - begin, drawingOff);
        begin = ends[t] + 1;
    }
    if (shadow.failed) return false;

    // All texts in one insertion, checked against the shadow's counts.
    std::vector<char>& joined = scratch.joined;
    joined.clear();
    begin = 0;
    for (size_t t = 0; t < count; ++t) {
        joined.insert(joined.end(), batch + begin, batch + ends[t]);
        begin = ends[t] + 1;
    }
    joined.push_back('\0');
    const long total = position;
    const long before = host.StoredLength();
    const long added = host.InsertUnlimited(joined.data());
    if (before != shadow.oldLength || before + added != total ||
        host.StoredLineCount() != 1 + static_cast<long>(shadow.LineStartCount())) {
        host.DeleteStored(before, before + added);
        return false;
    }
    // Whatever the shadow dropped, from the end backwards.
    long end = total;
    for (size_t i = shadow.spans.size(); i-- > 0;) {
        if (shadow.spans[i].to < end) host.DeleteStored(shadow.spans[i].to, end);
        end = shadow.spans[i].from;
    }
    if (end > 0) host.DeleteStored(0, end);
    return true;
}

}  // namespace view_batch_detail

// Appends count texts to the view as AppendToView would one after the
// other. Text t occupies batch[begin, ends[t]) and is followed by a NUL,
// the next one beginning after it (the first at 0). The repainting is off
// throughout; the caret ends after the last text, scrolled into view, and
// the view is repainted once. scratch is the working memory, reused.
template <typename Host>
void FlushToView(Host& host, const char* batch, const size_t* ends, size_t count, ViewBatchScratch& scratch) {
    if (count == 0) return;
    host.SetRedraw(false);
    if (!host.LinesAreParagraphs() || !view_batch_detail::FlushAtOnce(host, batch, ends, count, scratch)) {
        bool drawingOff = true;
        size_t begin = 0;
        for (size_t t = 0; t < count; ++t) {
            AppendTrimmed(host, batch + begin, ends[t] - begin, drawingOff);
            begin = ends[t] + 1;
        }
    }
    const long end = host.Length();
    host.SetSelection(end, end);
    host.ScrollCaret();
    host.SetRedraw(true);
    host.Repaint();
}

}  // namespace murlo
