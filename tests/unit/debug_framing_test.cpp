// Framing of the system debug-output channel's strings into LogRecords.
#include "console/capture/debug_framing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace murlo::test {
namespace {

constexpr uint32_t kA = 0x00000A11;
constexpr uint32_t kB = 0x00000B22;
constexpr RecordTime kTime = {2024, 5, 3, 17, 13, 45, 59, 250};

// Records as the console would receive them, and the allocations made.
struct FakePlatform {
    std::vector<std::string> sent;
    std::vector<uint32_t> allocations;  // sizes asked for
    int failAfter = -1;                 // allocations that succeed before the first failure

    static char* Reallocate(char* block, uint32_t newSize, void* context) {
        auto* self = static_cast<FakePlatform*>(context);
        if (self->failAfter >= 0 && static_cast<int>(self->allocations.size()) >= self->failAfter)
            return nullptr;
        self->allocations.push_back(newSize);
        // Zero-filled like the process heap with HEAP_ZERO_MEMORY; the old
        // block is poisoned so that ASan catches any use after the move.
        char* grown = static_cast<char*>(std::calloc(newSize, 1));
        if (block) {
            std::memcpy(grown, block, self->capacityOf(block));
            std::free(block);
        }
        self->lastBlock = grown;
        self->lastSize = newSize;
        return grown;
    }
    static void LocalTime(RecordTime* time, void*) { *time = kTime; }
    static void Send(const void* record, uint32_t size, void* context) {
        static_cast<FakePlatform*>(context)->sent.emplace_back(static_cast<const char*>(record), size);
    }
    uint32_t capacityOf(char* block) const { return block == lastBlock ? lastSize : 0; }
    DebugMonitorIo Io() { return DebugMonitorIo{Reallocate, LocalTime, Send, this}; }

    char* lastBlock = nullptr;
    uint32_t lastSize = 0;
};

struct Monitor {
    FakePlatform platform;
    DebugFraming framing;
    DebugRecordBuffer buffer;
    ~Monitor() { std::free(buffer.data); }

