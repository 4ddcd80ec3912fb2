// Sends a few traces to the Murlo console; the console starts when none runs.
#include <murlo.h>

static int Parse(const char* text) {
    DB_SCOPE("Parse");               // "Enter Parse" now, "Leave Parse" on every return
    if (!text) return -1;
    DB_TRACE("parsing %s\n", text);  // indented one level inside the scope
    return 0;
}

int main() {
    DB_STRING("hello from a program\n");
    Parse(nullptr);
    Parse("42");
    DB_TRACE("%d-bit program, done\n", static_cast<int>(sizeof(void*) * 8));
    return 0;
}
