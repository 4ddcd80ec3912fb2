// Throughput of the console under Wine, each figure against baselines
// measured in the same run and on the same display:
//   - records sent with SendMessage(WM_COPYDATA) by one and by four threads
//     to a window that returns at once (the channel's floor), to a minimal
//     appender (a shown rich edit: caret to the end, EM_REPLACESEL,
//     EM_SCROLLCARET; in the steady state also deleting the first line
//     while over 0x7000 characters) and to MURLO.EXE, while the view fills
//     and in the steady state;
//   - single texts of 8, 16 and 30 KiB into a full view, against the
//     control's own time for one deletion and one insertion;
//   - OutputDebugString to a reader that only copies, and to MURLO.EXE;
//   - MURLO.EXE's private bytes after 10^4 records and after many more;
//   - how soon a record's line is on screen, read from the screen's pixels;
//   - how soon the console answers its window and a scroll of its view
//     while four threads send records as fast as they can.
// A time for MURLO.EXE ends only when its view has taken in every text
// (a message to the view brings it up to date); for OutputDebugString,
// when its view shows the last string. Prints a Markdown table; against
// the console's counter build (console/shell/counters.h) also where the
// console's time went in each measurement.
//
// Usage: throughput.exe [records for the memory figure, default 1000000]
// The receivers are this program started again with "receiver KIND".
#include <windows.h>
#include <psapi.h>
#include <richedit.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "common/log_record.h"
#include "console/shell/counters.h"

namespace {

constexpr char kReceiverClass[] = "MurloBenchReceiver";
constexpr long kViewLimit = 0x7000;
constexpr WPARAM kClearCommand = 57633;  // the console's Clear command
constexpr ULONG_PTR kRecordData = 0;
constexpr ULONG_PTR kDeleteInsertData = 1;  // raw text: one deletion, one insertion
constexpr ULONG_PTR kFillData = 2;          // fill the view to about its limit
constexpr ULONG_PTR kClearData = 3;         // empty the view

// ---- receivers ------------------------------------------------------------

HWND g_edit = nullptr;
bool g_trim = false;

long EditLength() {
    GETTEXTLENGTHEX how = {GTL_PRECISE | GTL_NUMCHARS, CP_ACP};
    return static_cast<long>(SendMessageA(g_edit, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&how), 0));
}

