// The core sender: every output function ends here. Composes the records
// of one text and sends each to the console as WM_COPYDATA.
#include <windows.h>

#include <cstring>

#define MURLOAPI
#include "client/client_state.h"
#include "client/murlo.h"
#include "common/ansi_lead_byte.h"

namespace murlo {

namespace {

static_assert(sizeof(SYSTEMTIME) == sizeof(RecordTime));

void SendRecordToConsole(void*, const LogRecord& record) {
    COPYDATASTRUCT copy = {0, sizeof record, const_cast<LogRecord*>(&record)};
    SendMessageA(g_client.targetWindow, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy));
}

// The ANSI code page's lead bytes, or none for a single-byte code page.
LeadBytePredicate AnsiLeadBytes() {
    CPINFO info;
    if (GetCPInfo(CP_ACP, &info) && info.MaxCharSize > 1) return IsAnsiLeadByte;
    return nullptr;
}

}  // namespace

void BeginConsoleText(TextComposer& composer, const char* file, int line) {
    RecordFields fields{};
    fields.file = file;
    fields.line = line;
    fields.processId = GetCurrentProcessId();
    SYSTEMTIME now;
    GetLocalTime(&now);
    std::memcpy(&fields.localTime, &now, sizeof now);
    fields.depth = g_client.NestingDepth;
    BeginText(composer, fields, AnsiLeadBytes(), {SendRecordToConsole, nullptr});
}

}  // namespace murlo

using namespace murlo;

void __stdcall DB_OutputStringFA(const char* file, int line, const char* text) {
    if (!ConsoleReachable()) return;
    OutputLockHold hold;
    TextComposer composer;
    BeginConsoleText(composer, file, line);
    if (text) AddText(composer, text, std::strlen(text));
    EndText(composer);
}
