// Shared pieces of the soak tests: the scale of a run (short by default,
// long with MURLO_SOAK=long), the load generator, the console's
// resource figures, and the checks of numbered log lines.
#pragma once

#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "support/capture_support.h"

namespace murlo::test {

// Counts of a run. The short run stays within a few minutes on a shared
// two-core machine; the long one is the full soak (scripts/soak.sh).
struct Scale {
    bool isLong;
    long recordsPerThread;      // library senders: 4 processes x 4 threads
    long ringRecordsPerThread;  // the same through a 64 KiB ring, view off
    long debugStrings;          // per debug-string writer (4 processes)
    long hostilePayloads;
    long hostileBuffers;
    long longRunRecords;        // with the view shown and trimming
    int dialogCycles;           // Log to File and Save log, each
};

inline long CountFromEnvironment(const char* name, long fallback) {
    const char* value = std::getenv(name);
    return value != nullptr && std::atol(value) > 0 ? std::atol(value) : fallback;
}

// The long run's largest counts may be lowered for a slower or busier
// machine: MURLO_SOAK_LONG_RECORDS (the run with the view shown) and
// MURLO_SOAK_LONG_PAYLOADS (random payloads, and as many debug buffers).
inline Scale CurrentScale() {
    const char* mode = std::getenv("MURLO_SOAK");
    if (mode != nullptr && std::string(mode) == "long") {
        const long payloads = CountFromEnvironment("MURLO_SOAK_LONG_PAYLOADS", 100000);
        return {true, 2500, 5000, 5000, payloads, payloads, CountFromEnvironment("MURLO_SOAK_LONG_RECORDS", 1000000),
                200};
    }
    return {false, 150, 600, 400, 200, 300, 4000, 40};
}

// One figure line per measurement, easy to collect from the output.
#define SOAK_FIGURES(...)                        \
    do {                                         \
        std::printf("[ figures  ] " __VA_ARGS__); \
        std::printf("\n");                       \
        std::fflush(stdout);                     \
    } while (0)

// The load generator (helpers/soak_client.cpp), ended by force if the test leaves early.
inline bool StartClient(OwnedProcess& client, const std::string& args) {
    client.process = StartProcess(BinPath("soak_client.exe"), args, SW_HIDE);
    return client.process.handle != nullptr;
}

// Runs the load generator to its end; its exit code, or -1 when it did not
// start or end within the time.
inline long RunClient(const std::string& args, DWORD timeoutMs) {
    OwnedProcess client;
    if (!StartClient(client, args)) return -1;
    return static_cast<long>(WaitProcess(client.process, timeoutMs));
}

// A manual-reset event named for this test process, so that parallel runs in
// other prefixes never meet it.
struct StartSignal : NamedEvent {
    std::string name;
    explicit StartSignal(const char* what) : NamedEvent(MakeName(what).c_str()), name(MakeName(what)) {}
    static std::string MakeName(const char* what) {
        char text[64];
        std::snprintf(text, sizeof text, "MurloSoak%s%lu", what, GetCurrentProcessId());
        return text;
    }
};

// What the console process holds.
struct ResourceFigures {
    DWORD handles = 0;
    DWORD gdiObjects = 0;
    SIZE_T privateBytes = 0;
};

namespace detail {

template <typename Function>
Function NtFunction(const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), name)));
}

// Kernel handles of a process, from the system's handle list (Wine
// answers GetProcessHandleCount with 0).
inline DWORD CountHandles(DWORD processId, std::map<int, int>* byType = nullptr) {
    struct Entry {
        ULONG ownerProcessId;
        BYTE objectType;
        BYTE flags;
        USHORT value;
        PVOID object;
        ULONG access;
    };
    using Query = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
    static const Query query = NtFunction<Query>("NtQuerySystemInformation");
    if (query == nullptr) return 0;
    std::vector<char> buffer(1 << 20);
    ULONG needed = 0;
    const ULONG kSystemHandleInformation = 16;
    while (query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed) != 0) {
        if (buffer.size() >= (64u << 20)) return 0;
        buffer.resize(buffer.size() * 2);
    }
    ULONG count = 0;
    std::memcpy(&count, buffer.data(), sizeof count);
    const Entry* entries = reinterpret_cast<const Entry*>(buffer.data() + sizeof(void*));
    DWORD owned = 0;
    for (ULONG i = 0; i < count; ++i) {
        if (entries[i].ownerProcessId != processId) continue;
        ++owned;
        if (byType) ++(*byType)[entries[i].objectType];
    }
    return owned;
}

