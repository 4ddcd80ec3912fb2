// A client program that shows what MURLODLL sends: plain, formatted and
// wide text, a hex dump, a register dump, nested enter and leave traces
// from two threads, then a few lines per second.
// Usage: demo_client [SECONDS]   (default 10)
#include <windows.h>

#include <cstdlib>

#include "client/murlo.h"

namespace {

DWORD WINAPI Worker(void* parameter) {
    const int id = static_cast<int>(reinterpret_cast<INT_PTR>(parameter));
    DB_ENTER("worker %d: start\n", id);
    for (int step = 1; step <= 3; ++step) {
        DB_ENTER("worker %d: step %d\n", id, step);
        DB_TRACE("worker %d: working on step %d\n", id, step);
        Sleep(50);
        DB_LEAVE("worker %d: step %d done\n", id, step);
    }
    DB_LEAVE("worker %d: end\n", id);
    return 0;
}

void StartAndJoinWorkers() {
    HANDLE workers[2];
    for (int i = 0; i < 2; ++i) {
        workers[i] = CreateThread(nullptr, 0, Worker, reinterpret_cast<void*>(static_cast<INT_PTR>(i + 1)), 0, nullptr);
    }
    for (HANDLE worker : workers) {
        if (worker) {
            WaitForSingleObject(worker, INFINITE);
            CloseHandle(worker);
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 10;

    DB_OutputStringA("Murlo demo: a plain line from DB_OutputStringA\n");
    DB_STRING("a line with its source file and line number\n");
    DB_TRACE("formatted: %d + %d = %d, %s, 0x%08X\n", 2, 3, 5, "a narrow string", 0xC0FFEEu);
    DB_OutputStringW(L"wide text, converted with the ANSI code page: Gr\u00FC\u00DFe\n");
    DB_TRACEW(L"wide format: %s and %S\n", L"a wide string", "a narrow string");
    DB_OutputStringA("several lines\nin one call\nget their line ends\n");

    static const char sample[] = "The quick brown fox jumps over the lazy dog.";
    DB_DUMP(sample, sizeof sample);
    DB_REGISTERS(0x11111111, 0x22222222, 0x33333333, 0x44444444, 0x55555555, 0x66666666,
                 0x77777777, 0x88888888);

    DB_ENTER("main: nested traces from two threads\n");
    StartAndJoinWorkers();
    DB_LEAVE("main: both threads done\n");

    for (int tick = 1; tick <= seconds * 3; ++tick) {
        DB_TRACE("tick %d of %d\n", tick, seconds * 3);
        Sleep(333);
    }
    DB_OutputStringA("Murlo demo: done\n");
    return 0;
}
