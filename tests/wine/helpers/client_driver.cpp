// Loads MURLODLL.DLL with LoadLibraryA (the library connects to the console
// while it loads) and calls its exports through GetProcAddress with the
// header's exact prototypes, as its command line says. Commands are
// separated by ";" arguments:
//   string TEXT | stringF FILE LINE TEXT | stringW TEXT | stringFW FILE LINE TEXT
//   format FMT [ARG...] | formatF FILE LINE FMT [ARG...] | formatW ... | formatFW ...
//   enter|leave|enterW|leaveW FILE LINE FMT [ARG...]
//   registers|registersW FILE LINE EAX EBX ECX EDX ESI EDI EBP ESP (hexadecimal)
//   dump HEX | dumpF FILE LINE HEX | dumpFW FILE LINE HEX
//   dumpBad KIND LENGTH   (KIND: noaccess, guard, reserved, tail, null)
//   pause TEXT NUMBER | pauseW TEXT NUMBER
//   pauseAsync TEXT NUMBER   (DB_PauseA on a thread of its own; the driver
//   goes on with the next command and waits for the thread before it ends)
//   threads COUNT RECORDS | stack | waitgone (until the "MurloClass" window of
//   now is destroyed) | waitclass CLASS (until a window of CLASS exists)
//   exitload   (the exit code becomes the milliseconds the load took)
// FILE "-" is a null pointer. Texts take the escapes \n \r \t \\ \xHH and,
// in wide texts, \uHHHH. A format argument is i:DECIMAL, u:HEX, s:TEXT
// (narrow) or w:TEXT (wide). Before a dump the driver sends the address of
// the data as "@XXXXXXXX" with DB_OutputStringA (dumpBad: "@FIRST-LAST").
// Exit code 0 when every command ran, else the number of the failing one.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <string>
#include <thread>
#include <vector>

#include "client/murlo.h"

