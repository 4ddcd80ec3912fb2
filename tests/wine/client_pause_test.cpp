// The pause: its text travels as a global atom with the registered pause
// message and is deleted after the call; against the real console the
// calling thread waits until the box showing "text(number)" is closed,
// while the process's other threads go on sending.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/client_support.h"
#include "support/wine_support.h"

namespace {

using murlo::test::RecordingWindow;
using murlo::test::RunDriver;

class ClientPause : public ::testing::Test {
protected:
    void SetUp() override { murlo::test::DeleteSettingsKey(); }
    void TearDown() override {
        murlo::test::EndStartedPrograms();
        murlo::test::DeleteSettingsKey();
    }
};

TEST_F(ClientPause, TextAndNumberArriveAsAnAtom) {
    RecordingWindow console;
    ASSERT_TRUE(console.Create());
    const std::string x300(300, 'x');
    struct Case {
        const char* name;
        std::vector<std::string> args;
        std::string text;
        LPARAM number;
    } cases[] = {
        {"narrow", {"pause", "src\\\\file.c", "42"}, "src\\file.c", 42},
        {"wide", {"pauseW", "w\\u00E9.c", "-7"}, murlo::test::ToAnsi(L"w\u00E9.c"), -7},
        // An atom name holds 255 characters: a longer text is cut to them.
        {"long narrow", {"pause", x300, "1"}, std::string(255, 'x'), 1},
        {"long wide", {"pauseW", x300, "2"}, std::string(255, 'x'), 2},
        // The table takes no empty name: the console reads no text.
        {"empty", {"pause", "", "3"}, "", 3},
    };
    for (const auto& c : cases) {
        console.pauses.clear();
        EXPECT_EQ(RunDriver(c.args).exitCode, 0) << c.name;
        ASSERT_EQ(console.pauses.size(), 1u) << c.name;
        EXPECT_EQ(console.pauses[0].name, c.text) << c.name;
        EXPECT_EQ(console.pauses[0].number, c.number) << c.name;
        EXPECT_TRUE(console.records.empty()) << c.name;
        if (!c.text.empty()) {
            EXPECT_EQ(GlobalFindAtomA(c.text.c_str()), 0) << c.name << ": atom left behind";
        }
    }
}

TEST_F(ClientPause, ConsoleBoxHoldsOnlyThePausingThread) {
    murlo::test::Console console;
    ASSERT_TRUE(console.Start());
    auto driver = murlo::test::StartDriver({"pauseAsync", "Z:\\\\src\\\\main.c", "42", ";", "waitclass", "#32770",
                                           ";", "string", "during the pause"});
    ASSERT_NE(driver.handle, nullptr);
    HWND box = nullptr;
    ASSERT_TRUE(murlo::test::WaitFor([&] { return (box = murlo::test::FindDialog("Murlo", console.process.id)) != nullptr; }));
    EXPECT_EQ(murlo::test::MessageBoxText(box), "Z:\\src\\main.c(42)");
    // The driver's main thread keeps sending while the box is open.
    EXPECT_TRUE(murlo::test::WaitFor([&] { return console.ViewText().find("during the pause") != std::string::npos; }));
    EXPECT_EQ(WaitForSingleObject(driver.handle, 0), static_cast<DWORD>(WAIT_TIMEOUT))
        << "the pausing thread returned before the box was closed";
    murlo::test::PressButton(box, IDOK);
    EXPECT_EQ(murlo::test::WaitProcess(driver), 0);
    murlo::test::CloseProcess(driver);
    EXPECT_EQ(GlobalFindAtomA("Z:\\src\\main.c"), 0);
}

TEST_F(ClientPause, WithoutConsoleReturnsAtOnce) {
    murlo::test::SetSettingString("MurloPath", "Z:\\no such folder\\nothing.exe");
    // A pause that waited would keep the driver past the time-out.
    EXPECT_EQ(RunDriver({"pause", "p", "1", ";", "pauseW", "w", "2"}, 20000).exitCode, 0);
    EXPECT_EQ(GlobalFindAtomA("p"), 0);
}

}  // namespace
