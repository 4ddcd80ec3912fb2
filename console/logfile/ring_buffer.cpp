#include "console/logfile/ring_buffer.h"

#include <cstring>

namespace murlo {

namespace {

// Collects log-file bytes and hands them to the sink in blocks, so that a
// stream or a file gets few large writes instead of one per byte.
struct LogTextWriter {
    ByteSink sink;
    char block[1024];
    size_t used = 0;

    void Flush() {
        if (used > 0 && sink.write != nullptr) sink.write(sink.context, block, used);
        used = 0;
    }
    void Put(char c) {
        if (used == sizeof block) Flush();
        block[used++] = c;
    }
    // CRs are dropped and every LF becomes CR LF.
    void PutText(const char* text, size_t length) {
        for (size_t i = 0; i < length; ++i) {
            char c = text[i];
            if (c == '\r') continue;
            if (c == '\n') Put('\r');
            Put(c);
        }
    }
};

bool RingUsable(const RingRegion& ring) {
    return ring.base != nullptr && ring.size >= 2 && ring.write < ring.size &&
           ring.oldest < ring.size;
}

uint32_t Advance(const RingRegion& ring, uint32_t offset) {
    return offset + 1 == ring.size ? 0 : offset + 1;
}

}  // namespace

void ResetRing(RingRegion& ring, char* base, uint32_t size) {
    ring.base = base;
    ring.size = base != nullptr ? size : 0;
    ring.write = 0;
    ring.oldest = 0;
    if (ring.base != nullptr && ring.size > 0) std::memset(ring.base, 0, ring.size);
}

void WriteRing(RingRegion& ring, const char* text, size_t length) {
    if (!RingUsable(ring) || text == nullptr || length == 0) return;

    // Only the last size bytes of a text can survive; the earlier ones
    // would be overwritten by the text itself.
    uint32_t p = ring.write;
    if (length > ring.size) {
        size_t skipped = length - ring.size;
        p = static_cast<uint32_t>((p + skipped) % ring.size);
        text += skipped;
        length = ring.size;
    }
    while (length > 0) {
        size_t chunk = ring.size - p;
        if (chunk > length) chunk = length;
        std::memcpy(ring.base + p, text, chunk);
        text += chunk;
        length -= chunk;
        p += static_cast<uint32_t>(chunk);
        if (p == ring.size) p = 0;
    }

    if (ring.base[p] != '\0') {
        // The text ended inside older data: the oldest whole line starts
        // after the first LF at or after p. The search stops after one turn.
        uint32_t q = p;
        uint32_t searched = 0;
        while (searched < ring.size && ring.base[q] != '\n') {
            q = Advance(ring, q);
            ++searched;
        }
        ring.oldest = searched < ring.size ? Advance(ring, q) : Advance(ring, p);
    }
    ring.write = p;
    ring.base[p] = '\0';
}

void CopyOutRing(const RingRegion& ring, ByteSink sink) {
    if (!RingUsable(ring)) return;
    LogTextWriter writer{sink, {}};
    uint32_t q = ring.oldest;
    // Copy contiguous runs up to the NUL, the write offset or the ring's end.
    for (uint32_t turns = 0; turns < 2 && q != ring.write; ++turns) {
        uint32_t end = ring.write > q ? ring.write : ring.size;
        const char* run = ring.base + q;
        const void* nul = std::memchr(run, 0, end - q);
        size_t count = nul ? static_cast<size_t>(static_cast<const char*>(nul) - run) : end - q;
        writer.PutText(run, count);
        if (nul != nullptr) break;
        q = end == ring.size ? 0 : end;
    }
    writer.Flush();
}

void WriteLogText(const char* text, size_t length, ByteSink sink) {
    if (text == nullptr) return;
    LogTextWriter writer{sink, {}};
    writer.PutText(text, length);
    writer.Flush();
}

}  // namespace murlo
