// The second stage of every payload: the rendered text goes to the log
// file (directly or through the ring) and is appended to the view.
#include "console/shell/console_window.h"
#include "console/shell/constants.h"
#include "console/view/log_mirror.h"
#include "console/view/rich_edit_view.h"
#include "console/view/view_append.h"

namespace murlo {

namespace {

void WriteToStream(void* context, const char* bytes, size_t count) {
    // Write errors are not reported: the text still reaches the view.
    fwrite(bytes, 1, count, static_cast<FILE*>(context));
}

}  // namespace

// The log file is a binary stream: WriteLogText gives it the CR LF form.
void ConsoleWindow::MirrorToLogFile(const char* text, size_t length) {
    switch (ChooseLogRoute(logFile != nullptr, maxLogKB, ringBase != nullptr)) {
    case LogRoute::None:
        break;
    case LogRoute::Ring:
        WriteRingStore(text, length);
        break;
    case LogRoute::File:
        WriteLogText(text, length, ByteSink{WriteToStream, logFile});
        break;
    }
}

void ConsoleWindow::AppendToView(const char* text, size_t length) {
    if (viewWindow == nullptr) return;
    RichEditView view = MakeRichEditView(viewWindow, g_console.platform.richEdit2 != FALSE,
                                         static_cast<long>(kViewTextLimit));
    murlo::AppendToView(view, text, length);
}

}  // namespace murlo