void SelectRange(long from, long to) {
    CHARRANGE range = {from, to};
    SendMessageA(g_edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
}

void AppendText(const char* text) {
    long end = EditLength();
    SelectRange(end, end);
    SendMessageA(g_edit, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(text));
    if (g_trim) {
        while (EditLength() > kViewLimit) {
            long second = static_cast<long>(SendMessageA(g_edit, EM_LINEINDEX, 1, 0));
            if (second <= 0) break;
            SelectRange(0, second);
            SendMessageA(g_edit, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(""));
        }
        end = EditLength();
        SelectRange(end, end);
    }
    SendMessageA(g_edit, EM_SCROLLCARET, 0, 0);
}

// The oldest lines that must go for text to fit, in one deletion, then
// the text in one insertion: what the control needs at the least.
void DeleteThenInsert(const char* text) {
    long length = EditLength();
    long needed = length + static_cast<long>(std::strlen(text)) - kViewLimit;
    if (needed > 0) {
        long line = static_cast<long>(SendMessageA(g_edit, EM_EXLINEFROMCHAR, 0, needed));
        long start = static_cast<long>(SendMessageA(g_edit, EM_LINEINDEX, line + 1, 0));
        if (start < 0) start = length;
        SelectRange(0, start);
        SendMessageA(g_edit, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(""));
    }
    long end = EditLength();
    SelectRange(end, end);
    SendMessageA(g_edit, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(text));
    SendMessageA(g_edit, EM_SCROLLCARET, 0, 0);
}

LRESULT CALLBACK ReceiverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COPYDATA: {
        if (g_edit == nullptr) return 0;  // the floor: returns at once
        auto* copy = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        std::string text(static_cast<const char*>(copy->lpData), copy->cbData);
        if (copy->dwData == kRecordData) {
            AppendText(text.c_str() + murlo::kRecordHeaderSize);
        } else if (copy->dwData == kDeleteInsertData) {
            DeleteThenInsert(text.c_str());
        } else if (copy->dwData == kClearData) {
            SetWindowTextA(g_edit, "");
        } else if (copy->dwData == kFillData) {
            bool trim = g_trim;
            g_trim = true;
            AppendText(text.c_str());
            g_trim = trim;
        }
        return 0;
    }
    case WM_SIZE:
        if (g_edit) MoveWindow(g_edit, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

int RunReceiver(const char* kind) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = ReceiverProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kReceiverClass;
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, kReceiverClass, kind, WS_OVERLAPPEDWINDOW, 0, 0, 700, 500, nullptr,
                                  nullptr, windowClass.hInstance, nullptr);
    if (std::strcmp(kind, "floor") != 0) {
        LoadLibraryA("RICHED20.DLL");
        g_trim = std::strcmp(kind, "appender-trim") == 0;
        g_edit = CreateWindowExA(WS_EX_CLIENTEDGE, "RichEdit20A", "",
                                 WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_AUTOVSCROLL |
                                     ES_AUTOHSCROLL | ES_NOHIDESEL | ES_READONLY,
                                 0, 0, 700, 500, window, nullptr, windowClass.hInstance, nullptr);
        // The limit is kept by the trimming here, as Wine raises it anyway.
        SendMessageA(g_edit, EM_EXLIMITTEXT, 0, 0x7FFFFFF0);
        SendMessageA(g_edit, EM_SETTARGETDEVICE, 0, 1);
    }
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}

// ---- the sending side -----------------------------------------------------

double Now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

std::string BinDirectory() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string directory(path);
    return directory.substr(0, directory.find_last_of("\\/") + 1);
}

struct Child {
    PROCESS_INFORMATION process = {};
    HWND window = nullptr;
    HWND view = nullptr;  // the view or edit control, when there is one

    bool Start(const std::string& commandLine, const char* className, const char* title) {
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        std::string line = commandLine;
        if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                            &process)) {
            return false;
        }
        for (int i = 0; i < 2000 && window == nullptr; ++i) {
            window = FindWindowA(className, title);
            if (window == nullptr) Sleep(5);
        }
        if (window == nullptr) return false;
        // Wait until the window answers: its creation is complete.
        DWORD_PTR answer = 0;
        SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &answer);
        view = FindWindowExA(window, nullptr, "RichEdit20A", nullptr);
        return true;
    }
    void Close() {
        if (process.hProcess == nullptr) return;
        PostMessageA(window, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(process.hProcess, 20000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        process = {};
        window = view = nullptr;
    }
    // Brings a view that takes texts in later up to date.
    void Settle() const {
        if (view != nullptr) SendMessageA(view, WM_GETTEXTLENGTH, 0, 0);
    }
};

std::string Record(int i) {
    char text[80];
    std::snprintf(text, sizeof text, "bench record %08d ", i);
    std::string line(text);
    line.resize(60, static_cast<char>('a' + i % 26));
    line += "\r\n";
    std::string record(murlo::kRecordHeaderSize + line.size() + 1, '\0');
    murlo::StartRecord(record.data(), record.size());
    murlo::SetRecordText(record.data(), record.size(), line.data(), line.size());
    return record;
}

void SendData(HWND window, const void* data, size_t size, ULONG_PTR kind) {
    COPYDATASTRUCT copy = {kind, static_cast<DWORD>(size), const_cast<void*>(data)};
    SendMessageA(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy));
}

