// The release package as a Windows developer uses it: the console from the
// unpacked package, the example project built against it with
// find_package(Murlo) for 32-bit and 64-bit programs, and clients built
// with the Microsoft toolchain's conventions against murlodll.lib. Each
// program's lines must show in the console's view, in order.
//
// scripts/test-package.sh builds everything and runs this program with:
//   MURLO_PACKAGE_ROOT     the unpacked package folder
//   MURLO_PACKAGE_CLIENTS  the folder of the built clients
//                          (hello-x86/hello.exe, hello-x64/hello.exe, msvc-x86/msvc_client.exe,
//                           msvc-x64/msvc_client.exe, msvc-x86-stdcall/msvc_client.exe built
//                           with stdcall as the default convention, each beside its MURLODLL.DLL)
// as Unix paths (Wine's drive Z: maps the root).
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "support/client_support.h"
#include "support/wine_support.h"

namespace {

using murlo::test::WindowsPath;

std::string Env(const char* name) {
    const char* value = getenv(name);
    return value ? value : "";
}

std::string PackagePath(const std::string& relative) { return WindowsPath(Env("MURLO_PACKAGE_ROOT") + "/" + relative); }
std::string ClientPath(const std::string& relative) { return WindowsPath(Env("MURLO_PACKAGE_CLIENTS") + "/" + relative); }

// The view's text as lines, without their line ends.
std::vector<std::string> ViewLines(HWND console) {
    std::string text = console ? murlo::test::WindowText(GetDlgItem(console, 14)) : "";
    std::vector<std::string> lines;
    std::string line;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            lines.push_back(line);
            line.clear();
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            line += text[i];
        }
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

// Dump lines begin with an address that changes from run to run: they are
// compared from their first colon on, once the address is seen to be hex.
std::vector<std::string> WithoutDumpAddresses(std::vector<std::string> lines) {
    for (auto& line : lines) {
        size_t colon = line.find(':');
        if (colon == 8 && line.find_first_not_of("0123456789ABCDEF") == colon) line = line.substr(colon);
    }
    return lines;
}

// True when lines hold the expected lines one after another.
bool HasBlock(const std::vector<std::string>& lines, const std::vector<std::string>& expected) {
    for (size_t start = 0; start + expected.size() <= lines.size(); ++start) {
        size_t i = 0;
        while (i < expected.size() && lines[start + i] == expected[i]) ++i;
        if (i == expected.size()) return true;
    }
    return false;
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) text += "  |" + line + "|\n";
    return text;
}

// A hex-dump line as the view shows it, the address left out: the bytes in
// hex in a 50-column field, then the characters in a 16-column field.
std::string DumpTail(const std::string& hex, const std::string& chars) {
    return ":" + hex + std::string(50 - hex.size(), ' ') + ":" + chars + std::string(16 - chars.size(), ' ') + " ";
}

// The hello example's lines (examples/find_package/hello.cpp).
std::vector<std::string> HelloLines(const char* bits) {
    return {"hello from a program", "Enter Parse",     "Leave Parse",
            "Enter Parse",          "    parsing 42", "Leave Parse",
            std::string(bits) + "-bit program, done"};
}

class Package : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(Env("MURLO_PACKAGE_ROOT").empty()) << "run by scripts/test-package.sh";
        murlo::test::EndStartedPrograms();
        murlo::test::DeleteSettingsKey();
    }
    void TearDown() override {
        murlo::test::EndStartedPrograms();
        murlo::test::DeleteSettingsKey();
    }

    // Starts the package's console and waits for its window.
    HWND StartConsole() {
        console_ = murlo::test::StartProcess(PackagePath("bin/MURLO.EXE"), "");
        HWND window = nullptr;
        murlo::test::WaitFor([&] { return (window = murlo::test::FindConsoleWindow()) != nullptr; }, 30000);
        return window;
    }
    void CloseConsole(HWND window) {
        PostMessageA(window, WM_CLOSE, 0, 0);
        EXPECT_EQ(murlo::test::WaitProcess(console_, 30000), 0);
        murlo::test::CloseProcess(console_);
    }
    int RunClient(const std::string& path) {
        murlo::test::Process client = murlo::test::StartProcess(path, "");
        EXPECT_NE(client.handle, nullptr) << path;
        int code = murlo::test::WaitProcess(client, 60000);
        murlo::test::CloseProcess(client);
        return code;
    }
    void ExpectBlock(HWND console, const std::vector<std::string>& expected) {
        EXPECT_TRUE(murlo::test::WaitFor(
            [&] { return HasBlock(WithoutDumpAddresses(ViewLines(console)), expected); }, 10000))
            << "expected:\n" << Joined(expected) << "view:\n" << Joined(ViewLines(console));
    }

    murlo::test::Process console_;
};

