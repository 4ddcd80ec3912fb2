#include "console/logfile/ring_buffer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace murlo::test {
namespace {

void AppendToString(void* context, const char* bytes, size_t count) {
    static_cast<std::string*>(context)->append(bytes, count);
}

// A ring over a heap block of exactly its size, so that AddressSanitizer
// reports any access outside it.
struct TestRing {
    std::unique_ptr<char[]> memory;
    RingRegion ring{};

    explicit TestRing(uint32_t size) : memory(size > 0 ? new char[size] : nullptr) {
        ResetRing(ring, memory.get(), size);
    }
    void Write(const std::string& text) { WriteRing(ring, text.data(), text.size()); }
    std::string Out() const {
        std::string out;
        CopyOutRing(ring, ByteSink{AppendToString, &out});
        return out;
    }
};

std::string LogForm(const std::string& text) {
    std::string out;
    WriteLogText(text.data(), text.size(), ByteSink{AppendToString, &out});
    return out;
}

TEST(WriteLogText, EveryLineEndBecomesOneCrLf) {
    const struct {
        std::string text;
        std::string file;
    } cases[] = {
        {"a\r\nb\r\n", "a\r\nb\r\n"},
        {"a\r\r\nb\n", "a\r\nb\r\n"},
        {"\r", ""},
        {"\n\n", "\r\n\r\n"},
        {"no end", "no end"},
        {"", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.text));
        EXPECT_EQ(LogForm(c.text), c.file);
        // The ring gives the log file the same bytes as direct logging.
        TestRing ring(1024);
        ring.Write(c.text);
        EXPECT_EQ(ring.Out(), c.file);
    }
}

TEST(WriteLogText, LongTextsArriveWhole) {
    std::string text;
    for (int i = 0; i < 3000; ++i) text += "line " + std::to_string(i) + "\r\n";
    EXPECT_EQ(LogForm(text), text);
}

TEST(RingBuffer, RingThatNeverFillsGivesEverything) {
    TestRing ring(1024);
    ring.Write("first\r\n");
    ring.Write("second, open");
    ring.Write("\r\nthird\r\n");
    EXPECT_EQ(ring.ring.oldest, 0u);
    EXPECT_EQ(ring.ring.write, 28u);
    EXPECT_EQ(ring.Out(), "first\r\nsecond, open\r\nthird\r\n");
}

TEST(RingBuffer, TextEndingExactlyAtTheRingsEnd) {
    TestRing ring(16);
    ring.Write("ab\r\ncd\r\n");
    ring.Write("efgh\r\nij");
    EXPECT_EQ(ring.ring.write, 0u);
    EXPECT_EQ(ring.memory[0], '\0');
    EXPECT_EQ(ring.ring.oldest, 4u);  // the second line ever stored
    EXPECT_EQ(ring.Out(), "cd\r\nefgh\r\nij");
}

TEST(RingBuffer, FirstLineFeedAtTheLastByteMovesOldestToTheStart) {
    TestRing ring(16);
    ring.Write("0123456789abc");
    ring.Write("e\r\nXY");
    EXPECT_EQ(ring.ring.write, 2u);
    EXPECT_EQ(ring.ring.oldest, 0u);
    EXPECT_EQ(ring.Out(), "XY");
}

TEST(RingBuffer, TextLongerThanTheRingKeepsItsEnd) {
    TestRing ring(16);
    ring.Write("line1\r\nline2\r\nline3\r\nline4\r\n");
    EXPECT_EQ(ring.ring.write, 12u);
    EXPECT_EQ(ring.ring.oldest, 14u);
    EXPECT_EQ(ring.Out(), "line3\r\nline4\r\n");
}

TEST(RingBuffer, PartlyOverwrittenOldestLineIsNotWrittenOut) {
    TestRing ring(32);
    ring.Write("aaaaaaaaa\r\n");
    ring.Write("bbbbbbbbb\r\n");
    ring.Write("ccccccccc\r\n");
    EXPECT_EQ(ring.Out(), "bbbbbbbbb\r\nccccccccc\r\n");
    ring.Write("dd");
    EXPECT_EQ(ring.Out(), "bbbbbbbbb\r\nccccccccc\r\ndd");
    ring.Write("d\r\neeeeeeee");
    EXPECT_EQ(ring.Out(), "ccccccccc\r\nddd\r\neeeeeeee");
}

TEST(RingBuffer, NoLineFeedLeftWritesAllButTheNul) {
    TestRing ring(16);
    ring.Write("abcdefghijklmnopqrstuvwxyz");
    EXPECT_EQ(ring.ring.write, 10u);
    EXPECT_EQ(ring.ring.oldest, 11u);
    EXPECT_EQ(ring.Out(), "lmnopqrstuvwxyz");
}

TEST(RingBuffer, EmptyTextChangesNothing) {
    TestRing ring(16);
    ring.Write("abcdefghijklmnopqrstuvwxyz");
    const RingRegion before = ring.ring;
    ring.Write("");
    EXPECT_EQ(ring.ring.write, before.write);
    EXPECT_EQ(ring.ring.oldest, before.oldest);
}

TEST(RingBuffer, TooSmallOrMissingRegionStoresNothing) {
    for (uint32_t size : {0u, 1u}) {
        SCOPED_TRACE(size);
        TestRing ring(size);
        ring.Write("abc\r\n");
        EXPECT_EQ(ring.Out(), "");
        if (size == 1) {
            EXPECT_EQ(ring.memory[0], '\0');
        }
    }
    RingRegion none{};
    WriteRing(none, "abc", 3);
    std::string out;
    CopyOutRing(none, ByteSink{AppendToString, &out});
    EXPECT_EQ(out, "");
}

// Against a model of the ring: before the first wrap the file gets all
// output; after it, of the last size bytes of output the part after their
// first LF (or, with no LF, all of them but the first, where the NUL is).
TEST(RingBuffer, MatchesTheModelOverRandomWrites) {
    std::mt19937 random(20240611);
    const char alphabet[] = "abcde \r\n\n";
    for (int round = 0; round < 300; ++round) {
        uint32_t size = 2 + random() % 200;
        TestRing ring(size);
        std::string all;
        int writes = 1 + static_cast<int>(random() % 60);
        for (int w = 0; w < writes; ++w) {
            std::string text;
            size_t length = random() % (size * 2 + 3);
            for (size_t i = 0; i < length; ++i) text += alphabet[random() % (sizeof alphabet - 1)];
            ring.Write(text);
            all += text;
        }
        std::string expected = all;
        if (all.size() >= size) {
            std::string tail = all.substr(all.size() - size);
            size_t lineFeed = tail.find('\n');
            expected = tail.substr(lineFeed == std::string::npos ? 1 : lineFeed + 1);
        }
        ASSERT_EQ(ring.Out(), LogForm(expected)) << "round " << round << " size " << size;
        ASSERT_EQ(ring.memory[ring.ring.write], '\0');
    }
}

}  // namespace
}  // namespace murlo::test
