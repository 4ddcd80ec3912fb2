/* The library used from C: a few lines through the header's macros.
 * Usage: c_client */
#include <windows.h>

#include "client/murlo.h"

int main(void) {
    static const unsigned char bytes[20] = {0x4D, 0x75, 0x72, 0x6C, 0x6F, 0x00, 0x0D, 0x0A, 0xFF};
    DB_TRACE("hello from C, %d bytes follow\n", (int)sizeof bytes);
    DB_DUMP(bytes, sizeof bytes);
    DB_ENTER("C: enter\n");
    DB_TRACEW(L"C: wide %s\n", L"text");
    DB_LEAVE("C: leave\n");
    return 0;
}
