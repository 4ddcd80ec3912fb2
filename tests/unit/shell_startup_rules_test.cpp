// The console's command-line walk, platform flags, geometry arithmetic and
// when a record lets queued messages through.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "console/shell/command_line.h"
#include "console/shell/message_gate.h"
#include "console/shell/platform_version.h"
#include "console/shell/window_geometry.h"

namespace murlo {
namespace {

struct WalkCase {
    std::vector<const char*> args;  // after the program name
    bool running;
    StartAction action;
    uint32_t options;
};

StartDecision Walk(const WalkCase& c) {
    std::vector<const char*> argv = {"MURLO.EXE"};
    argv.insert(argv.end(), c.args.begin(), c.args.end());
    return DecideStart(static_cast<int>(argv.size()), argv.data(), c.running);
}

TEST(CommandLine, WalkDecidesAsTheRulesSay) {
    const WalkCase cases[] = {
        {{}, false, StartAction::kStartNew, 0},
        {{}, true, StartAction::kBringForward, 0},
        // "clear" in any ASCII case, after '/' or '-'.
        {{"/CLEAR"}, true, StartAction::kClearRunning, 0},
        {{"-Clear"}, true, StartAction::kClearRunning, 0},
        {{"/clear"}, true, StartAction::kClearRunning, 0},
        {{"-cLeAr"}, true, StartAction::kClearRunning, 0},
        // With no console running, "clear" is ignored and a console starts.
        {{"/clear"}, false, StartAction::kStartNew, 0},
        // Whole word only.
        {{"/clear:x"}, true, StartAction::kInvalidOption, 0},
        {{"/clear:x"}, false, StartAction::kInvalidOption, 0},
        {{"/clea"}, false, StartAction::kInvalidOption, 0},
        {{"/clearx"}, true, StartAction::kInvalidOption, 0},
        {{"/stopp"}, false, StartAction::kInvalidOption, 0},
        // Without a prefix the word is ignored.
        {{"clear"}, true, StartAction::kBringForward, 0},
        {{"stop"}, false, StartAction::kStartNew, 0},
        {{"bogus"}, false, StartAction::kStartNew, 0},
        {{""}, false, StartAction::kStartNew, 0},
        // One prefix character only: "//clear" is the word "/clear".
        {{"//clear"}, true, StartAction::kInvalidOption, 0},
        {{"-/stop"}, false, StartAction::kInvalidOption, 0},
        // "stop" sets bit 0 and the walk goes on.
        {{"/stop"}, false, StartAction::kStartNew, kStopOptionBit},
        {{"-STOP"}, true, StartAction::kBringForward, kStopOptionBit},
        {{"/stop", "/clear"}, true, StartAction::kClearRunning, kStopOptionBit},
        {{"/stop", "/clear"}, false, StartAction::kStartNew, kStopOptionBit},
        // The walk ends at "clear" when a console runs, so later words are not looked at.
        {{"/clear", "/bogus"}, true, StartAction::kClearRunning, 0},
        {{"/clear", "/bogus"}, false, StartAction::kInvalidOption, 0},
        {{"/bogus", "/clear"}, true, StartAction::kInvalidOption, 0},
        // An empty word is not recognised.
        {{"/"}, false, StartAction::kInvalidOption, 0},
        {{"-"}, true, StartAction::kInvalidOption, 0},
        {{"/stop", "-"}, false, StartAction::kInvalidOption, kStopOptionBit},
        // Non-ASCII letters are not folded.
        {{"/CL\xC9" "AR"}, true, StartAction::kInvalidOption, 0},
        {{"x", "/stop", "y"}, false, StartAction::kStartNew, kStopOptionBit},
    };
    for (const WalkCase& c : cases) {
        std::string label;
        for (const char* a : c.args) label += std::string(a) + " ";
        label += c.running ? "(running)" : "(none)";
        StartDecision d = Walk(c);
        EXPECT_EQ(d.action, c.action) << label;
        EXPECT_EQ(d.options, c.options) << label;
    }
}

TEST(CommandLine, NullArgumentsAreIgnored) {
    const char* argv[] = {"MURLO.EXE", nullptr, "/stop"};
    StartDecision d = DecideStart(3, argv, false);
    EXPECT_EQ(d.action, StartAction::kStartNew);
    EXPECT_EQ(d.options, kStopOptionBit);
    EXPECT_EQ(DecideStart(1, argv, true).action, StartAction::kBringForward);
    EXPECT_EQ(DecideStart(0, argv, false).action, StartAction::kStartNew);
}

TEST(CommandLine, AsciiCaseFolding) {
    EXPECT_TRUE(EqualsIgnoringAsciiCase("", ""));
    EXPECT_TRUE(EqualsIgnoringAsciiCase("StOp", "stop"));
    EXPECT_FALSE(EqualsIgnoringAsciiCase("sto", "stop"));
    EXPECT_FALSE(EqualsIgnoringAsciiCase("stop", "sto"));
    // '@' and '[' sit next to 'A' and 'Z' and must not fold.
    EXPECT_FALSE(EqualsIgnoringAsciiCase("@", "`"));
    EXPECT_FALSE(EqualsIgnoringAsciiCase("[", "{"));
}

struct VersionCase {
    const char* name;
    uint32_t platform, major, minor;
    PlatformFlags flags;
    bool systemWheel;
};

TEST(PlatformFlags, FromVersionNumbers) {
    const VersionCase cases[] = {
        {"Windows 95", kPlatformWindows, 4, 0, {true, false, false, false}, false},
        {"Windows 98", kPlatformWindows, 4, 10, {true, false, false, false}, true},
        {"Windows Me", kPlatformWindows, 4, 90, {true, false, false, true}, true},
        {"Windows 3.x (Win32s)", 0, 3, 10, {false, false, false, false}, false},
        {"NT 3.51", kPlatformNT, 3, 51, {false, true, false, false}, false},
        {"NT 4", kPlatformNT, 4, 0, {true, true, false, false}, true},
        {"Windows 2000", kPlatformNT, 5, 0, {true, true, true, false}, true},
        {"Windows XP", kPlatformNT, 5, 1, {true, true, true, false}, true},
        {"Windows 7", kPlatformNT, 6, 1, {true, true, false, false}, true},
        {"Windows 10", kPlatformNT, 10, 0, {true, true, false, false}, true},
        {"NT 4.90 is not Me", kPlatformNT, 4, 90, {true, true, false, false}, true},
        {"9x 5.x", kPlatformWindows, 5, 0, {true, false, false, false}, true},
    };
    for (const VersionCase& c : cases) {
        PlatformFlags f = FlagsFromVersion(c.platform, c.major, c.minor);
        EXPECT_EQ(f.hasNewShell, c.flags.hasNewShell) << c.name;
        EXPECT_EQ(f.isNT, c.flags.isNT) << c.name;
        EXPECT_EQ(f.isNT5, c.flags.isNT5) << c.name;
        EXPECT_EQ(f.isWinMe, c.flags.isWinMe) << c.name;
        EXPECT_EQ(HasSystemWheelSupport(c.platform, c.major, c.minor), c.systemWheel) << c.name;
    }
}

TEST(Geometry, RectangleWrapsAndGivesTheSizeBack) {
    struct Case {
        uint32_t x, y, w, h;
        WindowRect rect;
    };
    const uint32_t def = 0x80000000u;
    const Case cases[] = {
        {100, 50, 640, 480, {100, 50, 740, 530}},
        // All defaults: the position is CW_USEDEFAULT and so is the size.
        {def, def, def, def, {INT32_MIN, INT32_MIN, 0, 0}},
        // Position stored, size missing.
        {100, 50, def, def, {100, 50, int32_t(0x80000064u), int32_t(0x80000032u)}},
        // Negative positions (a window on a monitor left of the primary one).
        {uint32_t(-300), uint32_t(-20), 200, 100, {-300, -20, -100, 80}},
        // Sums past 2^31 wrap instead of overflowing.
        {0x7FFFFFF0u, 0, 0x20, 1, {0x7FFFFFF0, 0, int32_t(0x80000010u), 1}},
    };
    for (const Case& c : cases) {
        WindowRect r = RectFromGeometry(c.x, c.y, c.w, c.h);
        EXPECT_EQ(r.left, c.rect.left);
        EXPECT_EQ(r.top, c.rect.top);
        EXPECT_EQ(r.right, c.rect.right);
        EXPECT_EQ(r.bottom, c.rect.bottom);
        EXPECT_EQ(uint32_t(SpanOf(r.left, r.right)), c.w);
        EXPECT_EQ(uint32_t(SpanOf(r.top, r.bottom)), c.h);
    }
}

// A record's handler lets posted and typed messages through only where the
// main loop would take them next: the window enabled, no handler of another
// message running (however deep), no menu and no move or size loop.
TEST(MessageGate, OpenOnlyWhereTheMainLoopWaits) {
    MessageGate gate;
    EXPECT_TRUE(gate.Open(true)) << "the main loop waits";
    EXPECT_FALSE(gate.Open(false)) << "a modal dialog or message box disabled the window";
    {
        RunningHandler command(&gate);
        EXPECT_FALSE(gate.Open(true)) << "a command runs (its dialog closed, its capture restart waiting)";
        {
            RunningHandler nested(&gate);
            EXPECT_FALSE(gate.Open(true));
        }
        EXPECT_FALSE(gate.Open(true)) << "the outer command still runs";
    }
    EXPECT_TRUE(gate.Open(true)) << "every handler returned";
    gate.menuLoop = true;
    EXPECT_FALSE(gate.Open(true)) << "a menu takes the keys";
    gate.menuLoop = false;
    gate.sizeMoveLoop = true;
    EXPECT_FALSE(gate.Open(true)) << "the window is moved or sized";
    gate.sizeMoveLoop = false;
    EXPECT_TRUE(gate.Open(true));
    RunningHandler none(nullptr);  // a message before the window has its state
    EXPECT_TRUE(gate.Open(true));
}

// Whether anything waits is asked after the first record, then after every
// eighth of a flood, and after any record 2 ms or more after the last look,
// also where the tick count wraps around.
TEST(MessageGate, LooksEveryFewRecordsOrMilliseconds) {
    const struct {
        uint32_t start;
    } cases[] = {{1000}, {0xFFFFFFFEu}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.start);
        MessageGate gate;
        uint32_t now = c.start;
        EXPECT_TRUE(gate.TimeToLook(now)) << "the first record";
        for (int flood = 0; flood < 3; ++flood) {
            for (int k = 1; k < 8; ++k) EXPECT_FALSE(gate.TimeToLook(now)) << "record " << k << " of a flood";
            EXPECT_TRUE(gate.TimeToLook(now)) << "the eighth";
        }
        EXPECT_FALSE(gate.TimeToLook(now + 1));
        now += 2;
        EXPECT_TRUE(gate.TimeToLook(now)) << "2 ms after the last look";
        EXPECT_FALSE(gate.TimeToLook(now));
        now += 60000;
        EXPECT_TRUE(gate.TimeToLook(now)) << "a record that comes alone";
        EXPECT_TRUE(gate.TimeToLook(now + 2));
    }
}

}  // namespace
}  // namespace murlo
