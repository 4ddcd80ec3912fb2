// The acceptance test and the composing helpers of the LogRecord, with
// payloads of every size: nothing is read past the payload.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/log_record.h"
#include "tests/support/record_builder.h"

namespace {

using murlo::ClassifyPayload;
using murlo::LogRecord;

using murlo::test::MakePayload;
using murlo::test::Payload;

// A full record with text, no location and no time.
std::string FullRecord(const char* text) {
    return murlo::test::MakeRecord(murlo::test::RecordFields{1234, {}, "", 0, true}, text);
}

TEST(LogRecord, FullRecordIsAccepted) {
    Payload payload = MakePayload(FullRecord("abc"));
    auto view = ClassifyPayload(payload.bytes.get(), payload.size);
    ASSERT_TRUE(view.isRecord);
    EXPECT_EQ(std::string(view.text, view.textLength), "abc");
    EXPECT_EQ(view.header->processId, 1234u);
    EXPECT_EQ(view.locationLength, 0u);
}

TEST(LogRecord, FittedRecordWithoutNulReadsOnlyToItsEnd) {
    std::string bytes = FullRecord("").substr(0, 288) + "xyz";  // no NUL after the text
    Payload payload = MakePayload(bytes);
    auto view = ClassifyPayload(payload.bytes.get(), payload.size);
    ASSERT_TRUE(view.isRecord);
    EXPECT_EQ(std::string(view.text, view.textLength), "xyz");
}

TEST(LogRecord, HeaderOnlyRecordHasEmptyText) {
    Payload payload = MakePayload(FullRecord("").substr(0, 288));
    auto view = ClassifyPayload(payload.bytes.get(), payload.size);
    ASSERT_TRUE(view.isRecord);
    EXPECT_EQ(view.textLength, 0u);
}

TEST(LogRecord, PlainStringCases) {
    struct Case {
        const char* name;
        std::string bytes;
        std::string expected;
    };
    std::string otherSignature = FullRecord("t");
    otherSignature[2] = 'X';
    std::string otherTag = FullRecord("t");
    otherTag[0] = 0x21;
    std::string lowerCase = FullRecord("t");
    lowerCase[2] = 'd';
    std::string shortTagged = FullRecord("t").substr(0, 100);
    std::string shortTaggedNoNul = FullRecord("t").substr(0, 7);  // tag and "DB061" but no NUL
    const std::vector<Case> cases = {
        {"other signature starts with the tag bytes", otherSignature, std::string("\x20\x01X", 3) + "B061"},
        {"signature with another tag", otherTag, std::string("\x21\x01") + "DB061"},
        {"signature compared case-sensitively", lowerCase, std::string("\x20\x01") + "dB061"},
        {"tagged payload shorter than the header", shortTagged, std::string("\x20\x01") + "DB061"},
        {"cut inside the signature", shortTaggedNoNul, std::string("\x20\x01") + "DB061"},
        {"plain text with its NUL", std::string("hello\0junk", 10), "hello"},
        {"plain text without a NUL", "abc", "abc"},
        {"one byte", "Z", "Z"},
    };
    for (const auto& c : cases) {
        Payload payload = MakePayload(c.bytes);
        auto view = ClassifyPayload(payload.bytes.get(), payload.size);
        EXPECT_FALSE(view.isRecord) << c.name;
        EXPECT_EQ(std::string(view.text, view.textLength), c.expected) << c.name;
    }
}

TEST(LogRecord, EmptyOrNullPayloadIsAnEmptyString) {
    auto view = ClassifyPayload(nullptr, 1312);
    EXPECT_FALSE(view.isRecord);
    EXPECT_EQ(view.textLength, 0u);
    char byte = 'x';
    view = ClassifyPayload(&byte, 0);
    EXPECT_FALSE(view.isRecord);
    EXPECT_EQ(view.textLength, 0u);
}

TEST(LogRecord, LocationIsFormattedAndCut) {
    LogRecord record;
    murlo::StartRecord(&record, sizeof record);
    murlo::SetRecordLocation(record.header, "main.cpp", 42);
    EXPECT_STREQ(record.header.location, "main.cpp(42)");
    murlo::SetRecordLocation(record.header, "", -3);
    EXPECT_STREQ(record.header.location, "(-3)");
    murlo::SetRecordLocation(record.header, nullptr, 9);
    EXPECT_STREQ(record.header.location, "");
    std::string longName(400, 'f');
    murlo::SetRecordLocation(record.header, longName.c_str(), 1);
    EXPECT_EQ(strlen(record.header.location), 255u);
    EXPECT_EQ(record.header.depth, 0);  // the field after location is untouched
}

TEST(LogRecord, StartRecordZeroFillsAndTags) {
    std::vector<unsigned char> block(1312, 0xEE);
    murlo::StartRecord(block.data(), block.size());
    EXPECT_EQ(block[0], 0x20);
    EXPECT_EQ(block[1], 0x01);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(&block[2]), 6), std::string("DB061\0", 6));
    for (size_t i = 8; i < block.size(); ++i) ASSERT_EQ(block[i], 0) << i;
}

TEST(LogRecord, TextIsCutToTheRecord) {
    std::vector<char> block(288 + 8);
    murlo::StartRecord(block.data(), block.size());
    EXPECT_EQ(murlo::SetRecordText(block.data(), block.size(), "0123456789", 10), 7u);
    EXPECT_STREQ(&block[288], "0123456");
}

}  // namespace
