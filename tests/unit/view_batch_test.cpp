#include "console/view/view_batch.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "text_control_model.h"

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
    std::vector<std::string> texts;
    void Add(const std::string& text) {
        texts.push_back(text);
        buffer += text;
        ends.push_back(buffer.size());
        buffer += '\0';
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

TextControlModel MakeModel(long limit, bool lineEndIsOneChar, CharRule rule, CharRule expected) {
    TextControlModel model;
    model.limit = limit;
    model.lineEndIsOneChar = lineEndIsOneChar;
    model.charRule = rule;
    model.expectedRule = expected;
    return model;
}

// Random batches: flushing them at once leaves exactly the text that
// appending the texts one by one leaves, in views of every size, with
// the limit crossed inside a batch, texts longer than the view, open
// lines, multi-byte characters, and a host whose expectation is wrong.
TEST(FlushToView, BatchGivesTheTextOfAppendingOneByOne) {
    const struct {
        const char* name;
        bool lineEndIsOneChar;
        CharRule rule;
        CharRule expected;  // null: the host expects what the control does
        bool atOnce;        // a batch without an over-long text goes in at once
    } cases[] = {
        {"every byte a character", false, nullptr, nullptr, true},
        {"line end once", true, nullptr, nullptr, true},
        {"UTF-8", true, Utf8Rule, nullptr, true},
        {"two characters for one byte", false, WideHashRule, nullptr, true},
        {"the host counting bytes of UTF-8", true, Utf8Rule, ByteRule, false},
        {"the host missing the wide character", true, WideHashRule, ByteRule, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::mt19937 random(41);
        // One working memory for every flush, as a console keeps it: what
        // an earlier flush, of another view too, left in it must not count.
        ViewBatchScratch scratch;
        for (int round = 0; round < 60; ++round) {
            const long limit = 30 + static_cast<long>(random() % 300);
            TextControlModel oneByOne = MakeModel(limit, c.lineEndIsOneChar, c.rule, nullptr);
            TextControlModel batched = MakeModel(limit, c.lineEndIsOneChar, c.rule, c.expected);
            for (int flush = 0; flush < 25; ++flush) {
                Batch batch;
                size_t count = 1 + random() % 12;
                bool overLong = false;
                for (size_t t = 0; t < count; ++t) {
                    std::string text = RandomText(random, limit);
                    overLong = overLong || static_cast<long>(text.size()) > limit / 2;
                    batch.Add(text);
                    AppendToView(oneByOne, text.c_str(), text.size());
                }
                batched.replaceCalls = batched.unlimitedInserts = 0;
                batched.scrollCaretCalls = batched.repaintCalls = 0;
                FlushToView(batched, batch.buffer.data(), batch.ends.data(), batch.ends.size(), scratch);
                ASSERT_EQ(batched.text, oneByOne.text) << "round " << round << " flush " << flush;
                ASSERT_LE(batched.StoredLength(), limit);
                ASSERT_EQ(batched.selectionStart, batched.Length());
                ASSERT_EQ(batched.selectionEnd, batched.Length());
                ASSERT_EQ(batched.scrollCaretCalls, 1);
                ASSERT_EQ(batched.repaintCalls, 1);
                ASSERT_FALSE(batched.repaintedWhileRedrawOff);
                ASSERT_TRUE(batched.redrawOn);
                if (c.atOnce && !overLong) {
                    ASSERT_EQ(batched.unlimitedInserts, 1);
                    ASSERT_EQ(batched.replaceCalls, 0);
                }
            }
        }
    }
}

std::string Line(int i, size_t width) {
    std::string line = "line " + std::to_string(i) + " ";
    line.resize(width, static_cast<char>('a' + i % 26));
    return line + "\r\n";
}

// A long text into a full view: one insertion and one deletion, whatever
// the number of lines that must go, and the text of the one-by-one loop.
TEST(FlushToView, LongTextIntoAFullViewIsOneInsertionAndOneDeletion) {
    // A view of 4 KiB keeps the one-by-one loop on the model quick; the
    // last text is longer than the view.
    for (size_t size : {1000u, 2000u, 3800u, 6000u}) {
        SCOPED_TRACE(size);
        TextControlModel oneByOne = MakeModel(0x1000, true, nullptr, nullptr);
        for (int i = 0; oneByOne.Length() < 0x1000 - 60; ++i) oneByOne.text += Line(i, 58);
        TextControlModel batched = oneByOne;
        std::string text;
        for (int i = 1000; text.size() < size; ++i) text += Line(i, 40 + i % 30);
        Batch batch;
        batch.Add(text);
        AppendToView(oneByOne, text.c_str(), text.size());
        ViewBatchScratch scratch;
        FlushToView(batched, batch.buffer.data(), batch.ends.data(), batch.ends.size(), scratch);
        EXPECT_EQ(batched.text, oneByOne.text);
        EXPECT_EQ(batched.unlimitedInserts, 1);
        EXPECT_EQ(batched.storedDeletes, 1);
        EXPECT_EQ(batched.replaceCalls, 0);
        // Appending alone, as a view whose lines wrap does, measures the
        // text once instead of inserting it again for every line dropped
        // (some 20 to 70 lines here): what goes in stays within a few
        // times the text and the view.
        EXPECT_LE(oneByOne.insertedBytes, 3 * text.size() + 2 * 0x1000);
    }
}

// An open line left by the view is cut out of the middle when a text that
// does not fit goes in partly first: the batch does the same.
TEST(FlushToView, OpenLineCutByAPartialInsertion) {
    TextControlModel oneByOne = MakeModel(20, false, nullptr, nullptr);
    oneByOne.text = "first\r\nolder";
    TextControlModel batched = oneByOne;
    Batch batch;
    for (const char* text : {"XYZ-new\r\n", "ok\r\n"}) {
        batch.Add(text);
        AppendToView(oneByOne, text, std::strlen(text));
    }
    ViewBatchScratch scratch;
    FlushToView(batched, batch.buffer.data(), batch.ends.data(), batch.ends.size(), scratch);
    EXPECT_EQ(oneByOne.text, "XYZ-new\r\nok\r\n");
    EXPECT_EQ(batched.text, oneByOne.text);
    EXPECT_EQ(batched.unlimitedInserts, 1);
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
TEST(FlushToView, WithoutWorkingMemoryTheTextsGoInOneByOne) {
    for (long failFrom = 0; failFrom < 12; ++failFrom) {
        SCOPED_TRACE(failFrom);
        std::mt19937 random(static_cast<unsigned>(77 + failFrom));
        TestMemory::Reset(-1);
        {
            ViewBatchScratch scratch(TestMemory::Allocator());
            const long limit = 200;
            TextControlModel oneByOne = MakeModel(limit, true, Utf8Rule, nullptr);
            TextControlModel batched = MakeModel(limit, true, Utf8Rule, nullptr);
            for (int flush = 0; flush < 30; ++flush) {
                // The memory runs out from the failFrom-th block of this
                // update on: the scratch holds nothing yet, or only part.
                scratch.ReleaseAll();
                TestMemory::Reset(failFrom);
                Batch batch;
                size_t count = 1 + random() % 12;
                for (size_t t = 0; t < count; ++t) {
                    std::string text = RandomText(random, limit);
                    batch.Add(text);
                    AppendToView(oneByOne, text.c_str(), text.size());
                }
                batched.unlimitedInserts = batched.replaceCalls = 0;
                FlushToView(batched, batch.buffer.data(), batch.ends.data(), batch.ends.size(), scratch);
                ASSERT_EQ(batched.text, oneByOne.text) << "flush " << flush;
                ASSERT_EQ(batched.selectionStart, batched.Length());
                if (failFrom == 0) {
                    ASSERT_GE(batched.replaceCalls, static_cast<int>(count)) << "no memory: one by one";
                }
            }
        }
        EXPECT_EQ(TestMemory::held, 0u);
    }
    TestMemory::Reset(-1);
}

// A batch far larger than usual grows the working memory; what it grew
// beyond the usual size goes back, and the next batch is still exact.
TEST(FlushToView, WorkingMemoryOfAFarLargerBatchIsGivenBack) {
    constexpr size_t kUsualElements = 4096;
    // Seven arrays, none of elements larger than 16 bytes.
    constexpr size_t kUsualBytes = 7 * kUsualElements * 16;
    TestMemory::Reset(-1);
    {
        ViewBatchScratch scratch(TestMemory::Allocator());
        TextControlModel oneByOne = MakeModel(0x2000, true, nullptr, nullptr);
        TextControlModel batched = MakeModel(0x2000, true, nullptr, nullptr);
        auto flush = [&](size_t lines, int first) {
            Batch batch;
            for (size_t i = 0; i < lines; ++i) {
                std::string text = Line(first + static_cast<int>(i), 60);
                batch.Add(text);
                AppendToView(oneByOne, text.c_str(), text.size());
            }
            TestMemory::peak = TestMemory::held;
            FlushToView(batched, batch.buffer.data(), batch.ends.data(), batch.ends.size(), scratch);
            scratch.ReleaseLarge(kUsualElements);
            return batched.text == oneByOne.text;
        };
        ASSERT_TRUE(flush(40, 0));
        ASSERT_TRUE(flush(1000, 100));  // 63 KiB, eight times the view
        EXPECT_GT(TestMemory::peak, size_t{1} << 20) << "the batch had its working memory";
        EXPECT_LE(TestMemory::held, kUsualBytes);
        ASSERT_TRUE(flush(40, 2000));
        EXPECT_LE(TestMemory::held, kUsualBytes);
    }
    EXPECT_EQ(TestMemory::held, 0u);
}

}  // namespace
}  // namespace murlo::test
