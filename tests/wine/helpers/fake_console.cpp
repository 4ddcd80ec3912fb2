// Stands in for a console started by the client library: shows a window of
// class "MurloClass" and forwards every WM_COPYDATA it receives, unchanged,
// to the window whose handle (decimal) is its first argument. A WM_USER
// ping is forwarded as a WM_COPYDATA with dwData 1 and no data. Ends when
// that window is gone or on WM_CLOSE.
#include <windows.h>

#include <cstdint>
#include <cstdlib>

namespace {

HWND g_receiver;

LRESULT CALLBACK ForwardProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COPYDATA:
        SendMessageA(g_receiver, WM_COPYDATA, 0, lParam);
        return 0;
    case WM_USER: {
        COPYDATASTRUCT ping = {1, 0, nullptr};
        SendMessageA(g_receiver, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&ping));
        return 0;
    }
    case WM_TIMER:
        if (!IsWindow(g_receiver)) DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    g_receiver = reinterpret_cast<HWND>(static_cast<uintptr_t>(strtoull(argv[1], nullptr, 10)));
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = ForwardProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "MurloClass";
    if (!RegisterClassA(&windowClass)) return 3;
    HWND window = CreateWindowA("MurloClass", "fake", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                                windowClass.hInstance, nullptr);
    if (!window) return 4;
    SetTimer(window, 1, 100, nullptr);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
    return 0;
}
