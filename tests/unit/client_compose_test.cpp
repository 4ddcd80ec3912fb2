// Composing a text into records: the CR-before-LF rule, the header fields
// and the split of long texts into further records.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "client/compose.h"
#include "tests/support/code_pages.h"

namespace {

using murlo::LogRecord;

struct Captured {
    std::vector<std::string> texts;
    std::vector<LogRecord> records;
};

void Capture(void* context, const LogRecord& record) {
    auto* captured = static_cast<Captured*>(context);
    captured->records.push_back(record);
    // The text field must hold a NUL, and nothing but zeros after it.
    const char* text = record.text;
    size_t length = strnlen(text, sizeof record.text);
    EXPECT_LT(length, sizeof record.text);
    for (size_t i = length; i < sizeof record.text; ++i) ASSERT_EQ(text[i], 0) << "offset " << i;
    captured->texts.emplace_back(text, length);
}

murlo::RecordFields Fields(const char* file = nullptr, int32_t line = 0, int32_t depth = 0) {
    murlo::RecordFields fields{};
    fields.file = file;
    fields.line = line;
    fields.processId = 0x1234;
    fields.localTime = {2024, 5, 3, 17, 13, 45, 59, 321};
    fields.depth = depth;
    return fields;
}

Captured Compose(const std::string& text, murlo::LeadBytePredicate isLeadByte = nullptr) {
    Captured captured;
    murlo::TextComposer composer;
    murlo::BeginText(composer, Fields(), isLeadByte, {Capture, &captured});
    murlo::AddText(composer, text.data(), text.size());
    murlo::EndText(composer);
    return captured;
}

std::string Join(const std::vector<std::string>& parts) {
    std::string all;
    for (const auto& part : parts) all += part;
    return all;
}


TEST(ClientCompose, LineEndRule) {
    struct Case {
        const char* name;
        std::string in;
        std::string out;
    } cases[] = {
        {"bare LF gets CR", "a\nb", "a\r\nb"},
        {"CR LF unchanged", "a\r\nb", "a\r\nb"},
        {"lone CR unchanged", "a\rb", "a\rb"},
        {"first LF stays bare", "\nabc", "\nabc"},
        {"second of two LFs", "\n\n", "\n\r\n"},
        {"trailing LFs", "a\n\n", "a\r\n\r\n"},
        {"CR LF then LF", "\r\n\n", "\r\n\r\n"},
        {"LF after lone CR", "\r\r\n", "\r\r\n"},
        {"empty", "", ""},
        {"NUL ends the text", std::string("ab\0\ncd", 6), "ab"},
    };
    for (const auto& c : cases) {
        Captured captured = Compose(c.in);
        ASSERT_EQ(captured.texts.size(), 1u) << c.name;
        EXPECT_EQ(captured.texts[0], c.out) << c.name;
    }
}

TEST(ClientCompose, RuleRunsAcrossPieces) {
    Captured captured;
    murlo::TextComposer composer;
    murlo::BeginText(composer, Fields(), nullptr, {Capture, &captured});
    murlo::AddText(composer, "\n", 1);   // the text's first byte: stays bare
    murlo::AddText(composer, "a", 1);
    murlo::AddText(composer, "\n", 1);   // follows 'a' from the piece before
    murlo::AddText(composer, "\r", 1);
    murlo::AddText(composer, "\n", 1);   // follows the CR of the piece before
    murlo::EndText(composer);
    ASSERT_EQ(captured.texts.size(), 1u);
    EXPECT_EQ(captured.texts[0], "\na\r\n\r\n");
}

TEST(ClientCompose, HeaderFields) {
    struct Case {
        const char* file;
        int32_t line;
        std::string location;
    } cases[] = {
        {"main.cpp", 12, "main.cpp(12)"},
        {nullptr, 77, ""},
        {"", 5, "(5)"},
        {"x.c", -3, "x.c(-3)"},
    };
    for (const auto& c : cases) {
        Captured captured;
        murlo::ComposeText(Fields(c.file, c.line, 4), "t", nullptr, {Capture, &captured});
        ASSERT_EQ(captured.records.size(), 1u);
        const auto& header = captured.records[0].header;
        EXPECT_EQ(header.headerSize, 288);
        EXPECT_STREQ(header.signature, "DB061");
        EXPECT_EQ(header.processId, 0x1234u);
        EXPECT_EQ(header.localTime.year, 2024);
        EXPECT_EQ(header.localTime.milliseconds, 321);
        EXPECT_EQ(header.depth, 4);
        EXPECT_EQ(std::string(header.location), c.location);
        size_t used = strlen(header.location);
        for (size_t i = used; i < sizeof header.location; ++i) ASSERT_EQ(header.location[i], 0);
    }
}

TEST(ClientCompose, LongLocationIsCutAt255) {
    std::string file(300, 'f');
    Captured captured;
    murlo::ComposeText(Fields(file.c_str(), 9), "t", nullptr, {Capture, &captured});
    ASSERT_EQ(captured.records.size(), 1u);
    EXPECT_EQ(std::string(captured.records[0].header.location), std::string(255, 'f'));
}

TEST(ClientCompose, SplitsLongTexts) {
    const std::string x1021(1021, 'x'), x1022(1022, 'x'), x1023(1023, 'x');
    const std::string a600(600, 'a'), b600(600, 'b');
    struct Case {
        const char* name;
        std::string in;
        std::vector<std::string> out;
    } cases[] = {
        {"exactly one record", x1023, {x1023}},
        {"one byte more", x1023 + "y", {x1023, "y"}},
        {"inserted CR LF not split", x1022 + "\ny", {x1022, "\r\ny"}},
        {"caller's CR LF not split", x1022 + "\r\n", {x1022, "\r\n"}},
        {"cut after the last LF", x1021 + "\r\ny", {x1021 + "\r\n", "y"}},
        {"LF at a record's start keeps its CR", x1023 + "\n", {x1023, "\r\n"}},
        {"whole lines per record", a600 + "\n" + b600 + "\n", {a600 + "\r\n", b600 + "\r\n"}},
        {"long line begins a record", "ab\n" + std::string(1500, 'z'),
         {"ab\r\n", std::string(1023, 'z'), std::string(477, 'z')}},
        // The only LF is first: a cut after it frees one byte, the CR LF needs two.
        {"full record whose only LF is first, then an LF", "\n" + std::string(1022, 'a') + "\n",
         {"\n" + std::string(1022, 'a'), "\r\n"}},
        {"the same with a line after", "\n" + std::string(1022, 'a') + "\nb\n",
         {"\n" + std::string(1022, 'a'), "\r\nb\r\n"}},
    };
    for (const auto& c : cases) {
        Captured captured = Compose(c.in);
        EXPECT_EQ(captured.texts, c.out) << c.name;
    }
}

TEST(ClientCompose, SplitKeepsDoubleByteCharactersWhole) {
    const std::string x1021(1021, 'x'), x1022(1022, 'x');
    struct Case {
        const char* name;
        std::string in;
        std::vector<std::string> out;
    } cases[] = {
        {"lead byte waits for its trail", x1022 + "\x82\xA0z", {x1022, "\x82\xA0z"}},
        // 0x81 is both lead and trail here: only a walk from the start
        // tells that the pair 81 81 ends at the limit.
        {"trail that looks like a lead", x1021 + "\x81\x81\x81\x40", {x1021 + "\x81\x81", "\x81\x40"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Compose(c.in, murlo::test::IsLead932).texts, c.out) << c.name;
    }
    // Without a lead-byte rule the cut falls at the limit.
    EXPECT_EQ(Compose(x1022 + "\x82\xA0z").texts, (std::vector<std::string>{x1022 + "\x82", "\xA0z"}));
}

TEST(ClientCompose, LongMixedTextLosesNothing) {
    // Lines of varying lengths, bare LFs, CR LFs and lone CRs, over many records.
    std::string in, expected;
    for (int i = 0; i < 400; ++i) {
        std::string line(static_cast<size_t>((i * 37) % 90 + 1), static_cast<char>('a' + i % 26));
        const char* end = i % 3 == 0 ? "\n" : i % 3 == 1 ? "\r\n" : "\r";
        in += line + end;
        expected += line + (i % 3 == 0 ? "\r\n" : end);
    }
    in += std::string(2000, 'q');
    expected += std::string(2000, 'q');
    Captured captured = Compose(in);
    ASSERT_GT(captured.texts.size(), 10u);
    EXPECT_EQ(Join(captured.texts), expected);
    for (size_t i = 0; i < captured.texts.size(); ++i) {
        EXPECT_LE(captured.texts[i].size(), murlo::kMaxRecordText);
        EXPECT_FALSE(captured.texts[i].empty());
        if (i + 1 < captured.texts.size() && captured.texts[i].back() == '\r') {
            EXPECT_NE(captured.texts[i + 1].front(), '\n') << "CR LF split after record " << i;
        }
        EXPECT_EQ(std::string(captured.records[i].header.location), "");
        EXPECT_EQ(captured.records[i].header.processId, 0x1234u);
    }
}

// The text a receiver should see: a CR before every LF that is not the
// text's first byte and does not follow a CR.
std::string WithCrBeforeLf(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && i > 0 && text[i - 1] != '\r') out += '\r';
        out += text[i];
    }
    return out;
}

