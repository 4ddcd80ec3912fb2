// A program that starts and shows no window: it only waits for the number
// of milliseconds given as its first argument (default 40000), then ends.
#include <windows.h>

#include <cstdlib>

int main(int argc, char** argv) {
    Sleep(argc > 1 ? static_cast<DWORD>(strtoul(argv[1], nullptr, 10)) : 40000);
    return 0;
}
