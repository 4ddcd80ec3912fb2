// Sends one full LogRecord to the window whose handle (decimal) is the
// first argument, the text being the rest of the command line, with the
// location "helper.cpp(7)" and depth 2; exits with 0 when sent.
#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "common/log_record.h"

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    HWND target = reinterpret_cast<HWND>(static_cast<uintptr_t>(strtoul(argv[1], nullptr, 10)));
    murlo::LogRecord record;
    murlo::StartRecord(&record, sizeof record);
    record.header.processId = GetCurrentProcessId();
    murlo::SetRecordLocation(record.header, "helper.cpp", 7);
    record.header.depth = 2;
    murlo::SetRecordText(&record, sizeof record, argv[2], strlen(argv[2]));
    COPYDATASTRUCT copy = {0, sizeof record, &record};
    SendMessageA(target, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy));
    return 0;
}
