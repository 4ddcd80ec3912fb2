// Speed of the console's per-record work: rendering payloads into display
// text, and storing rendered texts in the ring of a size-limited log.
// Prints records per second and megabytes per second; run by hand.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "common/log_record.h"
#include "console/view/render_record.h"
#include "console/view/ring_buffer.h"

namespace {

using Clock = std::chrono::steady_clock;

char* Grow(char* block, uint32_t oldSize, uint32_t newSize) {
    char* grown = static_cast<char*>(std::realloc(block, newSize));
    if (grown != nullptr && newSize > oldSize) std::memset(grown + oldSize, 0, newSize - oldSize);
    return grown;
}

std::vector<char> Record(const std::string& text, int32_t depth) {
    std::vector<char> record(murlo::kFullRecordSize);
    murlo::StartRecord(record.data(), record.size());
    murlo::LogRecordHeader header;
    std::memcpy(&header, record.data(), sizeof header);
    header.processId = 0x4D2;
    header.localTime = murlo::RecordTime{2002, 11, 2, 5, 9, 5, 7, 0};
    murlo::SetRecordLocation(header, "source/file.cpp", 1234);
    header.depth = depth;
    std::memcpy(record.data(), &header, sizeof header);
    murlo::SetRecordText(record.data(), record.size(), text.data(), text.size());
    return record;
}

// Runs body repeatedly for about a quarter of a second; returns calls per second.
template <typename Body>
double PerSecond(Body body, long* calls) {
    const auto budget = std::chrono::milliseconds(250);
    auto start = Clock::now();
    long count = 0;
    while (Clock::now() - start < budget) {
        for (int i = 0; i < 256; ++i) body();
        count += 256;
    }
    double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    *calls = count;
    return count / seconds;
}

void BenchRender(const char* name, const std::vector<char>& payload, const murlo::RenderOptions& options) {
    murlo::RenderState state{true, true, nullptr, 0, 0};
    size_t bytes = 0;
    long calls = 0;
    double rate = PerSecond(
        [&] {
            murlo::RenderRecord(payload.data(), payload.size(), options, state, Grow);
            bytes += state.length;
        },
        &calls);
    std::printf("render  %-36s %12.0f records/s  %8.1f MB/s out\n", name, rate,
                rate * (static_cast<double>(bytes) / calls) / 1e6);
    std::free(state.buffer);
}

void BenchRing(const char* name, uint32_t size, const std::string& text) {
    std::vector<char> memory(size);
    murlo::RingRegion ring{};
    murlo::ResetRing(ring, memory.data(), size);
    long calls = 0;
    double rate = PerSecond([&] { murlo::WriteRing(ring, text.data(), text.size()); }, &calls);
    std::printf("ring    %-36s %12.0f writes/s   %8.1f MB/s in\n", name, rate, rate * text.size() / 1e6);
}

}  // namespace

int main() {
    const murlo::RenderOptions plain{true, false, false, false, false, false};
    const murlo::RenderOptions decorated{true, true, true, true, true, true};
    std::string shortText = "value = 42\n";
    std::string fullText(1023, 'x');
    std::string lines;
    while (lines.size() + 12 < 1023) lines += "line of it\r\n";

    BenchRender("short line, no decorations", Record(shortText, 0), plain);
    BenchRender("short line, all decorations, depth 3", Record(shortText, 3), decorated);
    BenchRender("1023-byte text, all decorations", Record(fullText, 0), decorated);
    BenchRender("85 lines in one record, decorated", Record(lines, 2), decorated);
    std::vector<char> plainString(shortText.begin(), shortText.end());
    plainString.push_back('\0');
    BenchRender("plain string", plainString, decorated);

    std::string rendered = "02/11/02 05:09:07 value = 42\r\n";
    BenchRing("1 KiB ring, 30-byte texts", 1024, rendered);
    BenchRing("0x7fff KiB ring, 30-byte texts", 0x7fff * 1024u, rendered);
    BenchRing("1 KiB ring, 1 KB texts", 1024, std::string(1000, 'y') + "\r\n");
    BenchRing("0x7fff KiB ring, 1 KB texts", 0x7fff * 1024u, std::string(1000, 'y') + "\r\n");
    return 0;
}