// A random text without NULs: runs of letters (some about a record long),
// LFs, lone CRs, CR LF pairs and double-byte characters.
std::string RandomText(std::mt19937& random) {
    static const char* const kLineEnds[] = {"\n", "\r", "\r\n"};
    std::string text;
    size_t pieces = random() % 12;
    for (size_t p = 0; p < pieces; ++p) {
        switch (random() % 6) {
        case 0: text += std::string(random() % 40, static_cast<char>('a' + random() % 26)); break;
        case 1: text += std::string(1010 + random() % 20, 'r'); break;
        case 2: text += kLineEnds[random() % 3]; break;
        case 3: text += kLineEnds[random() % 3]; text += kLineEnds[random() % 3]; break;
        default: {
            // Shift-JIS: lead 81-9F or E0-FC, trail 40-7E or 80-FC.
            unsigned lead = random() % 2 ? 0x81 + random() % 0x1F : 0xE0 + random() % 0x1D;
            unsigned trail = 0x40 + random() % 0xBD;
            if (trail == 0x7F) trail = 0x80;
            text += static_cast<char>(lead);
            text += static_cast<char>(trail);
        }
        }
    }
    return text;
}

// Bounded random texts, composed in random pieces: every record's text ends
// with a NUL inside its field (the capture checks it), the records joined
// give the text with the CR-before-LF rule, no CR LF pair and no double-byte
// character is split, and a record ends early only after an LF.
TEST(ClientCompose, RandomTextsKeepEveryRecordWithinItsField) {
    std::mt19937 random(20240503);
    for (int round = 0; round < 3000; ++round) {
        const std::string text = RandomText(random);
        const bool doubleByte = random() % 2 == 0;
        Captured captured;
        murlo::TextComposer composer;
        murlo::BeginText(composer, Fields(), doubleByte ? murlo::test::IsLead932 : nullptr, {Capture, &captured});
        for (size_t at = 0; at < text.size();) {
            size_t piece = std::min<size_t>(text.size() - at, random() % 3 == 0 ? 1 : random() % 1500);
            murlo::AddText(composer, text.data() + at, piece);
            at += piece;
        }
        murlo::EndText(composer);
        if (HasFailure()) FAIL() << "round " << round;

        const std::string expected = WithCrBeforeLf(text);
        ASSERT_EQ(Join(captured.texts), expected) << "round " << round;
        ASSERT_FALSE(captured.texts.empty());
        // Character starts of the expected text, found by a walk from its start.
        std::vector<bool> starts(expected.size() + 1, true);
        if (doubleByte) {
            for (size_t at = 0; at < expected.size(); ++at) {
                if (murlo::test::IsLead932(static_cast<unsigned char>(expected[at])) && at + 1 < expected.size()) {
                    starts[++at] = false;
                }
            }
        }
        size_t offset = 0;
        for (size_t i = 0; i < captured.texts.size(); ++i) {
            const std::string& part = captured.texts[i];
            offset += part.size();
            if (i + 1 == captured.texts.size()) break;
            ASSERT_FALSE(part.empty()) << "round " << round << " record " << i;
            ASSERT_TRUE(starts[offset]) << "double-byte character split, round " << round << " record " << i;
            ASSERT_FALSE(part.back() == '\r' && captured.texts[i + 1].front() == '\n')
                << "CR LF split, round " << round << " record " << i;
            // Cut only when full: at worst a lead byte and a CR wait for the next record.
            if (part.back() != '\n') {
                ASSERT_GE(part.size(), murlo::kMaxRecordText - 3) << "round " << round;
            }
        }
    }
}

TEST(ClientCompose, EmptyTextSendsOneRecord) {
    Captured captured = Compose("");
    ASSERT_EQ(captured.records.size(), 1u);
    EXPECT_EQ(captured.texts[0], "");
    EXPECT_STREQ(captured.records[0].header.signature, "DB061");
}

}  // namespace
