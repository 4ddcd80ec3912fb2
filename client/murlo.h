/* MURLODLL: send trace text to the Murlo console.
 *
 * Link with the import library of your toolchain (murlodll.lib for the
 * Microsoft toolchain and clang-cl, libmurlodll.a for MinGW), or load
 * MURLODLL.DLL at run time with LoadLibrary and GetProcAddress through the
 * PFN_DB_... pointer types below. When the library is loaded and no console
 * is running, it starts one. Every function returns nothing; with no
 * console they return at once.
 * Narrow functions take ANSI strings, wide ones UTF-16 strings, converted
 * with the ANSI code page. A source file may be null (no location).
 * Formats follow the Windows C runtime: in a wide format %s takes a wide
 * string and %S a narrow one; formatted text is cut at 1023 characters.
 * GCC and clang check the narrow formats against their arguments, and
 * MSVC's code analysis (/analyze) the narrow and wide ones.
 *
 * Define MURLO_NO_TRACE before including this header to compile the
 * DB_... macros below to nothing: their arguments are still checked but
 * never evaluated, so a variable used only in traces raises no warning and
 * the program needs no import library. Usable from C and C++; in C++
 * DB_SCOPE sends an enter line where it stands and the matching leave line
 * when the scope ends, on every way out of it. */
#ifndef MURLO_CLIENT_H
#define MURLO_CLIENT_H

#include <stddef.h>

#ifndef MURLOAPI
#define MURLOAPI __declspec(dllimport)
#endif

/* Format checking: GCC by the Microsoft runtime's rules (ms_printf), clang
 * by its rules for Windows targets (neither checks wide formats), MSVC's
 * code analysis through the SAL annotation. */
#if defined(__clang__)
#define MURLO_PRINTF_(format, first) __attribute__((__format__(__printf__, format, first)))
#elif defined(__GNUC__)
#define MURLO_PRINTF_(format, first) __attribute__((__format__(__ms_printf__, format, first)))
#else
#define MURLO_PRINTF_(format, first)
#endif
#if defined(_MSC_VER) && !defined(__clang__)
#include <sal.h>
#endif
#ifdef _Printf_format_string_
#define MURLO_FORMAT_ _Printf_format_string_
#else
#define MURLO_FORMAT_
#endif

