// The scope object of murlo.h: a DB_SCOPE sends its enter line where it
// stands and its leave line, with the same file and line and at the same
// depth, on every way out of the scope, an early return among them; the
// depth after the scope is the depth before it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/client_support.h"
#include "support/wine_support.h"

namespace {

struct Expected {
    std::string text;
    std::string location;
    int32_t depth;
};

class ClientScope : public murlo::test::RecordingConsoleTest {
protected:
    void RunAndExpect(const char* mode, const std::vector<Expected>& expected) {
        console.records.clear();
        murlo::test::Process client = murlo::test::StartProcess(murlo::test::BinPath("scope_client.exe"), mode);
        ASSERT_NE(client.handle, nullptr);
        EXPECT_EQ(murlo::test::WaitProcess(client, 30000), 0) << mode;
        murlo::test::CloseProcess(client);
        ASSERT_EQ(console.records.size(), expected.size()) << mode;
        for (size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(console.records[i].text, expected[i].text) << mode << " record " << i;
            EXPECT_EQ(console.records[i].location, expected[i].location) << mode << " record " << i;
            EXPECT_EQ(console.records[i].depth, expected[i].depth) << mode << " record " << i;
        }
    }
};

TEST_F(ClientScope, EarlyReturnStillSendsTheLeave) {
    RunAndExpect("early", {{"Enter Parse\r\n", "scope.cpp(100)", 0},
                           {"Leave Parse\r\n", "scope.cpp(100)", 0},
                           {"after\r\n", "after.cpp(400)", 0}});
}

TEST_F(ClientScope, TextInsideTheScopeIsOneLevelDeeper) {
    RunAndExpect("full", {{"Enter Parse\r\n", "scope.cpp(100)", 0},
                          {"parsed\r\n", "scope.cpp(102)", 1},
                          {"Leave Parse\r\n", "scope.cpp(100)", 0},
                          {"after\r\n", "after.cpp(400)", 0}});
}

TEST_F(ClientScope, NestedScopesLeaveInReverseOrder) {
    RunAndExpect("nested", {{"Enter Outer\r\n", "nested.cpp(200)", 0},
                            {"Enter Inner\r\n", "nested.cpp(202)", 1},
                            {"deepest\r\n", "nested.cpp(203)", 2},
                            {"Leave Inner\r\n", "nested.cpp(202)", 1},
                            {"middle\r\n", "nested.cpp(205)", 1},
                            {"Leave Outer\r\n", "nested.cpp(200)", 0},
                            {"after\r\n", "after.cpp(400)", 0}});
}

TEST_F(ClientScope, WideScopeOnBothWaysOut) {
    RunAndExpect("wide", {{"Enter Wide\r\n", "wide.cpp(300)", 0},
                          {"Leave Wide\r\n", "wide.cpp(300)", 0},
                          {"Enter Wide\r\n", "wide.cpp(300)", 0},
                          {"wide inside\r\n", "wide.cpp(302)", 1},
                          {"Leave Wide\r\n", "wide.cpp(300)", 0},
                          {"after\r\n", "after.cpp(400)", 0}});
}

}  // namespace
