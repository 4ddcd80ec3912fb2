// Time counters of the console's counter build, read by the throughput
// benchmark: where the user-interface thread's time goes (handling
// records, letting queued messages through, the view's update and its
// repaint, timers) and how long the capture thread's cycle takes. Built
// only with -DMURLO_COUNTERS=ON (MURLO_BENCH_COUNTERS=1 bench/throughput.sh);
// in the product every MURLO_TIMED line is empty.
#pragma once

#include <cstdint>

namespace murlo {

enum class Counter : int {
    Record,          // a client's record: rendered, mirrored, queued for the view
    Gate,            // after a record: deciding whether to look for posted or typed messages
    Question,        // the look: asking the queue whether any wait, and the mouse capture
    Reply,           // releasing the record's sender before messages are taken
    Take,            // taking a waiting message out, with the records received meanwhile
    RecordInTake,    // calls only: records received while a message was being taken
    Dispatched,      // the messages let through, handled
    Update,          // the view's update, without its insertion, deletion and repaint
    Insert,          // the control's insertion of the texts
    Delete,          // the control's deletion of what the view loses
    Repaint,         // the view repainted after an update
    Timers,          // setting and killing timers
    CapturedRecord,  // a captured string's record, on the user-interface thread
    CaptureCycle,    // the capture thread, from a writer's data to its next wait, without the hand-over
    CaptureHandOver, // the capture thread handing a record to the window
    Count
};

inline constexpr char kCountersMapping[] = "MurloCounters";

// Shared with the benchmark through the mapping named above. Each counter
// holds its exclusive time in ticks of the performance counter (the time
// of a counted scope inside another is charged to the inner one only) and
// the number of times it ran. The benchmark zeroes them while the console
// is idle and reads them after a measured phase.
struct ConsoleCounters {
    int64_t frequency;
    int64_t ticks[static_cast<int>(Counter::Count)];
    int64_t calls[static_cast<int>(Counter::Count)];
};

}  // namespace murlo

#ifdef MURLO_COUNTERS

#include <windows.h>

namespace murlo {

inline ConsoleCounters& Counters() {
    static ConsoleCounters* counters = [] {
        static ConsoleCounters local;
        HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                            sizeof(ConsoleCounters), kCountersMapping);
        void* view = mapping ? MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(ConsoleCounters)) : nullptr;
        ConsoleCounters* shared = view ? static_cast<ConsoleCounters*>(view) : &local;
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        shared->frequency = frequency.QuadPart;
        return shared;
    }();
    return *counters;
}

inline int64_t CounterNow() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

// Times its own life, less that of the counted scopes inside it.
class CounterScope {
public:
    explicit CounterScope(Counter counter) : counter_(counter), parent_(top_), start_(CounterNow()) { top_ = this; }
    ~CounterScope() {
        const int64_t elapsed = CounterNow() - start_;
        ConsoleCounters& counters = Counters();
        counters.ticks[static_cast<int>(counter_)] += elapsed - children_;
        ++counters.calls[static_cast<int>(counter_)];
        if (parent_ != nullptr) parent_->children_ += elapsed;
        top_ = parent_;
    }
    CounterScope(const CounterScope&) = delete;
    CounterScope& operator=(const CounterScope&) = delete;

    // Counts one call of noted, with no time, when a scope of within is on
    // this thread's stack.
    static void NoteInside(Counter within, Counter noted) {
        for (const CounterScope* scope = top_; scope != nullptr; scope = scope->parent_) {
            if (scope->counter_ != within) continue;
            ++Counters().calls[static_cast<int>(noted)];
            return;
        }
    }

private:
    static inline thread_local CounterScope* top_ = nullptr;
    Counter counter_;
    CounterScope* parent_;
    int64_t start_;
    int64_t children_ = 0;
};

}  // namespace murlo

#define MURLO_TIMED_JOIN2(a, b) a##b
#define MURLO_TIMED_JOIN(a, b) MURLO_TIMED_JOIN2(a, b)
#define MURLO_TIMED(name) ::murlo::CounterScope MURLO_TIMED_JOIN(murloTimed, __LINE__)(::murlo::Counter::name)
#define MURLO_NOTE_INSIDE(within, noted) ::murlo::CounterScope::NoteInside(::murlo::Counter::within, ::murlo::Counter::noted)

#else

#define MURLO_TIMED(name) static_cast<void>(0)
#define MURLO_NOTE_INSIDE(within, noted) static_cast<void>(0)

#endif
