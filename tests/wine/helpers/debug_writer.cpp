// Writes to the system debug-output channel (OutputDebugStringA) as its
// arguments say, in order:
//   t:TEXT        the text, with \n and \r standing for LF and CR
//   n:COUNT:C     COUNT copies of the character C
//   e             an empty string
//   w:NAME        wait (at most 20 s) for the named event, which the test made
//   s:NAME        set the named event
//   loop:NAME     write "busy N\n" (N counting from 0) until the event NAME is set
// Exits with 0, or 3 when a wait timed out, 2 on a bad argument.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

std::string Unescape(const char* text) {
    std::string out;
    for (const char* p = text; *p; ++p) {
        if (p[0] == '\\' && p[1] == 'n') {
            out += '\n';
            ++p;
        } else if (p[0] == '\\' && p[1] == 'r') {
            out += '\r';
            ++p;
        } else {
            out += *p;
        }
    }
    return out;
}

HANDLE OpenNamedEvent(const char* name) { return OpenEventA(SYNCHRONIZE | EVENT_MODIFY_STATE, FALSE, name); }

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (std::strncmp(arg, "t:", 2) == 0) {
            OutputDebugStringA(Unescape(arg + 2).c_str());
        } else if (std::strncmp(arg, "n:", 2) == 0) {
            char* end = nullptr;
            unsigned long count = std::strtoul(arg + 2, &end, 10);
            if (!end || *end != ':' || end[1] == 0) return 2;
            OutputDebugStringA(std::string(count, end[1]).c_str());
        } else if (std::strcmp(arg, "e") == 0) {
            OutputDebugStringA("");
        } else if (std::strncmp(arg, "w:", 2) == 0) {
            HANDLE event = OpenNamedEvent(arg + 2);
            if (!event) return 2;
            DWORD result = WaitForSingleObject(event, 20000);
            CloseHandle(event);
            if (result != WAIT_OBJECT_0) return 3;
        } else if (std::strncmp(arg, "s:", 2) == 0) {
            HANDLE event = OpenNamedEvent(arg + 2);
            if (!event) return 2;
            SetEvent(event);
            CloseHandle(event);
        } else if (std::strncmp(arg, "loop:", 5) == 0) {
            HANDLE event = OpenNamedEvent(arg + 5);
            if (!event) return 2;
            char line[32];
            for (unsigned n = 0; WaitForSingleObject(event, 0) != WAIT_OBJECT_0; ++n) {
                std::snprintf(line, sizeof line, "busy %u\n", n);
                OutputDebugStringA(line);
            }
            CloseHandle(event);
        } else {
            return 2;
        }
    }
    return 0;
}
