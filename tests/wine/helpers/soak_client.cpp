// A load and fault generator for the soak tests. One mode per run:
//   lib TAG THREADS COUNT [START]
//       loads MURLODLL.DLL; THREADS threads each send COUNT texts
//       "TAG.<thread> <n>\n" (n from 0) with DB_OutputStringA. With START,
//       every thread first waits (at most 60 s) for that named event.
//   ods TAG COUNT [START]
//       writes COUNT strings "TAG <n>\n" with OutputDebugStringA.
//   untilgone TAG [RELOAD]
//       loads the library and sends "TAG <n>\n" until the console window
//       that was running at start is gone, then makes 200 more calls and
//       times each. With RELOAD, it then waits (at most 60 s) for that
//       named event, unloads and loads the library again and sends
//       "TAG reloaded\n" to whatever console the library finds.
//       Exit code: the longest call after the console went, in ms.
//   copydata COUNT SEED
//       sends COUNT random WM_COPYDATA payloads (sizes 0 to 64 KiB,
//       random and valid tags, headers cut short, no NULs, extreme depths,
//       every byte value) to the console window.
//   dbwin COUNT SEED
//       writes COUNT random buffers (random process ids, random bytes, no
//       NUL in the whole 4096-byte section) into the debug-output channel,
//       following its handshake.
// Prints what it did on one line. Exit codes other than the untilgone
// figure: 0 done, 100 bad arguments, 101 the library or the console is
// missing, 102 a console did not answer a payload within 60 s, 103 the
// channel's reader did not take a buffer within 10 s.
#include <windows.h>

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kBadArguments = 100;
constexpr int kMissing = 101;
constexpr int kConsoleHung = 102;
constexpr int kReaderHung = 103;

using OutputStringA = void(WINAPI*)(const char*);

// xorshift64*: the same sequence for the same seed, on every platform.
struct Random {
    uint64_t state;
    explicit Random(uint64_t seed) : state(seed * 0x9E3779B97F4A7C15ull + 1) {}
    uint32_t Next() {
        state ^= state >> 12;
        state ^= state << 25;
        state ^= state >> 27;
        return static_cast<uint32_t>((state * 0x2545F4914F6CDD1Dull) >> 32);
    }
    uint32_t Below(uint32_t bound) { return bound == 0 ? 0 : Next() % bound; }
};

HANDLE OpenStartEvent(const char* name) {
    return name != nullptr ? OpenEventA(SYNCHRONIZE, FALSE, name) : nullptr;
}

OutputStringA LoadSender(HMODULE* library) {
    *library = LoadLibraryA("MURLODLL.DLL");
    if (*library == nullptr) return nullptr;
    return reinterpret_cast<OutputStringA>(
        reinterpret_cast<void*>(GetProcAddress(*library, "DB_OutputStringA")));
}

struct ThreadJob {
    OutputStringA send;
    std::string tag;
    int thread;
    long count;
    HANDLE start;
};

DWORD WINAPI SendNumbered(void* parameter) {
    auto* job = static_cast<ThreadJob*>(parameter);
    if (job->start != nullptr) WaitForSingleObject(job->start, 60000);
    char text[96];
    for (long n = 0; n < job->count; ++n) {
        std::snprintf(text, sizeof text, "%s.%d %ld\n", job->tag.c_str(), job->thread, n);
        job->send(text);
    }
    return 0;
}

int RunLibrary(const char* tag, int threads, long count, const char* startName) {
    HMODULE library = nullptr;
    OutputStringA send = LoadSender(&library);
    if (send == nullptr) return kMissing;
    HANDLE start = OpenStartEvent(startName);
    std::vector<ThreadJob> jobs(threads);
    std::vector<HANDLE> handles;
    for (int t = 0; t < threads; ++t) {
        jobs[t] = ThreadJob{send, tag, t, count, start};
        HANDLE thread = CreateThread(nullptr, 0, SendNumbered, &jobs[t], 0, nullptr);
        if (thread != nullptr) handles.push_back(thread);
    }
    WaitForMultipleObjects(static_cast<DWORD>(handles.size()), handles.data(), TRUE, INFINITE);
    for (HANDLE thread : handles) CloseHandle(thread);
    if (start != nullptr) CloseHandle(start);
    FreeLibrary(library);
    std::printf("lib %s: %d threads x %ld records\n", tag, threads, count);
    return handles.size() == static_cast<size_t>(threads) ? 0 : kMissing;
}

