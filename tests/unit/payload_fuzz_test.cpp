// Random payloads through the acceptance test and rendering. Each payload
// is a heap block of exactly its size, so AddressSanitizer stops any read
// past its end; the rendered text is checked against the rules every
// rendered text follows.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

#include "common/log_record.h"
#include "console/view/render_record.h"
#include "render_test_support.h"

namespace murlo::test {
namespace {

constexpr int kIterations = 20000;
constexpr size_t kMaxPayloadSize = 1400;

char RandomByte(std::mt19937& random) {
    switch (random() % 20) {
        case 0: case 1: case 2: case 3: case 4: case 5: return '\n';
        case 6: case 7: case 8: return '\r';
        case 9: return '\0';
        default: return static_cast<char>(random() % 256);
    }
}

Payload RandomPayload(std::mt19937& random) {
    size_t size = random() % (kMaxPayloadSize + 1);
    Payload payload{std::unique_ptr<char[]>(new char[size]), size};
    char* bytes = payload.bytes.get();
    for (size_t i = 0; i < size; ++i) bytes[i] = RandomByte(random);
    // Often a valid tag, also on payloads shorter than a header, with a
    // location that sometimes fills its field without a NUL.
    if (size >= 8 && random() % 2 == 0) {
        bytes[0] = 0x20;
        bytes[1] = 0x01;
        std::memcpy(bytes + 2, kRecordSignature, sizeof kRecordSignature);
        if (size >= kRecordHeaderSize && random() % 4 != 0) {
            size_t locationEnd = 28 + random() % (kLocationSize + 1);
            if (locationEnd < 28 + kLocationSize) bytes[locationEnd] = '\0';
        }
    }
    return payload;
}

std::string WithoutCarriageReturns(const char* text, size_t length) {
    std::string out;
    for (size_t i = 0; i < length; ++i) {
        if (text[i] != '\r') out += text[i];
    }
    return out;
}

TEST(PayloadFuzz, RandomPayloadsRenderWithinBoundsAndByTheRules) {
    int recordsRendered = 0;
    int stringsRendered = 0;
    for (unsigned seed : {1u, 2u}) {
        std::mt19937 random(seed);
        Renderer r;
        for (int i = 0; i < kIterations / 2; ++i) {
            Payload payload = RandomPayload(random);
            unsigned flags = random();
            r.options = RenderingOptions((flags & 1) != 0 || (flags & 2) != 0, (flags & 4) != 0,
                         (flags & 8) != 0,  (flags & 16) != 0, (flags & 32) != 0,
                         (flags & 64) != 0);

            PayloadView view = ClassifyPayload(payload.bytes.get(), payload.size);
            if (payload.size == 0) {
                ASSERT_EQ(view.textLength, 0u);
            } else {
                ASSERT_GE(view.text, payload.bytes.get());
                ASSERT_LE(view.text + view.textLength, payload.bytes.get() + payload.size);
            }
            const std::string source = WithoutCarriageReturns(view.text, view.textLength);

            RenderResult result = r.Render(payload);
            ASSERT_NE(result, RenderResult::OutOfMemory);
            if (result != RenderResult::Rendered) continue;
            ++(view.isRecord ? recordsRendered : stringsRendered);

            ASSERT_EQ(r.state.capacity % kRenderBufferStep, 0u);
            ASSERT_LT(r.state.length, r.state.capacity);
            ASSERT_EQ(r.state.buffer[r.state.length], '\0');
            const std::string text = r.Text();
            ASSERT_EQ(text.find('\0'), std::string::npos);
            for (size_t at = 0; at < text.size(); ++at) {
                // Every CR begins a CR LF, and every LF ends one.
                bool crOpensPair = text[at] != '\r' || (at + 1 < text.size() && text[at + 1] == '\n');
                bool lfClosesPair = text[at] != '\n' || (at > 0 && text[at - 1] == '\r');
                ASSERT_TRUE(crOpensPair && lfClosesPair) << "at " << at;
            }
            std::string shown = WithoutCarriageReturns(text.data(), text.size());
            if (r.options.addLineEnd) {
                ASSERT_FALSE(shown.empty());
                ASSERT_EQ(shown.back(), '\n');
                if (source.empty() || source.back() != '\n') shown.pop_back();
            }
            ASSERT_GE(shown.size(), source.size());
            ASSERT_EQ(shown.substr(shown.size() - source.size()), source);
            if (!view.isRecord) {
                ASSERT_EQ(shown, source);
            }
            ASSERT_EQ(r.state.atLineStart, !text.empty() && text.back() == '\n');
        }
    }
    // Both kinds of payload were exercised in earnest.
    EXPECT_GT(recordsRendered, kIterations / 5);
    EXPECT_GT(stringsRendered, kIterations / 5);
}

}  // namespace
}  // namespace murlo::test
