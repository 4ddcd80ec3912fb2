// Loading the library when no console runs: the console is started from
// "MurloPath" (or "MURLO.EXE"), waited for, and greeted only when it was
// already running; a console that never shows its window, a failed start
// and a console that goes away leave every call returning at once.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/client_support.h"
#include "support/wine_support.h"

namespace {

using murlo::test::RecordingWindow;
using murlo::test::RunDriver;

std::string ProgramPath(const char* program) { return murlo::test::WindowsPath(murlo::test::BinPath(program)); }

void SetPathValue(DWORD type, const std::string& bytes) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "Software\\OrlemApp\\Murlo", &key), ERROR_SUCCESS);
    RegSetValueExA(key, "MurloPath", 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                   static_cast<DWORD>(bytes.size()));
    RegCloseKey(key);
}

// The text of the view of the console started from MURLO.EXE, if one runs.
std::string RealConsoleView() {
    HWND console = murlo::test::FindConsoleWindow();
    return console ? murlo::test::WindowText(GetDlgItem(console, 14)) : std::string();
}

class ClientConnection : public ::testing::Test {
protected:
    void SetUp() override {
        murlo::test::DeleteSettingsKey();
        ASSERT_EQ(murlo::test::FindConsoleWindow(), nullptr);
        ASSERT_TRUE(receiver.Create("MurloTestReceiver"));
    }
    void TearDown() override {
        murlo::test::EndStartedPrograms("idle_program.exe");
        receiver.Destroy();
        murlo::test::DeleteSettingsKey();
    }

    // The command line of the forwarding stand-in console, in "MurloPath".
    std::string FakeConsoleCommand() const {
        return ProgramPath("fake_console.exe") + " " + std::to_string(reinterpret_cast<uintptr_t>(receiver.window));
    }

    RecordingWindow receiver;
};

TEST_F(ClientConnection, StartsTheConsoleFromMurloPath) {
    murlo::test::SetSettingString("MurloPath", FakeConsoleCommand().c_str());
    auto result = RunDriver({"stringF", "s.c", "1", "first", ";", "pause", "p", "5"});
    EXPECT_EQ(result.exitCode, 0);
    ASSERT_EQ(receiver.Texts(), std::vector<std::string>{"first"});
    EXPECT_EQ(receiver.records[0].location, "s.c(1)");
    EXPECT_EQ(receiver.records[0].size, 1312u);
    EXPECT_EQ(receiver.pings, 0) << "a console the library started is not greeted";
}

TEST_F(ClientConnection, MurloPathMustBeAStringThatFits) {
    const std::string command = FakeConsoleCommand();
    ASSERT_LT(command.size(), 250u) << "the build folder's path is too long for this test";
    // Trailing blanks leave the command line's meaning unchanged.
    const std::string fits = command + std::string(259 - command.size(), ' ');
    const std::string tooLong = command + std::string(300 - command.size(), ' ');
    struct Case {
        const char* name;
        DWORD type;
        std::string bytes;    // empty: no value at all
        bool usesValue;       // else "MURLO.EXE" is started
    } cases[] = {
        {"string", REG_SZ, command + '\0', true},
        {"259 characters and the terminator", REG_SZ, fits + '\0', true},
        {"string without terminator", REG_SZ, command, true},
        {"260 bytes without terminator", REG_SZ, fits + ' ', false},
        {"longer than 260 bytes", REG_SZ, tooLong + '\0', false},
        {"expandable string", REG_EXPAND_SZ, command + '\0', false},
        {"binary", REG_BINARY, command + '\0', false},
        {"no value", REG_SZ, "", false},
    };
    for (const auto& c : cases) {
        murlo::test::DeleteSettingsKey();
        if (!c.bytes.empty()) SetPathValue(c.type, c.bytes);
        receiver.records.clear();
        EXPECT_EQ(RunDriver({"string", c.name}).exitCode, 0) << c.name;
        if (c.usesValue) {
            EXPECT_EQ(receiver.Texts(), std::vector<std::string>{c.name}) << c.name;
        } else {
            EXPECT_TRUE(receiver.records.empty()) << c.name;
            // MURLO.EXE, found beside the loading program, shows the text.
            EXPECT_TRUE(murlo::test::WaitFor([&] { return RealConsoleView().find(c.name) != std::string::npos; }))
                << c.name;
        }
        murlo::test::EndStartedPrograms();
    }
}

TEST_F(ClientConnection, FailedStartReturnsAtOnce) {
    murlo::test::SetSettingString("MurloPath", "Z:\\no such folder\\nothing.exe");
    auto result = RunDriver({"exitload", ";", "string", "x", ";", "pause", "p", "1", ";", "dump", "41"});
    // The exit code is the load time in milliseconds: no wait for a window.
    EXPECT_LT(result.exitCode, 10000);
    EXPECT_EQ(murlo::test::FindConsoleWindow(), nullptr);
    EXPECT_TRUE(receiver.records.empty());
}

// The one slow test: the library waits 500 ms, then 30000 ms for a window
// that never comes.
TEST_F(ClientConnection, ConsoleThatNeverShowsItsWindowIsGivenUp) {
    murlo::test::SetSettingString("MurloPath", (ProgramPath("idle_program.exe") + " 40000").c_str());
    auto result = RunDriver({"exitload", ";", "string", "x", ";", "format", "%d", "i:1", ";", "pause", "p", "1",
                             ";", "enter", "e.c", "1", "e", ";", "dump", "41"},
                            60000);
    ASSERT_GE(result.exitCode, 0) << "the driver did not end";
    const DWORD loadMs = static_cast<DWORD>(result.exitCode);
    RecordProperty("loadMs", static_cast<int>(loadMs));
    EXPECT_GE(loadMs, 30500u - 20u) << "allowing the tick counter's granularity";
    EXPECT_LE(loadMs, 33000u);
    // The calls after the load return without waiting.
    EXPECT_LT(result.elapsedMs - loadMs, 10000u);
    EXPECT_TRUE(receiver.records.empty());
}

TEST_F(ClientConnection, ConsoleThatGoesAwayIsNotLookedForAgain) {
    RecordingWindow console;
    ASSERT_TRUE(console.Create());
    auto driver = murlo::test::StartDriver({"string", "first", ";", "waitgone", ";", "waitclass", "MurloClass", ";",
                                           "string", "second", ";", "pause", "p", "2", ";", "dump", "41"});
    ASSERT_NE(driver.handle, nullptr);
    ASSERT_TRUE(murlo::test::WaitFor([&] { return !console.records.empty(); }));
    EXPECT_EQ(console.Texts(), std::vector<std::string>{"first"});
    console.Destroy();
    // A console that comes later is not found by this process.
    RecordingWindow later;
    ASSERT_TRUE(later.Create());
    EXPECT_EQ(murlo::test::WaitProcess(driver, 30000), 0);
    murlo::test::CloseProcess(driver);
    EXPECT_TRUE(later.records.empty());
    EXPECT_TRUE(later.pauses.empty());
    EXPECT_EQ(later.pings, 0);
}

}  // namespace
