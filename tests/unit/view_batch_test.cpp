// The view's update: whatever route a batch of texts takes, the view ends
// with the text that appending each by the rule leaves, the caret after
// it, scrolled into view and repainted once.
#include "console/view/view_batch.h"
#include "console/view/update_timing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "tests/support/text_control_model.h"

namespace murlo::test {
namespace {

// Every byte one character: a host that does not know the code page.
size_t ByteRule(const char*, size_t, long* weight) {
    *weight = 1;
    return 1;
}

struct Batch {
    std::string buffer;  // the texts, each followed by a NUL
    std::vector<size_t> ends;
    void Add(const std::string& text) {
        buffer += text;
        ends.push_back(buffer.size());
        buffer += '\0';
    }
    bool HasTextLongerThan(long limit) const {
        size_t begin = 0;
        for (size_t end : ends) {
            if (end - begin > static_cast<size_t>(limit)) return true;
            begin = end + 1;
        }
        return false;
    }
    // Appends the batch to host, and each text by the rule to oneByOne.
    template <typename Host>
    ViewRoute AppendTo(Host& host, TextControlModel& oneByOne, ViewBatchScratch& scratch) const {
        size_t begin = 0;
        for (size_t end : ends) {
            AppendOneText(oneByOne, buffer.data() + begin, end - begin);
            begin = end + 1;
        }
        host.scrollCaretCalls = host.repaintCalls = 0;
        host.unlimitedInserts = host.storedDeletes = 0;
        host.insertedBytes = 0;
        return AppendToView(host, buffer.data(), ends.data(), ends.size(), scratch);
    }
};

std::string RandomText(std::mt19937& random, long limit) {
    static const char* pieces[] = {"a", "bcd", "0123456789", "\xC3\xA9", "\xE3\x81\x82", "#", " ", "\r\n", "\r\n"};
    std::string text;
    int kind = static_cast<int>(random() % 20);
    if (kind == 0) return text;  // an empty text
    // Now and then a text longer than the whole view.
    size_t size = kind == 1 ? static_cast<size_t>(limit) + random() % static_cast<size_t>(limit * 2) : random() % 60;
    while (text.size() < size) text += pieces[random() % std::size(pieces)];
    // Most records end their line; some leave it open.
    if (random() % 4 != 0) text += "\r\n";
    return text;
}

// What every update leaves besides the text.
void ExpectCaretScrolledAndRepaintedOnce(const TextControlModel& host) {
    EXPECT_EQ(host.selectionStart, host.Length());
    EXPECT_EQ(host.selectionEnd, host.Length());
    EXPECT_EQ(host.scrollCaretCalls, 1);
    EXPECT_EQ(host.repaintCalls, 1);
    EXPECT_FALSE(host.repaintedWhileRedrawOff);
    EXPECT_TRUE(host.redrawOn);
}

bool HasUtf8Sequence(const std::string& text) {
    return text.find_first_of("\xC3\xE3") != std::string::npos;
}
bool HasHash(const std::string& text) { return text.find('#') != std::string::npos; }

// Random batches, in views of every size, with the limit crossed inside a
// batch, texts longer than the view, open lines and multi-byte characters.
// A batch goes all at once unless it is more than eight views and 1 KiB
// (its texts with the NULs between them), or the host expects the characters otherwise than the control counts
// them and the batch holds such a character.
TEST(AppendToView, RandomBatchesGiveTheTextOfAppendingOneByOne) {
    const struct {
        const char* name;
        bool lineEndIsOneChar;
        CharRule rule;
        CharRule expected;                      // null: the host expects what the control does
        bool (*miscounted)(const std::string&); // the host miscounts a character of the batch
    } cases[] = {
        {"every byte a character", false, nullptr, nullptr, nullptr},
        {"line end once", true, nullptr, nullptr, nullptr},
        {"UTF-8", true, Utf8Rule, nullptr, nullptr},
        {"two characters for one byte", false, WideHashRule, nullptr, nullptr},
        {"the host counting bytes of UTF-8", true, Utf8Rule, ByteRule, HasUtf8Sequence},
        {"the host missing the wide character", true, WideHashRule, ByteRule, HasHash},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::mt19937 random(41);
        // One working memory for every update, as a console keeps it: what
        // an earlier update, of another view too, left in it must not count.
        ViewBatchScratch scratch;
        for (int round = 0; round < 60; ++round) {
            const long limit = 30 + static_cast<long>(random() % 300);
            TextControlModel oneByOne = MakeModel(limit, c.lineEndIsOneChar, c.rule);
            TextControlModel host = MakeModel(limit, c.lineEndIsOneChar, c.rule);
            host.expectedRule = c.expected;
            for (int update = 0; update < 25; ++update) {
                SCOPED_TRACE("round " + std::to_string(round) + " update " + std::to_string(update));
                Batch batch;
                size_t count = 1 + random() % 12;
                for (size_t t = 0; t < count; ++t) batch.Add(RandomText(random, limit));
                ViewRoute expected = ViewRoute::AllAtOnce;
                if (batch.ends.back() > static_cast<size_t>(8 * limit + 1024)) {
                    expected = ViewRoute::BatchTooLarge;
                } else if (c.miscounted != nullptr && c.miscounted(batch.buffer)) {
                    expected = ViewRoute::CountsDiffer;
                }
                const ViewRoute route = batch.AppendTo(host, oneByOne, scratch);
                // The newest part of a text longer than the view is cut by
                // bytes and may begin inside a character of several bytes,
                // where the shadow has no position.
                if (!(route == ViewRoute::ShadowCannotModel && expected == ViewRoute::AllAtOnce &&
                      c.rule == Utf8Rule && c.expected == nullptr && batch.HasTextLongerThan(limit))) {
                    ASSERT_EQ(route, expected);
                }
                ASSERT_EQ(host.text, oneByOne.text);
                ASSERT_LE(host.StoredLength(), limit);
                ExpectCaretScrolledAndRepaintedOnce(host);
            }
        }
    }
}

std::string Line(int i, size_t width) {
    std::string line = "line " + std::to_string(i) + " ";
    line.resize(width, static_cast<char>('a' + i % 26));
    return line + "\r\n";
}

// A view of limit characters full of lines of 60.
TextControlModel FullView(long limit, long wrapWidth = 0) {
    TextControlModel view = MakeModel(limit, true);
    view.wrapWidth = wrapWidth;
    for (int i = 0; view.Length() < limit - 60; ++i) view.text += Line(i, 58);
    return view;
}

// A long text into a full view: one insertion and one deletion, whatever
// the number of lines that must go. The last text is longer than the view.
TEST(AppendToView, LongTextIntoAFullViewIsOneInsertionAndOneDeletion) {
    for (size_t size : {1000u, 2000u, 3800u, 6000u}) {
        SCOPED_TRACE(size);
        TextControlModel oneByOne = FullView(0x1000);
        TextControlModel host = oneByOne;
        std::string text;
        for (int i = 1000; text.size() < size; ++i) text += Line(i, 40 + i % 30);
        Batch batch;
        batch.Add(text);
        ViewBatchScratch scratch;
        EXPECT_EQ(batch.AppendTo(host, oneByOne, scratch), ViewRoute::AllAtOnce);
        EXPECT_EQ(host.text, oneByOne.text);
        EXPECT_EQ(host.unlimitedInserts, 1);
        EXPECT_EQ(host.storedDeletes, 1);
        ExpectCaretScrolledAndRepaintedOnce(host);
    }
}

// Lines that wrap at the window edge are not the lines that line ends
// make, so the texts go one by one; each is measured once instead of
// inserted again for every line dropped, and the view keeps what the rule
// keeps, turn by turn.
TEST(AppendToView, WrappedLinesGoOneByOneAndKeepWhatTheRuleKeeps) {
    std::mt19937 random(3);
    ViewBatchScratch scratch;
    for (int round = 0; round < 24; ++round) {
        const long limit = 100 + static_cast<long>(random() % 400);
        const long wrapWidth = 8 + static_cast<long>(random() % 40);
        TextControlModel oneByOne = MakeModel(limit, round % 2 == 0, round % 3 == 0 ? Utf8Rule : nullptr);
        oneByOne.wrapWidth = wrapWidth;
        TextControlModel host = oneByOne;
        for (int update = 0; update < 20; ++update) {
            SCOPED_TRACE("round " + std::to_string(round) + " update " + std::to_string(update));
            Batch batch;
            size_t count = 1 + random() % 6;
            for (size_t t = 0; t < count; ++t) batch.Add(RandomText(random, limit));
            ASSERT_EQ(batch.AppendTo(host, oneByOne, scratch), ViewRoute::Wrapped);
            ASSERT_EQ(host.text, oneByOne.text);
            ExpectCaretScrolledAndRepaintedOnce(host);
        }
    }
    // Inserting the text again per line dropped (some 30 to 60 wrapped
    // lines here) would cost many times the text; measuring it, a few.
    for (size_t size : {800u, 1600u}) {
        SCOPED_TRACE(size);
        TextControlModel oneByOne = FullView(0x1000, 30);
        TextControlModel host = oneByOne;
        std::string text;
        for (int i = 1000; text.size() < size; ++i) text += Line(i, 40 + i % 30);
        Batch batch;
        batch.Add(text);
        EXPECT_EQ(batch.AppendTo(host, oneByOne, scratch), ViewRoute::Wrapped);
        EXPECT_EQ(host.text, oneByOne.text);
        EXPECT_LE(host.insertedBytes, 3 * text.size() + 2 * 0x1000);
    }
}

// An open line left by the view is cut out of the middle when a text that
// does not fit goes in partly first: the batch does the same.
TEST(AppendToView, OpenLineCutByAPartialInsertion) {
    TextControlModel oneByOne = MakeModel(20);
    oneByOne.text = "first\r\nolder";
    TextControlModel host = oneByOne;
    Batch batch;
    batch.Add("XYZ-new\r\n");
    batch.Add("ok\r\n");
    ViewBatchScratch scratch;
    EXPECT_EQ(batch.AppendTo(host, oneByOne, scratch), ViewRoute::AllAtOnce);
    EXPECT_EQ(oneByOne.text, "XYZ-new\r\nok\r\n");
    EXPECT_EQ(host.text, oneByOne.text);
}

// A control that does not report the lines of the old view: the shadow
// cannot stand for it, and the texts go one by one.
struct LineHidingModel : TextControlModel {
    long StoredLineIndex(long line) const { return line == 0 ? 0 : -1; }
};

TEST(AppendToView, ShadowThatCannotModelTheViewLeavesTheTextsToGoOneByOne) {
    LineHidingModel host;
    host.limit = 0x1000;
    host.text = FullView(0x1000).text;
    TextControlModel oneByOne = host;
    Batch batch;
    batch.Add(Line(1, 200));
    batch.Add("last\r\n");
    ViewBatchScratch scratch;
    EXPECT_EQ(batch.AppendTo(host, oneByOne, scratch), ViewRoute::ShadowCannotModel);
    EXPECT_EQ(host.text, oneByOne.text);
    ExpectCaretScrolledAndRepaintedOnce(host);
}

// Working memory that can run out: blocks are refused from the failFrom-th
// on (counting from 0; -1: never), and the bytes held are counted.
struct TestMemory {
    static inline long failFrom = -1;
    static inline long given = 0;
    static inline size_t held = 0;
    static inline size_t peak = 0;
    static constexpr size_t kHeader = 16;  // keeps the block's size, and its alignment