#ifdef __cplusplus
extern "C" {
#endif

MURLOAPI void __stdcall DB_OutputStringA(const char* text);
MURLO_PRINTF_(1, 2) MURLOAPI void __cdecl DB_OutputStringFormatA(MURLO_FORMAT_ const char* format, ...);
MURLOAPI void __stdcall DB_OutputDump(const void* data, unsigned long length);
MURLOAPI void __stdcall DB_OutputStringFA(const char* file, int line, const char* text);
MURLO_PRINTF_(3, 4) MURLOAPI void __cdecl DB_OutputStringFormatFA(const char* file, int line,
                                                                  MURLO_FORMAT_ const char* format, ...);
MURLOAPI void __stdcall DB_OutputDumpFA(const char* file, int line, const void* data, unsigned long length);
MURLOAPI void __stdcall DB_OutputRegistersA(const char* file, int line, unsigned long eax,
                                            unsigned long ebx, unsigned long ecx, unsigned long edx,
                                            unsigned long esi, unsigned long edi, unsigned long ebp,
                                            unsigned long esp);
MURLO_PRINTF_(3, 4) MURLOAPI void __cdecl DB_EnterA(const char* file, int line, MURLO_FORMAT_ const char* format, ...);
MURLO_PRINTF_(3, 4) MURLOAPI void __cdecl DB_LeaveA(const char* file, int line, MURLO_FORMAT_ const char* format, ...);
MURLOAPI void __stdcall DB_PauseA(const char* text, int number);

MURLOAPI void __stdcall DB_OutputStringW(const wchar_t* text);
MURLOAPI void __cdecl DB_OutputStringFormatW(MURLO_FORMAT_ const wchar_t* format, ...);
MURLOAPI void __stdcall DB_OutputStringFW(const wchar_t* file, int line, const wchar_t* text);
MURLOAPI void __cdecl DB_OutputStringFormatFW(const wchar_t* file, int line, MURLO_FORMAT_ const wchar_t* format, ...);
MURLOAPI void __stdcall DB_OutputDumpFW(const wchar_t* file, int line, const void* data, unsigned long length);
MURLOAPI void __stdcall DB_OutputRegistersW(const wchar_t* file, int line, unsigned long eax,
                                            unsigned long ebx, unsigned long ecx, unsigned long edx,
                                            unsigned long esi, unsigned long edi, unsigned long ebp,
                                            unsigned long esp);
MURLOAPI void __cdecl DB_EnterW(const wchar_t* file, int line, MURLO_FORMAT_ const wchar_t* format, ...);
MURLOAPI void __cdecl DB_LeaveW(const wchar_t* file, int line, MURLO_FORMAT_ const wchar_t* format, ...);
MURLOAPI void __stdcall DB_PauseW(const wchar_t* text, int number);

/* The exports' pointer types, with their calling conventions, for programs
 * that load the library themselves:
 *     PFN_DB_OutputStringA output =
 *         (PFN_DB_OutputStringA)GetProcAddress(module, "DB_OutputStringA"); */
typedef void(__stdcall* PFN_DB_OutputStringA)(const char* text);
typedef void(__cdecl* PFN_DB_OutputStringFormatA)(const char* format, ...);
typedef void(__stdcall* PFN_DB_OutputDump)(const void* data, unsigned long length);
typedef void(__stdcall* PFN_DB_OutputStringFA)(const char* file, int line, const char* text);
typedef void(__cdecl* PFN_DB_OutputStringFormatFA)(const char* file, int line, const char* format, ...);
typedef void(__stdcall* PFN_DB_OutputDumpFA)(const char* file, int line, const void* data, unsigned long length);
typedef void(__stdcall* PFN_DB_OutputRegistersA)(const char* file, int line, unsigned long eax, unsigned long ebx,
                                                 unsigned long ecx, unsigned long edx, unsigned long esi,
                                                 unsigned long edi, unsigned long ebp, unsigned long esp);
typedef void(__cdecl* PFN_DB_EnterA)(const char* file, int line, const char* format, ...);
typedef void(__cdecl* PFN_DB_LeaveA)(const char* file, int line, const char* format, ...);
typedef void(__stdcall* PFN_DB_PauseA)(const char* text, int number);
typedef void(__stdcall* PFN_DB_OutputStringW)(const wchar_t* text);
typedef void(__cdecl* PFN_DB_OutputStringFormatW)(const wchar_t* format, ...);
typedef void(__stdcall* PFN_DB_OutputStringFW)(const wchar_t* file, int line, const wchar_t* text);
typedef void(__cdecl* PFN_DB_OutputStringFormatFW)(const wchar_t* file, int line, const wchar_t* format, ...);
typedef void(__stdcall* PFN_DB_OutputDumpFW)(const wchar_t* file, int line, const void* data, unsigned long length);
typedef void(__stdcall* PFN_DB_OutputRegistersW)(const wchar_t* file, int line, unsigned long eax, unsigned long ebx,
                                                 unsigned long ecx, unsigned long edx, unsigned long esi,
                                                 unsigned long edi, unsigned long ebp, unsigned long esp);
typedef void(__cdecl* PFN_DB_EnterW)(const wchar_t* file, int line, const wchar_t* format, ...);
typedef void(__cdecl* PFN_DB_LeaveW)(const wchar_t* file, int line, const wchar_t* format, ...);
typedef void(__stdcall* PFN_DB_PauseW)(const wchar_t* text, int number);

#ifdef __cplusplus
}
#endif