// Records per second, count records in all from threads threads; the time
// ends when the child's view holds every text.
double SendRecords(const Child& child, int threads, int count, int first) {
    std::vector<std::vector<std::string>> records(static_cast<size_t>(threads));
    for (int i = 0; i < count; ++i) records[static_cast<size_t>(i % threads)].push_back(Record(first + i));
    double start = Now();
    std::vector<std::thread> senders;
    for (int t = 0; t < threads; ++t) {
        senders.emplace_back([&, t] {
            for (const std::string& record : records[static_cast<size_t>(t)])
                SendData(child.window, record.data(), record.size(), kRecordData);
        });
    }
    for (std::thread& sender : senders) sender.join();
    child.Settle();
    return count / (Now() - start);
}

std::string LongText(size_t size) {
    std::string text;
    for (int line = 0; text.size() < size; ++line) {
        char head[40];
        std::snprintf(head, sizeof head, "long line %05d ", line);
        text += head;
        text.append(20 + line % 40, 'x');
        text += "\r\n";
    }
    text.resize(size);
    return text;
}

// ---- the counter build's split -------------------------------------------

using murlo::Counter;
constexpr int kCounters = static_cast<int>(Counter::Count);

// The counters of a console of the counter build, when one runs.
struct CounterReader {
    HANDLE mapping = nullptr;
    murlo::ConsoleCounters* shared = nullptr;

    bool Open() {
        if (shared != nullptr) return true;
        mapping = OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, murlo::kCountersMapping);
        if (mapping == nullptr) return false;
        shared = static_cast<murlo::ConsoleCounters*>(
            MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(murlo::ConsoleCounters)));
        if (shared == nullptr) Close();
        return shared != nullptr;
    }
    void Close() {
        if (shared != nullptr) UnmapViewOfFile(shared);
        if (mapping != nullptr) CloseHandle(mapping);
        shared = nullptr;
        mapping = nullptr;
    }
    void Reset() {
        if (!Open()) return;
        std::memset(shared->ticks, 0, sizeof shared->ticks);
        std::memset(shared->calls, 0, sizeof shared->calls);
    }
};

CounterReader g_counters;

// Where the console's time went in one measurement, summed over its rounds.
struct Split {
    std::string what;
    double wall = 0;  // seconds
    double seconds[kCounters] = {};
    double calls[kCounters] = {};
    double records = 0;  // records or strings sent

    // Runs one round of the measurement; returns its figure.
    template <typename Run>
    double Measure(double sent, Run run) {
        g_counters.Reset();
        double start = Now();
        double figure = run();
        double end = Now();
        if (g_counters.shared != nullptr && g_counters.shared->frequency > 0) {
            wall += end - start;
            records += sent;
            for (int i = 0; i < kCounters; ++i) {
                seconds[i] += static_cast<double>(g_counters.shared->ticks[i]) / g_counters.shared->frequency;
                calls[i] += static_cast<double>(g_counters.shared->calls[i]);
            }
        }
        return figure;
    }
    double Share(Counter c) const { return wall > 0 ? seconds[static_cast<int>(c)] / wall : 0; }
    double Each(Counter c, double unit) const {
        double n = calls[static_cast<int>(c)];
        return n > 0 ? seconds[static_cast<int>(c)] * unit / n : 0;
    }
    double PerRecord(Counter c, double unit) const {
        return records > 0 ? seconds[static_cast<int>(c)] * unit / records : 0;
    }
};

