// The second stage of every payload, on the log's side: the rendered text
// goes to the open log file, directly or through the ring.
#include "console/console_window.h"
#include "console/logfile/log_mirror.h"
#include "console/logfile/ring_buffer.h"

namespace murlo {

// The log file is a binary stream: WriteLogText gives it the CR LF form.
void ConsoleWindow::MirrorToLogFile(const char* text, size_t length) {
    switch (ChooseLogRoute(log.file != nullptr, options.maxLogKB, log.ring.region.base != nullptr)) {
    case LogRoute::None:
        break;
    case LogRoute::Ring:
        WriteRingStore(text, length);
        break;
    case LogRoute::File:
        WriteLogText(text, length, ByteSink{WriteToStream, log.file});
        break;
    }
}

}  // namespace murlo