int RunDebugStrings(const char* tag, long count, const char* startName) {
    HANDLE start = OpenStartEvent(startName);
    if (start != nullptr) {
        WaitForSingleObject(start, 60000);
        CloseHandle(start);
    }
    char text[96];
    for (long n = 0; n < count; ++n) {
        std::snprintf(text, sizeof text, "%s %ld\n", tag, n);
        OutputDebugStringA(text);
    }
    std::printf("ods %s: %ld strings\n", tag, count);
    return 0;
}

int RunUntilGone(const char* tag, const char* reloadName) {
    HWND console = FindWindowA("MurloClass", nullptr);
    HMODULE library = nullptr;
    OutputStringA send = LoadSender(&library);
    if (console == nullptr || send == nullptr) return kMissing;
    char text[96];
    long n = 0;
    while (IsWindow(console)) {
        std::snprintf(text, sizeof text, "%s %ld\n", tag, n++);
        send(text);
    }
    DWORD longest = 0;
    for (int i = 0; i < 200; ++i) {
        DWORD before = GetTickCount();
        send("after the console\n");
        DWORD took = GetTickCount() - before;
        if (took > longest) longest = took;
    }
    std::printf("untilgone %s: %ld records, longest call after the console went %lu ms\n", tag, n,
                static_cast<unsigned long>(longest));
    if (reloadName != nullptr) {
        HANDLE reload = OpenEventA(SYNCHRONIZE, FALSE, reloadName);
        if (reload == nullptr || WaitForSingleObject(reload, 60000) != WAIT_OBJECT_0) return kMissing;
        CloseHandle(reload);
        FreeLibrary(library);
        send = LoadSender(&library);
        if (send == nullptr) return kMissing;
        std::snprintf(text, sizeof text, "%s reloaded\n", tag);
        send(text);
    }
    FreeLibrary(library);
    return static_cast<int>(longest < 60000 ? longest : 60000);
}

// Sizes: mostly small, sometimes up to 64 KiB, and each edge now and then.
uint32_t PayloadSize(Random& random) {
    switch (random.Below(8)) {
        case 0: return random.Below(289);                 // header cut short
        case 1: return 288 + random.Below(3);             // header and no text
        case 2: return random.Below(65537);               // anything up to 64 KiB
        case 3: return random.Below(2) ? 0 : 65536;
        default: return 289 + random.Below(1400);         // around a full record
    }
}

void FillPayload(Random& random, std::vector<unsigned char>& payload, long index) {
    const uint32_t size = static_cast<uint32_t>(payload.size());
    const uint32_t kind = random.Below(6);
    for (uint32_t i = 0; i < size; ++i) {
        unsigned char byte = static_cast<unsigned char>(random.Next());
        if (kind == 2 && byte == 0) byte = 1;             // no NUL anywhere
        if (kind == 3) byte = static_cast<unsigned char>(index + i);  // every byte value in turn
        payload[i] = byte;
    }
    if (kind == 0 || kind == 5) return;                   // random tag
    // A valid tag ("DB061" after 288), as far as the size allows.
    const unsigned char tag[8] = {0x20, 0x01, 'D', 'B', '0', '6', '1', 0};
    for (uint32_t i = 0; i < 8 && i < size; ++i) payload[i] = tag[i];
    if (kind == 4 && size >= 288) {
        static const int32_t depths[] = {INT_MIN, INT_MIN + 1, -1, 0, 1, 64, 1000000, INT_MAX};
        int32_t depth = depths[random.Below(8)];
        std::memcpy(&payload[284], &depth, 4);
        uint32_t processId = random.Below(2) ? 0 : random.Next();
        std::memcpy(&payload[8], &processId, 4);
        if (random.Below(2)) std::memset(&payload[28], 'L', 256);  // location with no NUL
    }
}