// GDI objects of a 32-bit process under Wine, where GetGuiResources answers
// 0: the used entries of its GDI handle table, which the process
// environment block points to (offset 0x94). An entry is 24 bytes, its type
// byte at offset 14 is 0 when the entry is free.
inline DWORD CountGdiTableEntries(HANDLE process) {
    struct BasicInformation {
        LONG exitStatus;
        PVOID environmentBlock;
        ULONG_PTR rest[4];
    };
    using Query = LONG(WINAPI*)(HANDLE, ULONG, PVOID, ULONG, PULONG);
    static const Query query = NtFunction<Query>("NtQueryInformationProcess");
    BasicInformation basic = {};
    ULONG length = 0;
    if (sizeof(void*) != 4 || query == nullptr || query(process, 0, &basic, sizeof basic, &length) != 0) return 0;
    DWORD table = 0;
    SIZE_T got = 0;
    if (!ReadProcessMemory(process, static_cast<char*>(basic.environmentBlock) + 0x94, &table, sizeof table, &got) ||
        table == 0) {
        return 0;
    }
    const size_t kEntries = 0x10000, kEntrySize = 24;
    std::vector<unsigned char> entries(kEntries * kEntrySize);
    if (!ReadProcessMemory(process, reinterpret_cast<void*>(static_cast<ULONG_PTR>(table)), entries.data(),
                           entries.size(), &got)) {
        return 0;
    }
    DWORD used = 0;
    for (size_t i = 0; i < got / kEntrySize; ++i) used += entries[i * kEntrySize + 14] != 0 ? 1 : 0;
    return used;
}

}  // namespace detail

inline ResourceFigures MeasureProcess(HANDLE process) {
    ResourceFigures figures;
    if (!GetProcessHandleCount(process, &figures.handles) || figures.handles == 0) {
        figures.handles = detail::CountHandles(GetProcessId(process));
    }
    figures.gdiObjects = GetGuiResources(process, GR_GDIOBJECTS);
    if (figures.gdiObjects == 0) figures.gdiObjects = detail::CountGdiTableEntries(process);
    // Private bytes are the commit charge: PrivateUsage, which Wine leaves
    // 0, is the same figure as PagefileUsage on Windows.
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof counters;
    using MemoryInfo = BOOL(WINAPI*)(HANDLE, PROCESS_MEMORY_COUNTERS*, DWORD);
    static const auto query = reinterpret_cast<MemoryInfo>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "K32GetProcessMemoryInfo")));
    if (query && query(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters)) {
        figures.privateBytes = counters.PrivateUsage != 0 ? counters.PrivateUsage : counters.PagefileUsage;
    }
    return figures;
}

inline std::string Describe(const ResourceFigures& f) {
    char text[160];
    std::snprintf(text, sizeof text, "handles %lu, GDI objects %lu, private bytes %lu KiB",
                  static_cast<unsigned long>(f.handles), static_cast<unsigned long>(f.gdiObjects),
                  static_cast<unsigned long>(f.privateBytes / 1024));
    return text;
}

// The console answers a message within a second (it is not hung or gone).
inline bool Answers(HWND window) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG, 1000, &result) != 0;
}

// The view's length as its limit counts it: the control keeps a line end
// as one character and gives it out as CR LF.
inline size_t ViewCharacters(const std::string& text) {
    size_t lineEnds = 0;
    for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2)) ++lineEnds;
    return text.size() - lineEnds;
}

// Lines of a file with CR LF line ends; *whole is false when the last line
// has no line end, or a line holds a bare CR or LF.
inline std::vector<std::string> SplitLines(const std::string& bytes, bool* whole) {
    std::vector<std::string> lines;
    *whole = true;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find("\r\n", start);
        if (end == std::string::npos) {
            *whole = false;
            lines.push_back(bytes.substr(start));
            break;
        }
        std::string line = bytes.substr(start, end - start);
        if (line.find_first_of("\r\n") != std::string::npos) *whole = false;
        lines.push_back(line);
        start = end + 2;
    }
    return lines;
}

// The numbered lines "SOURCE NUMBER" of a log, grouped by source in the
// order they appear. Lines of no known source are counted apart.
struct NumberedLog {
    std::map<std::string, std::vector<long>> bySource;
    std::vector<std::string> strangers;
    long total = 0;
};

inline NumberedLog ParseNumbered(const std::vector<std::string>& lines, const std::string& sourcePrefix) {
    NumberedLog log;
    for (const std::string& line : lines) {
        size_t blank = line.rfind(' ');
        char* end = nullptr;
        long number = blank == std::string::npos ? -1 : std::strtol(line.c_str() + blank + 1, &end, 10);
        if (blank == std::string::npos || line.compare(0, sourcePrefix.size(), sourcePrefix) != 0 || end == nullptr ||
            *end != 0 || end == line.c_str() + blank + 1) {
            log.strangers.push_back(line);
            continue;
        }
        log.bySource[line.substr(0, blank)].push_back(number);
        ++log.total;
    }
    return log;
}

// The numbers are first, first + 1, ... last, each once, in order.
inline ::testing::AssertionResult IsRun(const std::vector<long>& numbers, long first, long last) {
    if (last < first && numbers.empty()) return ::testing::AssertionSuccess();
    if (numbers.size() != static_cast<size_t>(last - first + 1)) {
        return ::testing::AssertionFailure() << numbers.size() << " numbers where " << last - first + 1
                                             << " were expected";
    }
    for (size_t i = 0; i < numbers.size(); ++i) {
        if (numbers[i] != first + static_cast<long>(i)) {
            return ::testing::AssertionFailure() << "number " << numbers[i] << " at place " << i << ", expected "
                                                 << first + static_cast<long>(i);
        }
    }
    return ::testing::AssertionSuccess();
}

}  // namespace murlo::test