/* Convenience macros that pass the caller's source file and line. */
#define DB_WIDEN_(text) L##text
#define DB_WIDEN(text) DB_WIDEN_(text)
/* The dump length is a 32-bit count on every architecture: a size_t is
 * converted here, not at every call. */
#ifdef __cplusplus
#define DB_LENGTH_(length) static_cast<unsigned long>(length)
#else
#define DB_LENGTH_(length) ((unsigned long)(length))
#endif

#ifndef MURLO_NO_TRACE
#define DB_TRACE(...) DB_OutputStringFormatFA(__FILE__, __LINE__, __VA_ARGS__)
#define DB_STRING(text) DB_OutputStringFA(__FILE__, __LINE__, (text))
#define DB_DUMP(data, length) DB_OutputDumpFA(__FILE__, __LINE__, (data), DB_LENGTH_(length))
#define DB_REGISTERS(eax, ebx, ecx, edx, esi, edi, ebp, esp) \
    DB_OutputRegistersA(__FILE__, __LINE__, (eax), (ebx), (ecx), (edx), (esi), (edi), (ebp), (esp))
#define DB_ENTER(...) DB_EnterA(__FILE__, __LINE__, __VA_ARGS__)
#define DB_LEAVE(...) DB_LeaveA(__FILE__, __LINE__, __VA_ARGS__)
#define DB_PAUSE() DB_PauseA(__FILE__, __LINE__)
#define DB_TRACEW(...) DB_OutputStringFormatFW(DB_WIDEN(__FILE__), __LINE__, __VA_ARGS__)
#define DB_STRINGW(text) DB_OutputStringFW(DB_WIDEN(__FILE__), __LINE__, (text))
#define DB_DUMPW(data, length) DB_OutputDumpFW(DB_WIDEN(__FILE__), __LINE__, (data), DB_LENGTH_(length))
#define DB_REGISTERSW(eax, ebx, ecx, edx, esi, edi, ebp, esp) \
    DB_OutputRegistersW(DB_WIDEN(__FILE__), __LINE__, (eax), (ebx), (ecx), (edx), (esi), (edi), (ebp), (esp))
#define DB_ENTERW(...) DB_EnterW(DB_WIDEN(__FILE__), __LINE__, __VA_ARGS__)
#define DB_LEAVEW(...) DB_LeaveW(DB_WIDEN(__FILE__), __LINE__, __VA_ARGS__)
#define DB_PAUSEW() DB_PauseW(DB_WIDEN(__FILE__), __LINE__)
#else
/* Each macro's arguments go to a call inside sizeof, which compiles the call
 * (types and formats are checked, the arguments count as used) but never
 * makes it. The functions are declared for that alone and defined nowhere;
 * they return int, as sizeof needs, so that no operator stands inside it. */
MURLO_PRINTF_(1, 2) int DB_NoTraceA_(MURLO_FORMAT_ const char* format, ...);
int DB_NoTraceW_(MURLO_FORMAT_ const wchar_t* format, ...);
int DB_NoStringA_(const char* text);
int DB_NoStringW_(const wchar_t* text);
int DB_NoDump_(const void* data, unsigned long length);
int DB_NoRegisters_(unsigned long eax, unsigned long ebx, unsigned long ecx, unsigned long edx, unsigned long esi,
                    unsigned long edi, unsigned long ebp, unsigned long esp);
#define DB_NO_TRACE_(call) ((void)sizeof(call))
#define DB_TRACE(...) DB_NO_TRACE_(DB_NoTraceA_(__VA_ARGS__))
#define DB_STRING(text) DB_NO_TRACE_(DB_NoStringA_(text))
#define DB_DUMP(data, length) DB_NO_TRACE_(DB_NoDump_((data), DB_LENGTH_(length)))
#define DB_REGISTERS(eax, ebx, ecx, edx, esi, edi, ebp, esp) \
    DB_NO_TRACE_(DB_NoRegisters_((eax), (ebx), (ecx), (edx), (esi), (edi), (ebp), (esp)))