namespace {

struct Exports {
    decltype(&DB_OutputStringA) OutputStringA;
    decltype(&DB_OutputStringFormatA) OutputStringFormatA;
    decltype(&DB_OutputDump) OutputDump;
    decltype(&DB_OutputStringFA) OutputStringFA;
    decltype(&DB_OutputStringFormatFA) OutputStringFormatFA;
    decltype(&DB_OutputDumpFA) OutputDumpFA;
    decltype(&DB_OutputRegistersA) OutputRegistersA;
    decltype(&DB_EnterA) EnterA;
    decltype(&DB_LeaveA) LeaveA;
    decltype(&DB_PauseA) PauseA;
    decltype(&DB_OutputStringW) OutputStringW;
    decltype(&DB_OutputStringFormatW) OutputStringFormatW;
    decltype(&DB_OutputStringFW) OutputStringFW;
    decltype(&DB_OutputStringFormatFW) OutputStringFormatFW;
    decltype(&DB_OutputDumpFW) OutputDumpFW;
    decltype(&DB_OutputRegistersW) OutputRegistersW;
    decltype(&DB_EnterW) EnterW;
    decltype(&DB_LeaveW) LeaveW;
    decltype(&DB_PauseW) PauseW;
} g;

template <typename Pointer>
bool Bind(HMODULE dll, const char* name, Pointer& pointer) {
    pointer = reinterpret_cast<Pointer>(reinterpret_cast<void*>(GetProcAddress(dll, name)));
    return pointer != nullptr;
}

bool BindAll(HMODULE dll) {
    return Bind(dll, "DB_OutputStringA", g.OutputStringA) &&
           Bind(dll, "DB_OutputStringFormatA", g.OutputStringFormatA) &&
           Bind(dll, "DB_OutputDump", g.OutputDump) && Bind(dll, "DB_OutputStringFA", g.OutputStringFA) &&
           Bind(dll, "DB_OutputStringFormatFA", g.OutputStringFormatFA) &&
           Bind(dll, "DB_OutputDumpFA", g.OutputDumpFA) &&
           Bind(dll, "DB_OutputRegistersA", g.OutputRegistersA) && Bind(dll, "DB_EnterA", g.EnterA) &&
           Bind(dll, "DB_LeaveA", g.LeaveA) && Bind(dll, "DB_PauseA", g.PauseA) &&
           Bind(dll, "DB_OutputStringW", g.OutputStringW) &&
           Bind(dll, "DB_OutputStringFormatW", g.OutputStringFormatW) &&
           Bind(dll, "DB_OutputStringFW", g.OutputStringFW) &&
           Bind(dll, "DB_OutputStringFormatFW", g.OutputStringFormatFW) &&
           Bind(dll, "DB_OutputDumpFW", g.OutputDumpFW) &&
           Bind(dll, "DB_OutputRegistersW", g.OutputRegistersW) && Bind(dll, "DB_EnterW", g.EnterW) &&
           Bind(dll, "DB_LeaveW", g.LeaveW) && Bind(dll, "DB_PauseW", g.PauseW);
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

unsigned ReadHex(const char* at, int digits) {
    unsigned value = 0;
    for (int i = 0; i < digits && HexDigit(at[i]) >= 0; ++i) value = value * 16 + static_cast<unsigned>(HexDigit(at[i]));
    return value;
}

// Decodes the escapes into units (bytes for narrow, UTF-16 units for wide).
std::vector<unsigned> Decode(const char* text) {
    std::vector<unsigned> units;
    for (size_t i = 0; text[i];) {
        if (text[i] != '\\' || !text[i + 1]) {
            units.push_back(static_cast<unsigned char>(text[i++]));
            continue;
        }
        char kind = text[i + 1];
        i += 2;
        switch (kind) {
        case 'n': units.push_back('\n'); break;
        case 'r': units.push_back('\r'); break;
        case 't': units.push_back('\t'); break;
        case 'x': units.push_back(ReadHex(text + i, 2)); i += 2; break;
        case 'u': units.push_back(ReadHex(text + i, 4)); i += 4; break;
        default: units.push_back(static_cast<unsigned char>(kind)); break;
        }
    }
    return units;
}

// Decoded strings live until the driver ends.
std::deque<std::string> g_narrow;
std::deque<std::wstring> g_wide;

const char* Narrow(const char* text) {
    if (strcmp(text, "-") == 0) return nullptr;
    std::string out;
    for (unsigned unit : Decode(text)) out += static_cast<char>(unit);
    g_narrow.push_back(out);
    return g_narrow.back().c_str();
}

const wchar_t* Wide(const char* text) {
    if (strcmp(text, "-") == 0) return nullptr;
    std::wstring out;
    for (unsigned unit : Decode(text)) out += static_cast<wchar_t>(unit);
    g_wide.push_back(out);
    return g_wide.back().c_str();
}

std::vector<unsigned char> Bytes(const char* hex) {
    std::vector<unsigned char> bytes;
    for (size_t i = 0; hex[i] && hex[i + 1]; i += 2) bytes.push_back(static_cast<unsigned char>(ReadHex(hex + i, 2)));
    return bytes;
}

// Variadic arguments. Every one is passed as a pointer-sized integer: in
// both Windows calling conventions each variadic argument takes one such
// slot, and an int is read from its low half.
struct FormatArgs {
    intptr_t value[4] = {};
};

FormatArgs Args(const std::vector<const char*>& words, size_t first) {
    FormatArgs args;
    for (size_t i = first, n = 0; i < words.size() && n < 4; ++i, ++n) {
        const char* word = words[i];
        const char* rest = word + 2;
        switch (word[0]) {
        case 'i': args.value[n] = static_cast<intptr_t>(strtol(rest, nullptr, 10)); break;
        case 'u': args.value[n] = static_cast<intptr_t>(strtoul(rest, nullptr, 16)); break;
        case 's': args.value[n] = reinterpret_cast<intptr_t>(Narrow(rest)); break;
        case 'w': args.value[n] = reinterpret_cast<intptr_t>(Wide(rest)); break;
        default: break;
        }
    }
    return args;
}

void Announce(const char* format, uintptr_t first, uintptr_t last) {
    char note[64];
    snprintf(note, sizeof note, format, static_cast<unsigned>(first), static_cast<unsigned>(last));
    g.OutputStringA(note);
}

bool WaitUntil(bool (*condition)(const char*), const char* argument) {
    DWORD start = GetTickCount();
    while (!condition(argument)) {
        if (GetTickCount() - start > 20000) return false;
        Sleep(10);
    }
    return true;
}

// Memory that cannot be read as a whole, for the dump's error line.
bool DumpBad(const std::string& kind, unsigned long length) {
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    const DWORD page = info.dwPageSize;
    const unsigned char* data = nullptr;
    char* block = static_cast<char*>(VirtualAlloc(nullptr, 2 * page, MEM_RESERVE, PAGE_NOACCESS));
    if (!block) return false;
    if (kind == "noaccess") {
        VirtualAlloc(block, page, MEM_COMMIT, PAGE_NOACCESS);
        data = reinterpret_cast<unsigned char*>(block);
    } else if (kind == "guard") {
        VirtualAlloc(block, page, MEM_COMMIT, PAGE_READWRITE | PAGE_GUARD);
        data = reinterpret_cast<unsigned char*>(block);
    } else if (kind == "reserved") {
        data = reinterpret_cast<unsigned char*>(block);
    } else if (kind == "tail") {
        // A readable page followed by a reserved one: the range runs over.
        VirtualAlloc(block, page, MEM_COMMIT, PAGE_READWRITE);
        data = reinterpret_cast<unsigned char*>(block + page - 8);
    }
    uintptr_t first = reinterpret_cast<uintptr_t>(data);
    Announce("@%08X-%08X", first, first + length - 1);
    g.OutputDumpFA("bad.c", 9, data, length);
    bool ok = true;
    if (kind == "guard") {
        // The test must not have touched the page: the guard is still armed.
        MEMORY_BASIC_INFORMATION memory;
        VirtualQuery(block, &memory, sizeof memory);
        g.OutputStringA((memory.Protect & PAGE_GUARD) ? "guard armed" : "guard fired");
    }
    VirtualFree(block, 0, MEM_RELEASE);
    return ok;
}

void SendFromThread(int thread, int records) {
    unsigned char data[40];
    memset(data, 'a' + thread, sizeof data);
    for (int i = 0; i < records; ++i) {
        g.OutputStringFormatA("T%d %d\n", thread, i);
        if (i % 10 == 9) g.OutputDump(data, sizeof data);
    }
}

#ifndef _WIN64
// Pushes count 32-bit arguments (the first one last), calls function and
// returns the number of bytes the call left on the stack: 0 for a
// standard-call function, which removes its arguments, 4 x count for a
// C-convention one, whose caller removes them.
extern "C" uint32_t StackLeftAfterCall(const void* function, const uint32_t* args, uint32_t count);
asm(".text\n"
    ".globl _StackLeftAfterCall\n"
    "_StackLeftAfterCall:\n"
    "    pushl %ebp\n"
    "    movl %esp, %ebp\n"
    "    pushl %esi\n"
    "    pushl %edi\n"
    "    pushl %ebx\n"
    "    movl 16(%ebp), %ecx\n"
    "    movl 12(%ebp), %esi\n"
    "    movl %esp, %edi\n"
    "1:  testl %ecx, %ecx\n"
    "    jz 2f\n"
    "    decl %ecx\n"
    "    pushl (%esi,%ecx,4)\n"
    "    jmp 1b\n"
    "2:  call *8(%ebp)\n"
    "    movl %edi, %eax\n"
    "    subl %esp, %eax\n"
    "    movl %edi, %esp\n"
    "    popl %ebx\n"
    "    popl %edi\n"
    "    popl %esi\n"
    "    popl %ebp\n"
    "    ret\n");

template <typename Function>
uint32_t Call(Function function, std::initializer_list<uintptr_t> args) {
    uint32_t words[12];
    uint32_t count = 0;
    for (uintptr_t arg : args) words[count++] = static_cast<uint32_t>(arg);
    return StackLeftAfterCall(reinterpret_cast<const void*>(function), words, count);
}
#endif

// Calls every export once through its pointer. On 32-bit Windows the
// stack is measured around each call; on 64-bit Windows there is only one
// calling convention and the stack is balanced by construction, so the
// calls only show that each export is reachable with its prototype.
bool StackBalanced() {
    static const unsigned char data[20] = {1, 2, 3};
    const char* file = "stack.c";
    const wchar_t* wfile = L"stack.c";
#ifndef _WIN64
    auto p = [](const void* pointer) { return reinterpret_cast<uintptr_t>(pointer); };
    struct Check {
        uint32_t left;
        uint32_t expected;
    } checks[] = {
        {Call(g.OutputStringA, {p("StringA\n")}), 0},
        {Call(g.OutputStringFormatA, {p("FormatA\n")}), 4},
        {Call(g.OutputDump, {p(data), 20}), 0},
        {Call(g.OutputStringFA, {p(file), 1, p("StringFA\n")}), 0},
        {Call(g.OutputStringFormatFA, {p(file), 2, p("FormatFA\n")}), 12},
        {Call(g.OutputDumpFA, {p(file), 3, p(data), 20}), 0},
        {Call(g.OutputRegistersA, {p(file), 4, 1, 2, 3, 4, 5, 6, 7, 8}), 0},
        {Call(g.EnterA, {p(file), 5, p("EnterA\n")}), 12},
        {Call(g.LeaveA, {p(file), 6, p("LeaveA\n")}), 12},
        {Call(g.PauseA, {p(file), 7}), 0},
        {Call(g.OutputStringW, {p(L"StringW\n")}), 0},
        {Call(g.OutputStringFormatW, {p(L"FormatW\n")}), 4},
        {Call(g.OutputStringFW, {p(wfile), 8, p(L"StringFW\n")}), 0},
        {Call(g.OutputStringFormatFW, {p(wfile), 9, p(L"FormatFW\n")}), 12},
        {Call(g.OutputDumpFW, {p(wfile), 10, p(data), 20}), 0},
        {Call(g.OutputRegistersW, {p(wfile), 11, 1, 2, 3, 4, 5, 6, 7, 8}), 0},
        {Call(g.EnterW, {p(wfile), 12, p(L"EnterW\n")}), 12},
        {Call(g.LeaveW, {p(wfile), 13, p(L"LeaveW\n")}), 12},
        {Call(g.PauseW, {p(wfile), 14}), 0},
    };
    bool balanced = true;
    for (const auto& check : checks) balanced = balanced && check.left == check.expected;
    return balanced;
#else
    g.OutputStringA("StringA\n");
    g.OutputStringFormatA("FormatA\n");
    g.OutputDump(data, 20);
    g.OutputStringFA(file, 1, "StringFA\n");
    g.OutputStringFormatFA(file, 2, "FormatFA\n");
    g.OutputDumpFA(file, 3, data, 20);
    g.OutputRegistersA(file, 4, 1, 2, 3, 4, 5, 6, 7, 8);
    g.EnterA(file, 5, "EnterA\n");
    g.LeaveA(file, 6, "LeaveA\n");
    g.PauseA(file, 7);
    g.OutputStringW(L"StringW\n");
    g.OutputStringFormatW(L"FormatW\n");
    g.OutputStringFW(wfile, 8, L"StringFW\n");
    g.OutputStringFormatFW(wfile, 9, L"FormatFW\n");
    g.OutputDumpFW(wfile, 10, data, 20);
    g.OutputRegistersW(wfile, 11, 1, 2, 3, 4, 5, 6, 7, 8);
    g.EnterW(wfile, 12, L"EnterW\n");
    g.LeaveW(wfile, 13, L"LeaveW\n");
    g.PauseW(wfile, 14);
    return true;
#endif
}

HWND g_consoleAtWait;
std::vector<std::thread> g_pauses;
bool ConsoleWindowGone(const char*) { return !IsWindow(g_consoleAtWait); }
bool ClassWindowExists(const char* name) { return FindWindowA(name, nullptr) != nullptr; }

// Runs one command; false when it is malformed or fails.
bool Run(const std::vector<const char*>& w, DWORD loadMs, int* exitOverride) {
    const std::string name = w[0];
    const size_t n = w.size();
    auto line = [&](size_t i) { return atoi(w[i]); };
    auto hex = [&](size_t i) { return static_cast<unsigned long>(strtoul(w[i], nullptr, 16)); };
    if (name == "string" && n == 2) g.OutputStringA(Narrow(w[1]));
    else if (name == "stringF" && n == 4) g.OutputStringFA(Narrow(w[1]), line(2), Narrow(w[3]));
    else if (name == "stringW" && n == 2) g.OutputStringW(Wide(w[1]));
    else if (name == "stringFW" && n == 4) g.OutputStringFW(Wide(w[1]), line(2), Wide(w[3]));
    else if (name == "format" && n >= 2) {
        FormatArgs a = Args(w, 2);
        g.OutputStringFormatA(Narrow(w[1]), a.value[0], a.value[1], a.value[2], a.value[3]);
    } else if (name == "formatW" && n >= 2) {
        FormatArgs a = Args(w, 2);
        g.OutputStringFormatW(Wide(w[1]), a.value[0], a.value[1], a.value[2], a.value[3]);
    } else if ((name == "formatF" || name == "enter" || name == "leave") && n >= 4) {
        auto function = name == "formatF" ? g.OutputStringFormatFA : name == "enter" ? g.EnterA : g.LeaveA;
        FormatArgs a = Args(w, 4);
        function(Narrow(w[1]), line(2), Narrow(w[3]), a.value[0], a.value[1], a.value[2], a.value[3]);
    } else if ((name == "formatFW" || name == "enterW" || name == "leaveW") && n >= 4) {
        auto function = name == "formatFW" ? g.OutputStringFormatFW : name == "enterW" ? g.EnterW : g.LeaveW;
        FormatArgs a = Args(w, 4);
        function(Wide(w[1]), line(2), Wide(w[3]), a.value[0], a.value[1], a.value[2], a.value[3]);
    } else if (name == "registers" && n == 11) {
        g.OutputRegistersA(Narrow(w[1]), line(2), hex(3), hex(4), hex(5), hex(6), hex(7), hex(8), hex(9), hex(10));
    } else if (name == "registersW" && n == 11) {
        g.OutputRegistersW(Wide(w[1]), line(2), hex(3), hex(4), hex(5), hex(6), hex(7), hex(8), hex(9), hex(10));
    } else if ((name == "dump" && n == 2) || ((name == "dumpF" || name == "dumpFW") && n == 4)) {
        std::vector<unsigned char> bytes = Bytes(w[n - 1]);
        const unsigned char* data = bytes.empty() ? nullptr : bytes.data();
        Announce("@%08X", reinterpret_cast<uintptr_t>(data), 0);
        auto length = static_cast<unsigned long>(bytes.size());
        if (name == "dump") g.OutputDump(data, length);
        else if (name == "dumpF") g.OutputDumpFA(Narrow(w[1]), line(2), data, length);
        else g.OutputDumpFW(Wide(w[1]), line(2), data, length);
    } else if (name == "dumpBad" && n == 3) {
        if (std::string(w[1]) == "null") {
            Announce("@%08X-%08X", 0, static_cast<uintptr_t>(strtoul(w[2], nullptr, 10)) - 1);
            g.OutputDumpFA("bad.c", 9, nullptr, strtoul(w[2], nullptr, 10));
        } else if (!DumpBad(w[1], strtoul(w[2], nullptr, 10))) {
            return false;
        }
    } else if (name == "pause" && n == 3) g.PauseA(Narrow(w[1]), line(2));
    else if (name == "pauseW" && n == 3) g.PauseW(Wide(w[1]), line(2));
    else if (name == "pauseAsync" && n == 3) {
        const char* text = Narrow(w[1]);
        int number = line(2);
        g_pauses.emplace_back([text, number] { g.PauseA(text, number); });
    }
    else if (name == "threads" && n == 3) {
        std::vector<std::thread> threads;
        for (int t = 0; t < atoi(w[1]); ++t) threads.emplace_back(SendFromThread, t, atoi(w[2]));
        for (auto& thread : threads) thread.join();
    } else if (name == "stack" && n == 1) return StackBalanced();
    else if (name == "waitgone" && n == 1) {
        g_consoleAtWait = FindWindowA("MurloClass", nullptr);
        return WaitUntil(ConsoleWindowGone, nullptr);
    }
    else if (name == "waitclass" && n == 2) return WaitUntil(ClassWindowExists, w[1]);
    else if (name == "exitload" && n == 1) *exitOverride = static_cast<int>(loadMs);
    else return false;
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    DWORD start = GetTickCount();
    HMODULE dll = LoadLibraryA("MURLODLL.DLL");
    DWORD loadMs = GetTickCount() - start;
    if (!dll || !BindAll(dll)) return 1000;
    int exitOverride = -1;
    int number = 0;
    std::vector<const char*> words;
    for (int i = 1; i <= argc; ++i) {
        if (i < argc && strcmp(argv[i], ";") != 0) {
            words.push_back(argv[i]);
            continue;
        }
        ++number;
        // A failing command ends the driver at once, pause threads or not.
        if (!words.empty() && !Run(words, loadMs, &exitOverride)) ExitProcess(static_cast<UINT>(number));
        words.clear();
    }
    for (auto& pause : g_pauses) pause.join();
    FreeLibrary(dll);
    return exitOverride >= 0 ? exitOverride : 0;
}
