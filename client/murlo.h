/* MURLODLL: send trace text to the Murlo console.
 *
 * Link with the import library (libmurlodll.a) or load MURLODLL.DLL at run
 * time. When the library is loaded and no console is running, it starts
 * one. Every function returns nothing; with no console they return at once.
 * Narrow functions take ANSI strings, wide ones UTF-16 strings, converted
 * with the ANSI code page. A source file may be null (no location).
 * Formats follow the Windows C runtime: in a wide format %s takes a wide
 * string and %S a narrow one; formatted text is cut at 1023 characters.
 *
 * Define MURLO_NO_TRACE before including this header to compile the
 * DB_... macros below to nothing. Usable from C and C++; in C++ DB_SCOPE
 * sends an enter line where it stands and the matching leave line when the
 * scope ends, on every way out of it. */
#ifndef MURLO_CLIENT_H
#define MURLO_CLIENT_H

#include <stddef.h>

#ifndef MURLOAPI
#define MURLOAPI __declspec(dllimport)
#endif

#ifdef __cplusplus
extern "C" {
#endif

MURLOAPI void __stdcall DB_OutputStringA(const char* text);
MURLOAPI void __cdecl DB_OutputStringFormatA(const char* format, ...);
MURLOAPI void __stdcall DB_OutputDump(const void* data, unsigned long length);
MURLOAPI void __stdcall DB_OutputStringFA(const char* file, int line, const char* text);
MURLOAPI void __cdecl DB_OutputStringFormatFA(const char* file, int line, const char* format, ...);
MURLOAPI void __stdcall DB_OutputDumpFA(const char* file, int line, const void* data, unsigned long length);
MURLOAPI void __stdcall DB_OutputRegistersA(const char* file, int line, unsigned long eax,
                                            unsigned long ebx, unsigned long ecx, unsigned long edx,
                                            unsigned long esi, unsigned long edi, unsigned long ebp,
                                            unsigned long esp);
MURLOAPI void __cdecl DB_EnterA(const char* file, int line, const char* format, ...);
MURLOAPI void __cdecl DB_LeaveA(const char* file, int line, const char* format, ...);
MURLOAPI void __stdcall DB_PauseA(const char* text, int number);

MURLOAPI void __stdcall DB_OutputStringW(const wchar_t* text);
MURLOAPI void __cdecl DB_OutputStringFormatW(const wchar_t* format, ...);
MURLOAPI void __stdcall DB_OutputStringFW(const wchar_t* file, int line, const wchar_t* text);
MURLOAPI void __cdecl DB_OutputStringFormatFW(const wchar_t* file, int line, const wchar_t* format, ...);
MURLOAPI void __stdcall DB_OutputDumpFW(const wchar_t* file, int line, const void* data, unsigned long length);
MURLOAPI void __stdcall DB_OutputRegistersW(const wchar_t* file, int line, unsigned long eax,
                                            unsigned long ebx, unsigned long ecx, unsigned long edx,
                                            unsigned long esi, unsigned long edi, unsigned long ebp,
                                            unsigned long esp);
MURLOAPI void __cdecl DB_EnterW(const wchar_t* file, int line, const wchar_t* format, ...);
MURLOAPI void __cdecl DB_LeaveW(const wchar_t* file, int line, const wchar_t* format, ...);
MURLOAPI void __stdcall DB_PauseW(const wchar_t* text, int number);

#ifdef __cplusplus
}
#endif

/* Convenience macros that pass the caller's source file and line. */
#define DB_WIDEN_(text) L##text
#define DB_WIDEN(text) DB_WIDEN_(text)

#ifndef MURLO_NO_TRACE
#define DB_TRACE(...) DB_OutputStringFormatFA(__FILE__, __LINE__, __VA_ARGS__)
#define DB_STRING(text) DB_OutputStringFA(__FILE__, __LINE__, (text))
#define DB_DUMP(data, length) DB_OutputDumpFA(__FILE__, __LINE__, (data), (length))
#define DB_REGISTERS(eax, ebx, ecx, edx, esi, edi, ebp, esp) \
    DB_OutputRegistersA(__FILE__, __LINE__, (eax), (ebx), (ecx), (edx), (esi), (edi), (ebp), (esp))
#define DB_ENTER(...) DB_EnterA(__FILE__, __LINE__, __VA_ARGS__)
#define DB_LEAVE(...) DB_LeaveA(__FILE__, __LINE__, __VA_ARGS__)
#define DB_PAUSE() DB_PauseA(__FILE__, __LINE__)
#define DB_TRACEW(...) DB_OutputStringFormatFW(DB_WIDEN(__FILE__), __LINE__, __VA_ARGS__)
#define DB_STRINGW(text) DB_OutputStringFW(DB_WIDEN(__FILE__), __LINE__, (text))
#define DB_DUMPW(data, length) DB_OutputDumpFW(DB_WIDEN(__FILE__), __LINE__, (data), (length))
#define DB_ENTERW(...) DB_EnterW(DB_WIDEN(__FILE__), __LINE__, __VA_ARGS__)
#define DB_LEAVEW(...) DB_LeaveW(DB_WIDEN(__FILE__), __LINE__, __VA_ARGS__)
#define DB_PAUSEW() DB_PauseW(DB_WIDEN(__FILE__), __LINE__)
#else
#define DB_TRACE(...) ((void)0)
#define DB_STRING(text) ((void)0)
#define DB_DUMP(data, length) ((void)0)
#define DB_REGISTERS(eax, ebx, ecx, edx, esi, edi, ebp, esp) ((void)0)
#define DB_ENTER(...) ((void)0)
#define DB_LEAVE(...) ((void)0)
#define DB_PAUSE() ((void)0)
#define DB_TRACEW(...) ((void)0)
#define DB_STRINGW(text) ((void)0)
#define DB_DUMPW(data, length) ((void)0)
#define DB_ENTERW(...) ((void)0)
#define DB_LEAVEW(...) ((void)0)
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
#ifndef MURLO_NO_TRACE
#define DB_SCOPE(name) ::murlo::Scope DB_SCOPE_JOIN_(murloScope_, __LINE__)(__FILE__, __LINE__, (name))
#define DB_SCOPEW(name) ::murlo::ScopeW DB_SCOPE_JOIN_(murloScope_, __LINE__)(DB_WIDEN(__FILE__), __LINE__, (name))
#else
#define DB_SCOPE(name) ((void)0)
#define DB_SCOPEW(name) ((void)0)
#endif
#endif /* __cplusplus */

#endif /* MURLO_CLIENT_H */
