// A LogRecord sent as WM_COPYDATA from another process arrives whole and
// passes the acceptance test on the receiving side.
#include <gtest/gtest.h>

#include <string>

#include "common/log_record.h"
#include "support/wine_support.h"

namespace {

struct Received {
    bool got = false;
    DWORD size = 0;
    std::string bytes;
} g_received;

LRESULT CALLBACK ReceiverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COPYDATA) {
        auto* copy = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        g_received.got = true;
        g_received.size = copy->cbData;
        g_received.bytes.assign(static_cast<const char*>(copy->lpData), copy->cbData);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

TEST(RecordTransport, RecordFromAnotherProcessPassesAcceptance) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = ReceiverProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "MurloTestReceiver";
    RegisterClassA(&windowClass);
    HWND receiver = CreateWindowA("MurloTestReceiver", "", 0, 0, 0, 10, 10, nullptr, nullptr,
                                  windowClass.hInstance, nullptr);
    ASSERT_NE(receiver, nullptr);

    auto helper = murlo::test::StartProcess(
        murlo::test::BinPath("send_record.exe"),
        std::to_string(reinterpret_cast<uintptr_t>(receiver)) + " hello");
    ASSERT_NE(helper.handle, nullptr);
    ASSERT_TRUE(murlo::test::WaitFor([] { return g_received.got; }));
    EXPECT_EQ(murlo::test::WaitProcess(helper), 0);
    murlo::test::CloseProcess(helper);

    ASSERT_EQ(g_received.size, murlo::kFullRecordSize);
    murlo::PayloadView view = murlo::ClassifyPayload(g_received.bytes.data(), g_received.bytes.size());
    ASSERT_TRUE(view.isRecord);
    EXPECT_EQ(std::string(view.text, view.textLength), "hello");
    EXPECT_EQ(std::string(view.location, view.locationLength), "helper.cpp(7)");
    EXPECT_EQ(view.header->depth, 2);
    EXPECT_NE(view.header->processId, 0u);
    EXPECT_NE(view.header->processId, GetCurrentProcessId());
    DestroyWindow(receiver);
}

}  // namespace
