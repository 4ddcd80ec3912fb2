#include "console/view/render_record.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "render_test_support.h"

namespace murlo::test {
namespace {

const std::string kTime = "09:05:07 ";  // the time decoration of RecordFields' default

struct SequenceRow {
    std::string text;
    std::string rendered;
    bool lastLineOpen;
    bool atLineStart;
};

void RunSequence(bool addLineEnd, const std::vector<SequenceRow>& rows) {
    Renderer r;
    r.options.showTime = true;
    r.options.addLineEnd = addLineEnd;
    RecordFields fields;
    fields.depth = 2;
    for (const SequenceRow& row : rows) {
        SCOPED_TRACE(row.text);
        ASSERT_EQ(r.Render(MakeRecord(fields, row.text)), RenderResult::Rendered);
        EXPECT_EQ(r.Text(), row.rendered);
        EXPECT_EQ(r.state.lastLineOpen, row.lastLineOpen);
        EXPECT_EQ(r.state.atLineStart, row.atLineStart);
    }
}

TEST(RenderRecord, WorkedSequenceWithoutAddedLineEnd) {
    RunSequence(false, {
        {"abc", kTime + "        abc", true, false},
        {"def\n", kTime + "def\r\n", false, true},
        {"x\r\ny\r\n", kTime + "        x\r\ny\r\n", false, true},
    });
}

TEST(RenderRecord, WorkedSequenceWithAddedLineEnd) {
    RunSequence(true, {
        {"abc", kTime + "        abc\r\n", true, true},
        {"def\n", kTime + "        def\r\n", false, true},
        {"x\r\ny\r\n", kTime + "        x\r\ny\r\n", false, true},
    });
}

TEST(RenderRecord, IndentationFollowsDepthCappedAtTenLevels) {
    const struct {
        int32_t depth;
        size_t blanks;
    } cases[] = {{-1, 0}, {0, 0}, {1, 4}, {3, 12}, {10, 40}, {11, 40}, {25, 40}, {INT32_MIN, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.depth);
        Renderer r;
        RecordFields fields;
        fields.depth = c.depth;
        ASSERT_EQ(r.Render(MakeRecord(fields, "t")), RenderResult::Rendered);
        EXPECT_EQ(r.Text(), std::string(c.blanks, ' ') + "t");
    }
}

TEST(RenderRecord, DecorationsInOrderAndOnlyForNonZeroProcessId) {
    const struct {
        const char* name;
        uint32_t processId;
        const char* location;
        bool atLineStart;
        int32_t depth;
        std::string rendered;
    } cases[] = {
        {"all", 0x4D2, "main.cpp(42)", true, 0, "main.cpp(42) #000004D2 02/11/05 09:05:07 hi"},
        {"empty location", 0x4D2, "", true, 0, "#000004D2 02/11/05 09:05:07 hi"},
        {"upper-case hex", 0xABCDEF01u, "", true, 0, "#ABCDEF01 02/11/05 09:05:07 hi"},
        {"continuation keeps decorations", 0x4D2, "f(1)", false, 2, "f(1) #000004D2 02/11/05 09:05:07 hi"},
        {"process id 0", 0, "main.cpp(42)", true, 3, "            hi"},
        {"process id 0, no indent mid-line", 0, "main.cpp(42)", false, 3, "hi"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Renderer r;
        r.options = RenderingOptions(true, true, true, true, true, false);
        r.state.atLineStart = c.atLineStart;
        RecordFields fields;
        fields.processId = c.processId;
        fields.location = c.location;
        fields.depth = c.depth;
        ASSERT_EQ(r.Render(MakeRecord(fields, "hi")), RenderResult::Rendered);
        EXPECT_EQ(r.Text(), c.rendered);
    }
}

TEST(RenderRecord, DateShowsTwoDigitYear) {
    const struct {
        RecordTime time;
        std::string rendered;
    } cases[] = {
        {{2000, 1, 6, 2, 0, 0, 0, 0}, "00/01/02 00:00:00 "},
        {{2002, 11, 2, 5, 9, 5, 7, 0}, "02/11/05 09:05:07 "},
        {{1999, 12, 5, 31, 23, 59, 59, 999}, "99/12/31 23:59:59 "},
    };
    for (const auto& c : cases) {
        Renderer r;
        r.options.showDate = true;
        r.options.showTime = true;
        RecordFields fields;
        fields.time = c.time;
        ASSERT_EQ(r.Render(MakeRecord(fields, "")), RenderResult::Rendered);
        EXPECT_EQ(r.Text(), c.rendered);
    }
}

TEST(RenderRecord, LineEndsAreNormalised) {
    const struct {
        std::string text;
        bool addLineEnd;
        std::string rendered;
        bool lastLineOpen;
        bool atLineStart;
    } cases[] = {
        {"a\r\r\nb", false, "a\r\nb", true, false},
        {"a\rb", false, "ab", true, false},
        {"x\n", true, "x\r\n", false, true},
        {"x\r\n", true, "x\r\n", false, true},
        {"a\nb\n", false, "a\r\nb\r\n", false, true},
        {"\n\n", true, "\r\n\r\n", false, true},
        {"", true, "\r\n", true, true},
        {"", false, "", true, false},
        {"\r", false, "", true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.text));
        Renderer r;
        r.options.addLineEnd = c.addLineEnd;
        RecordFields fields;
        fields.processId = 0;
        ASSERT_EQ(r.Render(MakeRecord(fields, c.text)), RenderResult::Rendered);
        EXPECT_EQ(r.Text(), c.rendered);
        EXPECT_EQ(r.state.lastLineOpen, c.lastLineOpen);
        EXPECT_EQ(r.state.atLineStart, c.atLineStart);
    }
}

TEST(RenderRecord, OnlyTheFirstLineIsDecorated) {
    Renderer r;
    r.options.showProcessId = true;
    RecordFields fields;
    fields.depth = 1;
    ASSERT_EQ(r.Render(MakeRecord(fields, "one\r\ntwo\nthree")), RenderResult::Rendered);
    EXPECT_EQ(r.Text(), "#000004D2     one\r\ntwo\r\nthree");
}

TEST(RenderRecord, BlankLineSuppression) {
    const struct {
        const char* name;
        bool addLineEnd;
        bool lastLineOpen;
        uint32_t processId;
        int32_t depth;
        std::string text;
        RenderResult result;
        std::string rendered;
    } cases[] = {
        {"separator dropped", true, true, 0, 0, "\r\n", RenderResult::Dropped, ""},
        {"lone LF dropped", true, true, 0, 0, "\n", RenderResult::Dropped, ""},
        {"decorated kept", true, true, 1234, 0, "\r\n", RenderResult::Rendered, kTime + "\r\n"},
        {"indented kept", true, true, 0, 1, "\r\n", RenderResult::Rendered, "    \r\n"},
        {"line closed", true, false, 0, 0, "\r\n", RenderResult::Rendered, "\r\n"},
        {"no added line end", false, true, 0, 0, "\n", RenderResult::Rendered, "\r\n"},
        {"two line feeds", true, true, 0, 0, "\n\n", RenderResult::Rendered, "\r\n\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Renderer r;
        r.options.showTime = true;
        r.options.addLineEnd = c.addLineEnd;
        r.state.lastLineOpen = c.lastLineOpen;
        RecordFields fields;
        fields.processId = c.processId;
        fields.depth = c.depth;
        ASSERT_EQ(r.Render(MakeRecord(fields, c.text)), c.result);
        if (c.result == RenderResult::Dropped) {
            EXPECT_TRUE(r.state.lastLineOpen);
            EXPECT_TRUE(r.state.atLineStart);
        } else {
            EXPECT_EQ(r.Text(), c.rendered);
        }
    }
}

TEST(RenderRecord, PlainStringsGetNoDecorationsNorIndentation) {
    std::vector<char> otherSignature(kFullRecordSize, 0);
    StartRecord(otherSignature.data(), otherSignature.size());
    otherSignature[6] = '0';  // "DB060"
    std::vector<char> otherTag(kFullRecordSize, 0);
    StartRecord(otherTag.data(), otherTag.size());
    otherTag[0] = 0x21;  // 289
    std::vector<char> shortTagged(100, 0);
    shortTagged[0] = 0x20;
    shortTagged[1] = 0x01;
    std::memcpy(&shortTagged[2], "DB061", 6);

    const struct {
        const char* name;
        std::vector<char> bytes;
        bool addLineEnd;
        std::string rendered;
    } cases[] = {
        {"string", {'h', 'i', '\r', '\n', 'y', 'o', 0}, false, "hi\r\nyo"},
        {"string with added line end", {'h', 'i', '\n', 'y', 'o', 0, 'z'}, true, "hi\r\nyo\r\n"},
        {"other signature", otherSignature, false, " \x01" "DB060"},
        {"other size tag", otherTag, false, "!\x01" "DB061"},
        {"tagged but shorter than a header", shortTagged, false, " \x01" "DB061"},
        {"no NUL within the payload", {'a', 'b', 'c'}, false, "abc"},
        {"empty payload", {}, true, "\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Renderer r;
        r.options.showFileName = r.options.showProcessId = r.options.showDate = r.options.showTime = 1;
        r.options.addLineEnd = c.addLineEnd;
        Payload payload = MakePayload(c.bytes.data(), c.bytes.size());
        ASSERT_EQ(r.Render(payload), RenderResult::Rendered);
        EXPECT_EQ(r.Text(), c.rendered);
    }
}

TEST(RenderRecord, FullAndFittedRecordsRenderAlike) {
    Renderer fitted;
    Renderer full;
    RecordFields fields;
    fields.depth = 1;
    ASSERT_EQ(fitted.Render(MakeRecord(fields, "same\n")), RenderResult::Rendered);
    fields.full = true;
    ASSERT_EQ(full.Render(MakeRecord(fields, "same\n")), RenderResult::Rendered);
    EXPECT_EQ(fitted.Text(), "    same\r\n");
    EXPECT_EQ(full.Text(), fitted.Text());
}

TEST(RenderRecord, GrowthRuleStepsOf1024) {
    const struct {
        size_t textLength;
        uint32_t capacity;
        int reallocations;
    } cases[] = {{496, 1024, 0}, {500, 2048, 1}, {1023, 3072, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.textLength);
        Renderer r;
        ASSERT_EQ(r.Render(MakeRecord({}, std::string(c.textLength, 'a'))), RenderResult::Rendered);
        EXPECT_EQ(r.state.capacity, c.capacity);
        EXPECT_EQ(reallocateCalls, c.reallocations);
        EXPECT_EQ(r.Text(), std::string(c.textLength, 'a'));
        // The buffer never shrinks.
        ASSERT_EQ(r.Render(MakeRecord({}, "x")), RenderResult::Rendered);
        EXPECT_EQ(r.state.capacity, c.capacity);
    }
}

TEST(RenderRecord, GrowsBeyondTheRuleWhereDecorationsAndLineFeedsNeedIt) {
    // 1008 LFs: the rule gives 2048 bytes, the rendered text needs 2342.
    Renderer r;
    r.options = RenderingOptions(true, true, true, true, true, true);
    const std::string location(kLocationSize, 'L');  // fills the field, no NUL
    RecordFields fields;
    fields.location = location.c_str();
    fields.depth = 10;
    const std::string text(1008, '\n');
    ASSERT_EQ(r.Render(MakeRecord(fields, text)), RenderResult::Rendered);

    std::string expected = location + " #000004D2 02/11/05 09:05:07 " + std::string(40, ' ');
    for (size_t i = 0; i < text.size(); ++i) expected += "\r\n";
    EXPECT_EQ(r.Text(), expected);
    EXPECT_EQ(r.state.capacity, 3072u);
    EXPECT_LT(r.state.length, r.state.capacity);
    EXPECT_EQ(r.state.buffer[r.state.length], '\0');
}

TEST(RenderRecord, PlainStringsGrowTheBufferToo) {
    Renderer r;
    r.options.addLineEnd = true;
    std::string text;
    for (int i = 0; i < 1500; ++i) text += "a\n";
    text += "end";
    Payload payload = MakePayload(text.data(), text.size());
    ASSERT_EQ(r.Render(payload), RenderResult::Rendered);
    std::string expected;
    for (int i = 0; i < 1500; ++i) expected += "a\r\n";
    expected += "end\r\n";
    EXPECT_EQ(r.Text(), expected);
    EXPECT_EQ(r.state.capacity, 5120u);  // 4505 bytes and the NUL
}

TEST(RenderRecord, FailedGrowthLeavesStateUnchanged) {
    Renderer r;
    ASSERT_EQ(r.Render(MakeRecord({}, "first")), RenderResult::Rendered);
    const char* buffer = r.state.buffer;
    const RenderState before = r.state;

    reallocateFails = true;
    EXPECT_EQ(r.Render(MakeRecord({}, std::string(600, 'b'))), RenderResult::OutOfMemory);
    std::string plain(2000, '\n');
    EXPECT_EQ(r.Render(MakePayload(plain.data(), plain.size())), RenderResult::OutOfMemory);
    EXPECT_EQ(r.state.buffer, buffer);
    EXPECT_EQ(r.state.capacity, before.capacity);
    EXPECT_EQ(r.state.atLineStart, before.atLineStart);
    EXPECT_EQ(r.state.lastLineOpen, before.lastLineOpen);
    EXPECT_EQ(r.Text(), "first");

    // The next payload is handled normally.
    reallocateFails = false;
    ASSERT_EQ(r.Render(MakeRecord({}, std::string(600, 'b'))), RenderResult::Rendered);
    EXPECT_EQ(r.Text(), std::string(600, 'b'));
}

TEST(RenderRecord, LoggingOffIgnoresPayloads) {
    Renderer r;
    ASSERT_EQ(r.Render(MakeRecord({}, "kept")), RenderResult::Rendered);
    r.options = RenderingOptions(false, true, true, true, true, true);
    EXPECT_EQ(r.Render(MakeRecord({}, std::string(900, '\n'))), RenderResult::Dropped);
    EXPECT_EQ(reallocateCalls, 0);
    EXPECT_FALSE(r.state.atLineStart);
    EXPECT_TRUE(r.state.lastLineOpen);
    EXPECT_EQ(r.Text(), "kept");
}

}  // namespace
}  // namespace murlo::test