void PrintSplit(const std::vector<Split>& splits) {
    if (std::none_of(splits.begin(), splits.end(), [](const Split& split) { return split.wall > 0; })) return;
    auto calls = [](const Split& split, Counter c) { return split.calls[static_cast<int>(c)]; };
    std::printf("\nWhere the console's time went (counter build), summed over the rounds of each measurement.\n"
                "Share: of the time the measurement took; per record: per record or string sent; each: per call.\n\n"
                "| measurement | records | record handling, each (us) | looks per 1000 records | question, each (us) |"
                " reply, each (us) | takes per look | take, each (us) | records received in takes, per take |"
                " looking, per record (us) | updates | update, each (ms) | insertion, each (ms) |"
                " deletions per update | deletion, each (ms) | repaint, each (ms) | updates' share |"
                " timers, calls per 1000 records | user-interface thread, counted share |"
                " capture cycle per string (us) | hand-over per string (us) | captured record, each (us) |\n"
                "|---|---|---|---|---|---|---|---|---|---|---|---|---|---|---|---|---|---|---|---|---|---|\n");
    for (const Split& split : splits) {
        if (split.wall <= 0) continue;
        double counted = 0;
        for (Counter c : {Counter::Record, Counter::Gate, Counter::Question, Counter::Reply, Counter::Take,
                          Counter::Dispatched, Counter::Update, Counter::Insert, Counter::Delete, Counter::Repaint,
                          Counter::Timers, Counter::CapturedRecord})
            counted += split.Share(c);
        const double updates = calls(split, Counter::Update);
        const double looks = calls(split, Counter::Question);
        const double takes = calls(split, Counter::Take);
        auto perUpdate = [&](Counter c) { return updates > 0 ? split.seconds[static_cast<int>(c)] * 1e3 / updates : 0; };
        std::printf("| %s | %.0f | %.1f | %.0f | %.1f | %.1f | %.2f | %.1f | %.2f | %.1f | %.0f | %.2f | %.2f | %.2f |"
                    " %.2f | %.2f | %.2f | %.1f | %.2f | %.1f | %.1f | %.1f |\n",
                    split.what.c_str(), split.records, split.Each(Counter::Record, 1e6),
                    split.records > 0 ? looks * 1000 / split.records : 0, split.Each(Counter::Question, 1e6),
                    split.Each(Counter::Reply, 1e6), looks > 0 ? takes / looks : 0, split.Each(Counter::Take, 1e6),
                    takes > 0 ? calls(split, Counter::RecordInTake) / takes : 0,
                    split.PerRecord(Counter::Gate, 1e6) + split.PerRecord(Counter::Question, 1e6) +
                        split.PerRecord(Counter::Reply, 1e6) + split.PerRecord(Counter::Take, 1e6),
                    updates, perUpdate(Counter::Update), perUpdate(Counter::Insert),
                    updates > 0 ? calls(split, Counter::Delete) / updates : 0, split.Each(Counter::Delete, 1e3),
                    perUpdate(Counter::Repaint),
                    split.Share(Counter::Update) + split.Share(Counter::Insert) + split.Share(Counter::Delete) +
                        split.Share(Counter::Repaint),
                    split.records > 0 ? calls(split, Counter::Timers) * 1000 / split.records : 0, counted,
                    split.PerRecord(Counter::CaptureCycle, 1e6) + split.PerRecord(Counter::CaptureHandOver, 1e6),
                    split.PerRecord(Counter::CaptureHandOver, 1e6), split.Each(Counter::CapturedRecord, 1e6));
    }
    std::fflush(stdout);
}

// ---- the debug-output channel ----------------------------------------------

struct CopyReader {
    HANDLE bufferReady = nullptr;
    HANDLE dataReady = nullptr;
    HANDLE section = nullptr;
    void* view = nullptr;
    HANDLE stop = nullptr;
    std::thread thread;
    long strings = 0;

    bool Start() {
        bufferReady = CreateEventA(nullptr, FALSE, FALSE, "DBWIN_BUFFER_READY");
        dataReady = CreateEventA(nullptr, FALSE, FALSE, "DBWIN_DATA_READY");
        section = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096, "DBWIN_BUFFER");
        view = section ? MapViewOfFile(section, FILE_MAP_READ, 0, 0, 4096) : nullptr;
        stop = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        if (!bufferReady || !dataReady || !view) return false;
        thread = std::thread([this] {
            char copy[4096];
            SetEvent(bufferReady);
            HANDLE waits[2] = {dataReady, stop};
            while (WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0) {
                std::memcpy(copy, view, sizeof copy);
                ++strings;
                SetEvent(bufferReady);
            }
        });
        return true;
    }
    void Stop() {
        if (stop) SetEvent(stop);
        if (thread.joinable()) thread.join();
        if (view) UnmapViewOfFile(view);
        for (HANDLE handle : {section, dataReady, bufferReady, stop})
            if (handle) CloseHandle(handle);
        view = section = dataReady = bufferReady = stop = nullptr;
    }
};

