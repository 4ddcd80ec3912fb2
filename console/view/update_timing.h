// When the view is brought up to date with the texts waiting for it.
// Portable.
#pragma once

#include <cstdint>

namespace murlo {

// A text that comes alone is on screen at the timer's next turn after it,
// or the turn after that when it came just before; a stream of texts is
// taken in groups, each update taking what came in the last kMaxWaitMs.
// The timer's message comes only when the thread's queue holds nothing
// else, which under a stream happens between any two records: taking the
// texts at every such turn would update the view far more often than a
// stream needs, at the cost of the control's fixed work per update
// (deleting the oldest lines, repainting). So a turn takes the texts only
// once no text came for kQuietMs, or the oldest has waited kMaxWaitMs; a
// stream that never lets the turn come is bounded by the checks made as a
// text arrives (DueOnArrival, and the bytes waiting).
struct UpdateTiming {
    static constexpr uint32_t kTurnMs = 10;     // the timer's period
    static constexpr uint32_t kQuietMs = 2;     // no text for this long: the stream paused
    static constexpr uint32_t kMaxWaitMs = 40;  // the oldest waiting text waits no longer

    uint32_t firstTick = 0;  // when the oldest waiting text came
    uint32_t lastTick = 0;   // when the newest came

    // A text came at tick count now; first: none waited before it.
    void Arrived(uint32_t now, bool first) {
        if (first) firstTick = now;
        lastTick = now;
    }
    // Before a text joins those waiting: whether they go to the view first.
    bool DueOnArrival(uint32_t now) const { return now - firstTick >= kMaxWaitMs; }
    // At the timer's turn, with texts waiting.
    bool DueOnTurn(uint32_t now) const { return now - lastTick >= kQuietMs || DueOnArrival(now); }
};

}  // namespace murlo
