// Speed of the console's per-record work: rendering payloads into display
// text, and storing rendered texts in the ring of a size-limited log.
// Prints records per second and megabytes per second; run by hand.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "console/view/render_record.h"
#include "console/logfile/ring_buffer.h"
#include "console/view/view_batch.h"
#include "tests/support/record_builder.h"

namespace {

using Clock = std::chrono::steady_clock;

char* Grow(char* block, uint32_t oldSize, uint32_t newSize) {
    char* grown = static_cast<char*>(std::realloc(block, newSize));
    if (grown != nullptr && newSize > oldSize) std::memset(grown + oldSize, 0, newSize - oldSize);
    return grown;
}

// A full record from process 0x4D2, at 09:05:07 on 5 November 2002.
std::string Record(const std::string& text, int32_t depth) {
    return murlo::test::MakeRecord({0x4D2, {2002, 11, 2, 5, 9, 5, 7, 0}, "source/file.cpp(1234)", depth, true}, text);
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

void BenchRender(const char* name, const std::string& payload, const murlo::ViewOptions& options) {
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

// A view that keeps only its length and where its lines begin, in the
// positions of the 2.0 control (a CR LF is one): enough for AppendToView,
// so that the cost of its shadow and of counting characters shows alone.
struct LineStartsView {
    murlo::ControlTextForm form{true, nullptr};
    std::vector<long> starts;  // lines after the first
    long length = 0;
    long limit = 0x7000;

    long StoredLimit() { return limit; }
    long StoredLength() { return length; }
    long StoredLineCount() { return static_cast<long>(starts.size()) + 1; }
    long StoredLineIndex(long line) {
        if (line == 0) return 0;
        return line <= static_cast<long>(starts.size()) ? starts[static_cast<size_t>(line - 1)] : -1;
    }
    murlo::ControlChar NextChar(const char* text, size_t size, size_t i) {
        return murlo::NextControlChar(text, size, i, form);
    }
    long InsertUnlimited(const char* text) {
        size_t size = std::strlen(text);
        long before = length;
        for (size_t i = 0; i < size;) {
            murlo::ControlChar c = murlo::NextControlChar(text, size, i, form);
            length += static_cast<long>(c.chars);
            i += c.bytes;
            if (c.endsLine) starts.push_back(length);
        }
        return length - before;
    }
    void DeleteStored(long from, long to) {
        std::vector<long> kept;
        for (long start : starts) {
            if (start <= from) kept.push_back(start);
            else if (start > to) kept.push_back(start - (to - from));
        }
        starts.swap(kept);
        length -= to - from;
    }
    bool LinesAreParagraphs() { return true; }
    long Length() { return length; }
    void SetSelection(long, long) {}
    size_t ReplaceSelection(const char*) { std::abort(); }  // only the one-by-one path inserts so
    long LineIndex(long line) { return StoredLineIndex(line); }
    long LineCount() { return StoredLineCount(); }
    void ScrollCaret() {}
    void SetRedraw(bool) {}
    void Repaint() {}
};

// Records of 60 characters and a line end, count at a time, into a full view.
void BenchFlush(const char* name, size_t count) {
    std::string batch;
    std::vector<size_t> ends;
    for (size_t i = 0; i < count; ++i) {
        std::string line = "record " + std::to_string(i) + " ";
        line.resize(60, 'r');
        batch += line + "\r\n";
        ends.push_back(batch.size());
        batch += '\0';
    }
    LineStartsView view;
    while (view.length < view.limit) view.InsertUnlimited("a line of sixty characters, as the records are, give or take\r\n");
    murlo::ViewBatchScratch scratch;
    long calls = 0;
    double rate = PerSecond([&] { murlo::AppendToView(view, batch.data(), ends.data(), ends.size(), scratch); }, &calls);
    std::printf("flush   %-36s %12.0f records/s  %8.0f ns a record\n", name, rate * count, 1e9 / (rate * count));
}

}  // namespace

int main() {
    const murlo::ViewOptions plain;
    murlo::ViewOptions decorated;
    decorated.showFileName = decorated.showProcessId = decorated.showDate = decorated.showTime = 1;
    decorated.addLineEnd = 1;
    std::string shortText = "value = 42\n";
    std::string fullText(1023, 'x');
    std::string lines;
    while (lines.size() + 12 < 1023) lines += "line of it\r\n";

    BenchRender("short line, no decorations", Record(shortText, 0), plain);
    BenchRender("short line, all decorations, depth 3", Record(shortText, 3), decorated);
    std::string sixty(60, 's');
    sixty += "\n";
    BenchRender("60-byte line, all decorations", Record(sixty, 0), decorated);
    BenchRender("1023-byte text, all decorations", Record(fullText, 0), decorated);
    BenchRender("85 lines in one record, decorated", Record(lines, 2), decorated);
    BenchRender("plain string", shortText + '\0', decorated);

    std::string rendered = "02/11/02 05:09:07 value = 42\r\n";
    BenchFlush("1 record into a full view", 1);
    BenchFlush("50 records into a full view", 50);

    BenchRing("1 KiB ring, 30-byte texts", 1024, rendered);
    BenchRing("0x7fff KiB ring, 30-byte texts", 0x7fff * 1024u, rendered);
    BenchRing("1 KiB ring, 1 KB texts", 1024, std::string(1000, 'y') + "\r\n");
    BenchRing("0x7fff KiB ring, 1 KB texts", 0x7fff * 1024u, std::string(1000, 'y') + "\r\n");
    return 0;
}