TEST_F(Package, ExampleFor32BitShowsItsLines) {
    HWND console = StartConsole();
    ASSERT_NE(console, nullptr);
    EXPECT_EQ(RunClient(ClientPath("hello-x86/hello.exe")), 0);
    ExpectBlock(console, HelloLines("32"));
    CloseConsole(console);
}

// The console run once records its path; a 64-bit program then starts the
// 32-bit console by itself and its lines show there.
TEST_F(Package, ExampleFor64BitStartsTheRecordedConsole) {
    HWND first = StartConsole();
    ASSERT_NE(first, nullptr);
    std::string recorded;
    DWORD type = 0;
    ASSERT_TRUE(murlo::test::GetSettingRaw("MurloPath", &type, &recorded));
    EXPECT_EQ(lstrcmpiA(recorded.c_str(), PackagePath("bin/MURLO.EXE").c_str()), 0) << recorded;
    CloseConsole(first);
    ASSERT_EQ(murlo::test::FindConsoleWindow(), nullptr);

    EXPECT_EQ(RunClient(ClientPath("hello-x64/hello.exe")), 0);
    HWND started = murlo::test::FindConsoleWindow();
    ASSERT_NE(started, nullptr) << "the library started no console";
    ExpectBlock(started, HelloLines("64"));
}

std::vector<std::string> MsvcLines(const char* bits) {
    return {std::string("msvc ") + bits + " string",
            "msvc format 1",
            DumpTail("4D 53 56 43", "MSVC"),
            "msvc located",
            "msvc formatF 2",
            DumpTail("4D 53", "MS"),
            "EAX = 00000001  EBX = 00000002  ECX = 00000003  EDX = 00000004",
            "ESI = 00000005  EDI = 00000006  EBP = 00000007  ESP = 00000008",
            "msvc enter 3",
            "msvc leave 4",
            "msvc wide string",
            "msvc wide format 5",
            "msvc wide located",
            "msvc wide formatF 6",
            DumpTail("56 43", "VC"),
            "EAX = 00000009  EBX = 0000000A  ECX = 0000000B  EDX = 0000000C",
            "ESI = 0000000D  EDI = 0000000E  EBP = 0000000F  ESP = 00000010",
            "msvc wide enter",
            "msvc wide leave",
            std::string("msvc ") + bits + " stack drift 0"};
}

class MsvcPackage : public Package {
protected:
    void Check(const char* arch, const char* bits) {
        HWND console = StartConsole();
        ASSERT_NE(console, nullptr);
        murlo::test::Process client =
            murlo::test::StartProcess(ClientPath(std::string("msvc-") + arch + "/msvc_client.exe"), "");
        ASSERT_NE(client.handle, nullptr);
        // Each pause holds the client until its box in the console is confirmed.
        for (const char* text : {"msvc.c(19)", "msvcw.c(20)"}) {
            HWND box = nullptr;
            ASSERT_TRUE(murlo::test::WaitFor(
                [&] { return (box = murlo::test::FindDialog("Murlo", console_.id)) != nullptr; }, 30000))
                << "no pause box " << text;
            EXPECT_EQ(murlo::test::MessageBoxText(box), text);
            murlo::test::PressButton(box, IDOK);
            murlo::test::WaitFor([&] { return !IsWindow(box); });
        }
        EXPECT_EQ(murlo::test::WaitProcess(client, 30000), 0) << "the stack pointer moved";
        murlo::test::CloseProcess(client);
        ExpectBlock(console, MsvcLines(bits));
        CloseConsole(console);
    }
};

TEST_F(MsvcPackage, ClientFor32BitLinkedWithMurlodllLib) {
    Check("x86", "32");
}

// Built with stdcall as the default convention (-mrtd): the conventions come
// from the declarations alone.
TEST_F(MsvcPackage, ClientFor32BitWithStdcallAsDefault) {
    Check("x86-stdcall", "32");
}

TEST_F(MsvcPackage, ClientFor64BitLinkedWithMurlodllLib) {
    Check("x64", "64");
}

}  // namespace
