// The client library against the real console: records show in the view
// with their source location and process id, every export reaches the view
// (the pauses through the console's box) with the stack balanced across
// each call, and a load with no console running starts MURLO.EXE from
// "MurloPath" and its first record arrives.
#include <gtest/gtest.h>

#include <cctype>
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
    return console && murlo::test::WindowText(GetDlgItem(console, 14)).find(text) != std::string::npos;
}

// Replaces every eight hex digits followed by ':' at a line's start or
// after a blank by "########".
std::string MaskDumpAddresses(std::string text) {
    for (size_t at = 0; at + 9 <= text.size(); ++at) {
        if (at > 0 && text[at - 1] != '\n' && text[at - 1] != ' ') continue;
        bool address = text[at + 8] == ':';
        for (size_t i = at; address && i < at + 8; ++i) address = isxdigit(static_cast<unsigned char>(text[i])) != 0;
        if (address) text.replace(at, 8, "########");
    }
    return text;
}

class ClientConsole : public ::testing::Test {
protected:
    void SetUp() override {
        murlo::test::DeleteSettingsKey();
        ASSERT_EQ(murlo::test::FindConsoleWindow(), nullptr);
    }
    void TearDown() override {
        murlo::test::EndStartedPrograms();
        murlo::test::DeleteSettingsKey();
    }
};

TEST_F(ClientConsole, ViewShowsLocationAndProcessId) {
    murlo::test::SetSettingDword("LogFileName", 1);
    murlo::test::SetSettingDword("LogProcessID", 1);
    murlo::test::Console console;
    ASSERT_TRUE(console.Start());
    auto result = murlo::test::RunDriver({"stringF", "main.c", "12", "hello\\n", ";", "registers", "r.c", "3", "1", "2",
                                         "3", "4", "5", "6", "7", "8", ";", "formatW", "wide %d\\n", "i:9"});
    ASSERT_EQ(result.exitCode, 0);
    const std::string pid = ProcessIdText(result.processId);
    for (const std::string& line : {"main.c(12) " + pid + " hello",
                                    "r.c(3) " + pid + " EAX = 00000001  EBX = 00000002  ECX = 00000003  EDX = 00000004",
                                    "r.c(3) " + pid + " ESI = 00000005  EDI = 00000006  EBP = 00000007  ESP = 00000008",
                                    pid + " wide 9"}) {
        EXPECT_TRUE(murlo::test::WaitFor([&] { return ViewHas(console.window, line); })) << line;
    }
}

// The driver's "stack" command calls all 19 exports once through their
// prototypes, measuring the stack around each call in the 32-bit build (its
// exit code is 1 when a call left the stack unbalanced).
TEST_F(ClientConsole, EveryExportReachesTheView) {
    murlo::test::SetSettingDword("LogFileName", 1);
    murlo::test::Console console;
    ASSERT_TRUE(console.Start());
    murlo::test::Process driver = murlo::test::StartDriver({"stack"});
    ASSERT_NE(driver.handle, nullptr);
    // Each pause holds the driver until its box in the console is closed.
    for (const char* shown : {"stack.c(7)", "stack.c(14)"}) {
        HWND box = nullptr;
        ASSERT_TRUE(murlo::test::WaitFor([&] {
            box = murlo::test::FindDialog("Murlo", console.process.id);
            return box != nullptr && murlo::test::MessageBoxText(box) == shown;
        })) << "no pause box showing " << shown;
        murlo::test::PressButton(box, IDOK);
    }
    EXPECT_EQ(murlo::test::WaitProcess(driver), 0) << "an export left the stack unbalanced";
    murlo::test::CloseProcess(driver);
    // A dump line starts with the data's address, which only the driver knows.
    const std::string dump1 = "########:01 02 03 00 00 00 00 00 00 00 00 00 00 00 00 00   :................ \r\n";
    const std::string dump2 = "########:00 00 00 00 " + std::string(36, ' ') + "  :...." + std::string(13, ' ') + "\r\n";
    const std::string expected =
        "StringA\r\nFormatA\r\n" + dump1 + dump2 +
        "stack.c(1) StringFA\r\nstack.c(2) FormatFA\r\n" +
        "stack.c(3) " + dump1 + "stack.c(3) " + dump2 +
        "stack.c(4) EAX = 00000001  EBX = 00000002  ECX = 00000003  EDX = 00000004\r\n"
        "stack.c(4) ESI = 00000005  EDI = 00000006  EBP = 00000007  ESP = 00000008\r\n"
        "stack.c(5) EnterA\r\nstack.c(6) LeaveA\r\n"
        "StringW\r\nFormatW\r\nstack.c(8) StringFW\r\nstack.c(9) FormatFW\r\n" +
        "stack.c(10) " + dump1 + "stack.c(10) " + dump2 +
        "stack.c(11) EAX = 00000001  EBX = 00000002  ECX = 00000003  EDX = 00000004\r\n"
        "stack.c(11) ESI = 00000005  EDI = 00000006  EBP = 00000007  ESP = 00000008\r\n"
        "stack.c(12) EnterW\r\nstack.c(13) LeaveW\r\n";
    EXPECT_TRUE(murlo::test::WaitFor([&] { return MaskDumpAddresses(console.ViewText()) == expected; }));
    EXPECT_EQ(MaskDumpAddresses(console.ViewText()), expected);
}

TEST_F(ClientConsole, LoadStartsTheConsoleFromMurloPath) {
    std::string path = murlo::test::BinPath("MURLO.EXE");
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    murlo::test::SetSettingString("MurloPath", path.c_str());
    EXPECT_EQ(murlo::test::RunDriver({"string", "first record"}).exitCode, 0);
    HWND console = murlo::test::FindConsoleWindow();
    ASSERT_NE(console, nullptr);
    EXPECT_TRUE(murlo::test::WaitFor([&] { return ViewHas(console, "first record"); }));
}

}  // namespace
