// When the handler of a record may take posted and typed messages from the
// queue, so that a console flooded with records can still be closed and
// used. Portable.
#pragma once

#include <cstdint>

namespace murlo {

// A thread handles the messages that other threads send it before anything
// posted to it or typed, so the console lets those through after a record.
// It may do so only where the main loop would take them next. Not while a
// handler of such a message runs: a command, its dialog or message box, a
// capture stop or restart, the window's destruction; taken there, a second
// command would run inside the first. Not while a modal loop of the
// platform takes the input: a menu, the window moved or sized (and the
// mouse captured, by a scroll-bar drag for one, which the glue asks the
// platform); taken there, the keys and clicks meant for that loop would be
// lost to it. Not while the window is disabled: a modal dialog or message
// box takes them. Such messages wait for the main loop.
//
// Asking whether anything waits is a round trip to the window server under
// Wine, as long as a record's own handling: it is asked after every
// kLookEveryRecords-th record, and after any record that comes
// kLookEveryMs or more after the last look, so that a message waits at
// most a few records behind a flood and a record that comes alone is
// always followed by a look.
struct MessageGate {
    static constexpr uint32_t kLookEveryRecords = 8;
    static constexpr uint32_t kLookEveryMs = 2;

    int handlersRunning = 0;    // handlers of messages other than records, on the stack
    bool menuLoop = false;      // between WM_ENTERMENULOOP and WM_EXITMENULOOP
    bool sizeMoveLoop = false;  // between WM_ENTERSIZEMOVE and WM_EXITSIZEMOVE
    uint32_t recordsSinceLook = 0;
    uint32_t lastLook = 0;      // tick count of the last look
    bool looked = false;        // there was a look at all

    bool Open(bool windowEnabled) const {
        return handlersRunning == 0 && !menuLoop && !sizeMoveLoop && windowEnabled;
    }
    // After a record, at tick count now: whether to look for waiting messages.
    bool TimeToLook(uint32_t now) {
        ++recordsSinceLook;
        if (looked && recordsSinceLook < kLookEveryRecords && now - lastLook < kLookEveryMs) return false;
        recordsSinceLook = 0;
        lastLook = now;
        looked = true;
        return true;
    }
};

// Counts a handler as running for as long as it lives.
struct RunningHandler {
    MessageGate* gate;
    explicit RunningHandler(MessageGate* g) : gate(g) {
        if (gate != nullptr) ++gate->handlersRunning;
    }
    ~RunningHandler() {
        if (gate != nullptr) --gate->handlersRunning;
    }
    RunningHandler(const RunningHandler&) = delete;
    RunningHandler& operator=(const RunningHandler&) = delete;
};

}  // namespace murlo
