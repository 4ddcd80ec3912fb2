/* A client built with the Microsoft toolchain's conventions (clang for the
 * *-pc-windows-msvc targets, linked by lld-link against murlodll.lib), with
 * no C runtime: its own entry point, and only murlo.h and ExitProcess.
 * It calls each of the 19 functions once and measures the
 * stack pointer before and after: a standard-call function that the import
 * library bound to the wrong decoration, or that pops a different number of
 * bytes than the header declares, moves it. The last line reports the drift;
 * the exit code is 0 when there is none. The two pauses wait until the
 * console's boxes "msvc.c(19)" and "msvcw.c(20)" are confirmed. For x86 it
 * is built twice, with cdecl and with stdcall (-mrtd) as the default
 * convention, so that only the conventions the header names count. */
#include <murlo.h>

__declspec(dllimport) void __stdcall ExitProcess(unsigned int code);

#if defined(_M_IX86)
#define READ_STACK_POINTER(sp) __asm__ volatile("movl %%esp, %0" : "=r"(sp))
#define CLIENT_BITS "32"
#else
#define READ_STACK_POINTER(sp) __asm__ volatile("movq %%rsp, %0" : "=r"(sp))
#define CLIENT_BITS "64"
#endif

static const unsigned char kBytes[4] = {0x4D, 0x53, 0x56, 0x43};

void __cdecl ClientMain(void) {
    size_t before, after;
    READ_STACK_POINTER(before);
    DB_OutputStringA("msvc " CLIENT_BITS " string\r\n");
    DB_OutputStringFormatA("msvc %s %d\r\n", "format", 1);
    DB_OutputDump(kBytes, 4);
    DB_OutputStringFA("msvc.c", 7, "msvc located\r\n");
    DB_OutputStringFormatFA("msvc.c", 8, "msvc %s %d\r\n", "formatF", 2);
    DB_OutputDumpFA("msvc.c", 9, kBytes, 2);
    DB_OutputRegistersA("msvc.c", 10, 1, 2, 3, 4, 5, 6, 7, 8);
    DB_EnterA("msvc.c", 11, "msvc enter %d\r\n", 3);
    DB_LeaveA("msvc.c", 12, "msvc leave %d\r\n", 4);
    DB_OutputStringW(L"msvc wide string\r\n");
    DB_OutputStringFormatW(L"msvc wide %s %d\r\n", L"format", 5);
    DB_OutputStringFW(L"msvcw.c", 13, L"msvc wide located\r\n");
    DB_OutputStringFormatFW(L"msvcw.c", 14, L"msvc wide %S %d\r\n", "formatF", 6);
    DB_OutputDumpFW(L"msvcw.c", 15, kBytes + 2, 2);
    DB_OutputRegistersW(L"msvcw.c", 16, 9, 10, 11, 12, 13, 14, 15, 16);
    DB_EnterW(L"msvcw.c", 17, L"msvc wide enter\r\n");
    DB_LeaveW(L"msvcw.c", 18, L"msvc wide leave\r\n");
    DB_PauseA("msvc.c", 19);
    DB_PauseW(L"msvcw.c", 20);
    READ_STACK_POINTER(after);
    DB_OutputStringFormatA("msvc " CLIENT_BITS " stack drift %d\r\n", (int)(after - before));
    ExitProcess(after == before ? 0 : 1);
}
