// The view's update: every way a rendered text takes into the control.
//
// The console (view_queue.cpp) lets each text wait in a queue, and
// FlushViewQueue brings the view up to date with all waiting texts at once
// through AppendToView below. Two texts do not wait:
//   - a text longer than the view: it is cut to its newest part that fits
//     (NewestPartWithin), the view is emptied and what waited dropped, as
//     appending it whole would leave the view, and that part goes in at once;
//   - a text the queue has no memory for: it goes in at once, alone.
// AppendToView takes the texts in by one of these routes (ViewRoute):
//   AllAtOnce          the texts are appended by the rule (view_append.h)
//                      to a shadow of the view (shadow_view.h); the control
//                      then takes them all in one insertion and loses what
//                      the shadow dropped in one deletion (a few where an
//                      open line was cut out);
// and otherwise one by one, each text by the rule, on the control itself,
// measuring a text once instead of inserting it again after every line
// deleted (MakeRoomByMeasure), because:
//   Wrapped            the lines wrap at the window edge: the shadow knows
//                      only the lines that line ends make;
//   BatchTooLarge      the batch is many times the view (one huge text):
//                      the shadow keeps a record for every character;
//   ShadowCannotModel  the rule did what the shadow does not stand for, or
//                      the control did not report a line of the old view;
//   CountsDiffer       the control's length or line count after the one
//                      insertion is not the shadow's (it is taken out again);
//   NoMemory           the shadow's working memory could not grow.
// Under every route, the rich edit layer (rich_edit_view.h) takes in only
// what fits the control's limit, as the Windows control does.
//
// Portable. The host view offers, beside the operations of view_append.h
// and shadow_view.h:
//   ScrollCaret(), SetRedraw(on), Repaint()
//   InsertUnlimited(text)           insert at the end whatever the limit;
//                                   returns the positions it added
//   DeleteStored(from, to)          delete that range of its own positions
//   NextChar(text, length, i)       the character at text[i] as the host
//                                   expects the control to store it
//   LinesAreParagraphs()            a line ends only at a line end
#pragma once

#include <cstddef>

#include "console/view/control_units.h"
#include "console/view/shadow_view.h"
#include "console/view/view_append.h"

