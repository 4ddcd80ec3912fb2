/* Compiled, never run (tests/package/header_check.sh): murlo.h as a C
 * program meets it, at the compilers' strict warning levels, with and
 * without MURLO_NO_TRACE. Each parameter and variable below is used in one
 * trace only, so a macro that drops its arguments leaves it unused; the
 * dump lengths are size_t, 64 bits on x64. The C++ check compiles this file
 * too. */
#include <murlo.h>

void TraceOnly(const char* text, const void* data, size_t size, unsigned long eax, int count,
               const char* enterName, const char* leaveName)
{
    const wchar_t* wideText = L"wide";
    const wchar_t* wideName = L"name";
    const wchar_t* wideLeave = L"leave";
    unsigned long wideEsp = 8;
    size_t wideSize = size / 2;
    int wideCount = count + 1;
    DB_TRACE("%d items\n", count);
    DB_STRING(text);
    DB_DUMP(data, size);
    DB_REGISTERS(eax, 2, 3, 4, 5, 6, 7, 8);
    DB_ENTER("enter %s\n", enterName);
    DB_LEAVE("leave %s\n", leaveName);
    DB_PAUSE();
    DB_TRACEW(L"%d wide items\n", wideCount);
    DB_STRINGW(wideText);
    DB_DUMPW(data, wideSize);
    DB_REGISTERSW(1, 2, 3, 4, 5, 6, 7, wideEsp);
    DB_ENTERW(L"enter %s\n", wideName);
    DB_LEAVEW(L"leave %s\n", wideLeave);
    DB_PAUSEW();
}

/* Each pointer type must hold its export: a different calling convention
 * (32-bit) or parameter list makes the assignment a warning in C and an
 * error in C++. */
#define EXPORTS(X)                                                                                   \
    X(DB_OutputStringA) X(DB_OutputStringFormatA) X(DB_OutputDump) X(DB_OutputStringFA)              \
    X(DB_OutputStringFormatFA) X(DB_OutputDumpFA) X(DB_OutputRegistersA) X(DB_EnterA) X(DB_LeaveA)   \
    X(DB_PauseA) X(DB_OutputStringW) X(DB_OutputStringFormatW) X(DB_OutputStringFW)                 \
    X(DB_OutputStringFormatFW) X(DB_OutputDumpFW) X(DB_OutputRegistersW) X(DB_EnterW) X(DB_LeaveW) \
    X(DB_PauseW)
#define BIND_EXPORT(name) PFN_##name name##Pointer = name;
#define USE_EXPORT(name) (void)name##Pointer;

void BindExports(void)
{
    EXPORTS(BIND_EXPORT)
    EXPORTS(USE_EXPORT)
}

/* With MURLO_CHECK_BAD_FORMATS every line marked "bad format" must be
 * reported, so that the compile fails. */
#ifdef MURLO_CHECK_BAD_FORMATS
void BadFormats(void)
{
    DB_TRACE("%s\n", 42);                   /* bad format */
    DB_ENTER("%d\n", "text");               /* bad format */
    DB_LEAVE("%s and %s\n", "one");         /* bad format */
    DB_OutputStringFormatA("%p\n", 1.5);    /* bad format */
}
#endif