#define DB_ENTER(...) DB_NO_TRACE_(DB_NoTraceA_(__VA_ARGS__))
#define DB_LEAVE(...) DB_NO_TRACE_(DB_NoTraceA_(__VA_ARGS__))
#define DB_PAUSE() ((void)0)
#define DB_TRACEW(...) DB_NO_TRACE_(DB_NoTraceW_(__VA_ARGS__))
#define DB_STRINGW(text) DB_NO_TRACE_(DB_NoStringW_(text))
#define DB_DUMPW(data, length) DB_NO_TRACE_(DB_NoDump_((data), DB_LENGTH_(length)))
#define DB_REGISTERSW(eax, ebx, ecx, edx, esi, edi, ebp, esp) \
    DB_NO_TRACE_(DB_NoRegisters_((eax), (ebx), (ecx), (edx), (esi), (edi), (ebp), (esp)))
#define DB_ENTERW(...) DB_NO_TRACE_(DB_NoTraceW_(__VA_ARGS__))
#define DB_LEAVEW(...) DB_NO_TRACE_(DB_NoTraceW_(__VA_ARGS__))
#define DB_PAUSEW() ((void)0)
#endif

/* C++ only: a scope object that sends DB_EnterA ("Enter name") when it is
 * made and DB_LeaveA ("Leave name") when it is destroyed, both with the file
 * and line where it stands, so an early return cannot leave the nesting
 * unbalanced:
 *     int Parse(const char* text) {
 *         DB_SCOPE("Parse");
 *         if (!text) return -1;   // "Leave Parse" is still sent
 *         ...
 * The name is sent as text, not used as a format, and must stay valid until
 * the scope ends (a string literal does). DB_SCOPEW is the wide form. */
#ifdef __cplusplus
namespace murlo {

class Scope {
public:
    Scope(const char* file, int line, const char* name) : file_(file), line_(line), name_(name) {
        DB_EnterA(file_, line_, "Enter %s\n", name_);
    }
    ~Scope() { DB_LeaveA(file_, line_, "Leave %s\n", name_); }

private:
    Scope(const Scope&);
    Scope& operator=(const Scope&);
    const char* file_;
    int line_;
    const char* name_;
};

class ScopeW {
public:
    ScopeW(const wchar_t* file, int line, const wchar_t* name) : file_(file), line_(line), name_(name) {
        DB_EnterW(file_, line_, L"Enter %s\n", name_);
    }
    ~ScopeW() { DB_LeaveW(file_, line_, L"Leave %s\n", name_); }

private:
    ScopeW(const ScopeW&);
    ScopeW& operator=(const ScopeW&);
    const wchar_t* file_;
    int line_;
    const wchar_t* name_;
};

}  /* namespace murlo */

#define DB_SCOPE_JOIN2_(a, b) a##b
#define DB_SCOPE_JOIN_(a, b) DB_SCOPE_JOIN2_(a, b)
/* Each scope object gets a name of its own (__COUNTER__), so that several
 * may stand on one line, also nested or from one macro. */
#ifndef MURLO_NO_TRACE
#define DB_SCOPE(name) ::murlo::Scope DB_SCOPE_JOIN_(murloScope_, __COUNTER__)(__FILE__, __LINE__, (name))
#define DB_SCOPEW(name) \
    ::murlo::ScopeW DB_SCOPE_JOIN_(murloScope_, __COUNTER__)(DB_WIDEN(__FILE__), __LINE__, (name))
#else
#define DB_SCOPE(name) DB_NO_TRACE_(DB_NoStringA_(name))
#define DB_SCOPEW(name) DB_NO_TRACE_(DB_NoStringW_(name))
#endif
#endif /* __cplusplus */

#endif /* MURLO_CLIENT_H */
