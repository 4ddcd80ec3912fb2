// MURLODLL's entry: connect to the console when a process loads the
// library. The library loads even when no console could be found.
#include <windows.h>

#include "client/client_state.h"

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        murlo::ConnectConsole();
        InitializeCriticalSection(&murlo::g_client.outputLock);
        break;
    case DLL_PROCESS_DETACH:
        DeleteCriticalSection(&murlo::g_client.outputLock);
        break;
    default:
        break;
    }
    return TRUE;
}
