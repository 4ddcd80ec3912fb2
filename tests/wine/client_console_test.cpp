// The client library against the real console: records show in the view
// with their source location and process id, and a load with no console
// running starts MURLO.EXE from "MurloPath" and its first record arrives.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "support/client_support.h"
#include "support/wine_support.h"

namespace {

std::string ProcessIdText(DWORD id) {
    char text[16];
    snprintf(text, sizeof text, "#%08X", static_cast<unsigned>(id));
    return text;
}

bool ViewHas(HWND console, const std::string& text) {
    return console && murlo_test::WindowText(GetDlgItem(console, 14)).find(text) != std::string::npos;
}

class ClientConsole : public ::testing::Test {
protected:
    void SetUp() override {
        murlo_test::DeleteSettingsKey();
        ASSERT_EQ(murlo_test::FindConsoleWindow(), nullptr);
    }
    void TearDown() override {
        murlo_test::EndStartedPrograms();
        murlo_test::DeleteSettingsKey();
    }
};

TEST_F(ClientConsole, ViewShowsLocationAndProcessId) {
    murlo_test::SetSettingDword("LogFileName", 1);
    murlo_test::SetSettingDword("LogProcessID", 1);
    murlo_test::Console console;
    ASSERT_TRUE(console.Start());
    auto result = murlo_test::RunDriver({"stringF", "main.c", "12", "hello\\n", ";", "registers", "r.c", "3", "1", "2",
                                         "3", "4", "5", "6", "7", "8", ";", "formatW", "wide %d\\n", "i:9"});
    ASSERT_EQ(result.exitCode, 0);
    const std::string pid = ProcessIdText(result.processId);
    for (const std::string& line : {"main.c(12) " + pid + " hello",
                                    "r.c(3) " + pid + " EAX = 00000001  EBX = 00000002  ECX = 00000003  EDX = 00000004",
                                    "r.c(3) " + pid + " ESI = 00000005  EDI = 00000006  EBP = 00000007  ESP = 00000008",
                                    pid + " wide 9"}) {
        EXPECT_TRUE(murlo_test::WaitFor([&] { return ViewHas(console.window, line); })) << line;
    }
}

TEST_F(ClientConsole, LoadStartsTheConsoleFromMurloPath) {
    std::string path = murlo_test::BinPath("MURLO.EXE");
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    murlo_test::SetSettingString("MurloPath", path.c_str());
    EXPECT_EQ(murlo_test::RunDriver({"string", "first record"}).exitCode, 0);
    HWND console = murlo_test::FindConsoleWindow();
    ASSERT_NE(console, nullptr);
    EXPECT_TRUE(murlo_test::WaitFor([&] { return ViewHas(console, "first record"); }));
}

}  // namespace