    static void* Allocate(size_t bytes) {
        if (failFrom >= 0 && given >= failFrom) return nullptr;
        ++given;
        auto* block = static_cast<char*>(std::malloc(bytes + kHeader));
        if (block == nullptr) return nullptr;
        std::memcpy(block, &bytes, sizeof bytes);
        held += bytes;
        if (held > peak) peak = held;
        return block + kHeader;
    }
    static void Release(void* block) {
        char* start = static_cast<char*>(block) - kHeader;
        size_t bytes = 0;
        std::memcpy(&bytes, start, sizeof bytes);
        held -= bytes;
        std::free(start);
    }
    static ScratchAllocator Allocator() { return ScratchAllocator{Allocate, Release}; }
    static void Reset(long fail) {
        failFrom = fail;
        given = 0;
    }
};

// Without memory for the shadow, or running out of it at any point of the
// update, the texts go in one by one: the view holds exactly the text of
// appending them one by one, and nothing is held afterwards.
TEST(AppendToView, WithoutWorkingMemoryTheTextsGoInOneByOne) {
    for (long failFrom = 0; failFrom < 12; ++failFrom) {
        SCOPED_TRACE(failFrom);
        std::mt19937 random(static_cast<unsigned>(77 + failFrom));
        TestMemory::Reset(-1);
        {
            ViewBatchScratch scratch(TestMemory::Allocator());
            const long limit = 200;
            TextControlModel oneByOne = MakeModel(limit, true, Utf8Rule);
            TextControlModel host = MakeModel(limit, true, Utf8Rule);
            for (int update = 0; update < 30; ++update) {
                // The memory runs out from the failFrom-th block of this
                // update on: the scratch holds nothing yet, or only part.
                scratch.ReleaseAll();
                TestMemory::Reset(failFrom);
                Batch batch;
                size_t count = 1 + random() % 12;
                for (size_t t = 0; t < count; ++t) batch.Add(RandomText(random, limit));
                const bool tooLarge = batch.ends.back() > static_cast<size_t>(8 * limit + 1024);
                const ViewRoute route = batch.AppendTo(host, oneByOne, scratch);
                ASSERT_EQ(host.text, oneByOne.text) << "update " << update;
                ASSERT_EQ(host.selectionStart, host.Length());
                if (tooLarge) {
                    ASSERT_EQ(route, ViewRoute::BatchTooLarge);
                } else if (failFrom == 0) {
                    ASSERT_EQ(route, ViewRoute::NoMemory);
                } else {
                    ASSERT_TRUE(route == ViewRoute::NoMemory || route == ViewRoute::AllAtOnce);
                }
            }
        }
        EXPECT_EQ(TestMemory::held, 0u);
    }
    TestMemory::Reset(-1);
}

// A batch far larger than usual grows the working memory; what it grew
// beyond the usual size goes back, and the next batch is still exact.
TEST(AppendToView, WorkingMemoryOfAFarLargerBatchIsGivenBack) {
    constexpr size_t kUsualElements = 4096;
    // Seven arrays, none of elements larger than 16 bytes.
    constexpr size_t kUsualBytes = 7 * kUsualElements * 16;
    TestMemory::Reset(-1);
    {
        ViewBatchScratch scratch(TestMemory::Allocator());
        TextControlModel oneByOne = MakeModel(0x2000, true);
        TextControlModel host = MakeModel(0x2000, true);
        auto update = [&](size_t lines, int first) {
            Batch batch;
            for (size_t i = 0; i < lines; ++i) batch.Add(Line(first + static_cast<int>(i), 60));
            TestMemory::peak = TestMemory::held;
            ViewRoute route = batch.AppendTo(host, oneByOne, scratch);
            scratch.ReleaseLarge(kUsualElements);
            return route == ViewRoute::AllAtOnce && host.text == oneByOne.text;
        };
        ASSERT_TRUE(update(40, 0));
        ASSERT_TRUE(update(1000, 100));  // 63 KiB, eight times the view
        EXPECT_GT(TestMemory::peak, size_t{1} << 20) << "the batch had its working memory";
        EXPECT_LE(TestMemory::held, kUsualBytes);
        ASSERT_TRUE(update(40, 2000));
        EXPECT_LE(TestMemory::held, kUsualBytes);
    }
    EXPECT_EQ(TestMemory::held, 0u);
}

// When the waiting texts go to the view, over a millisecond clock: texts
// arrive every gap ms for a while, the timer turns every 10 ms between
// them, and a text that finds the oldest 40 ms old sends the waiting ones
// first. A stream is taken once in about 40 ms, not at every turn; every
// text is on screen within 40 ms plus a turn or a gap, whichever is
// longer; the last one, and a text that comes alone, within two turns.
TEST(UpdateTiming, AStreamGoesInGroupsAndTheLastTextWithinTwoTurns) {
    const struct {
        uint32_t start, gap, count;
        uint32_t mostUpdates;  // over the stream
    } cases[] = {
        {1000, 1, 400, 11},         // a flood: one update in 40 ms, not in 10
        {0xFFFFFF00u, 1, 400, 11},  // the tick count wraps around meanwhile
        {5000, 3, 100, 15},         // fewer updates than turns
        {7000, 25, 40, 40},         // slower than the turns: each text alone
        {9001, 100, 5, 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "start " << c.start << ", gap " << c.gap);
        UpdateTiming timing;
        std::vector<uint32_t> waiting;  // arrival ticks of the texts not yet on screen
        uint32_t updates = 0, longestWait = 0, lastWait = 0;
        auto update = [&](uint32_t now) {
            for (uint32_t arrived : waiting) longestWait = std::max(longestWait, now - arrived);
            lastWait = now - waiting.back();
            waiting.clear();
            ++updates;
        };
        const uint32_t end = c.gap * c.count + 60;
        for (uint32_t t = 0; t <= end; ++t) {
            const uint32_t now = c.start + t;
            const bool arrives = t % c.gap == 0 && t / c.gap < c.count;
            if (arrives) {
                if (!waiting.empty() && timing.DueOnArrival(now)) update(now);
                timing.Arrived(now, waiting.empty());
                waiting.push_back(now);
            }
            // The timer's turn, offset from the stream, after the text of
            // the same tick: its message comes between two texts.
            if (t % 10 == 7 && !waiting.empty() && timing.DueOnTurn(now)) update(now);
        }
        EXPECT_TRUE(waiting.empty());
        EXPECT_LE(updates, c.mostUpdates);
        EXPECT_LE(longestWait, 40 + std::max(c.gap, 10u));
        EXPECT_LE(lastWait, 20u);
    }
}

}  // namespace
}  // namespace murlo::test
