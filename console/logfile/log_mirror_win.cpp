// The log file's side of every payload: the rendered text goes to the open
// log file, directly or through the ring.
#include "console/logfile/log_mirror.h"
#include "console/logfile/log_output.h"
#include "console/logfile/ring_buffer.h"
#include "console/shell/counters.h"

namespace murlo {

namespace {

// The stream keeps its buffer, and reaches the file when the console has
// handled the records waiting for it (the timer's message comes only when
// the thread's queue holds nothing else), and at least once a second while
// records keep it busy: a console that is killed or crashes loses at most
// about the last second of a direct log, and the file can be followed. The
// timer repeats while records keep coming and stops at its first turn with
// nothing to write.
constexpr UINT kLogFlushDelayMs = 20;
constexpr DWORD kMaxUnflushedMs = 1000;

}  // namespace

// The log file is a binary stream: WriteLogText gives it the CR LF form.
void MirrorToLogFile(LogOutput& log, uint32_t maxLogKB, HWND owner, const char* text, size_t length) {
    switch (ChooseLogRoute(log.file != nullptr, maxLogKB, log.ring.region.base != nullptr)) {
    case LogRoute::None:
        break;
    case LogRoute::Ring:
        WriteRingStore(log.ring, text, length);
        break;
    case LogRoute::File:
        WriteLogText(text, length, ByteSink{WriteToStream, log.file});
        if (!log.unflushed) {
            log.unflushed = true;
            log.unflushedSince = GetTickCount();
            if (!log.timerRunning) {
                MURLO_TIMED(Timers);
                log.timerRunning = SetTimer(owner, kLogFlushTimer, kLogFlushDelayMs, nullptr) != 0;
            }
        } else if (GetTickCount() - log.unflushedSince >= kMaxUnflushedMs) {
            FlushLogFile(log);
        }
        break;
    }
}

void FlushLogFile(LogOutput& log) {
    if (log.file != nullptr && log.unflushed) std::fflush(log.file);
    log.unflushed = false;
}

void OnLogFlushTimer(LogOutput& log, HWND owner) {
    if (log.unflushed) {
        FlushLogFile(log);
        return;
    }
    MURLO_TIMED(Timers);
    KillTimer(owner, kLogFlushTimer);
    log.timerRunning = false;
}

}  // namespace murlo
