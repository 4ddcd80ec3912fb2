// When the handler of a record may take posted and typed messages from the
// queue, so that a console flooded with records can still be closed and
// used. Portable.
#pragma once

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
struct MessageGate {
    int handlersRunning = 0;    // handlers of messages other than records, on the stack
    bool menuLoop = false;      // between WM_ENTERMENULOOP and WM_EXITMENULOOP
    bool sizeMoveLoop = false;  // between WM_ENTERSIZEMOVE and WM_EXITSIZEMOVE

    bool Open(bool windowEnabled) const {
        return handlersRunning == 0 && !menuLoop && !sizeMoveLoop && windowEnabled;
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
