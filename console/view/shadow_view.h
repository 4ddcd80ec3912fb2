// The shadow of the view: a record of which stretches of the old view and
// of the waiting texts the view holds, with the lines and characters as the
// host expects the control to count them. The rule of view_append.h runs on
// it as on the view itself, so that the view's update can then bring the
// control to the same text with one insertion and a few deletions
// (view_batch.h). It stands only for insertions at the end of the view, of
// a text from one of its characters, and deletions; meeting anything else,
// or running out of working memory, it says so and stops changing.
//
// Portable. The host offers, in the control's own positions (those its
// limit counts):
//   StoredLength(), StoredLimit()   length and limit
//   StoredLineCount(), StoredLineIndex(line)   lines (-1: no such line)
#pragma once

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <type_traits>
#include <utility>

namespace murlo {

// Where the view's update takes its working memory from: allocate answers
// null when there is none. The console passes the process heap; tests pass
// one that fails when they want it to.
struct ScratchAllocator {
    void* (*allocate)(size_t bytes);
    void (*release)(void* block);
};

inline void* AllocateFromRuntime(size_t bytes) { return std::malloc(bytes); }
inline void ReleaseToRuntime(void* block) { std::free(block); }

// A growing array of plain values in blocks of a ScratchAllocator. Growing
// reports failure instead of ending the process.
template <typename T>
struct ScratchArray {
    static_assert(std::is_trivially_copyable_v<T>);
    T* data = nullptr;
    size_t used = 0;
    size_t capacity = 0;

    size_t size() const { return used; }
    bool empty() const { return used == 0; }
    void clear() { used = 0; }
    T& operator[](size_t i) { return data[i]; }
    const T& operator[](size_t i) const { return data[i]; }
    T& back() { return data[used - 1]; }
    const T* begin() const { return data; }
    const T* end() const { return data + used; }

    bool Reserve(size_t wanted, const ScratchAllocator& memory) {
        if (wanted <= capacity) return true;
        size_t grown = capacity < 16 ? 16 : capacity;
        while (grown < wanted) {
            if (grown > static_cast<size_t>(-1) / 2 / sizeof(T)) return false;
            grown *= 2;
        }
        void* block = memory.allocate != nullptr ? memory.allocate(grown * sizeof(T)) : nullptr;
        if (block == nullptr) return false;
        if (used > 0) std::memcpy(block, data, used * sizeof(T));
        const size_t kept = used;
        Release(memory);
        data = static_cast<T*>(block);
        used = kept;
        capacity = grown;
        return true;
    }
    bool Push(const T& value, const ScratchAllocator& memory) {
        if (used == capacity && !Reserve(used + 1, memory)) return false;
        data[used++] = value;
        return true;
    }
    bool Append(const T* values, size_t count, const ScratchAllocator& memory) {
        if (!Reserve(used + count, memory)) return false;
        if (count > 0) std::memcpy(data + used, values, count * sizeof(T));
        used += count;
        return true;
    }
    // count copies of value, in place of what was held.
    bool Fill(size_t count, const T& value, const ScratchAllocator& memory) {
        used = 0;
        if (!Reserve(count, memory)) return false;
        for (size_t i = 0; i < count; ++i) data[i] = value;
        used = count;
        return true;
    }
    void Release(const ScratchAllocator& memory) {
        if (data != nullptr && memory.release != nullptr) memory.release(data);
        data = nullptr;
        used = capacity = 0;
    }
};

namespace shadow_detail {

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

}  // namespace shadow_detail

// The working memory of the view's update, for the shadow and the joined
// texts. A console keeps one for its whole life, so that bringing the view
// up to date does not allocate and free up to a few hundred KiB each time;
// the arrays keep their capacity until ReleaseLarge gives back what a
// batch far larger than usual took.
struct ViewBatchScratch {
    ScratchAllocator memory = {AllocateFromRuntime, ReleaseToRuntime};
    ScratchArray<long> oldStartCache;
    ScratchArray<shadow_detail::CharBound> bounds;
    ScratchArray<long> textLineStarts;
    ScratchArray<shadow_detail::Span> spans;
    ScratchArray<shadow_detail::Span> kept;
    ScratchArray<size_t> firstBounds;
    ScratchArray<char> joined;

