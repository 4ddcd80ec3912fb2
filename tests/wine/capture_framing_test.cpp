// Text that programs pass to OutputDebugStringA reaches the console's view,
// framed into lines: the writer's id ("#%08X ", the process-id decoration)
// only where a line begins, a line end closing another process's open line.
#include "support/capture_support.h"

namespace murlo::test {
namespace {

class CaptureFraming : public CaptureTest {};

TEST_F(CaptureFraming, ContinuationOfTheSameProcessCarriesNoId) {
    Console console;
    ASSERT_TRUE(StartCapturingConsole(console));
    DWORD writer = 0;
    ASSERT_EQ(RunWriter("t:abc t:def\\n", &writer), 0);
    EXPECT_TRUE(ViewEndsWith(console, "def\r\n"));
    EXPECT_EQ(console.ViewText(), IdPrefix(writer) + "abcdef\r\n");
}

TEST_F(CaptureFraming, AnotherProcessInMidLineGetsALineOfItsOwn) {
    Console console;
    ASSERT_TRUE(StartCapturingConsole(console));
    NamedEvent aDone("murlo-test-a-done"), bDone("murlo-test-b-done"), aAgain("murlo-test-a-again");
    OwnedProcess a, b;
    // A writes "abc", B writes "x\n", then A writes "more\n".
    ASSERT_TRUE(StartWriter(a, "t:abc s:murlo-test-a-done w:murlo-test-a-again t:more\\n"));
    ASSERT_TRUE(WaitFor([&] { return aDone.IsSet(); }));
    ASSERT_TRUE(StartWriter(b, "w:murlo-test-a-done t:x\\n s:murlo-test-b-done"));
    ASSERT_TRUE(WaitFor([&] { return bDone.IsSet(); }));
    aAgain.Set();
    EXPECT_EQ(WaitProcess(a.process), 0);
    EXPECT_EQ(WaitProcess(b.process), 0);
    EXPECT_TRUE(ViewEndsWith(console, "more\r\n"));
    EXPECT_EQ(console.ViewText(), IdPrefix(a.process.id) + "abc\r\n" + IdPrefix(b.process.id) + "x\r\n" +
                                      IdPrefix(a.process.id) + "more\r\n");
}

TEST_F(CaptureFraming, EmptyStringLeavesTheLineOpen) {
    Console console;
    ASSERT_TRUE(StartCapturingConsole(console));
    DWORD a = 0, b = 0;
    // An empty first string carries A's id; A's next string continues the line.
    ASSERT_EQ(RunWriter("e t:abc e t:def", &a), 0);
    // The line is still open: B's text begins a new one.
    ASSERT_EQ(RunWriter("t:x\\n", &b), 0);
    EXPECT_TRUE(ViewEndsWith(console, "x\r\n"));
    EXPECT_EQ(console.ViewText(), IdPrefix(a) + "abcdef\r\n" + IdPrefix(b) + "x\r\n");
}

TEST_F(CaptureFraming, LongStringsArriveWhole) {
    Console console;
    ASSERT_TRUE(StartCapturingConsole(console));
    // 1023 characters fill the first record buffer, 1024 make it grow,
    // 4091 are the most the channel carries.
    const struct {
        size_t length;
        char c;
    } cases[] = {{1023, 'a'}, {1024, 'b'}, {4091, 'c'}, {1023, 'd'}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.length);
        std::string before = console.ViewText();
        DWORD writer = 0;
        ASSERT_EQ(RunWriter("n:" + std::to_string(c.length) + ":" + c.c + " t:\\n", &writer), 0);
        std::string expected = before + IdPrefix(writer) + std::string(c.length, c.c) + "\r\n";
        EXPECT_TRUE(ViewEndsWith(console, std::string(c.length, c.c) + "\r\n"));
        EXPECT_EQ(console.ViewText(), expected);
    }
}

}  // namespace
}  // namespace murlo::test