namespace murlo {

enum class ViewRoute {
    AllAtOnce,
    // One by one, because:
    Wrapped,
    BatchTooLarge,
    ShadowCannotModel,
    CountsDiffer,
    NoMemory,
};

enum class MeasuredRoom {
    OpenLine,  // the view ends in an open line: nothing done, insert the text again
    TextIsIn,  // the measuring insertion fitted: the text is in, at (a, b)
    RoomMade,  // lines deleted until the text fits: insert it again
};

// A step between the rule's turns that leaves the lines that deleting one
// line and inserting again per turn leaves, for a fraction of the work
// (the insertions, each up to the whole text, are what cost): the text is
// measured once (units < 0: not yet), in the view's own characters, by
// inserting it whatever the limit (and deleting it again when it went
// over); then lines are deleted from the top while the view and the text
// together pass the limit by more than the two characters that a line end
// split between them may count. That holds once the view ends at a line
// start: while it ends in an open line, a partial insertion would take
// that line away with it, so the view is left to the turns that insert.
template <typename View>
MeasuredRoom MakeRoomByMeasure(View& view, const char* text, long& units, long& a, long& b) {
    const long length = view.Length();
    if (length > 0 && view.LineIndex(view.LineCount() - 1) != length) return MeasuredRoom::OpenLine;
    if (units < 0) {
        const long before = view.StoredLength();
        units = view.InsertUnlimited(text);
        if (before + units <= view.StoredLimit()) {
            a = length;
            b = view.Length();
            return MeasuredRoom::TextIsIn;
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
    return MeasuredRoom::RoomMade;
}

// One text onto the control itself, by the rule, measured.
template <typename Host>
void AppendOneTextToHost(Host& host, const char* text, size_t length) {
    long units = -1;
    AppendOneTextWith(host, text, length, [text, &units](Host& view, long& a, long& b) {
        return MakeRoomByMeasure(view, text, units, a, b) == MeasuredRoom::TextIsIn;
    });
}

// Appends the texts to a shadow, then brings the host to the same text with
// one insertion; when that cannot be done, answers why, the host unchanged.
template <typename Host>
ViewRoute AppendAllAtOnce(Host& host, const char* batch, const size_t* ends, size_t count,
                          ViewBatchScratch& scratch) {
    using shadow_detail::CharBound;
    if (ends[count - 1] > static_cast<size_t>(host.StoredLimit()) * 8 + 1024) return ViewRoute::BatchTooLarge;
    ShadowView<Host> shadow(host, batch, scratch);
    const ScratchAllocator& memory = scratch.memory;
    ScratchArray<size_t>& firstBounds = scratch.firstBounds;
    firstBounds.clear();
    // Every character of the batch takes at least one byte.
    if (!firstBounds.Reserve(count + 1, memory) || !shadow.bounds.Reserve(ends[count - 1] + 1, memory)) {
        return ViewRoute::NoMemory;
    }
    long position = shadow.oldLength;
    size_t begin = 0;
    for (size_t t = 0; t < count; ++t) {
        firstBounds.Push(shadow.bounds.size(), memory);
        for (size_t i = begin; i < ends[t];) {
            ControlChar c = host.NextChar(batch + begin, ends[t] - begin, i - begin);
            shadow.bounds.Push(CharBound{i, position}, memory);
            position += static_cast<long>(c.chars);
            i += c.bytes;
            if (c.endsLine) shadow.Keep(shadow.textLineStarts, position);
        }
        begin = ends[t] + 1;
    }
    // The end of the last text; each text's end is the next one's first bound.
    shadow.bounds.Push(CharBound{ends[count - 1], position}, memory);
    firstBounds.Push(shadow.bounds.size() - 1, memory);

    begin = 0;
    for (size_t t = 0; t < count && !shadow.Failed(); ++t) {
        shadow.textFirst = firstBounds[t];
        shadow.textLast = firstBounds[t + 1];
        shadow.textEnd = ends[t];
        AppendOneText(shadow, batch + begin, ends[t] - begin);
        begin = ends[t] + 1;
    }
    if (shadow.failure == ShadowFailure::CannotModel) return ViewRoute::ShadowCannotModel;
    if (shadow.failure == ShadowFailure::NoMemory) return ViewRoute::NoMemory;

    // All texts in one insertion, checked against the shadow's counts.
    ScratchArray<char>& joined = scratch.joined;
    joined.clear();
    if (!joined.Reserve(ends[count - 1] + 1, memory)) return ViewRoute::NoMemory;
    begin = 0;
    for (size_t t = 0; t < count; ++t) {
        joined.Append(batch + begin, ends[t] - begin, memory);
        begin = ends[t] + 1;
    }
    joined.Push('\0', memory);
    const long total = position;
    const long before = host.StoredLength();
    const long added = host.InsertUnlimited(joined.data);
    if (before != shadow.oldLength || before + added != total ||
        host.StoredLineCount() != 1 + static_cast<long>(shadow.LineStartCount())) {
        host.DeleteStored(before, before + added);
        return ViewRoute::CountsDiffer;
    }
    // Whatever the shadow dropped, from the end backwards.
    long end = total;
    for (size_t i = shadow.spans.size(); i-- > 0;) {
        if (shadow.spans[i].to < end) host.DeleteStored(shadow.spans[i].to, end);
        end = shadow.spans[i].from;
    }
    if (end > 0) host.DeleteStored(0, end);
    return ViewRoute::AllAtOnce;
}

// Appends count texts to the view, leaving the text that appending each by
// the rule leaves, and answers the route they took. Text t occupies
// batch[begin, ends[t]) and is followed by a NUL, the next one beginning
// after it (the first at 0). The repainting is off throughout; the caret
// ends after the last text, scrolled into view, and the view is repainted
// once. scratch is the working memory, reused.
template <typename Host>
ViewRoute AppendToView(Host& host, const char* batch, const size_t* ends, size_t count, ViewBatchScratch& scratch) {
    if (count == 0) return ViewRoute::AllAtOnce;  // nothing to take in
    host.SetRedraw(false);
    const ViewRoute route =
        host.LinesAreParagraphs() ? AppendAllAtOnce(host, batch, ends, count, scratch) : ViewRoute::Wrapped;
    if (route != ViewRoute::AllAtOnce) {
        size_t begin = 0;
        for (size_t t = 0; t < count; ++t) {
            AppendOneTextToHost(host, batch + begin, ends[t] - begin);
            begin = ends[t] + 1;
        }
    }
    const long end = host.Length();
    host.SetSelection(end, end);
    host.ScrollCaret();
    host.SetRedraw(true);
    host.Repaint();
    return route;
}

}  // namespace murlo