    ViewBatchScratch() = default;
    explicit ViewBatchScratch(ScratchAllocator allocator) : memory(allocator) {}
    ViewBatchScratch(const ViewBatchScratch&) = delete;
    ViewBatchScratch& operator=(const ViewBatchScratch&) = delete;
    ~ViewBatchScratch() { ReleaseAll(); }

    template <typename Each>
    void ForEachArray(Each each) {
        each(oldStartCache);
        each(bounds);
        each(textLineStarts);
        each(spans);
        each(kept);
        each(firstBounds);
        each(joined);
    }
    void ReleaseAll() {
        ForEachArray([this](auto& array) { array.Release(memory); });
    }
    // Gives back every array with room for more than keepElements: what a
    // batch far larger than usual made it grow to.
    void ReleaseLarge(size_t keepElements) {
        ForEachArray([this, keepElements](auto& array) {
            if (array.capacity > keepElements) array.Release(memory);
        });
    }
};

// Why a shadow stopped standing for the view.
enum class ShadowFailure {
    None,
    CannotModel,  // an operation it does not stand for, or a line the host did not report
    NoMemory,     // its working memory could not grow
};

// The view's operations of view_append.h, on what the shadow holds.
template <typename Host>
struct ShadowView {
    using Span = shadow_detail::Span;
    using CharBound = shadow_detail::CharBound;

    Host& host;
    const char* batch;
    long limit;
    long oldLength;
    long oldLineStarts;  // lines of the old view after the first
    const ScratchAllocator& memory;
    ScratchArray<long>& oldStartCache;
    ScratchArray<CharBound>& bounds;      // every character's start in the batch, and each text's end
    ScratchArray<long>& textLineStarts;   // lines beginning inside the texts
    ScratchArray<Span>& spans;            // what the view holds, in order
    ScratchArray<Span>& kept;             // room for Delete
    long length = 0;
    long selectionFrom = 0;
    long selectionTo = 0;
    size_t textFirst = 0;  // bounds of the text being appended
    size_t textLast = 0;   // its end, at the next text's first character
    size_t textEnd = 0;    // the offset of its NUL
    ShadowFailure failure = ShadowFailure::None;

    ShadowView(Host& h, const char* b, ViewBatchScratch& scratch)
        : host(h),
          batch(b),
          memory(scratch.memory),
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
        if (!oldStartCache.Fill(static_cast<size_t>(oldLineStarts), -2, memory)) Fail(ShadowFailure::NoMemory);
        if (oldLength > 0) Keep(spans, Span{0, oldLength});
        length = oldLength;
    }

    bool Failed() const { return failure != ShadowFailure::None; }
    void Fail(ShadowFailure why) {
        if (!Failed()) failure = why;
    }
    template <typename T>
    void Keep(ScratchArray<T>& array, const T& value) {
        if (!array.Push(value, memory)) Fail(ShadowFailure::NoMemory);
    }

    // The u-th position at which a line begins, after the start.
    long LineStart(size_t u) {
        if (u < oldStartCache.size()) {
            long& cached = oldStartCache[u];
            if (cached == -2) {
                cached = host.StoredLineIndex(static_cast<long>(u) + 1);
                if (cached < 0) {
                    Fail(ShadowFailure::CannotModel);
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
            if (cutFrom > 0) Keep(kept, Span{span.from, span.from + (cutFrom < spanLength ? cutFrom : spanLength)});
            if (cutTo < spanLength) Keep(kept, Span{span.from + (cutTo > 0 ? cutTo : 0), span.to});
            at += spanLength;
        }
        spans.clear();
        for (const Span& span : kept) {
            if (span.from >= span.to) continue;
            if (!spans.empty() && spans.back().to == span.from) spans.back().to = span.to;
            else Keep(spans, span);
        }
        length -= to - from;
    }

    void Add(long from, long to) {
        if (from >= to) return;
        if (!spans.empty() && spans.back().to == from) spans.back().to = to;
        else Keep(spans, Span{from, to});
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
        // Once failed, every text "goes in whole", so that the append ends.
        if (Failed()) return std::strlen(text);
        if (selectionFrom < selectionTo) Delete(selectionFrom, selectionTo);
        selectionTo = selectionFrom;
        if (*text == '\0') return 0;
        const size_t offset = static_cast<size_t>(text - batch);
        size_t first = BoundAt(offset);
        // Only insertions at the end, of a text from one of its characters.
        if (selectionFrom != length || bounds[first].offset != offset) {
            Fail(ShadowFailure::CannotModel);
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
};

}  // namespace murlo