std::string DebugLine(int i) {
    std::string text = Record(i).substr(murlo::kRecordHeaderSize);
    return text.substr(0, text.find('\0') - 2) + "\n";
}

// True once the view's text ends with tail.
bool ViewEndsWith(HWND view, const std::string& tail) {
    static std::vector<char> text(256 * 1024);
    LRESULT length = SendMessageA(view, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    if (length < 0 || static_cast<size_t>(length) < tail.size()) return false;
    return std::memcmp(text.data() + length - tail.size(), tail.data(), tail.size()) == 0;
}

// Strings per second, count strings in all; with a view, the time ends
// when it shows the last string.
double WriteDebugStrings(int count, HWND view = nullptr) {
    std::vector<std::string> lines;
    for (int i = 0; i < count; ++i) lines.push_back(DebugLine(i));
    double start = Now();
    for (const std::string& line : lines) OutputDebugStringA(line.c_str());
    if (view != nullptr) {
        const std::string tail = lines.back().substr(0, lines.back().size() - 1) + "\r\n";
        while (!ViewEndsWith(view, tail) && Now() - start < 60) Sleep(1);
    }
    return count / (Now() - start);
}

// The committed private bytes (Wine fills PagefileUsage, not always PrivateUsage).
SIZE_T PrivateBytes(HANDLE process) {
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters)) {
        std::fprintf(stderr, "GetProcessMemoryInfo failed: %lu\n", GetLastError());
    }
    return counters.PrivateUsage != 0 ? counters.PrivateUsage : counters.PagefileUsage;
}