int RunCopyData(long count, uint64_t seed) {
    HWND console = FindWindowA("MurloClass", nullptr);
    if (console == nullptr) return kMissing;
    Random random(seed);
    std::vector<unsigned char> payload;
    unsigned long long bytes = 0;
    DWORD slowest = 0;
    size_t slowestSize = 0;
    for (long n = 0; n < count; ++n) {
        payload.assign(PayloadSize(random), 0);
        FillPayload(random, payload, n);
        const DWORD before = GetTickCount();
        COPYDATASTRUCT copy = {0, static_cast<DWORD>(payload.size()), payload.empty() ? nullptr : payload.data()};
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutA(console, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy), SMTO_NORMAL, 60000,
                                 &result)) {
            std::printf("copydata: payload %ld of %lu bytes not answered\n", n,
                        static_cast<unsigned long>(payload.size()));
            return kConsoleHung;
        }
        bytes += payload.size();
        const DWORD took = GetTickCount() - before;
        if (took > slowest) {
            slowest = took;
            slowestSize = payload.size();
        }
    }
    std::printf("copydata: %ld payloads, %llu bytes; slowest answer %lu ms, for %lu bytes\n", count, bytes,
                static_cast<unsigned long>(slowest), static_cast<unsigned long>(slowestSize));
    return 0;
}

int RunDebugChannel(long count, uint64_t seed) {
    HANDLE bufferReady = OpenEventA(SYNCHRONIZE, FALSE, "DBWIN_BUFFER_READY");
    HANDLE dataReady = OpenEventA(EVENT_MODIFY_STATE, FALSE, "DBWIN_DATA_READY");
    HANDLE section = OpenFileMappingA(FILE_MAP_WRITE, FALSE, "DBWIN_BUFFER");
    auto* buffer = section ? static_cast<unsigned char*>(MapViewOfFile(section, FILE_MAP_WRITE, 0, 0, 4096)) : nullptr;
    int code = 0;
    long n = 0;
    if (bufferReady == nullptr || dataReady == nullptr || buffer == nullptr) code = kMissing;
    Random random(seed);
    for (; code == 0 && n < count; ++n) {
        if (WaitForSingleObject(bufferReady, 10000) != WAIT_OBJECT_0) {
            code = kReaderHung;
            break;
        }
        static const uint32_t ids[] = {0, 0xFFFFFFFFu, 4, 8, 12};
        uint32_t processId = random.Below(2) ? ids[random.Below(5)] : random.Next();
        std::memcpy(buffer, &processId, 4);
        const uint32_t kind = random.Below(4);
        const uint32_t length = kind == 0 ? 4092 : random.Below(kind == 1 ? 4093 : 200);
        for (uint32_t i = 4; i < 4096; ++i) {
            unsigned char byte = static_cast<unsigned char>(random.Next());
            if (byte == 0 || i >= 4 + length) byte = kind == 0 ? static_cast<unsigned char>(1 + (byte % 255)) : 0;
            buffer[i] = byte;
        }
        SetEvent(dataReady);
    }
    if (buffer) UnmapViewOfFile(buffer);
    if (section) CloseHandle(section);
    if (dataReady) CloseHandle(dataReady);
    if (bufferReady) CloseHandle(bufferReady);
    std::printf("dbwin: %ld buffers written, code %d\n", n, code);
    return code;
}

}  // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "lib" && argc >= 5) return RunLibrary(argv[2], std::atoi(argv[3]), std::atol(argv[4]), argc > 5 ? argv[5] : nullptr);
    if (mode == "ods" && argc >= 4) return RunDebugStrings(argv[2], std::atol(argv[3]), argc > 4 ? argv[4] : nullptr);
    if (mode == "untilgone" && argc >= 3) return RunUntilGone(argv[2], argc > 3 ? argv[3] : nullptr);
    if (mode == "copydata" && argc >= 4) return RunCopyData(std::atol(argv[2]), std::strtoull(argv[3], nullptr, 10));
    if (mode == "dbwin" && argc >= 4) return RunDebugChannel(std::atol(argv[2]), std::strtoull(argv[3], nullptr, 10));
    return kBadArguments;
}
