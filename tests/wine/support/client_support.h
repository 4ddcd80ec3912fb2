// Helpers of the client library's integration tests: a window of class
// "MurloClass" in the test process that records what the library sends,
// running the driver program that loads the library, and ending the
// programs the library started.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "common/log_record.h"
#include "support/wine_support.h"

namespace murlo::test {

// One WM_COPYDATA as received.
struct ReceivedRecord {
    DWORD size = 0;             // cbData
    bool isRecord = false;      // passed the acceptance test
    std::string text;
    std::string location;
    int32_t depth = 0;
    uint32_t processId = 0;
    murlo::RecordTime time{};
};

struct ReceivedPause {
    std::string name;           // the atom's name, read during the call
    LPARAM number = 0;
};

// dwData of a forwarded WM_USER ping (helper fake_console.exe).
constexpr ULONG_PTR kForwardedPing = 1;

// A window that records every WM_COPYDATA, WM_USER and pause message.
// Its class is "MurloClass" (the library finds it as its console) unless
// another is given. Messages are handled while the test waits (WaitFor).
struct RecordingWindow {
    HWND window = nullptr;
    std::vector<ReceivedRecord> records;
    int pings = 0;
    std::vector<ReceivedPause> pauses;
    UINT pauseMessage = 0;

    RecordingWindow() = default;
    RecordingWindow(const RecordingWindow&) = delete;
    RecordingWindow& operator=(const RecordingWindow&) = delete;
    ~RecordingWindow() { Destroy(); }

    bool Create(const char* className = "MurloClass");
    void Destroy();
    // Texts of the records, in order.
    std::vector<std::string> Texts() const;
};

// Runs client_driver.exe with the given arguments (each quoted) and waits
// for it to end while serving this thread's windows. exitCode is -1 when
// it did not end within timeoutMs (it is then ended by force).
struct DriverResult {
    int exitCode = -1;
    DWORD processId = 0;
    DWORD elapsedMs = 0;
};
DriverResult RunDriver(const std::vector<std::string>& args, DWORD timeoutMs = 60000);

// Starts the driver without waiting; the caller waits and closes it.
Process StartDriver(const std::vector<std::string>& args);

// Ends the programs the library may have started: windows of class
// "MurloClass" of other processes get WM_CLOSE, and what still runs of
// them, or of a program with the given file name, is ended by force.
void EndStartedPrograms(const char* extraProgram = nullptr);

// A test with a clean settings key and a recording "MurloClass" window as
// the library's console; whatever the library started is ended afterwards.
class RecordingConsoleTest : public ::testing::Test {
protected:
    void SetUp() override {
        DeleteSettingsKey();
        ASSERT_TRUE(console.Create());
    }
    void TearDown() override {
        console.Destroy();
        EndStartedPrograms();
        DeleteSettingsKey();
    }
    RecordingWindow console;
};

// The ANSI form of a wide text as this process converts it (CP_ACP).
std::string ToAnsi(const std::wstring& text);

}  // namespace murlo::test