void ClearSettings() { RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\OrlemApp\\Murlo"); }

// The band of a view below its first lines as the screen shows it, taken
// in one copy from the screen.
std::vector<DWORD> ScreenBand(HWND view) {
    RECT rect = {};
    GetWindowRect(view, &rect);
    const int width = 300, height = 60;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    std::vector<DWORD> pixels;
    if (bitmap != nullptr) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, width, height, screen, rect.left + 16, rect.top + 4, SRCCOPY);
        GdiFlush();
        pixels.assign(static_cast<DWORD*>(bits), static_cast<DWORD*>(bits) + width * height);
        SelectObject(memory, old);
        DeleteObject(bitmap);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    return n == 0 ? 0 : n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// A figure measured in every round, with its baseline of the same round.
struct Row {
    std::string what;
    std::string baselineName;
    std::vector<double> values = {};
    std::vector<double> baselines = {};
    void Add(double value, double baseline = 0) {
        values.push_back(value);
        baselines.push_back(baseline);
    }
};

// "lowest-highest" of the figures of the rounds, or the one figure.
std::string Spread(const std::vector<double>& values, const char* format) {
    if (values.empty()) return "";
    const auto [low, high] = std::minmax_element(values.begin(), values.end());
    char text[64];
    if (values.size() == 1) std::snprintf(text, sizeof text, format, *low);
    else {
        char lowText[24];
        char highText[24];
        std::snprintf(lowText, sizeof lowText, format, *low);
        std::snprintf(highText, sizeof highText, format, *high);
        std::snprintf(text, sizeof text, "%s-%s", lowText, highText);
    }
    return text;
}

void Print(const std::vector<Row>& rows, int rounds) {
    std::printf("Medians of %d rounds; each ratio is the median of the ratios of a round's figure to the\n"
                "baseline measured in the same round; the spread is the lowest and highest of the rounds\n"
                "(of the ratio where there is one).\n\n",
                rounds);
    std::printf("| measurement | value | baseline | ratio | spread |\n|---|---|---|---|---|\n");
    for (const Row& row : rows) {
        if (row.baselineName.empty()) {
            std::printf("| %s | %.0f | | | %s |\n", row.what.c_str(), Median(row.values),
                        Spread(row.values, "%.0f").c_str());
            continue;
        }
        std::vector<double> ratios;
        for (size_t i = 0; i < row.values.size(); ++i)
            if (row.baselines[i] > 0) ratios.push_back(row.values[i] / row.baselines[i]);
        std::printf("| %s | %.0f | %s: %.0f | %.2f | %s |\n", row.what.c_str(), Median(row.values),
                    row.baselineName.c_str(), Median(row.baselines), Median(ratios),
                    Spread(ratios, "%.2f").c_str());
    }
    std::fflush(stdout);
}

int RunBench(long memoryRecords) {
    const std::string bin = BinDirectory();
    const std::string self = bin + "throughput.exe";
    const std::string murlo = "\"" + bin + "MURLO.EXE\"";
    const int rounds = 5;
    const int fillCount = 400;  // 62 characters each: stays below 0x7000
    const int count = 1500;

    Child floor, appender, trimming, console;
    ClearSettings();
    if (!floor.Start(self + " receiver floor", kReceiverClass, "floor") ||
        !appender.Start(self + " receiver appender", kReceiverClass, "appender") ||
        !trimming.Start(self + " receiver appender-trim", kReceiverClass, "appender-trim") ||
        !console.Start(murlo, "MurloClass", nullptr)) {
        std::fprintf(stderr, "a receiver did not start\n");
        return 1;
    }
    auto clearConsole = [&] {
        SendMessageA(console.window, WM_COMMAND, kClearCommand, 0);
        console.Settle();
    };
    SendRecords(floor, 1, 300, 0);
    SendRecords(trimming, 1, fillCount * 2, 0);  // full
    SendRecords(console, 1, fillCount * 2, 0);

    Row floor1{"floor: a window that returns at once, 1 thread (records/s)", ""};
    Row floor4{"floor, 4 threads (records/s)", ""};
    Row appenderFill{"minimal appender, view filling, 1 thread (records/s)", "floor"};
    Row appenderSteady{"minimal appender deleting the first line, steady state (records/s)", "floor"};
    Row fill1{"MURLO.EXE, view filling, 1 thread (records/s)", "floor"};
    Row fill4{"MURLO.EXE, view filling, 4 threads (records/s)", "floor, 4 threads"};
    Row steady1{"MURLO.EXE, steady state, 1 thread (records/s)", "floor"};
    Row steady4{"MURLO.EXE, steady state, 4 threads (records/s)", "floor, 4 threads"};
    Row againstAppender{"MURLO.EXE, view filling, against the minimal appender", "appender"};
    Row againstTrimming{"MURLO.EXE, steady state, against the trimming appender", "trimming appender"};
    g_counters.Open();
    Split splitFill1{"view filling, 1 thread"}, splitFill4{"view filling, 4 threads"};
    Split splitSteady1{"steady state, 1 thread"}, splitSteady4{"steady state, 4 threads"};
    for (int round = 0; round < rounds; ++round) {
        double f1 = SendRecords(floor, 1, count, 0);
        double f4 = SendRecords(floor, 4, count, 0);
        floor1.Add(f1);
        floor4.Add(f4);
        SendData(appender.window, "", 1, kClearData);
        double af = SendRecords(appender, 1, fillCount, 0);
        appenderFill.Add(af, f1);
        double as = SendRecords(trimming, 1, count / 4, 0);
        appenderSteady.Add(as, f1);
        clearConsole();
        double m1 = splitFill1.Measure(fillCount, [&] { return SendRecords(console, 1, fillCount, 0); });
        clearConsole();
        double m4 = splitFill4.Measure(fillCount, [&] { return SendRecords(console, 4, fillCount, 0); });
        SendRecords(console, 1, fillCount, 0);  // full
        double s1 = splitSteady1.Measure(count, [&] { return SendRecords(console, 1, count, 0); });
        double s4 = splitSteady4.Measure(count, [&] { return SendRecords(console, 4, count, 0); });
        fill1.Add(m1, f1);
        fill4.Add(m4, f4);
        steady1.Add(s1, f1);
        steady4.Add(s4, f4);
        againstAppender.Add(m1, af);
        againstTrimming.Add(s1, as);
    }
    std::vector<Row> rows = {floor1, floor4, appenderFill, appenderSteady, fill1, fill4, steady1, steady4,
                             againstAppender, againstTrimming};

    // Single long texts into a full view, against the control's own time
    // for one deletion and one insertion of the same text.
    const size_t longSizes[4] = {8 * 1024, 16 * 1024, 30 * 1024, 40 * 1024};
    for (size_t size : longSizes) {
        Row row{"MURLO.EXE, one text of " + std::to_string(size / 1024) + " KiB into a full view (ms)" +
                    (size > 0x7000 ? ", longer than the view" : ""),
                "the control: one deletion, one insertion (ms)"};
        std::string text = LongText(size);
        for (int round = 0; round < 3; ++round) {
            SendRecords(trimming, 1, fillCount + 100, 0);  // full again
            double start = Now();
            SendData(trimming.window, text.c_str(), text.size() + 1, kDeleteInsertData);
            double control = (Now() - start) * 1000;
            SendRecords(console, 1, fillCount + 100, 0);
            console.Settle();  // the fill's own texts are in the view before the clock starts
            start = Now();
            SendData(console.window, text.c_str(), text.size() + 1, 0);
            console.Settle();
            row.Add((Now() - start) * 1000, control);
        }
        rows.push_back(row);
    }
    // The newest line on screen: pixels of the band below the last line,
    // read from the screen (no message reaches the view), after a record.
    {
        Row latency{"MURLO.EXE, newest line on screen after its record was answered, median (ms)", ""};
        Row latencyMax{"MURLO.EXE, newest line on screen, slowest of 20 (ms)", ""};
        std::vector<double> samples;
        for (int i = 0; i < 20; ++i) {
            clearConsole();
            std::string record = Record(i);
            Sleep(150);  // the cleared view is on screen
            std::vector<DWORD> before = ScreenBand(console.view);
            double start = Now();
            SendData(console.window, record.data(), record.size(), kRecordData);
            double seen = -1;
            while (Now() - start < 1.0) {
                if (ScreenBand(console.view) != before) {
                    seen = (Now() - start) * 1000;
                    break;
                }
            }
            samples.push_back(seen);
        }
        latency.Add(Median(samples));
        latencyMax.Add(*std::max_element(samples.begin(), samples.end()));
        rows.push_back(latency);
        rows.push_back(latencyMax);
    }
    // Responsiveness under four senders sending as fast as they can: the
    // round trip of a message to the main window and of a scroll of the view.
    {
        SendRecords(console, 1, fillCount * 2, 0);
        std::vector<std::string> records;
        for (int i = 0; i < 4000; ++i) records.push_back(Record(i));
        volatile bool sending = true;
        std::vector<std::thread> senders;
        for (int t = 0; t < 4; ++t) {
            senders.emplace_back([&, t] {
                for (size_t i = static_cast<size_t>(t); sending; i = (i + 4) % records.size())
                    SendData(console.window, records[i].data(), records[i].size(), kRecordData);
            });
        }
        std::vector<double> window, scroll;
        for (int i = 0; i < 40; ++i) {
            double start = Now();
            SendMessageA(console.window, WM_NULL, 0, 0);
            window.push_back((Now() - start) * 1000);
            start = Now();
            SendMessageA(console.view, WM_VSCROLL, i % 2 ? SB_PAGEUP : SB_PAGEDOWN, 0);
            scroll.push_back((Now() - start) * 1000);
        }
        sending = false;
        for (std::thread& sender : senders) sender.join();
        Row windowRow{"MURLO.EXE under four senders: a message to the main window answered in, median (ms)", ""};
        windowRow.Add(Median(window));
        Row windowMax{"... slowest of 40 (ms)", ""};
        windowMax.Add(*std::max_element(window.begin(), window.end()));
        Row scrollRow{"MURLO.EXE under four senders: a page scroll of the view answered in, median (ms)", ""};
        scrollRow.Add(Median(scroll));
        Row scrollMax{"... slowest of 40 (ms)", ""};
        scrollMax.Add(*std::max_element(scroll.begin(), scroll.end()));
        rows.push_back(windowRow);
        rows.push_back(windowMax);
        rows.push_back(scrollRow);
        rows.push_back(scrollMax);
    }
    floor.Close();
    appender.Close();
    trimming.Close();
    console.Close();
    g_counters.Close();

    // The debug-output channel: a reader that only copies, then the console.
    const int debugCount = 2000;
    Row copyRow{"OutputDebugString to a copy-only reader (strings/s)", ""};
    Row captureRow{"OutputDebugString captured by MURLO.EXE, view shown, until the view shows the last (strings/s)",
                   "copy-only reader"};
    Split splitCapture{"OutputDebugString captured"};
    for (int round = 0; round < 3; ++round) {
        CopyReader reader;
        double copyRate = 0;
        if (reader.Start()) {
            WriteDebugStrings(200);
            copyRate = WriteDebugStrings(debugCount);
        }
        reader.Stop();
        ClearSettings();
        if (console.Start(murlo, "MurloClass", nullptr)) {
            WriteDebugStrings(200, console.view);
            g_counters.Open();
            captureRow.Add(splitCapture.Measure(debugCount, [&] { return WriteDebugStrings(debugCount, console.view); }),
                           copyRate);
            console.Settle();
            console.Close();
            g_counters.Close();
        }
        copyRow.Add(copyRate);
    }
    rows.push_back(copyRow);
    rows.push_back(captureRow);

    // Private bytes over many records, four senders.
    ClearSettings();
    if (console.Start(murlo, "MurloClass", nullptr)) {
        SendRecords(console, 4, 10000, 0);
        SIZE_T early = PrivateBytes(console.process.hProcess);
        double start = Now();
        for (long sent = 10000; sent < memoryRecords; sent += 50000) {
            SendRecords(console, 4, static_cast<int>(memoryRecords - sent < 50000 ? memoryRecords - sent : 50000),
                        static_cast<int>(sent));
        }
        double seconds = Now() - start;
        SIZE_T late = PrivateBytes(console.process.hProcess);
        console.Close();
        Row earlyRow{"MURLO.EXE private KiB after 10^4 records", ""};
        earlyRow.Add(early / 1024.0);
        Row lateRow{"MURLO.EXE private KiB after " + std::to_string(memoryRecords) + " records", "after 10^4"};
        lateRow.Add(late / 1024.0, early / 1024.0);
        Row rate{"MURLO.EXE, 4 threads, over those records (records/s)", "floor, 4 threads (median)"};
        rate.Add((memoryRecords - 10000) / seconds, Median(floor4.values));
        rows.push_back(earlyRow);
        rows.push_back(lateRow);
        rows.push_back(rate);
    }
    ClearSettings();
    Print(rows, rounds);
    PrintSplit({splitFill1, splitFill4, splitSteady1, splitSteady4, splitCapture});
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 3 && std::strcmp(argv[1], "receiver") == 0) return RunReceiver(argv[2]);
    long memoryRecords = argc >= 2 ? std::atol(argv[1]) : 1000000;
    if (memoryRecords < 20000) memoryRecords = 20000;
    return RunBench(memoryRecords);
}