    TakeResult Take(uint32_t processId, const std::string& text) {
        return TakeDebugString(DebugString{processId, text.data(), text.size()}, framing, buffer,
                               platform.Io());
    }
};

// A received record, read back through the console's acceptance test.
struct Seen {
    bool separator;
    uint32_t processId;
    std::string text;
};

std::string ExpectedSeparator() {
    std::string bytes(kSeparatorRecordSize, '\0');
    bytes[0] = static_cast<char>(288 & 0xFF);
    bytes[1] = static_cast<char>(288 >> 8);
    std::memcpy(&bytes[2], "DB061", 6);
    bytes[288] = '\r';
    bytes[289] = '\n';
    return bytes;
}

Seen Decode(const std::string& record) {
    if (record == ExpectedSeparator()) return {true, 0, "\r\n"};
    PayloadView view = ClassifyPayload(record.data(), record.size());
    EXPECT_TRUE(view.isRecord);
    if (!view.isRecord) return {};
    // A fitted record: the text and its NUL end the payload exactly.
    EXPECT_EQ(record.size(), kRecordHeaderSize + view.textLength + 1);
    EXPECT_EQ(view.locationLength, 0u);
    EXPECT_EQ(std::string(view.header->location, kLocationSize), std::string(kLocationSize, '\0'));
    EXPECT_EQ(view.header->depth, 0);
    EXPECT_EQ(std::memcmp(&view.header->localTime, &kTime, sizeof kTime), 0);
    return {false, view.header->processId, std::string(view.text, view.textLength)};
}

TEST(DebugFraming, RecordsCarryTheIdOnlyAtLineStartsAndSeparatorsCloseOpenLines) {
    struct Write {
        uint32_t processId;
        std::string text;
    };
    const struct {
        const char* name;
        std::vector<Write> writes;
        std::vector<Seen> records;
    } cases[] = {
        {"continuation of the same process",
         {{kA, "abc"}, {kA, "def\n"}},
         {{false, kA, "abc"}, {false, 0, "def\n"}}},
        {"another process in mid-line",
         {{kA, "abc"}, {kB, "x\n"}},
         {{false, kA, "abc"}, {true, 0, "\r\n"}, {false, kB, "x\n"}}},
        {"another process after a complete line",
         {{kA, "a\n"}, {kB, "b"}},
         {{false, kA, "a\n"}, {false, kB, "b"}}},
        {"an empty string leaves the line open",
         {{kA, ""}, {kA, "x"}},
         {{false, kA, ""}, {false, 0, "x"}}},
        {"an empty string, then another process",
         {{kA, ""}, {kB, "y"}},
         {{false, kA, ""}, {true, 0, "\r\n"}, {false, kB, "y"}}},
        {"the first string carries its id whatever it ends with",
         {{kA, "\n"}, {kA, "b"}},
         {{false, kA, "\n"}, {false, kA, "b"}}},
        {"a line end in the middle does not complete the line",
         {{kA, "a\nb"}, {kA, "c"}},
         {{false, kA, "a\nb"}, {false, 0, "c"}}},
        {"a CR alone does not complete the line",
         {{kA, "a\r"}, {kB, "c"}},
         {{false, kA, "a\r"}, {true, 0, "\r\n"}, {false, kB, "c"}}},
        {"back and forth",
         {{kA, "abc"}, {kA, "def"}, {kB, "g\n"}, {kA, "h\n"}, {kA, "i"}, {kB, "j"}},
         {{false, kA, "abc"},
          {false, 0, "def"},
          {true, 0, "\r\n"},
          {false, kB, "g\n"},
          {false, kA, "h\n"},
          {false, kA, "i"},
          {true, 0, "\r\n"},
          {false, kB, "j"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Monitor monitor;
        for (const auto& write : c.writes)
            ASSERT_EQ(monitor.Take(write.processId, write.text), TakeResult::Sent);
        ASSERT_EQ(monitor.platform.sent.size(), c.records.size());
        for (size_t i = 0; i < c.records.size(); ++i) {
            SCOPED_TRACE(i);
            Seen seen = Decode(monitor.platform.sent[i]);
            EXPECT_EQ(seen.separator, c.records[i].separator);
            EXPECT_EQ(seen.processId, c.records[i].processId);
            EXPECT_EQ(seen.text, c.records[i].text);
        }
    }
}

TEST(DebugFraming, BufferGrowsInStepsOf1024AndOnlyWhenTheTextNeedsIt) {
    const struct {
        size_t length;
        uint32_t capacity;  // after the string
        uint32_t cbData;
    } cases[] = {
        {0, 1312, 289}, {1, 1312, 290}, {1023, 1312, 1312}, {1024, 2336, 1313},
        {2047, 2336, 2336}, {2048, 3360, 2337}, {4091, 4384, 4380}, {4092, 4384, 4381},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.length);
        Monitor monitor;
        std::string text(c.length, 'q');
        ASSERT_EQ(monitor.Take(kA, text), TakeResult::Sent);
        EXPECT_EQ(monitor.buffer.capacity, c.capacity);
        ASSERT_EQ(monitor.platform.allocations, std::vector<uint32_t>{c.capacity});
        ASSERT_EQ(monitor.platform.sent.size(), 1u);
        EXPECT_EQ(monitor.platform.sent[0].size(), c.cbData);
        EXPECT_EQ(Decode(monitor.platform.sent[0]).text, text);
    }

    // Reused and only grown: a shorter string later allocates nothing.
    Monitor monitor;
    for (size_t length : {10u, 1500u, 20u, 1023u, 3000u, 5u})
        ASSERT_EQ(monitor.Take(kA, std::string(length, 'r') + "\n"), TakeResult::Sent);
    EXPECT_EQ(monitor.platform.allocations, (std::vector<uint32_t>{1312, 2336, 3360}));
    EXPECT_EQ(monitor.buffer.capacity, 3360u);
    EXPECT_EQ(Decode(monitor.platform.sent.back()).text, "rrrrr\n");
}

TEST(DebugFraming, CapacityRule) {
    const struct {
        uint32_t capacity;
        size_t length;
        uint64_t result;
    } cases[] = {
        {288, 0, 1312},      {288, 1023, 1312},  {288, 1024, 2336},  {1312, 1023, 1312},
        {1312, 1024, 2336},  {2336, 1024, 2336}, {2336, 4091, 4384}, {0, 5, 1312},
        {288, 0xFFFFFFFFull, 288 + (0xFFFFFFFFull / 1024 + 1) * 1024},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.length);
        EXPECT_EQ(DebugRecordCapacity(c.capacity, c.length), c.result);
    }
}

TEST(DebugFraming, AllocationFailureSendsNoRecordAndKeepsTheBuffer) {
    // No first buffer: nothing goes out.
    Monitor first;
    first.platform.failAfter = 0;
    EXPECT_EQ(first.Take(kA, "abc"), TakeResult::OutOfMemory);
    EXPECT_TRUE(first.platform.sent.empty());
    EXPECT_EQ(first.buffer.data, nullptr);

    Monitor later;
    later.platform.failAfter = 1;
    ASSERT_EQ(later.Take(kA, "abc"), TakeResult::Sent);
    char* kept = later.buffer.data;
    EXPECT_EQ(later.Take(kB, std::string(2000, 'z')), TakeResult::OutOfMemory);
    ASSERT_EQ(later.platform.sent.size(), 2u);
    EXPECT_TRUE(Decode(later.platform.sent[1]).separator);
    EXPECT_EQ(later.buffer.data, kept);
    EXPECT_EQ(later.buffer.capacity, 1312u);
}

// The section in a heap block of exactly its size, so that AddressSanitizer
// reports any read past it.
std::unique_ptr<char[]> Section(uint32_t processId, const std::string& text, size_t size) {
    std::unique_ptr<char[]> section(new char[size]);
    std::memset(section.get(), 'x', size);
    for (int i = 0; i < 4 && i < static_cast<int>(size); ++i)
        section[i] = static_cast<char>(processId >> (8 * i));
    if (size > kDebugTextOffset)
        std::memcpy(section.get() + kDebugTextOffset, text.data(),
                    std::min(text.size(), size - kDebugTextOffset));
    return section;
}

TEST(DebugFraming, ReadingTheSectionStaysWithinIt) {
    const struct {
        const char* name;
        std::string text;  // as written, NUL included when there is one
        size_t size;
        uint32_t processId;
        size_t length;
    } cases[] = {
        {"plain string", std::string("hello\0", 6), kDebugSectionSize, 0x12345678, 5},
        {"empty string", std::string("\0", 1), kDebugSectionSize, 7, 0},
        {"the longest string the writers send", std::string(4091, 'a') + '\0', kDebugSectionSize, 7, 4091},
        {"no NUL: cut at the section's end", std::string(4092, 'b'), kDebugSectionSize, 0xFFFFFFFE, 4092},
        {"short mapping without NUL", std::string(6, 'c'), 10, 1, 6},
        {"too short for the process id", "", 3, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto section = Section(c.processId, c.text, c.size);
        DebugString string = ReadDebugSection(section.get(), c.size);
        EXPECT_EQ(string.processId, c.processId);
        ASSERT_EQ(string.length, c.length);
        if (c.length > 0) {
            EXPECT_EQ(std::string(string.text, string.length), c.text.substr(0, c.length));
        }
    }
    EXPECT_EQ(ReadDebugSection(nullptr, kDebugSectionSize).length, 0u);
}

TEST(DebugFraming, SectionWithoutNulTravelsCutAtTheSection) {
    auto section = Section(kA, std::string(kDebugTextRoom, 'n'), kDebugSectionSize);
    Monitor monitor;
    ASSERT_EQ(TakeDebugString(ReadDebugSection(section.get(), kDebugSectionSize), monitor.framing,
                              monitor.buffer, monitor.platform.Io()),
              TakeResult::Sent);
    ASSERT_EQ(monitor.platform.sent.size(), 1u);
    EXPECT_EQ(monitor.platform.sent[0].size(), kRecordHeaderSize + kDebugTextRoom + 1);
    Seen seen = Decode(monitor.platform.sent[0]);
    EXPECT_EQ(seen.processId, kA);
    EXPECT_EQ(seen.text, std::string(kDebugTextRoom, 'n'));
}

}  // namespace
}  // namespace murlo::test
