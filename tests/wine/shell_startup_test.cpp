// Start-up failures: no rich edit library.
#include <initializer_list>

#include "support/shell_support.h"

namespace murlo::test {
namespace {

using ShellStartup = ShellTest;

constexpr char kOverridesKey[] = "Software\\Wine\\AppDefaults\\MURLO.EXE\\DllOverrides";

// Disables libraries for the console through Wine's per-program overrides.
struct DisabledLibraries {
    explicit DisabledLibraries(std::initializer_list<const char*> names) {
        HKEY key;
        if (RegCreateKeyA(HKEY_CURRENT_USER, kOverridesKey, &key) != ERROR_SUCCESS) return;
        for (const char* name : names)
            RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 1);
        RegCloseKey(key);
    }
    ~DisabledLibraries() { RegDeleteTreeA(HKEY_CURRENT_USER, kOverridesKey); }
};

TEST_F(ShellStartup, WithoutRichEditTheConsoleReportsAndEnds) {
    // Under Wine, RICHED32 is built on RICHED20; both are taken away.
    DisabledLibraries disabled({"riched20", "riched32"});
    OwnedProcess console;
    StartConsoleProcess(console, "");
    HWND box = WaitForMurloBox(console.process.id);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box), "Can't load RICHED32.DLL or RICHED20.DLL");
    EXPECT_EQ(GetWindow(box, GW_OWNER), nullptr);
    // The class is registered, but no main window is made.
    EXPECT_EQ(FindConsoleWindow(), nullptr);
    PressButton(box, IDOK);
    EXPECT_EQ(WaitProcess(console.process), 0);
    EXPECT_EQ(FindConsoleWindow(), nullptr);
    // Registration came first, so the path is written; nothing else is.
    DWORD type = 0;
    std::string data;
    EXPECT_TRUE(GetSettingRaw("MurloPath", &type, &data));
    EXPECT_FALSE(GetSettingRaw("Font", &type, &data));
    EXPECT_FALSE(GetSettingRaw("X", &type, &data));
}

}  // namespace
}  // namespace murlo::test
